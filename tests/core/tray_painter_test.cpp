#include "display/tray_painter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "display/system_colors.h"
#include "picture_sketch.h"

namespace nimbrel {
namespace {

using testing_pictures::PictureText;
using testing_pictures::Rows;
using testing_pictures::Sketch;

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint64_t kMiB = 1ull << 20;
constexpr ColorValue kMagentaValue = 0xFF00FF;

// The glyphs, copied cell by cell from the strip drawings; rows separated by '/'.
constexpr const char* k2Five = ".#####./.##..../.##..../.####../....##./....##./##..##./.####..";
constexpr const char* k2Two = ".####../##..##./....##./...##../..##.../.##..../##...../######.";
constexpr const char* k2Zero = ".####../##..##./##..##./##..##./##..##./##..##./##..##./.####..";
constexpr const char* k3Zero = ".##../#..#./#..#./#..#./#..#./#..#./#..#./#..#./.##..";
constexpr const char* k3One = "..#../.##../..#../..#../..#../..#../..#../..#../.###.";
constexpr const char* k3Two = "###../...#./...#./...#./.##../#..../#..../#..../.###.";
constexpr const char* k3Three = "###../...#./...#./...#./###../...#./...#./...#./###..";
constexpr const char* k3Five = ".###./#..../#..../#..../.##../...#./...#./...#./###..";
constexpr const char* k3Percent = "...../##.../##..#/...#./..#../.#.../#..##/...##/.....";
constexpr const char* k4Zero = ".#./#.#/#.#/#.#/#.#/#.#/#.#/.#.";
constexpr const char* k4One = ".#./.#./##./.#./.#./.#./.#./.#.";
constexpr const char* k4Two = "##./..#/..#/..#/.#./#../#../.##";
constexpr const char* k4Three = "##./..#/..#/..#/##./..#/..#/##.";
constexpr const char* k4Four = "#.#/#.#/#.#/#.#/###/..#/..#/..#";
constexpr const char* k4Five = ".##/#../#../#../.#./..#/..#/##.";
constexpr const char* k4Eight = ".#./#.#/#.#/#.#/.#./#.#/#.#/.#.";
constexpr const char* k4Dots = ".../.../.#./.../.../.#./.../...";
constexpr const char* kMiniZero = ".##./#..#/#.##/##.#/#..#/.##.";
constexpr const char* kMiniOne = "..#./.##./..#./..#./..#./..#.";
constexpr const char* kMiniTwo = "###./...#/...#/.##./#.../####";
constexpr const char* kMiniThree = "####/..#./.##./...#/#..#/.##.";
constexpr const char* kMiniFive = "####/#.../###./...#/...#/###.";
constexpr const char* kMiniPercent = "##../##.#/..#./.#../#.##/..##";

// 16 GiB of physical memory, or as much as is in use, of which `used` bytes are in use.
MemorySample Sample(std::uint32_t load, std::uint64_t used = 0) {
  MemorySample sample;
  sample.dwMemoryLoad = load;
  sample.ullTotalPhys = std::max(16 * kGiB, used);
  sample.ullAvailPhys = sample.ullTotalPhys - used;
  sample.ullTotalPageFile = 24 * kGiB;
  sample.ullAvailPageFile = 9 * kGiB;
  return sample;
}

Settings Defaults() { return DefaultSettings(10); }

TrayPicture Paint(const Settings& settings, const MemorySample& sample, const NumberFormat& format = {},
                  TextRenderer* renderer = nullptr, const SystemColors& system = TableSystemColors()) {
  TrayPicture canvas;
  std::fill(canvas.pixels.begin(), canvas.pixels.end(),
            0x00123456);  // last tick's leftovers must not show through
  PaintTrayImage(canvas, settings, sample, PaintContext{format, system, renderer});
  return canvas;
}

std::string Painted(const Settings& settings, const MemorySample& sample, const NumberFormat& format = {}) {
  return PictureText(Paint(settings, sample, format));
}

std::string RowOf(const TrayPicture& picture, int y) { return PictureText(picture).substr(1 + 17 * y, 16); }

std::string ColumnOf(const TrayPicture& picture, int x) {
  std::string column;
  for (int y = 0; y < 16; ++y) column += testing_pictures::Letter(picture.at(x, y));
  return column;
}

// ---- Whole pictures of common settings -------------------------------------------------------------

// Defaults at 52 % with 3.5 GiB in use: "3.50" in the three-character glyphs at 0, 7 and 12, the point
// at (5, 15), a green bar over columns 1 to 7 (52 × 16 div 100 = 8).
const std::string kDefaultsGigabytes = Rows({
    "................",
    ".GGGGGGG........",
    ".GGGGGGG........",
    ".GGGGGGG........",
    "................",
    "................",
    "KKK.....KKK..KK.",
    "...K...K....K..K",
    "...K...K....K..K",
    "...K...K....K..K",
    "KKK.....KK..K..K",
    "...K......K.K..K",
    "...K......K.K..K",
    "...K......K.K..K",
    "KKK....KKK...KK.",
    ".....K..........",
});

TEST(TrayPictureOfDefaultsTest, GigabytesWithAPoint) {
  EXPECT_EQ(Painted(Defaults(), Sample(52, 3758096384)), kDefaultsGigabytes);
}

TEST(TrayPictureOfDefaultsTest, TheDecimalSeparatorOfTheUserPlacesThePoint) {
  EXPECT_EQ(Painted(Defaults(), Sample(52, 3758096384), NumberFormat{L",", L"."}), kDefaultsGigabytes);
}

// "3,584" loses its separator and fills the four-character layout at 0, 4, 8 and 12.
const std::string kDefaultsMegabytes = Rows({
    "................",
    ".GGGGGGG........",
    ".GGGGGGG........",
    ".GGGGGGG........",
    "................",
    "................",
    "KK...KK..K..K.K.",
    "..K.K...K.K.K.K.",
    "..K.K...K.K.K.K.",
    "..K.K...K.K.K.K.",
    "KK...K...K..KKK.",
    "..K...K.K.K...K.",
    "..K...K.K.K...K.",
    "KK..KK...K....K.",
    "................",
    "................",
});

TEST(TrayPictureOfDefaultsTest, WholeMegabytes) {
  Settings settings = Defaults();
  settings.OptimizeForGigabytes = false;
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384)), kDefaultsMegabytes);
}

TEST(TrayPictureOfDefaultsTest, AnyThousandsSeparatorIsLeftOut) {
  Settings settings = Defaults();
  settings.OptimizeForGigabytes = false;
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384), NumberFormat{L",", L"\u00A0"}), kDefaultsMegabytes);
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384), NumberFormat{L".", L"'"}), kDefaultsMegabytes);
}

// "52%": three characters with the percent glyph of cell 10, one pixel left of 1, 6, 11 because
// OptimizeForGigabytes is on by default.
TEST(TrayPictureOfDefaultsTest, PercentageWithSign) {
  Settings settings = Defaults();
  settings.ShowPercentage = true;
  settings.ShowPercSign = true;
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384)), Rows({
                                                           "................",
                                                           ".GGGGGGG........",
                                                           ".GGGGGGG........",
                                                           ".GGGGGGG........",
                                                           "................",
                                                           "................",
                                                           ".KKK.KKK........",
                                                           "K.......K.KK....",
                                                           "K.......K.KK..K.",
                                                           "K.......K....K..",
                                                           ".KK...KK....K...",
                                                           "...K.K.....K....",
                                                           "...K.K....K..KK.",
                                                           "...K.K.......KK.",
                                                           "KKK...KKK.......",
                                                           "................",
                                                       }));
}

// Transparent without border: the bar starts at column 0 and reaches the top, the glyphs drop a row.
TEST(TrayPictureOfDefaultsTest, Transparent) {
  Settings settings = Defaults();
  settings.TransBk = true;
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384)), Rows({
                                                           "GGGGGGGGtttttttt",
                                                           "GGGGGGGGtttttttt",
                                                           "GGGGGGGGtttttttt",
                                                           "GGGGGGGGtttttttt",
                                                           "tttttttttttttttt",
                                                           "tttttttttttttttt",
                                                           "tttttttttttttttt",
                                                           "KKKtttttKKKttKKt",
                                                           "tttKtttKttttKttK",
                                                           "tttKtttKttttKttK",
                                                           "tttKtttKttttKttK",
                                                           "KKKtttttKKttKttK",
                                                           "tttKttttttKtKttK",
                                                           "tttKttttttKtKttK",
                                                           "tttKttttttKtKttK",
                                                           "KKKttKtKKKtttKKt",
                                                       }));
}

// The border is only an outline: its inside keeps the key colour.
TEST(TrayPictureOfDefaultsTest, TransparentWithBorder) {
  Settings settings = Defaults();
  settings.TransBk = true;
  settings.NoBorder = false;
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384)), Rows({
                                                           "SSSSSSSSSSSSSSSS",
                                                           "SGGGGGGGtttttttS",
                                                           "SGGGGGGGtttttttS",
                                                           "SGGGGGGGtttttttS",
                                                           "SSSSSSSSSSSSSSSS",
                                                           "tttttttttttttttt",
                                                           "tttttttttttttttt",
                                                           "KKKtttttKKKttKKt",
                                                           "tttKtttKttttKttK",
                                                           "tttKtttKttttKttK",
                                                           "tttKtttKttttKttK",
                                                           "KKKtttttKKttKttK",
                                                           "tttKttttttKtKttK",
                                                           "tttKttttttKtKttK",
                                                           "tttKttttttKtKttK",
                                                           "KKKttKtKKKtttKKt",
                                                       }));
}

// Bar at the bottom with a border: the value moves up five rows, the point to row 9.
TEST(TrayPictureOfDefaultsTest, BarAtTheBottomWithBorder) {
  Settings settings = Defaults();
  settings.BarBottom = true;
  settings.NoBorder = false;
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384)), Rows({
                                                           "................",
                                                           "KKK.....KKK..KK.",
                                                           "...K...K....K..K",
                                                           "...K...K....K..K",
                                                           "...K...K....K..K",
                                                           "KKK.....KK..K..K",
                                                           "...K......K.K..K",
                                                           "...K......K.K..K",
                                                           "...K......K.K..K",
                                                           "KKK..K.KKK...KK.",
                                                           "................",
                                                           "SSSSSSSSSSSSSSSS",
                                                           "SGGGGGGG.......S",
                                                           "SGGGGGGG.......S",
                                                           "SGGGGGGG.......S",
                                                           "SSSSSSSSSSSSSSSS",
                                                       }));
}

// ---- Glyph layouts -----------------------------------------------------------------------------------

struct Placed {
  const char* glyph;
  int x;
};

struct LayoutCase {
  const char* name;
  bool percentage;
  bool sign;
  bool gigabytes;
  bool mini;
  bool free;
  std::uint32_t load;
  std::uint64_t used;
  int barEnd;  // the bar covers columns 1 to barEnd - 1
  char bar;
  int glyphTop;
  std::vector<Placed> glyphs;
  int pointX = -1;  // -1: no point
  int pointY = -1;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class GlyphLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(GlyphLayoutTest, PlacesEachCell) {
  const LayoutCase& c = GetParam();
  Settings settings = Defaults();
  settings.ShowPercentage = c.percentage;
  settings.ShowPercSign = c.sign;
  settings.OptimizeForGigabytes = c.gigabytes;
  settings.MiniInternalFont = c.mini;
  settings.ShowFree = c.free;
  Sketch expected('.');
  expected.Fill(1, 1, c.barEnd, 4, c.bar);
  for (const Placed& placed : c.glyphs) expected.Glyph(placed.glyph, placed.x, c.glyphTop);
  expected.Dot(c.pointX, c.pointY, 'K');
  EXPECT_EQ(Painted(settings, Sample(c.load, c.used)), expected.Text());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GlyphLayoutTest,
    ::testing::Values(
        // Without OptimizeForGigabytes: one character at 4; two at 1 and 9 (mini 3 and 9); three at 1,
        // 6, 11; four at 0, 4, 8, 12.
        LayoutCase{"One", true, false, false, false, false, 5, 0, 1, 'G', 6, {{k2Five, 4}}},
        LayoutCase{"Two", true, false, false, false, false, 52, 0, 8, 'G', 6, {{k2Five, 1}, {k2Two, 9}}},
        LayoutCase{
            "TwoMini", true, false, false, true, false, 52, 0, 8, 'G', 7, {{kMiniFive, 3}, {kMiniTwo, 9}}},
        LayoutCase{"Three",
                   true,
                   false,
                   false,
                   false,
                   false,
                   100,
                   0,
                   15,
                   'R',
                   6,
                   {{k3One, 1}, {k3Zero, 6}, {k3Zero, 11}}},
        LayoutCase{"FourWithTwoDots",
                   true,
                   true,
                   false,
                   false,
                   false,
                   100,
                   0,
                   15,
                   'R',
                   6,
                   {{k4One, 0}, {k4Zero, 4}, {k4Zero, 8}, {k4Dots, 12}}},
        LayoutCase{"FourMini",
                   true,
                   true,
                   false,
                   true,
                   false,
                   100,
                   0,
                   15,
                   'R',
                   7,
                   {{kMiniOne, 0}, {kMiniZero, 4}, {kMiniZero, 8}, {kMiniPercent, 12}}},
        LayoutCase{"FourMegabytes",
                   false,
                   false,
                   false,
                   false,
                   false,
                   52,
                   3758096384,
                   8,
                   'G',
                   6,
                   {{k4Three, 0}, {k4Five, 4}, {k4Eight, 8}, {k4Four, 12}}},
        // With OptimizeForGigabytes every start is one pixel further left; after the point, two right.
        LayoutCase{"OneGigabytesMode", false, false, true, false, true, 98, 0, 15, 'R', 6, {{k2Zero, 3}}},
        LayoutCase{"PointBeforeTheFive",
                   false,
                   false,
                   true,
                   false,
                   false,
                   52,
                   3758096384,
                   8,
                   'G',
                   6,
                   {{k3Three, 0}, {k3Five, 7}, {k3Zero, 12}},
                   5,
                   15},
        LayoutCase{"PointMini",
                   false,
                   false,
                   true,
                   true,
                   false,
                   52,
                   3758096384,
                   8,
                   'G',
                   7,
                   {{kMiniThree, 0}, {kMiniFive, 7}, {kMiniZero, 12}},
                   5,
                   13},
        // 12.34 is cut to 12.3.
        LayoutCase{"CutToFour",
                   false,
                   false,
                   true,
                   false,
                   false,
                   52,
                   13249974108,
                   8,
                   'G',
                   6,
                   {{k3One, 0}, {k3Two, 5}, {k3Three, 12}},
                   10,
                   15},
        // 5,000 KB is cut to 5,00 and drawn as 500, with no point.
        LayoutCase{"KilobytesCut",
                   false,
                   false,
                   true,
                   false,
                   false,
                   52,
                   5120000,
                   8,
                   'G',
                   6,
                   {{k3Five, 0}, {k3Zero, 5}, {k3Zero, 10}}},
        LayoutCase{"PercentThree",
                   true,
                   true,
                   true,
                   false,
                   false,
                   52,
                   0,
                   8,
                   'G',
                   6,
                   {{k3Five, 0}, {k3Two, 5}, {k3Percent, 10}}},
        // 5%: cell 10 of the two-character strip is empty, so no sign shows.
        LayoutCase{"PercentTwo", true, true, true, false, false, 5, 0, 1, 'G', 6, {{k2Five, 0}}},
        LayoutCase{"PercentFour",
                   true,
                   true,
                   true,
                   false,
                   false,
                   100,
                   0,
                   15,
                   'R',
                   6,
                   {{k4One, -1}, {k4Zero, 3}, {k4Zero, 7}, {k4Dots, 11}}},
        // Five digits of megabytes are shown as gigabytes: 10 240 MB as 10.0.
        LayoutCase{"FiveDigitsAsGigabytes",
                   false,
                   false,
                   false,
                   false,
                   false,
                   52,
                   10 * kGiB,
                   8,
                   'G',
                   6,
                   {{k3One, 0}, {k3Zero, 5}, {k3Zero, 12}},
                   10,
                   15},
        LayoutCase{"FiveDigitsMegabytesRounded",
                   false,
                   false,
                   false,
                   false,
                   false,
                   52,
                   12345 * kMiB,
                   8,
                   'G',
                   6,
                   {{k3One, 0}, {k3Two, 5}, {k3Zero, 12}},
                   10,
                   15},
        LayoutCase{"FiveDigitsMini",
                   false,
                   false,
                   false,
                   true,
                   false,
                   52,
                   10 * kGiB,
                   8,
                   'G',
                   7,
                   {{kMiniOne, 0}, {kMiniZero, 5}, {kMiniZero, 12}},
                   10,
                   13},
        // 10 485 759 bytes round to 10,240 KB; as gigabytes 0.01.
        LayoutCase{"FiveDigitsOfKilobytes",
                   false,
                   false,
                   false,
                   false,
                   false,
                   52,
                   10485759,
                   8,
                   'G',
                   6,
                   {{k3Zero, 0}, {k3Zero, 7}, {k3One, 12}},
                   5,
                   15},
        // Percentages of five digits only come from a broken reading: the first four are shown.
        LayoutCase{"BrokenPercentage",
                   true,
                   false,
                   false,
                   false,
                   false,
                   123456,
                   0,
                   15,
                   'R',
                   6,
                   {{k4One, 0}, {k4Two, 4}, {k4Three, 8}, {k4Four, 12}}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

// The vertical place of the glyphs and of the point for each bar position, mini or not.
struct PlacementCase {
  const char* name;
  bool transparent;
  bool bottom;
  bool mini;
  int barLeft, barTop, barBottom;
  int glyphTop;
  int pointY;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class GlyphPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(GlyphPlacementTest, PlacesGlyphsAndPoint) {
  const PlacementCase& c = GetParam();
  Settings settings = Defaults();
  settings.TransBk = c.transparent;
  settings.BarBottom = c.bottom;
  settings.MiniInternalFont = c.mini;
  Sketch expected(c.transparent ? 't' : '.');
  expected.Fill(c.barLeft, c.barTop, 8, c.barBottom, 'G');
  expected.Glyph(c.mini ? kMiniThree : k3Three, 0, c.glyphTop)
      .Glyph(c.mini ? kMiniFive : k3Five, 7, c.glyphTop)
      .Glyph(c.mini ? kMiniZero : k3Zero, 12, c.glyphTop)
      .Dot(5, c.pointY, 'K');
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384)), expected.Text());
}

INSTANTIATE_TEST_SUITE_P(
    Placements, GlyphPlacementTest,
    ::testing::Values(PlacementCase{"Top", false, false, false, 1, 1, 4, 6, 15},
                      PlacementCase{"TopTransparent", true, false, false, 0, 0, 4, 7, 15},
                      PlacementCase{"Bottom", false, true, false, 1, 12, 15, 1, 9},
                      PlacementCase{"BottomTransparent", true, true, false, 0, 12, 16, 1, 9},
                      PlacementCase{"MiniTop", false, false, true, 1, 1, 4, 7, 13},
                      PlacementCase{"MiniTopTransparent", true, false, true, 0, 0, 4, 8, 13},
                      PlacementCase{"MiniBottom", false, true, true, 1, 12, 15, 3, 8}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

// ---- Gauge -------------------------------------------------------------------------------------------

// Text in the background colour leaves only the gauge to see.
Settings GaugeOnly(Settings settings) {
  settings.DisplayFont.Color =
      settings.TransBk ? static_cast<ColorValue>(kTransparentKey) : RgbColor(255, 255, 255);
  settings.FontColor = settings.DisplayFont.Color;
  return settings;
}

struct BarCase {
  const char* name;
  bool transparent;
  bool border;
  std::uint32_t load;
  const char* row;  // row 2, across the bar and its track
};

void PrintTo(const BarCase& c, std::ostream* os) { *os << c.name; }

class BarLengthTest : public ::testing::TestWithParam<BarCase> {};

TEST_P(BarLengthTest, FillsBarAndTrack) {
  Settings settings = Defaults();
  settings.TransBk = GetParam().transparent;
  settings.NoBorder = !GetParam().border;
  settings.FullBar = true;
  EXPECT_EQ(RowOf(Paint(GaugeOnly(settings), Sample(GetParam().load)), 2), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, BarLengthTest,
    ::testing::Values(
        // Bar from column 1: up to 12 % no bar pixel, from 13 % one; from 94 % up to column 14.
        BarCase{"Opaque0", false, false, 0, ".SSSSSSSSSSSSSS."},
        BarCase{"Opaque12", false, false, 12, ".SSSSSSSSSSSSSS."},
        BarCase{"Opaque13", false, false, 13, ".GSSSSSSSSSSSSS."},
        BarCase{"Opaque18", false, false, 18, ".GSSSSSSSSSSSSS."},
        BarCase{"Opaque19", false, false, 19, ".GGSSSSSSSSSSSS."},
        BarCase{"Opaque93", false, false, 93, ".RRRRRRRRRRRRRS."},
        BarCase{"Opaque94", false, false, 94, ".RRRRRRRRRRRRRR."},
        BarCase{"Opaque100", false, false, 100, ".RRRRRRRRRRRRRR."},
        // Transparent without border: from column 0, and to column 15 from 94 %.
        BarCase{"Transparent0", true, false, 0, "GSSSSSSSSSSSSSSS"},
        BarCase{"Transparent12", true, false, 12, "GSSSSSSSSSSSSSSS"},
        BarCase{"Transparent13", true, false, 13, "GGSSSSSSSSSSSSSS"},
        BarCase{"Transparent93", true, false, 93, "RRRRRRRRRRRRRRSS"},
        BarCase{"Transparent94", true, false, 94, "RRRRRRRRRRRRRRRR"},
        // Transparent with border: as opaque, inside the outline.
        BarCase{"TransparentBorder12", true, true, 12, "SSSSSSSSSSSSSSSS"},
        BarCase{"TransparentBorder13", true, true, 13, "SGSSSSSSSSSSSSSS"},
        BarCase{"TransparentBorder94", true, true, 94, "SRRRRRRRRRRRRRRS"}),
    [](const ::testing::TestParamInfo<BarCase>& info) { return std::string(info.param.name); });

TEST(BarLengthTest, SegmentMarksKeepTheLastColumnFree) {
  Settings settings = Defaults();
  settings.TransBk = true;
  settings.StandardGauge = true;
  // Marks at 2, 5, 8, 11 and 15 in the key colour; the bar ends at column 14.
  EXPECT_EQ(RowOf(Paint(GaugeOnly(settings), Sample(100)), 2), "RRtRRtRRtRRtRRRt");
}

TEST(BarLengthTest, NoTrackWithoutFullBar) {
  EXPECT_EQ(RowOf(Paint(GaugeOnly(Defaults()), Sample(25)), 2), ".GGG............");
}

struct ColourCase {
  std::uint32_t load;
  char colour;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.load; }

class BarColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(BarColourTest, FollowsTheThresholds) {
  const std::string row = RowOf(Paint(GaugeOnly(Defaults()), Sample(GetParam().load)), 2);
  EXPECT_EQ(row[1], GetParam().colour) << row;
}

INSTANTIATE_TEST_SUITE_P(Defaults, BarColourTest,
                         ::testing::Values(ColourCase{13, 'G'}, ColourCase{64, 'G'}, ColourCase{65, 'Y'},
                                           ColourCase{89, 'Y'}, ColourCase{90, 'R'}, ColourCase{100, 'R'}),
                         [](const ::testing::TestParamInfo<ColourCase>& info) {
                           return "load" + std::to_string(info.param.load);
                         });

TEST(BarColourTest, FollowsChangedThresholds) {
  Settings settings = GaugeOnly(Defaults());
  settings.YellowPercent = 30;
  settings.RedPercent = 40;
  EXPECT_EQ(RowOf(Paint(settings, Sample(29)), 2), ".GGG............");
  EXPECT_EQ(RowOf(Paint(settings, Sample(30)), 2), ".YYY............");
  EXPECT_EQ(RowOf(Paint(settings, Sample(40)), 2), ".RRRRR..........");
}

// Column 8 from top to bottom at 100 %, for every row of the bar table.
struct BarPlaceCase {
  const char* name;
  bool internalFont;
  bool transparent;
  bool border;
  bool bottom;
  const char* column;
};

void PrintTo(const BarPlaceCase& c, std::ostream* os) { *os << c.name; }

class BarPlaceTest : public ::testing::TestWithParam<BarPlaceCase> {};

TEST_P(BarPlaceTest, SitsInItsRows) {
  const BarPlaceCase& c = GetParam();
  Settings settings = Defaults();
  settings.InternalFont = c.internalFont;  // with the user's font and no renderer nothing else is drawn
  settings.TransBk = c.transparent;
  settings.NoBorder = !c.border;
  settings.BarBottom = c.bottom;
  EXPECT_EQ(ColumnOf(Paint(GaugeOnly(settings), Sample(100)), 8), c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BarPlaceTest,
    ::testing::Values(BarPlaceCase{"UserFontTop", false, false, false, false, ".RRR............"},
                      BarPlaceCase{"UserFontTopTransparent", false, true, false, false, "tRRRtttttttttttt"},
                      BarPlaceCase{"UserFontTopBorder", false, false, true, false, ".RRR............"},
                      BarPlaceCase{"UserFontBottomBorder", false, false, true, true, "............RRR."},
                      BarPlaceCase{"UserFontBottom", false, false, false, true, "...........RRR.."},
                      BarPlaceCase{"GlyphsTop", true, false, false, false, ".RRR............"},
                      BarPlaceCase{"GlyphsBottom", true, false, false, true, "............RRR."},
                      BarPlaceCase{"GlyphsBottomBorder", true, false, true, true, "...........SRRRS"},
                      BarPlaceCase{"TransparentTopBorder", true, true, true, false, "SRRRSttttttttttt"},
                      BarPlaceCase{"TransparentBottomBorder", true, true, true, true, "tttttttttttSRRRS"},
                      BarPlaceCase{"TransparentTop", true, true, false, false, "RRRRtttttttttttt"},
                      BarPlaceCase{"TransparentBottom", true, true, false, true, "ttttttttttttRRRR"}),
    [](const ::testing::TestParamInfo<BarPlaceCase>& info) { return std::string(info.param.name); });

TEST(SegmentMarksTest, CutTheBarWithoutBorder) {
  Settings settings = Defaults();
  settings.StandardGauge = true;
  const TrayPicture picture = Paint(GaugeOnly(settings), Sample(100));
  for (int y : {1, 2, 3}) EXPECT_EQ(RowOf(picture, y), ".R.RR.RR.RR.RRR.") << y;
  EXPECT_EQ(RowOf(picture, 0), "................");
}

TEST(SegmentMarksTest, CutTheTrackToo) {
  Settings settings = Defaults();
  settings.StandardGauge = true;
  settings.FullBar = true;
  EXPECT_EQ(RowOf(Paint(GaugeOnly(settings), Sample(52)), 2), ".G.GG.GG.SS.SSS.");
}

TEST(SegmentMarksTest, TransparentOnTopStartOneRowHigher) {
  Settings settings = Defaults();
  settings.StandardGauge = true;
  settings.TransBk = true;
  const TrayPicture picture = Paint(GaugeOnly(settings), Sample(100));
  for (int y : {0, 1, 2, 3}) EXPECT_EQ(RowOf(picture, y), "RRtRRtRRtRRtRRRt") << y;
}

TEST(SegmentMarksTest, TransparentAtTheBottomReachTheLastRow) {
  Settings settings = Defaults();
  settings.StandardGauge = true;
  settings.TransBk = true;
  settings.BarBottom = true;
  const TrayPicture picture = Paint(GaugeOnly(settings), Sample(100));
  for (int y : {12, 13, 14, 15}) EXPECT_EQ(RowOf(picture, y), "RRtRRtRRtRRtRRRt") << y;
}

// With the user's font the border is one column narrower and three rows high, and the marks cut it.
TEST(SegmentMarksTest, WithBorderAtThreeSixNineTwelve) {
  Settings settings = Defaults();
  settings.InternalFont = false;
  settings.NoBorder = false;
  settings.StandardGauge = true;
  const TrayPicture picture = Paint(GaugeOnly(settings), Sample(52));
  EXPECT_EQ(RowOf(picture, 0), "................");
  EXPECT_EQ(RowOf(picture, 1), "SGG.GG.GS.SS.SS.");
  EXPECT_EQ(RowOf(picture, 2), "SGG.GG.G......S.");
  EXPECT_EQ(RowOf(picture, 3), "SGG.GG.GS.SS.SS.");
  EXPECT_EQ(RowOf(picture, 4), "................");
}

TEST(SegmentMarksTest, WithBorderAndGlyphs) {
  Settings settings = Defaults();
  settings.NoBorder = false;
  settings.StandardGauge = true;
  const TrayPicture picture = Paint(GaugeOnly(settings), Sample(100));
  EXPECT_EQ(RowOf(picture, 0), "SSSSSSSSSSSSSSSS");
  EXPECT_EQ(RowOf(picture, 2), "SRR.RR.RR.RR.RRS");
  EXPECT_EQ(RowOf(picture, 4), "SSSSSSSSSSSSSSSS");
}

// ---- Colours -------------------------------------------------------------------------------------------

TEST(TrayColoursTest, SystemAndRgbColoursAreResolved) {
  TableSystemColors system;
  system.Set(16, 0x00445566);  // ButtonShadow: the automatic border and track
  system.Set(24, 0x00E1FFFF);
  system.Set(13, 0x00112233);
  Settings settings = Defaults();
  settings.NoBorder = false;
  settings.FullBar = true;
  settings.OpaqueBkColor = SystemColor(24);
  settings.GreenColor = RgbColor(1, 2, 3);
  settings.DisplayFont.Color = SystemColor(13);
  settings.FontColor = settings.DisplayFont.Color;
  const TrayPicture picture = Paint(settings, Sample(52, 3758096384), NumberFormat{}, nullptr, system);
  EXPECT_EQ(picture.at(0, 0), 0x00445566u);   // border
  EXPECT_EQ(picture.at(5, 5), 0x00E1FFFFu);   // background
  EXPECT_EQ(picture.at(1, 2), 0x00030201u);   // bar
  EXPECT_EQ(picture.at(14, 2), 0x00445566u);  // track
  EXPECT_EQ(picture.at(0, 6), 0x00112233u);   // top left pixel of the 3
  EXPECT_EQ(picture.at(5, 15), 0x00112233u);  // the point
}

TEST(TrayColoursTest, ChosenBorderTrackAndBandColours) {
  Settings settings = GaugeOnly(Defaults());
  settings.NoBorder = false;
  settings.FullBar = true;
  settings.BarBorderColor = RgbColor(0, 255, 0);
  settings.FullBarColor = RgbColor(255, 255, 0);
  settings.RedColor = RgbColor(128, 128, 128);
  EXPECT_EQ(RowOf(Paint(settings, Sample(90)), 2), "GSSSSSSSSSSSSSYG");
  EXPECT_EQ(RowOf(Paint(settings, Sample(90)), 0), "GGGGGGGGGGGGGGGG");
}

TEST(TrayColoursTest, AutomaticTextIsBlack) {
  Settings settings = Defaults();
  settings.DisplayFont.Color = kAutomaticColor;
  settings.FontColor = kAutomaticColor;
  EXPECT_EQ(Painted(settings, Sample(52, 3758096384)), kDefaultsGigabytes);
}

// One character, 5, at column 4.
Settings FiveInMagenta(ColorValue chosen, ColorValue font) {
  Settings settings = Defaults();
  settings.ShowPercentage = true;
  settings.OptimizeForGigabytes = false;
  settings.FontColor = chosen;
  settings.DisplayFont.Color = font;
  return settings;
}

TEST(MagentaTextTest, IsDrawnThroughTheKeyColour) {
  EXPECT_EQ(Painted(FiveInMagenta(kMagentaValue, kMagentaValue), Sample(5)),
            Sketch('.').Glyph(k2Five, 4, 6, 'M').Text());
}

TEST(MagentaTextTest, TransparentBackground) {
  Settings settings = FiveInMagenta(kMagentaValue, kMagentaValue);
  settings.TransBk = true;
  EXPECT_EQ(Painted(settings, Sample(5)), Sketch('t').Fill(0, 0, 1, 4, 'G').Glyph(k2Five, 4, 7, 'M').Text());
}

TEST(MagentaTextTest, ThePointIsMagentaToo) {
  Settings settings = Defaults();
  settings.FontColor = kMagentaValue;
  settings.DisplayFont.Color = kMagentaValue;
  const TrayPicture picture = Paint(settings, Sample(52, 3758096384));
  EXPECT_EQ(picture.at(5, 15), kMagenta);
  EXPECT_EQ(picture.at(0, 6), kMagenta);
  EXPECT_EQ(picture.at(3, 6), kWhite);
}

// The test is on the chosen colour: a magenta font colour without it vanishes into the see-through part.
TEST(MagentaTextTest, OnlyTheChosenColourCounts) {
  EXPECT_EQ(Painted(FiveInMagenta(0, kMagentaValue), Sample(5)), Sketch('.').Text());
}

TEST(KeyColouredTextTest, IsTheKeyColourOnAnyBackground) {
  const ColorValue key = RgbColor(3, 3, 3);
  EXPECT_EQ(Painted(FiveInMagenta(key, key), Sample(5)), Sketch('.').Glyph(k2Five, 4, 6, 't').Text());
  Settings settings = FiveInMagenta(key, key);
  settings.TransBk = true;
  EXPECT_EQ(Painted(settings, Sample(5)), Sketch('t').Fill(0, 0, 1, 4, 'G').Text());
}

// ---- The user's font ---------------------------------------------------------------------------------

// Every character a box of charWidth × height; draws the box in the text colour.
class BoxRenderer : public TextRenderer {
 public:
  struct Drawn {
    int x;
    int y;
    std::wstring text;
    Rgb color;
  };

  BoxRenderer(int charWidth, int height) : charWidth_(charWidth), height_(height) {}

  void SelectFont(const FontSpec& font, int pictureSize) override {
    selected.push_back(font);
    sizes.push_back(pictureSize);
  }
  int TextWidth(std::wstring_view text) override {
    measured.emplace_back(text);
    return charWidth_ * static_cast<int>(text.size());
  }
  int TextHeight(std::wstring_view text) override {
    heightOf.emplace_back(text);
    return height_;
  }
  void DrawText(TrayPicture& picture, int x, int y, std::wstring_view text, Rgb color) override {
    drawn.push_back({x, y, std::wstring(text), color});
    picture.Fill(x, y, x + TextWidth(text), y + height_, color);
    measured.pop_back();
  }

  std::vector<FontSpec> selected;
  std::vector<int> sizes;
  std::vector<std::wstring> measured;
  std::vector<std::wstring> heightOf;
  std::vector<Drawn> drawn;

 private:
  int charWidth_;
  int height_;
};

Settings UserFont() {
  Settings settings = Defaults();
  settings.InternalFont = false;
  settings.DisplayFont.Name = L"Verdana";
  settings.DisplayFont.Size = 7;
  return settings;
}

TEST(UserFontTest, CentresTheTextBelowTheBar) {
  BoxRenderer renderer(4, 8);
  Paint(UserFont(), Sample(52, 3758096384), NumberFormat{}, &renderer);
  ASSERT_EQ(renderer.selected.size(), 1u);
  EXPECT_EQ(renderer.selected[0], UserFont().DisplayFont);
  EXPECT_EQ(renderer.heightOf, std::vector<std::wstring>{L"1"});
  EXPECT_EQ(renderer.measured, std::vector<std::wstring>{L"3.50"});
  ASSERT_EQ(renderer.drawn.size(), 1u);
  EXPECT_EQ(renderer.drawn[0].x, 0);  // (16 - 16) / 2
  EXPECT_EQ(renderer.drawn[0].y, 8);  // 15 - 8 + 1
  EXPECT_EQ(renderer.drawn[0].text, L"3.50");
  EXPECT_EQ(renderer.drawn[0].color, kBlack);
}

// Centred on "3,584" (20 pixels) but drawn without the separator.
TEST(UserFontTest, MegabytesAreMeasuredWithSeparatorsAndDrawnWithout) {
  Settings settings = UserFont();
  settings.OptimizeForGigabytes = false;
  BoxRenderer renderer(4, 8);
  Paint(settings, Sample(52, 3758096384), NumberFormat{}, &renderer);
  EXPECT_EQ(renderer.measured, std::vector<std::wstring>{L"3,584"});
  ASSERT_EQ(renderer.drawn.size(), 1u);
  EXPECT_EQ(renderer.drawn[0].x, -2);
  EXPECT_EQ(renderer.drawn[0].text, L"3584");
}

// A text wider than the picture starts left of it; the half is truncated toward zero: (16 - 27) / 2 = -5.
TEST(UserFontTest, WideTextStartsLeftOfThePicture) {
  Settings settings = UserFont();
  settings.OptimizeForGigabytes = false;
  BoxRenderer renderer(3, 8);
  Paint(settings, Sample(52, 1024 * kGiB), NumberFormat{}, &renderer);
  EXPECT_EQ(renderer.measured, std::vector<std::wstring>{L"1,048,576"});
  ASSERT_EQ(renderer.drawn.size(), 1u);
  EXPECT_EQ(renderer.drawn[0].x, -5);
  EXPECT_EQ(renderer.drawn[0].text, L"1048576");
}

// Gigabytes keep their separators and are never cut with the user's font.
TEST(UserFontTest, GigabytesAreDrawnAsFormatted) {
  BoxRenderer renderer(2, 8);
  Paint(UserFont(), Sample(52, 13249974108), NumberFormat{}, &renderer);
  ASSERT_EQ(renderer.drawn.size(), 1u);
  EXPECT_EQ(renderer.drawn[0].text, L"12.34");
  EXPECT_EQ(renderer.drawn[0].x, 3);  // (16 - 10) / 2
}

TEST(UserFontTest, PercentageAndBarAtTheBottom) {
  Settings settings = UserFont();
  settings.ShowPercentage = true;
  settings.ShowPercSign = true;
  settings.BarBottom = true;
  settings.DisplayFont.Color = RgbColor(10, 20, 30);
  BoxRenderer renderer(3, 6);
  Paint(settings, Sample(52), NumberFormat{}, &renderer);
  ASSERT_EQ(renderer.drawn.size(), 1u);
  EXPECT_EQ(renderer.drawn[0].text, L"52%");
  EXPECT_EQ(renderer.drawn[0].x, 3);  // (16 - 9) / 2 = 3.5
  EXPECT_EQ(renderer.drawn[0].y, 5);  // 15 - 6 + 1 - 5
  EXPECT_EQ(renderer.drawn[0].color, 0x001E140Au);
}

TEST(UserFontTest, WholePictureWithBorder) {
  Settings settings = UserFont();
  settings.NoBorder = false;
  BoxRenderer renderer(3, 6);
  EXPECT_EQ(PictureText(Paint(settings, Sample(52, 3758096384), NumberFormat{}, &renderer)),
            Rows({
                "................",
                "SGGGGGGGSSSSSSS.",
                "SGGGGGGG......S.",
                "SGGGGGGGSSSSSSS.",
                "................",
                "................",
                "................",
                "................",
                "................",
                "................",
                "..KKKKKKKKKKKK..",
                "..KKKKKKKKKKKK..",
                "..KKKKKKKKKKKK..",
                "..KKKKKKKKKKKK..",
                "..KKKKKKKKKKKK..",
                "..KKKKKKKKKKKK..",
            }));
}

TEST(UserFontTest, GlyphsNeverAskTheRenderer) {
  BoxRenderer renderer(4, 8);
  EXPECT_EQ(PictureText(Paint(Defaults(), Sample(52, 3758096384), NumberFormat{}, &renderer)),
            kDefaultsGigabytes);
  EXPECT_TRUE(renderer.selected.empty());
  EXPECT_TRUE(renderer.measured.empty());
  EXPECT_TRUE(renderer.drawn.empty());
}

// ---- The painter object ------------------------------------------------------------------------------

TEST(TrayPainterTest, ATickDependsOnlyOnItsOwnInputs) {
  TrayPainter painter;
  const TableSystemColors system;
  const NumberFormat format;
  const PaintContext context{format, system, nullptr};
  Settings mini = Defaults();
  mini.MiniInternalFont = true;
  mini.FontColor = kMagentaValue;
  mini.DisplayFont.Color = kMagentaValue;
  TrayPicture canvas;
  painter.Paint(canvas, mini, Sample(52, 10 * kGiB), context);
  painter.Paint(canvas, Defaults(), Sample(52, 3758096384), context);
  EXPECT_EQ(PictureText(canvas), kDefaultsGigabytes);
}

}  // namespace
}  // namespace nimbrel
