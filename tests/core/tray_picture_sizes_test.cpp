// The tray picture at every size the notification area asks for. Each design size (16, 20, 24) and
// two of its multiples (32, 48) are held against golden pictures that were looked at enlarged; the 16
// ones were written by the painter from before sizes existed, so the 16-pixel picture is still that
// picture pixel for pixel. NIMBREL_WRITE_GOLDEN=<folder> writes what is painted now, for review.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "display/glyph_strips.h"
#include "display/system_colors.h"
#include "display/tray_painter.h"
#include "picture_sketch.h"

namespace nimbrel {
namespace {

using testing_pictures::PictureText;

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint64_t kMiB = 1ull << 20;

MemorySample Sample(std::uint32_t load, std::uint64_t used) {
  MemorySample sample;
  sample.dwMemoryLoad = load;
  sample.ullTotalPhys = 16 * kGiB;
  sample.ullAvailPhys = sample.ullTotalPhys - used;
  sample.ullTotalPageFile = 24 * kGiB;
  sample.ullAvailPageFile = 9 * kGiB;
  return sample;
}

// Every character a box of 4 × 8 pixels on the 16-pixel picture, growing with the picture like a font.
class BoxFont : public TextRenderer {
 public:
  void SelectFont(const FontSpec&, int pictureSize) override { size_ = pictureSize; }
  int TextWidth(std::wstring_view text) override { return static_cast<int>(text.size()) * 4 * size_ / 16; }
  int TextHeight(std::wstring_view) override { return 8 * size_ / 16; }
  void DrawText(TrayPicture& picture, int x, int y, std::wstring_view text, Rgb color) override {
    const int w = 4 * size_ / 16;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const int left = x + static_cast<int>(i) * w;
      picture.Fill(left + 1, y, left + w, y + TextHeight(text), color);  // a gap column between boxes
    }
  }

 private:
  int size_ = 16;
};

struct Case {
  const char* name;
  std::function<void(Settings&)> set;
  std::uint32_t load;
  std::uint64_t used;
};

Settings Base() {
  Settings s = DefaultSettings(10);
  s.InternalFont = true;
  s.MiniInternalFont = false;
  s.TransBk = false;
  s.NoBorder = false;
  s.BarBottom = false;
  s.FullBar = false;
  s.StandardGauge = false;
  s.ShowPercentage = false;
  s.ShowPercSign = false;
  s.ShowFree = false;
  s.ShowPage = false;
  s.OptimizeForGigabytes = false;
  return s;
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"percent_one", [](Settings& s) { s.ShowPercentage = true; }, 5, 0},
      {"percent_two", [](Settings& s) { s.ShowPercentage = true; }, 52, 0},
      {"percent_three_sign", [](Settings& s) { s.ShowPercentage = s.ShowPercSign = true; }, 52, 0},
      {"percent_four_sign", [](Settings& s) { s.ShowPercentage = s.ShowPercSign = true; }, 100, 0},
      {"megabytes", [](Settings&) {}, 22, 3584 * kMiB},
      {"gigabytes", [](Settings& s) { s.OptimizeForGigabytes = true; }, 22, 3584 * kMiB},
      {"mini_two", [](Settings& s) { s.MiniInternalFont = s.ShowPercentage = true; }, 52, 0},
      {"mini_gigabytes", [](Settings& s) { s.MiniInternalFont = s.OptimizeForGigabytes = true; }, 70,
       3584 * kMiB},
      {"transparent_no_border_full_bar",
       [](Settings& s) { s.TransBk = s.NoBorder = s.FullBar = s.ShowPercentage = true; }, 52, 0},
      {"transparent_bottom_red", [](Settings& s) { s.TransBk = s.BarBottom = s.ShowPercentage = true; }, 97,
       0},
      {"bottom_mini_gigabytes",
       [](Settings& s) { s.BarBottom = s.MiniInternalFont = s.OptimizeForGigabytes = true; }, 40, 12 * kGiB},
      {"bottom_no_border_full_bar", [](Settings& s) { s.BarBottom = s.NoBorder = s.FullBar = true; }, 30,
       900 * kMiB},
      {"gauge_border_yellow", [](Settings& s) { s.StandardGauge = s.FullBar = s.ShowPercentage = true; }, 70,
       0},
      {"gauge_transparent_no_border",
       [](Settings& s) { s.StandardGauge = s.TransBk = s.NoBorder = s.ShowPercentage = true; }, 100, 0},
      {"gauge_bottom_no_border",
       [](Settings& s) { s.StandardGauge = s.BarBottom = s.NoBorder = s.ShowPercentage = true; }, 64, 0},
      {"transparent_no_border_edge_to_edge", [](Settings& s) { s.TransBk = s.NoBorder = s.FullBar = true; },
       96, 15 * kGiB},
      {"mini_one_bottom_transparent",
       [](Settings& s) {
         s.MiniInternalFont = s.BarBottom = s.TransBk = s.NoBorder = s.ShowPercentage = true;
       },
       7, 0},
      {"user_font_top",
       [](Settings& s) {
         s.InternalFont = false;
         s.ShowPercentage = true;
       },
       52, 0},
      {"user_font_bottom_gigabytes",
       [](Settings& s) {
         s.InternalFont = false;
         s.BarBottom = s.NoBorder = s.OptimizeForGigabytes = true;
       },
       40, 3584 * kMiB},
  };
  return cases;
}

TrayPicture Paint(const Case& c, int size) {
  Settings s = Base();
  c.set(s);
  BoxFont font;
  TrayPicture picture;
  picture.SetSize(size);
  std::fill(picture.pixels.begin(), picture.pixels.end(),
            0x00123456);  // last tick's leftovers must not show through
  NumberFormat format;
  format.decimalSeparator = L".";
  format.thousandSeparator = L",";
  TrayPainter painter;
  painter.Paint(picture, s, Sample(c.load, c.used), PaintContext{format, TableSystemColors(), &font});
  return picture;
}

std::string GoldenPath(int size) {
  return std::string(NIMBREL_SOURCE_DIR) + "/tests/core/golden/tray_pictures_" + std::to_string(size) +
         ".txt";
}

// "== name" followed by the picture's rows.
std::map<std::string, std::string> ReadGolden(int size) {
  std::ifstream in(GoldenPath(size));
  std::map<std::string, std::string> pictures;
  std::string line, name;
  while (std::getline(in, line)) {
    if (line.rfind("== ", 0) == 0) {
      name = line.substr(3);
      pictures[name] = "\n";
    } else if (!name.empty() && !line.empty()) {
      pictures[name] += line + "\n";
    }
  }
  return pictures;
}

class TrayPictureSizeTest : public ::testing::TestWithParam<int> {};

TEST_P(TrayPictureSizeTest, MatchesTheGoldenPictures) {
  const int size = GetParam();
  if (const char* folder = std::getenv("NIMBREL_WRITE_GOLDEN")) {
    std::ofstream out(std::string(folder) + "/tray_pictures_" + std::to_string(size) + ".txt");
    for (const Case& c : Cases()) out << "== " << c.name << PictureText(Paint(c, size)) << "\n";
  }
  const auto golden = ReadGolden(size);
  ASSERT_EQ(golden.size(), Cases().size()) << GoldenPath(size);
  for (const Case& c : Cases()) {
    const TrayPicture picture = Paint(c, size);
    EXPECT_EQ(picture.size, size);
    EXPECT_EQ(PictureText(picture), golden.at(c.name)) << c.name << " at " << size;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TrayPictureSizeTest, ::testing::Values(16, 20, 24, 32, 48));

// A size that is a multiple of a design is that design, every pixel a square; one that is not shows
// the design that fills most of it, centred on the background. The user's font is drawn at the size
// itself, so only the built-in digits are compared this way.
TEST(TrayPictureSizeTest, LargerSizesAreADesignScaledUpWithoutResampling) {
  struct Scaled {
    int size, design, factor, margin;
  };
  for (const Scaled& t :
       {Scaled{28, 24, 1, 2}, Scaled{32, 16, 2, 0}, Scaled{36, 16, 2, 2}, Scaled{40, 20, 2, 0},
        Scaled{44, 20, 2, 2}, Scaled{48, 24, 2, 0}, Scaled{64, 16, 4, 0}, Scaled{72, 24, 3, 0}}) {
    const PictureScale scale = PictureScaleFor(t.size);
    EXPECT_EQ(scale.design, t.design) << t.size;
    EXPECT_EQ(scale.factor, t.factor) << t.size;
    EXPECT_EQ(scale.margin, t.margin) << t.size;
    for (const Case& c : Cases()) {
      if (std::string(c.name).rfind("user_font", 0) == 0) continue;
      const TrayPicture small = Paint(c, t.design);
      const TrayPicture large = Paint(c, t.size);
      const Rgb background = large.at(0, 0);
      for (int y = 0; y < t.size; ++y) {
        for (int x = 0; x < t.size; ++x) {
          const int dx = x - t.margin, dy = y - t.margin;
          const bool inside = dx >= 0 && dy >= 0 && dx < t.design * t.factor && dy < t.design * t.factor;
          const Rgb expected = inside ? small.at(dx / t.factor, dy / t.factor) : background;
          ASSERT_EQ(large.at(x, y), expected) << c.name << " at " << t.size << ", pixel " << x << "," << y;
        }
      }
    }
  }
  EXPECT_EQ(PictureScaleFor(8).design, 16);  // out of range: the nearest size there is
  EXPECT_EQ(PictureScaleFor(1000).factor, 4);
}

// The digits of every layout of the larger designs stay whole: each glyph's ink lands on the picture
// (nothing falls off an edge or is covered by another glyph), and none of it on the bar's frame.
TEST(TrayPictureSizeTest, DigitsStayWholeAndClearOfTheBar) {
  struct Design {
    int size, frame;
    std::vector<const Bitmap*> strips;  // 2, 3, 4, mini
  };
  const Design designs[] = {
      {16, 5, {&PicClip2Strip(), &PicClip3Strip(), &PicClip4Strip(), &PicClipMiniStrip()}},
      {20, 6, {&PicClip2Strip20(), &PicClip3Strip20(), &PicClip4Strip20(), &PicClipMiniStrip20()}},
      {24, 7, {&PicClip2Strip24(), &PicClip3Strip24(), &PicClip4Strip24(), &PicClipMiniStrip24()}},
  };
  const auto ink = [](const Bitmap& strip, int cell) {
    const int w = strip.width / kGlyphCells;
    int count = 0;
    for (int y = 0; y < strip.height; ++y) {
      for (int x = cell * w; x < (cell + 1) * w; ++x) count += strip.at(x, y) == kBlack ? 1 : 0;
    }
    return count;
  };
  constexpr Rgb kInk = 0xFF0000;  // blue, found nowhere else in the picture
  struct Text {
    std::uint32_t load;
    std::uint64_t used;
    bool percent, sign, gigabytes;
    std::vector<int> cells;
    int strip;  // without the small digits
    bool point;
  };
  const Text texts[] = {
      {5, 0, true, false, false, {5}, 0, false},
      {88, 0, true, false, false, {8, 8}, 0, false},
      {88, 0, true, true, false, {8, 8, 10}, 1, false},
      {100, 0, true, true, false, {1, 0, 0, 10}, 2, false},
      {50, 8888 * kMiB, false, false, false, {8, 8, 8, 8}, 2, false},
      {50, 8888 * kMiB, false, false, true, {8, 6, 8}, 1, true},
  };
  for (const Design& d : designs) {
    for (int flags = 0; flags < 16; ++flags) {
      for (const Text& t : texts) {
        Settings s = Base();
        s.TransBk = flags & 1;
        s.NoBorder = flags & 2;
        s.BarBottom = flags & 4;
        s.MiniInternalFont = flags & 8;
        s.ShowPercentage = t.percent;
        s.ShowPercSign = t.sign;
        s.OptimizeForGigabytes = t.gigabytes;
        s.FullBar = true;
        s.FontColor = s.DisplayFont.Color = static_cast<ColorValue>(kInk);
        const Case c{"", [&](Settings& target) { target = s; }, t.load, t.used};
        const TrayPicture picture = Paint(c, d.size);
        const Bitmap& strip = *d.strips[s.MiniInternalFont ? 3 : static_cast<std::size_t>(t.strip)];
        int expected = 0;
        for (int cell : t.cells) expected += ink(strip, cell);
        // The 16 design's points are one pixel, the larger ones' two by two.
        if (t.point) expected += d.size == 16 ? 1 : 4;
        int drawn = 0, onFrame = 0;
        const int frameTop = d.size - d.frame + (s.NoBorder ? 1 : 0);
        for (int y = 0; y < d.size; ++y) {
          for (int x = 0; x < d.size; ++x) {
            if (picture.at(x, y) != kInk) continue;
            ++drawn;
            const bool frameRow = s.BarBottom ? y >= frameTop : y < d.frame - (s.NoBorder ? 1 : 0);
            onFrame += frameRow ? 1 : 0;
          }
        }
        const std::string what = std::to_string(d.size) + " flags " + std::to_string(flags) + " load " +
                                 std::to_string(t.load) + PictureText(picture);
        EXPECT_EQ(drawn, expected) << what;
        EXPECT_EQ(onFrame, 0) << what;
      }
    }
  }
}

}  // namespace
}  // namespace nimbrel
