#include "display/glyph_strips.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace nimbrel {
namespace {

// A pixel row as '#' for black, '.' for magenta and '?' for anything else.
std::string RowText(const Bitmap& bitmap, int y) {
  std::string text;
  for (int x = 0; x < bitmap.width; ++x) {
    const Rgb pixel = bitmap.at(x, y);
    text += pixel == kBlack ? '#' : pixel == kMagenta ? '.' : '?';
  }
  return text;
}

// Pixel rows joined by '/'.
std::string CellText(const Bitmap& bitmap) {
  std::string text;
  for (int y = 0; y < bitmap.height; ++y) text += (y > 0 ? "/" : "") + RowText(bitmap, y);
  return text;
}

std::string WithoutBlanks(std::string_view row) {
  std::string text;
  for (char c : row) {
    if (c != ' ') text += c;
  }
  return text;
}

TEST(GlyphStripsTest, HaveTheirSizes) {
  EXPECT_EQ(PicClip2Strip().width, 77);
  EXPECT_EQ(PicClip2Strip().height, 8);
  EXPECT_EQ(PicClip3Strip().width, 55);
  EXPECT_EQ(PicClip3Strip().height, 9);
  EXPECT_EQ(PicClip4Strip().width, 33);
  EXPECT_EQ(PicClip4Strip().height, 8);
  EXPECT_EQ(PicClipMiniStrip().width, 44);
  EXPECT_EQ(PicClipMiniStrip().height, 6);
  for (const Bitmap* strip : {&PicClip2Strip(), &PicClip3Strip(), &PicClip4Strip(), &PicClipMiniStrip()}) {
    EXPECT_EQ(strip->pixels.size(), static_cast<std::size_t>(strip->width * strip->height));
  }
}

struct StripRow {
  const Bitmap& (*strip)();
  int y;
  const char* row;
};

class GlyphStripRowTest : public ::testing::TestWithParam<StripRow> {};

TEST_P(GlyphStripRowTest, MatchesTheDrawing) {
  EXPECT_EQ(RowText(GetParam().strip(), GetParam().y), WithoutBlanks(GetParam().row));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GlyphStripRowTest,
    ::testing::Values(
        StripRow{PicClip2Strip, 0,
                 ".####.. ..##... .####.. .####.. ....#.. .#####. .####.. ######. .####.. .####.. ......."},
        StripRow{PicClip2Strip, 4,
                 "##..##. ..##... ..##... ....##. #..##.. ....##. ##..##. ...##.. ##..##. .#####. ......."},
        StripRow{PicClip2Strip, 7,
                 ".####.. .####.. ######. .####.. ...##.. .####.. .####.. ..##... .####.. .####.. ......."},
        StripRow{PicClip3Strip, 2, "#..#. ..#.. ...#. ...#. #..#. #.... #.... ...#. #..#. #..#. ##..#"},
        StripRow{PicClip3Strip, 6, "#..#. ..#.. #.... ...#. ...#. ...#. #..#. .#... #..#. ...#. #..##"},
        StripRow{PicClip3Strip, 8, ".##.. .###. .###. ###.. ...#. ###.. .##.. #.... .##.. .##.. ....."},
        StripRow{PicClip4Strip, 2, "#.# ##. ..# ..# #.# #.. #.. ..# #.# #.# .#."},
        StripRow{PicClip4Strip, 4, "#.# .#. .#. ##. ### .#. ##. .#. .#. .## ..."},
        StripRow{PicClipMiniStrip, 0, ".##. ..#. ###. #### ..#. #### .### #### .##. .##. ##.."},
        StripRow{PicClipMiniStrip, 4, "#..# ..#. #... #..# ..#. ...# #..# .#.. #..# ...# #.##"}),
    [](const ::testing::TestParamInfo<StripRow>& info) { return "row" + std::to_string(info.index); });

TEST(TPicClipTest, CellsAreCutByColumnsAndRows) {
  TPicClip clip(PicClip3Strip(), 11, 1);
  EXPECT_EQ(CellText(clip.CellPicture(3)), "###../...#./...#./...#./###../...#./...#./...#./###..");
  EXPECT_EQ(CellText(clip.CellPicture(10)), "...../##.../##..#/...#./..#../.#.../#..##/...##/.....");
  TPicClip four(PicClip4Strip(), 11, 1);
  EXPECT_EQ(CellText(four.CellPicture(10)), ".../.../.#./.../.../.#./.../...");
  TPicClip mini(PicClipMiniStrip(), 11, 1);
  EXPECT_EQ(CellText(mini.CellPicture(0)), ".##./#..#/#.##/##.#/#..#/.##.");
}

TEST(TPicClipTest, NumbersCellsRowByRow) {
  Bitmap strip;
  strip.Resize(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) strip.at(x, y) = static_cast<Rgb>(10 * y + x);
  }
  TPicClip clip(strip, 2, 2);
  const Bitmap& cell = clip.CellPicture(2);  // second row, first column
  EXPECT_EQ(cell.width, 2);
  EXPECT_EQ(cell.height, 2);
  EXPECT_EQ(cell.pixels, (std::vector<Rgb>{20, 21, 30, 31}));
  EXPECT_EQ(clip.CellPicture(1).pixels, (std::vector<Rgb>{2, 3, 12, 13}));
}

TEST(TPicClipTest, EachRequestOverwritesTheSameCell) {
  TPicClip clip(PicClip4Strip(), 11, 1);
  const Bitmap& first = clip.CellPicture(1);
  EXPECT_EQ(RowText(first, 0), ".#.");
  const Bitmap& second = clip.CellPicture(7);
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(RowText(first, 0), "###");  // the earlier reference shows the 7 now
}

TEST(TPicClipTest, KeepsItsOwnCopyOfTheStrip) {
  Bitmap strip;
  strip.Resize(2, 1);
  strip.pixels = {kBlack, kMagenta};
  TPicClip clip(strip, 2, 1);
  strip.pixels = {kMagenta, kBlack};
  EXPECT_EQ(clip.CellPicture(0).pixels, std::vector<Rgb>{kBlack});
  EXPECT_EQ(clip.Picture().width, 2);
}

TEST(TPicClipTest, CellsBeyondTheStripAreBlack) {
  TPicClip clip(PicClip2Strip(), 11, 1);
  EXPECT_EQ(CellText(clip.CellPicture(11)),
            "#######/#######/#######/#######/#######/#######/#######/#######");
  EXPECT_EQ(RowText(clip.CellPicture(-1), 0), "#######");
}

TEST(TPicClipTest, NoColumnsCountsAsOne) {
  TPicClip clip(PicClip4Strip(), 0, 0);
  EXPECT_EQ(clip.Cols(), 1);
  EXPECT_EQ(clip.Rows(), 1);
  EXPECT_EQ(clip.CellPicture(0).width, 33);
}

}  // namespace
}  // namespace nimbrel
