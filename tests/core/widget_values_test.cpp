// The values behind the colour picker, the spin edit and the font dialog.
#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <string>
#include <tuple>
#include <utility>

#include "settings/text_ini_store.h"
#include "widgets/color_combo_items.h"
#include "widgets/log_font_fields.h"
#include "widgets/spin_value.h"

namespace nimbrel {
namespace {

TEST(WidgetValuesTest, SpinTextReadsIntoTheRange) {
  // No number: the lower bound. Full-width digits are no decimal digits here.
  for (const wchar_t* text : {L"", L"   ", L"abc", L"12a", L"1 2", L"- 4", L"+", L"1.5", L"0x10", L"１２",
                              L"99999999999999999999x"}) {
    EXPECT_EQ(SpinValueFromText(text, -9, 999), -9) << "text of " << wcslen(text) << " chars";
    EXPECT_EQ(ReadSpinText(text), std::nullopt);
  }
  // Numbers: the nearest value of 100..90000.
  const std::pair<const wchar_t*, int> numbers[] = {{L"500", 500},
                                                    {L"  1200\t", 1200},
                                                    {L"+7", 100},
                                                    {L"50", 100},
                                                    {L"90001", 90000},
                                                    {L"-30", 100},
                                                    {L"2147483647", 90000},
                                                    {L"99999999999999999999", 90000},
                                                    {L"-99999999999999999999", 100}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(SpinValueFromText(text, 100, 90000), value) << value;
  EXPECT_EQ(SpinValueFromText(L"-3", -5, 5), -3);
  EXPECT_EQ(SpinValueFromText(L"-2147483648", INT_MIN, 0), INT_MIN);
  EXPECT_EQ(SpinValueFromText(L"12", 10, 5), 10);  // a range upside down is its lower bound alone
  EXPECT_EQ(ReadSpinText(L"99999999999"), INT_MAX);
}

TEST(WidgetValuesTest, ColorComboEntries) {
  ColorComboItems items;
  items.SetDefaultColor(0x00E1E1FB);
  const std::tuple<int, ColorItemKind, ColorValue, const wchar_t*> entries[] = {
      {0, ColorItemKind::Default, 0x00E1E1FB, L"默认"},
      {1, ColorItemKind::Standard, 0x000000, L"黑色"},
      {2, ColorItemKind::Standard, 0x000080, L"栗色"},
      {5, ColorItemKind::Standard, 0x800000, L"海军蓝"},
      {15, ColorItemKind::Standard, 0xFFFF00, L"青色"},
      {16, ColorItemKind::Standard, 0xFFFFFF, L"白色"},
      {17, ColorItemKind::System, static_cast<ColorValue>(0xFF000000u), L"ScrollBar"},
      {33, ColorItemKind::System, static_cast<ColorValue>(0xFF000010u), L"ButtonShadow"},
      {41, ColorItemKind::System, static_cast<ColorValue>(0xFF000018u), L"InfoBackground"},
      {42, ColorItemKind::More, kAutomaticColor, L"自定义..."}};
  ASSERT_EQ(items.Count(), 43);
  for (const auto& [index, kind, color, name] : entries) {
    EXPECT_TRUE(items.Item(index).Kind == kind && items.Item(index).Color == color) << index;
    EXPECT_EQ(items.Item(index).Name, name) << index;
  }

  // Placed in order on one list: the custom entry comes with the first colour the list lacks and is
  // then reused. Silver comes with a stray top byte.
  const std::tuple<ColorValue, int, bool> placed[] = {
      {kAutomaticColor, 0, false},  {0x00FF00, 11, false}, {static_cast<ColorValue>(0x01C0C0C0), 9, false},
      {SystemColor(13), 30, false}, {0x563412, 42, true},  {0x563412, 42, false},
      {0x010203, 42, false},        {0x800080, 6, false}};
  for (const auto& [color, index, inserted] : placed) {
    const ColorComboItems::Placement placement = items.Place(color);
    EXPECT_EQ(placement.Index, index) << color;
    EXPECT_EQ(placement.Inserted, inserted) << color;
  }
  EXPECT_EQ(items.Count(), 44);
  EXPECT_TRUE(items.Item(42).Kind == ColorItemKind::Custom && items.Item(42).Color == 0x010203);
  EXPECT_EQ(items.Item(42).Name, L"自定义");
  EXPECT_EQ(items.MoreColorsIndex(), 43);
  EXPECT_EQ(items.Find(0x563412), std::nullopt);
  EXPECT_EQ(items.Find(0x010203), 42);
}

TEST(WidgetValuesTest, CustomColorsInTheSettingsFile) {
  const TextIniStore store(
      "[自定义颜色]\r\nColorA=563412\r\nColorB=ff\r\nColorC=xyz\r\nColorD=1234567\r\n"
      "ColorE=\r\ncolorf= 00ff00 \r\n");
  CustomColorTable expected;
  expected.fill(0xFFFFFF);  // missing and unreadable keys
  expected[0] = 0x563412;
  expected[1] = 0x0000FF;
  expected[5] = 0x00FF00;
  EXPECT_EQ(ReadCustomColors(store), expected);

  TextIniStore written;
  expected[1] = 0xFFFFFF;
  expected[5] = 0xFFFFFF;
  expected[15] = 0x0000AB;
  ASSERT_TRUE(WriteCustomColors(written, expected));
  EXPECT_EQ(written.Content(),
            "[自定义颜色]\r\nColorA=563412\r\nColorB=FFFFFF\r\nColorC=FFFFFF\r\nColorD=FFFFFF\r\n"
            "ColorE=FFFFFF\r\nColorF=FFFFFF\r\nColorG=FFFFFF\r\nColorH=FFFFFF\r\nColorI=FFFFFF\r\n"
            "ColorJ=FFFFFF\r\nColorK=FFFFFF\r\nColorL=FFFFFF\r\nColorM=FFFFFF\r\nColorN=FFFFFF\r\n"
            "ColorO=FFFFFF\r\nColorP=0000AB\r\n");
  written.SetReadOnly(true);
  EXPECT_FALSE(WriteCustomColors(written, expected));
}

TEST(WidgetValuesTest, FontSpecAndLogFont) {
  // size, dpi, style bits; lfHeight, lfWeight, italic, underline, strike-out
  const std::tuple<int, int, int, LogFontFields> cases[] = {
      {6, 96, 0, {-8, 400, false, false, false, 134, L"Tahoma"}},
      {8, 96, 1, {-11, 700, false, false, false, 134, L"Tahoma"}},
      {9, 96, 2, {-12, 400, true, false, false, 134, L"Tahoma"}},
      {6, 144, 4, {-12, 400, false, true, false, 134, L"Tahoma"}},
      {8, 144, 8, {-16, 400, false, false, true, 134, L"Tahoma"}},
      {9, 144, 15, {-18, 700, true, true, true, 134, L"Tahoma"}},
      {10, 120, 3, {-17, 700, true, false, false, 134, L"Tahoma"}}};
  for (const auto& [size, dpi, style, fields] : cases) {
    const FontSpec font{L"Tahoma", 134, 0x000080, size, style};
    EXPECT_EQ(FontSpecToLogFont(font, dpi), fields) << size << "pt at " << dpi;
    EXPECT_EQ(FontSpecFromLogFont(fields, dpi, 0x000080), font) << size << "pt at " << dpi;
  }
  // What the dialog may hand back besides exact sizes and weights: 11.25 and 9.75 points, semi-bold.
  EXPECT_EQ(FontSpecFromLogFont({-15, 600, false, false, false, 0, L"Arial"}, 96, 0x123456),
            (FontSpec{L"Arial", 0, 0x123456, 11, 1}));
  EXPECT_EQ(FontSpecFromLogFont({-13, 400, false, false, false, 0, L"A"}, 96, 0).Size, 10);
  EXPECT_EQ(FontSpecToLogFont(FontSpec{std::wstring(40, L'x')}, 96).FaceName, std::wstring(31, L'x'));
}

}  // namespace
}  // namespace nimbrel
