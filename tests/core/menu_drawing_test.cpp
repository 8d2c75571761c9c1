#include "processes/menu_drawing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "processes/tray_menu.h"
#include "test_value_name.h"

namespace nimbrel {

// Readable failure output; static so that no other test file's printers collide with these.
static void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
static void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
static void PrintTo(const ThemePartStep& s, std::ostream* os) {
  *os << "Theme part " << s.part << " state " << s.state << " ";
  PrintTo(s.rect, os);
}
static void PrintTo(const FillStep& s, std::ostream* os) {
  *os << "Fill " << std::hex << s.color << std::dec << " ";
  PrintTo(s.rect, os);
}
static void PrintTo(const LineStep& s, std::ostream* os) {
  *os << "Line " << std::hex << s.color << std::dec << " ";
  PrintTo(s.from, os);
  PrintTo(s.to, os);
}
static void PrintTo(const IconStep& s, std::ostream* os) {
  *os << "Icon " << static_cast<int>(s.icon) << " handle " << s.handle << " at ";
  PrintTo(s.at, os);
}
static void PrintTo(const CheckBitmapStep& s, std::ostream* os) {
  *os << "Check bitmap at ";
  PrintTo(s.at, os);
}
static void PrintTo(const TextStep& s, std::ostream* os) {
  *os << "Text " << testing_names::Token(s.text) << " flags " << std::hex << s.flags << " colour "
      << (s.color.fromTheme ? "theme" : "") << s.color.color << std::dec << (s.bold ? " bold " : " ");
  PrintTo(s.rect, os);
}

namespace {

// Regular text is 6 pixels a character, bold 7.
class FixedMetrics : public MenuTextMetrics {
 public:
  int TextWidth(std::wstring_view text, bool bold) const override {
    return static_cast<int>(text.size()) * (bold ? 7 : 6);
  }
};

struct ItemShape {
  const wchar_t* caption = L"Item";
  int tag = 0;
  bool enabled = true;
  bool isDefault = false;
  bool checked = false;
  int shortcut = 0;
  const wchar_t* value = L"";
  std::uintptr_t icon = 0;
  bool defaultIcon = false;
  bool highlight = false;
};

struct PlanCase {
  const char* name;
  ItemShape item;
  bool selected, themed, modern;
  std::vector<MenuPaintStep> expected;
};

void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.name; }

// Odd height, so that the halvings round down: icon top 102, middle 110, caption top 104.
constexpr Rect kR{3, 100, 203, 121};
constexpr int kTextHeight = 13;
constexpr int kCheckWidth = 13;
constexpr ColorValue kPink = RgbColor(251, 225, 225);
constexpr Rect kCaption{33, 104, 203, 121};
constexpr Rect kFullGutter{3, 100, 29, 121};
constexpr Rect kGutterEdge{28, 100, 29, 121};
constexpr Rect kCheckArea{3, 100, 27, 121};
constexpr Point kIconAt{7, 102};
const MenuTextColor kMenuText{false, kMenuTextColor};
const MenuTextColor kGrey{false, kBtnShadowColor};
const MenuTextColor kSelectedText{false, kHighlightTextColor};
const MenuTextColor kThemeText{true, 0};

TextStep Caption(const wchar_t* text, MenuTextColor color, bool bold = false) {
  return TextStep{text, kCaption, kCaptionTextFlags, bold, color};
}

// Right-aligned ten pixels inside the item: right 193, left 193 minus the text's width.
TextStep Value(const wchar_t* text, int left, MenuTextColor color, bool bold = false) {
  return TextStep{text, Rect{left, 104, 193, 121}, kValueTextFlags, bold, color};
}

ItemShape Process(bool highlight, std::uintptr_t icon = 0x1234) {
  ItemShape shape;
  shape.caption = L"big.exe";
  shape.tag = kProcessItemTag;
  shape.value = L"300 MB";
  shape.icon = icon;
  shape.defaultIcon = icon == 0;
  shape.highlight = highlight;
  return shape;
}

ItemShape MemoryLine() {
  ItemShape shape;
  shape.caption = L"物理内存";
  shape.tag = kMemoryLineTag;
  shape.enabled = false;
  shape.value = L" 1.8 GB";
  return shape;
}

ItemShape Separator(int tag = 0) {
  ItemShape shape;
  shape.caption = L"-";
  shape.tag = tag;
  return shape;
}

ItemShape Plain(bool enabled = true, bool checked = false) {
  ItemShape shape;
  shape.caption = L"透明背景(&T)";
  shape.enabled = enabled;
  shape.checked = checked;
  return shape;
}

ItemShape Defragment() {
  ItemShape shape;
  shape.caption = L"内存碎片整理(&D)";
  shape.isDefault = true;
  shape.shortcut = 0xC04D;
  return shape;
}

ItemShape TaskManager() {
  ItemShape shape;
  shape.caption = L"启动任务管理器(&T)";
  shape.tag = kTaskManagerTag;
  shape.isDefault = true;
  return shape;
}

const ThemePartStep kBackground{kMenuPartPopupBackground, 1, kR};

class PlanMenuItemPaintTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanMenuItemPaintTest, Plans) {
  const PlanCase& c = GetParam();
  MenuItem item;
  item.Caption = c.item.caption;
  item.Tag = c.item.tag;
  item.Enabled = c.item.enabled;
  item.Default = c.item.isDefault;
  item.Checked = c.item.checked;
  item.ShortCut = c.item.shortcut;
  item.ValueText = c.item.value;
  item.SmallIcon = c.item.icon;
  item.UseDefaultIcon = c.item.defaultIcon;
  item.Highlight = c.item.highlight;
  const MenuItemPaint paint = PlanMenuItemPaint(item, kR, c.selected, c.themed, c.modern, kTextHeight, kPink,
                                                kCheckWidth, FixedMetrics());
  EXPECT_EQ(paint.steps, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ThemedModern, PlanMenuItemPaintTest,
    ::testing::Values(
        PlanCase{"HighlightedProcess",
                 Process(true),
                 false,
                 true,
                 true,
                 {kBackground, FillStep{kR, kPink}, ThemePartStep{13, 1, kGutterEdge},
                  IconStep{MenuIcon::ItemSmallIcon, 0x1234, kIconAt}, Caption(L"big.exe", kMenuText),
                  Value(L"300 MB", 157, kMenuText)}},
        PlanCase{"HighlightedProcessSelected",
                 Process(true),
                 true,
                 true,
                 true,
                 {kBackground, FillStep{kR, kPink}, ThemePartStep{13, 2, kGutterEdge},
                  ThemePartStep{14, 2, kR}, IconStep{MenuIcon::ItemSmallIcon, 0x1234, kIconAt},
                  Caption(L"big.exe", kThemeText), Value(L"300 MB", 157, kThemeText)}},
        PlanCase{"ProcessWithoutIcon",
                 Process(false, 0),
                 false,
                 true,
                 true,
                 {kBackground, ThemePartStep{13, 1, kFullGutter},
                  IconStep{MenuIcon::DefaultProcessIcon, 0, kIconAt}, Caption(L"big.exe", kMenuText),
                  Value(L"300 MB", 157, kMenuText)}},
        PlanCase{
            "DefaultSelectedWithShortcut",
            Defragment(),
            true,
            true,
            true,
            {kBackground, ThemePartStep{13, 2, kFullGutter}, ThemePartStep{14, 2, kR},
             Caption(L"内存碎片整理(&D)", kThemeText, true), Value(L"Ctrl+Alt+M", 123, kThemeText, true)}},
        PlanCase{"MemoryLineStaysReadable",
                 MemoryLine(),
                 false,
                 true,
                 true,
                 {kBackground, ThemePartStep{13, 1, kFullGutter}, Caption(L"物理内存", kMenuText),
                  Value(L" 1.8 GB", 151, kMenuText)}},
        PlanCase{"MemoryLineSelectedIsNotHot",
                 MemoryLine(),
                 true,
                 true,
                 true,
                 {kBackground, ThemePartStep{13, 2, kFullGutter}, Caption(L"物理内存", kMenuText),
                  Value(L" 1.8 GB", 151, kMenuText)}},
        PlanCase{"DisabledItemIsGrey",
                 Plain(false),
                 false,
                 true,
                 true,
                 {kBackground, ThemePartStep{13, 1, kFullGutter}, Caption(L"透明背景(&T)", kGrey)}},
        PlanCase{"Checked",
                 Plain(true, true),
                 false,
                 true,
                 true,
                 {kBackground, ThemePartStep{13, 1, kFullGutter}, ThemePartStep{12, 2, kCheckArea},
                  ThemePartStep{11, 1, kCheckArea}, Caption(L"透明背景(&T)", kMenuText)}},
        PlanCase{"CheckedDisabled",
                 Plain(false, true),
                 false,
                 true,
                 true,
                 {kBackground, ThemePartStep{13, 1, kFullGutter}, ThemePartStep{12, 1, kCheckArea},
                  ThemePartStep{11, 2, kCheckArea}, Caption(L"透明背景(&T)", kGrey)}},
        PlanCase{
            "Separator",
            Separator(),
            false,
            true,
            true,
            {kBackground, ThemePartStep{13, 1, kFullGutter}, ThemePartStep{15, 1, Rect{28, 100, 203, 121}}}},
        PlanCase{
            "ProcessSeparatorSelected",
            Separator(kProcessItemTag),
            true,
            true,
            true,
            {kBackground, ThemePartStep{13, 2, kFullGutter}, ThemePartStep{15, 1, Rect{28, 100, 203, 121}}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ThemedXp, PlanMenuItemPaintTest,
    ::testing::Values(PlanCase{"HighlightedProcess",
                               Process(true),
                               false,
                               true,
                               false,
                               {kBackground, FillStep{kR, kPink}, ThemePartStep{13, 1, kGutterEdge},
                                FillStep{kR, kPink}, IconStep{MenuIcon::ItemSmallIcon, 0x1234, kIconAt},
                                Caption(L"big.exe", kMenuText), Value(L"300 MB", 157, kMenuText)}},
                      PlanCase{"MemoryLineIsGrey",
                               MemoryLine(),
                               false,
                               true,
                               false,
                               {kBackground, ThemePartStep{13, 1, kFullGutter}, FillStep{kR, kMenuColor},
                                Caption(L"物理内存", kGrey), Value(L" 1.8 GB", 151, kGrey)}},
                      PlanCase{"Selected",
                               Plain(),
                               true,
                               true,
                               false,
                               {kBackground, ThemePartStep{13, 2, kFullGutter}, FillStep{kR, kHighlightColor},
                                Caption(L"透明背景(&T)", kSelectedText)}},
                      PlanCase{"CheckedUsesTheBitmap",
                               Plain(true, true),
                               false,
                               true,
                               false,
                               {kBackground, ThemePartStep{13, 1, kFullGutter}, FillStep{kR, kMenuColor},
                                CheckBitmapStep{Point{10, 102}}, Caption(L"透明背景(&T)", kMenuText)}},
                      PlanCase{"Separator",
                               Separator(kMemoryLineTag),
                               false,
                               true,
                               false,
                               {kBackground, ThemePartStep{13, 1, kFullGutter},
                                LineStep{Point{5, 110}, Point{201, 110}, kBtnShadowColor}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Classic, PlanMenuItemPaintTest,
    ::testing::Values(
        PlanCase{
            "HighlightedProcess",
            Process(true, 0),
            false,
            false,
            false,
            {FillStep{kR, kPink}, FillStep{kR, kPink}, IconStep{MenuIcon::DefaultProcessIcon, 0, kIconAt},
             Caption(L"big.exe", kMenuText), Value(L"300 MB", 157, kMenuText)}},
        PlanCase{"HighlightedProcessSelected",
                 Process(true, 0),
                 true,
                 false,
                 false,
                 {FillStep{kR, kPink}, FillStep{kR, kHighlightColor},
                  IconStep{MenuIcon::DefaultProcessIcon, 0, kIconAt}, Caption(L"big.exe", kSelectedText),
                  Value(L"300 MB", 157, kSelectedText)}},
        PlanCase{"MemoryLineIsGrey",
                 MemoryLine(),
                 false,
                 false,
                 false,
                 {FillStep{kR, kMenuColor}, Caption(L"物理内存", kGrey), Value(L" 1.8 GB", 151, kGrey)}},
        PlanCase{"MemoryLineSelected",
                 MemoryLine(),
                 true,
                 false,
                 false,
                 {FillStep{kR, kMenuColor}, Caption(L"物理内存", kGrey), Value(L" 1.8 GB", 151, kGrey)}},
        PlanCase{"DefaultTaskManager",
                 TaskManager(),
                 false,
                 false,
                 false,
                 {FillStep{kR, kMenuColor}, IconStep{MenuIcon::TaskManagerIcon, 0, kIconAt},
                  Caption(L"启动任务管理器(&T)", kMenuText, true)}},
        PlanCase{"ShortcutNotSelected",
                 Defragment(),
                 false,
                 false,
                 false,
                 {FillStep{kR, kMenuColor}, Caption(L"内存碎片整理(&D)", kMenuText, true),
                  Value(L"Ctrl+Alt+M", 123, kMenuText, true)}},
        PlanCase{"CheckedSelected",
                 Plain(true, true),
                 true,
                 false,
                 false,
                 {FillStep{kR, kHighlightColor}, CheckBitmapStep{Point{10, 102}},
                  Caption(L"透明背景(&T)", kSelectedText)}},
        PlanCase{"Separator",
                 Separator(),
                 false,
                 false,
                 false,
                 {LineStep{Point{5, 110}, Point{201, 110}, kBtnShadowColor},
                  LineStep{Point{5, 111}, Point{201, 111}, kBtnHighlightColor}}},
        PlanCase{"ProcessSeparatorSelected",
                 Separator(kProcessItemTag),
                 true,
                 false,
                 false,
                 {LineStep{Point{5, 110}, Point{201, 110}, kBtnShadowColor},
                  LineStep{Point{5, 111}, Point{201, 111}, kBtnHighlightColor}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlanMenuItemPaintTest, ValueTextOnlyForProcessesAndMemoryLines) {
  MenuItem item;
  item.Caption = L"关于(&A)";
  item.ValueText = L"stale";
  const MenuItemPaint paint =
      PlanMenuItemPaint(item, kR, false, false, false, kTextHeight, kPink, kCheckWidth, FixedMetrics());
  EXPECT_EQ(paint.steps,
            (std::vector<MenuPaintStep>{FillStep{kR, kMenuColor}, Caption(L"关于(&A)", kMenuText)}));
}

TEST(PlanMenuItemPaintTest, EmptyValueAndUnnamedShortcutDrawNothing) {
  MenuItem item;
  item.Caption = L"line";
  item.Tag = kMemoryLineTag;
  item.ShortCut = 0x40BA;  // a key without a name of its own, and metrics that know none
  const MenuItemPaint paint =
      PlanMenuItemPaint(item, kR, false, false, false, kTextHeight, kPink, kCheckWidth, FixedMetrics());
  EXPECT_EQ(paint.steps, (std::vector<MenuPaintStep>{FillStep{kR, kMenuColor}, Caption(L"line", kMenuText)}));
}

TEST(PlanMenuItemPaintTest, AsksTheMetricsForKeyNames) {
  class NamingMetrics : public FixedMetrics {
   public:
    std::wstring KeyName(int virtualKey) const override { return virtualKey == 0xBA ? L";" : L""; }
  };
  MenuItem item;
  item.Caption = L"x";
  item.ShortCut = 0x40BA;
  const MenuItemPaint paint =
      PlanMenuItemPaint(item, kR, false, false, false, kTextHeight, kPink, kCheckWidth, NamingMetrics());
  EXPECT_EQ(paint.steps, (std::vector<MenuPaintStep>{FillStep{kR, kMenuColor}, Caption(L"x", kMenuText),
                                                     Value(L"Ctrl+;", 157, kMenuText)}));
}

// The menu at each display scale: a text height and the system's small-icon size of that scale.
struct ScaleCase {
  int dpi;
  int iconSize;
  int textHeight;
  int rowHeight;  // of a text row
  int separatorHeight;
  int width;        // of an item with an 80-pixel caption
  int gutter;       // the gutter's right edge from the item's left
  int captionLeft;  // from the item's left
  int iconLeft;     // from the item's left
  int valueRightMargin;
};

TEST(MenuScaleTest, SizesFollowTheDpiAndTheIconSize) {
  const ScaleCase cases[] = {
      {96, 16, 13, 20, 6, 207, 26, 30, 4, 10},
      {120, 20, 16, 25, 8, 239, 33, 38, 5, 13},
      {144, 24, 20, 31, 9, 271, 39, 45, 6, 15},
      {192, 32, 26, 40, 12, 334, 52, 60, 8, 20},
      // A system whose small icons are larger than the dpi alone makes them: the row holds the icon.
      {144, 32, 20, 38, 9, 279, 47, 53, 6, 15},
  };
  for (const ScaleCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi, " << c.iconSize << "-pixel icons");
    const MenuScale scale{c.dpi, c.iconSize};
    const MenuItemMeasure separator = MeasureMenuItem(true, 80, c.textHeight, scale);
    EXPECT_FALSE(separator.width.has_value());
    EXPECT_EQ(separator.height, c.separatorHeight);
    const MenuItemMeasure row = MeasureMenuItem(false, 80, c.textHeight, scale);
    EXPECT_EQ(row.height, c.rowHeight);
    EXPECT_EQ(row.width, c.width);
    EXPECT_EQ(MenuGutterWidth(scale), c.gutter);

    MenuItem item;
    item.Caption = L"big.exe";
    item.Tag = kProcessItemTag;
    item.ValueText = L"300 MB";
    item.SmallIcon = 0x1234;
    const Rect r{3, 100, 3 + c.width, 100 + c.rowHeight};
    const MenuItemPaint paint = PlanMenuItemPaint(item, r, false, true, true, c.textHeight, kPink,
                                                  kCheckWidth, FixedMetrics(), scale);
    const IconStep* icon = nullptr;
    std::vector<const TextStep*> texts;
    const ThemePartStep* gutter = nullptr;
    for (const MenuPaintStep& step : paint.steps) {
      if (const auto* i = std::get_if<IconStep>(&step)) icon = i;
      if (const auto* t = std::get_if<TextStep>(&step)) texts.push_back(t);
      if (const auto* p = std::get_if<ThemePartStep>(&step); p && p->part == kMenuPartPopupGutter) gutter = p;
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->size, c.iconSize);
    EXPECT_EQ(icon->at.x, 3 + c.iconLeft);
    EXPECT_EQ(icon->at.y, 100 + (c.rowHeight - c.iconSize) / 2);
    EXPECT_GE(icon->at.y, r.top);
    EXPECT_LE(icon->at.y + icon->size, r.bottom);
    ASSERT_NE(gutter, nullptr);
    EXPECT_EQ(gutter->rect.right, 3 + c.gutter);
    EXPECT_LE(icon->at.x + icon->size, gutter->rect.right);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->rect.left, 3 + c.captionLeft);
    EXPECT_EQ(texts[1]->rect.right, r.right - c.valueRightMargin);
    EXPECT_EQ(texts[1]->rect.left, texts[1]->rect.right - 6 * 6);
    // The value keeps clear of the caption: the room for values is the width beyond the caption.
    EXPECT_GT(texts[1]->rect.left, texts[0]->rect.left + 80);
  }
}

TEST(MeasureMenuItemTest, Measures) {
  const MenuItemMeasure separator = MeasureMenuItem(true, 80, 13);
  EXPECT_FALSE(separator.width.has_value());
  EXPECT_EQ(separator.height, 6);
  const MenuItemMeasure item = MeasureMenuItem(false, 80, 13);
  EXPECT_EQ(item.width, 207);
  EXPECT_EQ(item.height, 20);
  EXPECT_EQ(MeasureMenuItem(false, 0, 16).width, 127);
  EXPECT_EQ(MeasureMenuItem(false, 0, 16).height, 23);
}

}  // namespace
}  // namespace nimbrel
