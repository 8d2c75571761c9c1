#include "settings/color_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "test_value_name.h"

namespace nimbrel {
namespace {

struct NamedColor {
  int index;
  const wchar_t* name;
};

constexpr NamedColor kNamedColors[] = {
    {0, L"ScrollBar"},
    {1, L"Background"},
    {2, L"ActiveCaption"},
    {3, L"InactiveCaption"},
    {4, L"Menu"},
    {5, L"Window"},
    {6, L"WindowFrame"},
    {7, L"MenuText"},
    {8, L"WindowText"},
    {9, L"CaptionText"},
    {10, L"ActiveBorder"},
    {11, L"InactiveBorder"},
    {12, L"AppWorkSpace"},
    {13, L"Highlight"},
    {14, L"HighlightText"},
    {15, L"ThreeDFace"},
    {16, L"ButtonShadow"},
    {17, L"GrayText"},
    {18, L"ButtonText"},
    {19, L"InactiveCaptionText"},
    {20, L"ButtonHighlight"},
    {21, L"ThreeDDarkShadow"},
    {22, L"ThreeDHighlight"},
    {23, L"InfoText"},
    {24, L"InfoBackground"},
};

TEST(ColorTextTest, SystemColorValues) {
  EXPECT_EQ(SystemColor(0), -16777216);
  EXPECT_EQ(SystemColor(8), -16777208);
  EXPECT_EQ(SystemColor(16), static_cast<ColorValue>(0xFF000010u));
  EXPECT_EQ(SystemColor(24), -16777192);
}

TEST(ColorTextTest, SystemColorRange) {
  EXPECT_FALSE(IsSystemColor(kAutomaticColor));
  EXPECT_FALSE(IsSystemColor(0));
  EXPECT_FALSE(IsSystemColor(0x00FFFFFF));
  EXPECT_FALSE(IsSystemColor(static_cast<ColorValue>(0xFEFFFFFFu)));
  EXPECT_TRUE(IsSystemColor(static_cast<ColorValue>(0xFF000000u)));
  EXPECT_TRUE(IsSystemColor(static_cast<ColorValue>(0xFF000018u)));
  EXPECT_FALSE(IsSystemColor(static_cast<ColorValue>(0xFF000019u)));
  EXPECT_EQ(SystemColorIndex(static_cast<ColorValue>(0xFF000018u)), 24);
  EXPECT_EQ(SystemColorIndex(static_cast<ColorValue>(0xFF00000Fu)), 15);
  EXPECT_EQ(SystemColorIndex(0x000000FF), -1);
  EXPECT_EQ(SystemColorIndex(static_cast<ColorValue>(0xFF000019u)), -1);
}

TEST(ColorTextTest, EverySystemColorHasItsNameBothWays) {
  for (const NamedColor& named : kNamedColors) {
    const ColorValue color = static_cast<ColorValue>(0xFF000000u + static_cast<unsigned>(named.index));
    EXPECT_EQ(ColorToText(color), named.name) << named.index;
    EXPECT_EQ(TextToColor(named.name), color) << named.index;
    EXPECT_EQ(TextToColor(std::wstring(L"#") + named.name), color) << named.index;
  }
}

TEST(ColorTextTest, RgbIsWrittenRedGreenBlueInUpperCase) {
  EXPECT_EQ(ColorToText(0x00030201), L"010203");
  EXPECT_EQ(ColorToText(0x000000FF), L"FF0000");
  EXPECT_EQ(ColorToText(0x00FF0000), L"0000FF");
  EXPECT_EQ(ColorToText(0x00E1E1FB), L"FBE1E1");
  EXPECT_EQ(ColorToText(0), L"000000");
  EXPECT_EQ(ColorToText(0x00ABCDEF), L"EFCDAB");
}

TEST(ColorTextTest, RgbColorPacksBlueGreenRed) {
  EXPECT_EQ(RgbColor(1, 2, 3), 0x00030201);
  EXPECT_EQ(RgbColor(251, 225, 225), 0x00E1E1FB);
}

struct TextCase {
  const wchar_t* text;
  ColorValue expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << testing_names::Token(c.text); }

class TextToColorTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextToColorTest, Reads) { EXPECT_EQ(TextToColor(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToColorTest,
    ::testing::Values(TextCase{L"#00FF00", 0x0000FF00}, TextCase{L"00ff00", 0x0000FF00},
                      TextCase{L"00FF00", 0x0000FF00}, TextCase{L"010203", 0x00030201},
                      TextCase{L"FF0000", 0x000000FF}, TextCase{L"aBcDeF", 0x00EFCDAB},
                      // characters after the sixth do not count
                      TextCase{L"FF00007", 0x000000FF}, TextCase{L"0000FFzz", 0x00FF0000},
                      TextCase{L"ButtonShadow", static_cast<ColorValue>(0xFF000010u)},
                      TextCase{L"#ButtonShadow", static_cast<ColorValue>(0xFF000010u)},
                      // names are matched with case
                      TextCase{L"buttonshadow", kAutomaticColor}, TextCase{L"BUTTONSHADOW", kAutomaticColor},
                      TextCase{L"Red", kAutomaticColor}, TextCase{L"", kAutomaticColor},
                      TextCase{L"#", kAutomaticColor}, TextCase{L"FF000", kAutomaticColor},
                      TextCase{L"#FF000", kAutomaticColor}, TextCase{L"GG0000", kAutomaticColor},
                      TextCase{L"00FF0G", kAutomaticColor}, TextCase{L"-1", kAutomaticColor},
                      TextCase{L"Automatic", kAutomaticColor}, TextCase{L"##00FF00", kAutomaticColor},
                      TextCase{L" 00FF00", kAutomaticColor}, TextCase{L"0xFF00", kAutomaticColor}));

TEST(ColorTextTest, RgbRoundTrip) {
  for (ColorValue color : {0x00000000, 0x00010203, 0x00FFFFFF, 0x0080FF00, 0x00123456}) {
    EXPECT_EQ(TextToColor(ColorToText(color)), color) << color;
  }
}

}  // namespace
}  // namespace nimbrel
