#include "platform/task_dialog_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "platform/task_dialog.h"

namespace nimbrel {
namespace {

// 6 pixels a character, 13 pixels a started line of width / 6 characters, 32 × 32 icons; other scales
// give their own sizes.
class FakeMetrics : public TextMetrics {
 public:
  FakeMetrics() = default;
  FakeMetrics(int fontHeight, int charWidth, int lineHeight, int icon)
      : fontHeight_(fontHeight), charWidth_(charWidth), lineHeight_(lineHeight), icon_(icon) {}
  int FontHeight() override { return fontHeight_; }
  int TextWidth(std::wstring_view text, FontRole) override {
    return charWidth_ * static_cast<int>(text.size());
  }
  int ParagraphHeight(std::wstring_view text, FontRole, int width) override {
    const int perLine = width / charWidth_;
    return lineHeight_ * ((static_cast<int>(text.size()) + perLine - 1) / perLine);
  }
  Size IconSize(int iconId) override {
    const auto found = icons.find(iconId);
    return found != icons.end() ? found->second : Size{icon_, icon_};
  }
  std::map<int, Size> icons;

 private:
  int fontHeight_ = -11;
  int charWidth_ = 6;
  int lineHeight_ = 13;
  int icon_ = 32;
};

using Box = std::array<int, 4>;

Box BoxOf(const EmulatedControl& control) {
  return {control.bounds.x, control.bounds.y, control.bounds.width, control.bounds.height};
}

EmulatedLayout Layout(const TTaskDialogEx& request, FakeMetrics metrics = FakeMetrics(), int dpi = 96) {
  return LayoutEmulatedDialog(PrepareTaskDialog(request, L"Nimbrel", false), metrics, dpi);
}

std::vector<const EmulatedControl*> OfKind(const EmulatedLayout& layout, ControlKind kind) {
  std::vector<const EmulatedControl*> found;
  for (const EmulatedControl& control : layout.controls) {
    if (control.kind == kind) found.push_back(&control);
  }
  return found;
}

TTaskDialogEx Request(bool classic, unsigned common = 0) {
  TTaskDialogEx request;
  request.ClassicLook = classic;
  request.CommonButtons = common;
  return request;
}

TTaskDialogEx HighMemoryWarning() {
  TTaskDialogEx request = Request(true);
  request.Dialog.Caption = L"Nimbrel";
  request.Dialog.MainInstruction = L"内存高 (91%)";
  request.Dialog.ContentText = L"建议关闭一些应用程序";
  request.Dialog.CommandButtons = L"整理内存\n任务管理器\n关闭";
  request.Dialog.VerificationText = L"不再显示此警告";
  request.DialogFlags = 8;
  request.MainIconKind = 1;
  return request;
}

TEST(EmulatedLayoutTest, HighMemoryWarningControlByControl) {
  TTaskDialogEx request = HighMemoryWarning();
  request.DialogWidth = 270;
  const EmulatedLayout layout = Layout(request);

  EXPECT_EQ(layout.title, L"Nimbrel");
  EXPECT_EQ(layout.clientWidth, 420);
  EXPECT_EQ(layout.clientHeight, 124);
  EXPECT_EQ(layout.panelHeight, 72);
  EXPECT_FALSE(layout.panelWhite);
  struct Expected {
    ControlKind kind;
    ControlParent parent;
    Box box;
    const wchar_t* caption;
    int result;
  };
  const std::vector<Expected> expected = {
      {ControlKind::Panel, ControlParent::Form, {0, 0, 420, 72}, L"", 0},
      {ControlKind::MainIcon, ControlParent::Panel, {14, 14, 32, 32}, L"", 0},
      {ControlKind::Paragraph, ControlParent::Panel, {60, 14, 352, 13}, L"内存高 (91%)", 0},
      {ControlKind::Paragraph, ControlParent::Panel, {60, 43, 352, 13}, L"建议关闭一些应用程序", 0},
      {ControlKind::Button, ControlParent::Form, {340, 88, 70, 23}, L"关闭", 102},
      {ControlKind::Button, ControlParent::Form, {258, 88, 72, 23}, L"任务管理器", 101},
      {ControlKind::Button, ControlParent::Form, {178, 88, 70, 23}, L"整理内存", 100},
      {ControlKind::VerificationBox, ControlParent::Form, {60, 88, 118, 24}, L"不再显示此警告", 0}};
  ASSERT_EQ(layout.controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const EmulatedControl& control = layout.controls[i];
    EXPECT_EQ(control.kind, expected[i].kind) << i;
    EXPECT_EQ(control.parent, expected[i].parent) << i;
    EXPECT_EQ(BoxOf(control), expected[i].box) << i;
    EXPECT_EQ(control.caption, expected[i].caption) << i;
    EXPECT_EQ(control.result, expected[i].result) << i;
    EXPECT_FALSE(control.isDefault || control.isCancel || control.focused || control.checked) << i;
  }
  EXPECT_EQ(layout.controls[1].iconId, 32515);
  EXPECT_EQ(layout.controls[2].font, FontRole::HeadlineClassic);
  EXPECT_EQ(layout.controls[3].font, FontRole::Normal);
  EXPECT_EQ(layout.tabOrder, (std::vector<int>{6, 5, 4, 0, 7}));
  EXPECT_EQ(layout.focusedControl, -1);
}

// At twice the scale, with fonts and icons twice as large, every box of the form is twice the one above.
TEST(EmulatedLayoutTest, HighMemoryWarningAt192DpiIsTwiceAsLarge) {
  const EmulatedLayout layout = Layout(HighMemoryWarning(), FakeMetrics(-22, 12, 26, 64), 192);
  EXPECT_EQ(layout.clientWidth, 840);
  EXPECT_EQ(layout.clientHeight, 248);
  EXPECT_EQ(layout.panelHeight, 144);
  const std::vector<Box> expected = {{0, 0, 840, 144},    {28, 28, 64, 64},    {120, 28, 704, 26},
                                     {120, 86, 704, 26},  {680, 176, 140, 46}, {516, 176, 144, 46},
                                     {356, 176, 140, 46}, {120, 176, 236, 48}};
  ASSERT_EQ(layout.controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(BoxOf(layout.controls[i]), expected[i]) << i;
}

struct DpiCase {
  int dpi;
  FakeMetrics metrics;
  int icon;
  int clientWidth;
  int iconMargin;
  int textLeft;  // the icon, then 28 pixels at 96 dpi
};

TEST(EmulatedLayoutTest, EveryScaleKeepsTheControlsInsideTheForm) {
  const DpiCase cases[] = {
      {96, FakeMetrics(-11, 6, 13, 32), 32, 420, 14, 60},
      {120, FakeMetrics(-13, 8, 16, 40), 40, 525, 18, 75},
      {144, FakeMetrics(-16, 9, 20, 48), 48, 630, 21, 90},
      {192, FakeMetrics(-22, 12, 26, 64), 64, 840, 28, 120},
  };
  TTaskDialogEx links = HighMemoryWarning();
  links.ClassicLook = false;
  links.DialogFlags = kTdfUseCommandLinks;
  links.CommonButtons = kCancelButton;
  links.Dialog.FooterText = L"这是一个系统进程";
  links.FooterIconKind = 1;
  TTaskDialogEx field = Request(true, kOkButton | kCancelButton);
  field.Dialog.MainInstruction = L"主题名称";
  field.DialogFlags = kQueryField;
  for (DpiCase c : cases) {
    for (const TTaskDialogEx& request : {HighMemoryWarning(), links, field}) {
      SCOPED_TRACE(testing::Message() << c.dpi << " dpi, " << request.Dialog.MainInstruction.size());
      const EmulatedLayout layout = Layout(request, c.metrics, c.dpi);
      EXPECT_EQ(layout.clientWidth, c.clientWidth);
      const int line = -c.metrics.FontHeight() * 4 / 3 + 1;
      for (const EmulatedControl& control : layout.controls) {
        const ControlBounds& b = control.bounds;
        EXPECT_GE(b.x, 0);
        EXPECT_GE(b.y, 0);
        EXPECT_LE(b.x + b.width, layout.clientWidth);
        EXPECT_LE(b.y + b.height, layout.clientHeight);
        if (control.kind == ControlKind::Button || control.kind == ControlKind::Edit ||
            control.kind == ControlKind::VerificationBox) {
          EXPECT_GE(b.height, line + 6) << "a " << static_cast<int>(control.kind) << " cuts its text";
        }
        if (control.kind == ControlKind::MainIcon) {
          EXPECT_EQ(b.x, c.iconMargin);
          EXPECT_EQ(b.width, c.icon);
        }
        if (control.kind == ControlKind::CommandLink) {
          EXPECT_EQ(control.glyphSize, c.dpi / 6);
        }
      }
      if (request.MainIconKind == 1) {
        EXPECT_EQ(layout.controls[2].bounds.x, c.textLeft);
      }
    }
  }
}

TEST(EmulatedLayoutTest, RequestWithoutButtonsGetsOneOkThatIsDefaultCancelAndFocused) {
  TTaskDialogEx request = Request(true);
  request.Dialog.ContentText = L"Hello";
  const EmulatedLayout layout = Layout(request);
  ASSERT_EQ(layout.controls.size(), 3u);
  EXPECT_EQ(BoxOf(layout.controls[1]), (Box{14, 14, 398, 13}));
  const EmulatedControl& ok = layout.controls[2];
  EXPECT_EQ(ok.kind, ControlKind::Button);
  EXPECT_EQ(ok.caption, L"OK");
  EXPECT_EQ(ok.result, 1);
  EXPECT_EQ(BoxOf(ok), (Box{340, 59, 70, 23}));
  EXPECT_TRUE(ok.isDefault);
  EXPECT_TRUE(ok.isCancel);
  EXPECT_TRUE(ok.focused);
  EXPECT_EQ(layout.focusedControl, 2);
  EXPECT_EQ(layout.clientHeight, 95);
  EXPECT_EQ(layout.title, L"Nimbrel");
}

TEST(EmulatedLayoutTest, ClassicAndModernSizes) {
  struct Case {
    bool classic;
    Box headline, content, ok, cancel;
    int panel, height;
    FontRole headlineFont;
  };
  for (const Case& c : {Case{true,
                             {14, 14, 398, 13},
                             {14, 43, 398, 13},
                             {252, 88, 70, 23},
                             {332, 88, 78, 23},
                             72,
                             124,
                             FontRole::HeadlineClassic},
                        Case{false,
                             {28, 28, 384, 13},
                             {28, 57, 384, 13},
                             {252, 102, 68, 26},
                             {332, 102, 76, 26},
                             86,
                             138,
                             FontRole::HeadlineModern}}) {
    TTaskDialogEx request = Request(c.classic, kOkButton | kCancelButton);
    request.Dialog.MainInstruction = L"Title";
    request.Dialog.ContentText = L"Hello";
    const EmulatedLayout layout = Layout(request);
    ASSERT_EQ(layout.controls.size(), 5u);
    EXPECT_EQ(BoxOf(layout.controls[1]), c.headline) << c.classic;
    EXPECT_EQ(layout.controls[1].font, c.headlineFont);
    EXPECT_EQ(BoxOf(layout.controls[2]), c.content) << c.classic;
    EXPECT_EQ(layout.controls[3].caption, L"Cancel");
    EXPECT_EQ(BoxOf(layout.controls[3]), c.cancel) << c.classic;
    EXPECT_TRUE(layout.controls[3].isCancel);
    EXPECT_EQ(layout.controls[4].caption, L"OK");
    EXPECT_EQ(BoxOf(layout.controls[4]), c.ok) << c.classic;
    EXPECT_TRUE(layout.controls[4].isDefault);
    EXPECT_FALSE(layout.controls[4].isCancel);  // not a lone OK
    EXPECT_EQ(layout.panelHeight, c.panel);
    EXPECT_EQ(layout.panelWhite, !c.classic);
    EXPECT_EQ(layout.clientHeight, c.height);
    EXPECT_EQ(layout.tabOrder, (std::vector<int>{4, 3, 0}));
  }
}

TEST(EmulatedLayoutTest, CommonButtonsLeftOfCommandButtonsInTheirOwnOrder) {
  TTaskDialogEx request = Request(true, kOkButton | kCancelButton);
  request.Dialog.CommandButtons = L"Alpha\n\nBeta\\nSecond button";
  const EmulatedLayout layout = Layout(request);
  const auto buttons = OfKind(layout, ControlKind::Button);
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(layout.panelHeight, 14);
  // created right to left
  EXPECT_EQ(buttons[0]->caption, L"Beta");
  EXPECT_EQ(buttons[0]->tooltip, L"Second button");
  EXPECT_EQ(buttons[0]->result, 101);
  EXPECT_EQ(BoxOf(*buttons[0]), (Box{340, 30, 70, 23}));
  EXPECT_EQ(buttons[1]->caption, L"Alpha");
  EXPECT_EQ(buttons[1]->result, 100);
  EXPECT_EQ(BoxOf(*buttons[1]), (Box{258, 30, 72, 23}));
  EXPECT_EQ(buttons[2]->result, 2);
  EXPECT_EQ(BoxOf(*buttons[2]), (Box{170, 30, 78, 23}));
  EXPECT_EQ(buttons[3]->result, 1);
  EXPECT_EQ(BoxOf(*buttons[3]), (Box{90, 30, 70, 23}));
  EXPECT_EQ(layout.tabOrder, (std::vector<int>{4, 3, 2, 1, 0}));
  EXPECT_EQ(layout.clientHeight, 66);
}

TEST(EmulatedLayoutTest, AmpersandsVanishAndCancelCaptionsCancel) {
  TTaskDialogEx request = Request(true, kYesButton | kNoButton);
  request.Dialog.CommandButtons = L"&Cancel\ncancel\nCancel now";
  const EmulatedLayout layout = Layout(request);
  const auto buttons = OfKind(layout, ControlKind::Button);
  ASSERT_EQ(buttons.size(), 5u);
  const std::vector<std::pair<std::wstring, bool>> expected = {
      {L"Cancel now", false}, {L"cancel", true}, {L"Cancel", true}, {L"No", true}, {L"Yes", false}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(buttons[i]->caption, expected[i].first) << i;
    EXPECT_EQ(buttons[i]->isCancel, expected[i].second) << i;
    EXPECT_FALSE(buttons[i]->isDefault) << i;
  }
  EXPECT_EQ(buttons[3]->result, 7);
  EXPECT_EQ(buttons[4]->result, 6);
  EXPECT_EQ(buttons[4]->bounds.width, 70);  // "Yes" is 18 wide, 70 is lifted to 80
}

TEST(EmulatedLayoutTest, RowWiderThanTheDialogWraps32PixelsLower) {
  struct Case {
    bool classic;
    std::vector<Box> boxes;  // Close, Retry, Cancel, No, Yes, OK
    std::vector<int> results;
    int height;
  };
  const std::vector<int> results = {3, 4, 2, 7, 6, 1};
  for (const Case& c : {Case{true,
                             {{338, 30, 72, 23},
                              {256, 30, 72, 23},
                              {168, 30, 78, 23},
                              {88, 30, 70, 23},
                              {8, 30, 70, 23},
                              {340, 62, 70, 23}},
                             results,
                             98},
                        // the text column at 28 lets the row reach 14, so Yes at 8 wraps as well
                        Case{false,
                             {{338, 44, 70, 26},
                              {256, 44, 70, 26},
                              {168, 44, 76, 26},
                              {88, 44, 68, 26},
                              {340, 76, 68, 26},
                              {260, 76, 68, 26}},
                             results,
                             112}}) {
    const EmulatedLayout layout = Layout(Request(c.classic, 63));
    const auto buttons = OfKind(layout, ControlKind::Button);
    ASSERT_EQ(buttons.size(), 6u);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      EXPECT_EQ(BoxOf(*buttons[i]), c.boxes[i]) << c.classic << " " << i;
      EXPECT_EQ(buttons[i]->result, c.results[i]) << i;
    }
    EXPECT_EQ(layout.clientHeight, c.height);
    EXPECT_EQ(layout.tabOrder, (std::vector<int>{6, 5, 4, 3, 2, 1, 0}));
  }
}

TEST(EmulatedLayoutTest, RowMayReachHalfTheTextColumn) {
  TTaskDialogEx request = Request(false);
  request.Dialog.CommandButtons = L"aaaaa\nbbbbb\nccccc\ndd\nee";
  EmulatedLayout layout = Layout(request);
  auto buttons = OfKind(layout, ControlKind::Button);
  ASSERT_EQ(buttons.size(), 5u);
  EXPECT_EQ(BoxOf(*buttons[4]), (Box{14, 44, 70, 26}));  // 2 × 14 is not below 28

  request.Dialog.CommandButtons = L"aaaaaa\nbbbbb\nccccc\ndd\nee";
  layout = Layout(request);
  buttons = OfKind(layout, ControlKind::Button);
  ASSERT_EQ(buttons.size(), 5u);
  EXPECT_EQ(BoxOf(*buttons[3]), (Box{96, 44, 70, 26}));
  EXPECT_EQ(BoxOf(*buttons[4]), (Box{332, 76, 76, 26}));
}

TEST(EmulatedLayoutTest, CommandLinks) {
  struct Case {
    bool classic;
    std::uint32_t flags;
    int width, margin, spacing;
    FontRole font;
    bool arrow;
  };
  for (const Case& c : {Case{true, kTdfUseCommandLinks, 350, 7, 7, FontRole::CommandLinkClassic, true},
                        Case{false, kTdfUseCommandLinks | kTdfUseCommandLinksNoIcon, 344, 24, 10,
                             FontRole::CommandLinkModern, false}}) {
    TTaskDialogEx request = Request(c.classic);
    request.Dialog.MainInstruction = L"Question";
    request.Dialog.CommandButtons = L"Open folder\\nShows the file\nTrim\n\nEnd";
    request.DialogFlags = c.flags;
    request.MainIconKind = 4;
    request.DefaultButton = 101;
    const EmulatedLayout layout = Layout(request);
    EXPECT_EQ(layout.controls[1].iconId, 32516);
    const auto links = OfKind(layout, ControlKind::CommandLink);
    ASSERT_EQ(links.size(), 3u);
    const std::vector<std::wstring> captions = {L"Open folder", L"Trim", L"End"};
    for (std::size_t i = 0; i < links.size(); ++i) {
      EXPECT_EQ(BoxOf(*links[i]), (Box{60, 51 + 42 * static_cast<int>(i), c.width, 40})) << i;
      EXPECT_EQ(links[i]->caption, captions[i]);
      EXPECT_EQ(links[i]->result, 100 + static_cast<int>(i));
      EXPECT_EQ(links[i]->parent, ControlParent::Panel);
      EXPECT_EQ(links[i]->font, c.font);
      EXPECT_EQ(links[i]->arrowGlyph, c.arrow);
      EXPECT_EQ(links[i]->glyphMargin, c.margin);
      EXPECT_EQ(links[i]->glyphSpacing, c.spacing);
      EXPECT_EQ(links[i]->focused, i == 1);
    }
    EXPECT_EQ(links[0]->tooltip, L"Shows the file");
    EXPECT_EQ(links[1]->tooltip, L"");
    EXPECT_TRUE(OfKind(layout, ControlKind::Button).empty());
    EXPECT_EQ(layout.panelHeight, 201);
    EXPECT_EQ(layout.clientHeight, 201);
  }
}

TEST(EmulatedLayoutTest, WidthGrowsForWideTextsAndLongLists) {
  struct Case {
    std::wstring TTaskDialog::*field;
    std::size_t length;
    int width;
  };
  for (const Case& c :
       {Case{&TTaskDialog::MainInstruction, 50, 420}, Case{&TTaskDialog::MainInstruction, 51, 480},
        Case{&TTaskDialog::ContentText, 50, 420}, Case{&TTaskDialog::ContentText, 51, 480},
        Case{&TTaskDialog::CommandButtons, 40, 420}, Case{&TTaskDialog::CommandButtons, 41, 480},
        Case{&TTaskDialog::RadioButtons, 40, 420}, Case{&TTaskDialog::RadioButtons, 41, 480}}) {
    TTaskDialogEx request = Request(true);
    request.Dialog.*c.field = std::wstring(c.length, L'w');
    const EmulatedLayout layout = Layout(request);
    EXPECT_EQ(layout.clientWidth, c.width) << c.length;
    EXPECT_EQ(layout.controls[0].bounds.width, c.width);
  }
}

TEST(EmulatedLayoutTest, ParagraphsWrapAndExpandedTextFollows) {
  TTaskDialogEx request = Request(true, kOkButton);
  request.Dialog.ContentText = std::wstring(80, L'c');  // 480 wide: 76 characters a line
  request.Dialog.ExpandedText = L"More\\ndetail";
  const EmulatedLayout layout = Layout(request);
  EXPECT_EQ(BoxOf(layout.controls[1]), (Box{14, 14, 458, 26}));
  EXPECT_EQ(BoxOf(layout.controls[2]), (Box{14, 56, 458, 13}));
  EXPECT_EQ(layout.controls[2].caption, L"More\ndetail");
  EXPECT_EQ(layout.panelHeight, 85);
}

TEST(EmulatedLayoutTest, RadiosStartWithTheDefaultOrTheFirst) {
  for (const auto& [defaultRadio, checked] :
       std::vector<std::pair<int, std::size_t>>{{201, 1}, {0, 0}, {205, 0}}) {
    TTaskDialogEx request = Request(true, kOkButton);
    request.Dialog.RadioButtons = L"Small\n\nLarge\\nUses more memory\nHuge";
    request.DefaultRadio = defaultRadio;
    const EmulatedLayout layout = Layout(request);
    const auto radios = OfKind(layout, ControlKind::Radio);
    ASSERT_EQ(radios.size(), 3u);
    for (std::size_t i = 0; i < radios.size(); ++i) {
      EXPECT_EQ(BoxOf(*radios[i]), (Box{30, 14 + 17 * static_cast<int>(i), 374, 17})) << i;
      EXPECT_EQ(radios[i]->result, 200 + static_cast<int>(i));
      EXPECT_EQ(radios[i]->checked, i == checked) << defaultRadio << " " << i;
    }
    EXPECT_EQ(radios[1]->caption, L"Large");
    EXPECT_EQ(radios[1]->tooltip, L"Uses more memory");
    EXPECT_EQ(layout.panelHeight, 89);
  }
}

TEST(EmulatedLayoutTest, ChoiceListAndEditField) {
  TTaskDialogEx request = Request(true, kOkButton);
  request.Dialog.ChoiceList = L"Red\nGreen\nBlue";
  request.Dialog.InputText = L"Green";
  EmulatedLayout layout = Layout(request);
  ASSERT_EQ(layout.controls[1].kind, ControlKind::ComboBox);
  EXPECT_EQ(BoxOf(layout.controls[1]), (Box{14, 14, 374, 22}));
  EXPECT_EQ(layout.controls[1].items, (std::vector<std::wstring>{L"Red", L"Green", L"Blue"}));
  EXPECT_EQ(layout.controls[1].selectedIndex, 1);
  EXPECT_FALSE(layout.controls[1].editable);
  EXPECT_EQ(layout.panelHeight, 56);

  request.DialogFlags = kQueryField;
  request.Dialog.InputText = L"Cyan";
  layout = Layout(request);
  EXPECT_TRUE(layout.controls[1].editable);
  EXPECT_EQ(layout.controls[1].selectedIndex, -1);
  EXPECT_EQ(layout.controls[1].caption, L"Cyan");

  request.Dialog.ChoiceList.clear();
  request.CommonButtons = 0;
  request.DialogFlags = kQueryField | kQueryMasked | kQueryFocused;
  layout = Layout(request);
  ASSERT_EQ(layout.controls[1].kind, ControlKind::Edit);
  EXPECT_EQ(BoxOf(layout.controls[1]), (Box{14, 14, 390, 22}));
  EXPECT_EQ(layout.controls[1].caption, L"Cyan");
  EXPECT_TRUE(layout.controls[1].masked);
  EXPECT_TRUE(layout.controls[1].focused);
  EXPECT_EQ(layout.focusedControl, 1);
  EXPECT_TRUE(layout.controls[2].isDefault);  // the OK every buttonless request gets
  EXPECT_FALSE(layout.controls[2].focused);

  request.DialogFlags = kQueryField;
  layout = Layout(request);
  EXPECT_FALSE(layout.controls[1].masked);
  EXPECT_EQ(layout.focusedControl, 2);
}

TEST(EmulatedLayoutTest, VerificationBox) {
  struct Case {
    std::size_t length;
    bool checked;
    Box box;
    int height;
  };
  // OK takes 340..410 of row 59; the text needs its width + 30 left of that
  for (const Case& c : {Case{51, true, {14, 59, 326, 24}, 95}, Case{52, false, {14, 91, 406, 24}, 127}}) {
    TTaskDialogEx request = Request(true, kOkButton);
    request.Dialog.ContentText = L"Hello";
    request.Dialog.VerificationText = std::wstring(c.length, L'v');
    request.Dialog.VerificationChecked = c.checked;
    const EmulatedLayout layout = Layout(request);
    const auto boxes = OfKind(layout, ControlKind::VerificationBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(BoxOf(*boxes[0]), c.box) << c.length;
    EXPECT_EQ(boxes[0]->checked, c.checked);
    EXPECT_EQ(layout.clientHeight, c.height);
  }

  TTaskDialogEx linksOnly = Request(true);
  linksOnly.Dialog.CommandButtons = L"Go";
  linksOnly.DialogFlags = kTdfUseCommandLinks;
  linksOnly.Dialog.VerificationText = L"Never";
  const EmulatedLayout layout = Layout(linksOnly);
  EXPECT_TRUE(OfKind(layout, ControlKind::Button).empty());
  EXPECT_EQ(BoxOf(*OfKind(layout, ControlKind::VerificationBox)[0]), (Box{14, 104, 406, 24}));
}

TEST(EmulatedLayoutTest, FooterWithIconBelowTheButtonRow) {
  TTaskDialogEx request = Request(true, kOkButton);
  request.Dialog.ContentText = L"Hello";
  request.Dialog.FooterText = L"Footer note";
  request.FooterIconKind = 1;
  const EmulatedLayout layout = Layout(request);
  ASSERT_EQ(layout.controls.size(), 6u);
  EXPECT_EQ(layout.controls[3].kind, ControlKind::Separator);
  EXPECT_EQ(BoxOf(layout.controls[3]), (Box{2, 95, 416, 2}));
  EXPECT_EQ(layout.controls[4].kind, ControlKind::FooterIcon);
  EXPECT_EQ(layout.controls[4].iconId, 32515);
  EXPECT_EQ(BoxOf(layout.controls[4]), (Box{24, 111, 16, 16}));
  EXPECT_EQ(layout.controls[5].parent, ControlParent::Form);
  EXPECT_EQ(BoxOf(layout.controls[5]), (Box{56, 111, 356, 13}));
  EXPECT_EQ(layout.clientHeight, 140);
  EXPECT_EQ(layout.tabOrder, (std::vector<int>{2, 0, 3, 4, 5}));
}

TEST(EmulatedLayoutTest, FooterWithoutIconOrButtonRow) {
  TTaskDialogEx request = Request(true);
  request.Dialog.CommandButtons = L"Go";
  request.DialogFlags = kTdfUseCommandLinks;
  request.Dialog.FooterText = L"Footer";
  request.FooterIconKind = 0;
  const EmulatedLayout layout = Layout(request);
  EXPECT_TRUE(OfKind(layout, ControlKind::Separator).empty());
  EXPECT_TRUE(OfKind(layout, ControlKind::FooterIcon).empty());
  // panel: 14 + 8 + 42 + 24 = 88
  EXPECT_EQ(BoxOf(layout.controls.back()), (Box{24, 104, 388, 13}));
  EXPECT_EQ(layout.clientHeight, 133);
}

TEST(EmulatedLayoutTest, SeparatorStartsAtTheTextColumnWhileTheMainIconReachesBelow) {
  for (const auto& [iconHeight, left] : std::vector<std::pair<int, int>>{{200, 60}, {53, 60}, {52, 2}}) {
    FakeMetrics metrics;
    metrics.icons[32515] = {32, iconHeight};
    TTaskDialogEx request = Request(true, kOkButton);
    request.MainIconKind = 1;
    request.FooterIconKind = 5;
    request.Dialog.FooterText = L"F";
    const EmulatedLayout layout = Layout(request, metrics);
    // the row ends at 14 + 16 + 36 = 66
    const auto separators = OfKind(layout, ControlKind::Separator);
    ASSERT_EQ(separators.size(), 1u);
    EXPECT_EQ(BoxOf(*separators[0]), (Box{left, 66, 418 - left, 2})) << iconHeight;
    EXPECT_EQ(OfKind(layout, ControlKind::FooterIcon)[0]->iconId, 32517);
  }
}

TEST(EmulatedLayoutTest, KindsWithoutAnEmulatedIcon) {
  FakeMetrics metrics;
  metrics.icons[32515] = {0, 0};
  TTaskDialogEx request = Request(false, kOkButton);
  request.MainIconKind = 5;
  request.Dialog.ContentText = L"x";
  EXPECT_EQ(BoxOf(Layout(request, metrics).controls[1]), (Box{28, 28, 384, 13}));
  request.MainIconKind = 1;  // an icon that does not load
  request.FooterIconKind = 1;
  request.Dialog.FooterText = L"F";
  const EmulatedLayout layout = Layout(request, metrics);
  EXPECT_TRUE(OfKind(layout, ControlKind::MainIcon).empty());
  EXPECT_TRUE(OfKind(layout, ControlKind::FooterIcon).empty());
  EXPECT_EQ(layout.controls.back().bounds.x, 24);
}

TEST(DescribeFontTest, RolesAgainstTheDialogFont) {
  struct Case {
    FontRole role;
    int height;
    bool bold, colored;
  };
  for (const Case& c :
       {Case{FontRole::Normal, -11, false, false}, Case{FontRole::HeadlineClassic, -13, true, false},
        Case{FontRole::HeadlineModern, -15, false, true},
        Case{FontRole::CommandLinkClassic, -13, true, false},
        Case{FontRole::CommandLinkModern, -14, false, false}}) {
    const FontDescription font = DescribeFont(c.role, -11);
    EXPECT_EQ(font.height, c.height);
    EXPECT_EQ(font.bold, c.bold);
    EXPECT_EQ(font.hasColor, c.colored);
  }
  EXPECT_EQ(DescribeFont(FontRole::HeadlineModern, -11).color, 0x00B00000u);
}

TEST(SplitChoiceLinesTest, AnyLineBreak) {
  EXPECT_EQ(SplitChoiceLines(L"a\r\nb\rc\nd\n"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(SplitChoiceLines(L"a\n\nb"), (std::vector<std::wstring>{L"a", L"", L"b"}));
  EXPECT_TRUE(SplitChoiceLines(L"").empty());
}

TEST(EmulatedOutcomeTest, ReadsBackWhatTheFormHad) {
  TTaskDialogEx request = Request(true, kOkButton);
  request.Dialog.RadioButtons = L"a\nb\nc";
  request.Dialog.ChoiceList = L"x\ny";
  request.Dialog.VerificationText = L"Never";
  EmulatedLayout layout = Layout(request);
  TTaskDialog dialog;
  EXPECT_EQ(ApplyEmulatedOutcome(layout, {1, 2, 1, L"y", true}, dialog), 1);
  EXPECT_EQ(dialog.ChosenRadio, 202);
  EXPECT_EQ(dialog.ChosenIndex, 1);
  EXPECT_EQ(dialog.InputText, L"y");
  EXPECT_TRUE(dialog.VerificationChecked);

  request = Request(true, kOkButton);
  request.DialogFlags = kQueryField;
  layout = Layout(request);
  dialog = TTaskDialog();
  dialog.ChosenIndex = 9;
  dialog.ChosenRadio = 201;
  dialog.VerificationChecked = true;
  EXPECT_EQ(ApplyEmulatedOutcome(layout, {2, 0, 3, L"typed", false}, dialog), 2);
  EXPECT_EQ(dialog.InputText, L"typed");
  EXPECT_EQ(dialog.ChosenIndex, 9);
  EXPECT_EQ(dialog.ChosenRadio, 0);
  EXPECT_TRUE(dialog.VerificationChecked);

  layout = Layout(Request(true, kOkButton));
  dialog = TTaskDialog();
  dialog.InputText = L"kept";
  ApplyEmulatedOutcome(layout, {1, -1, -1, L"lost", false}, dialog);
  EXPECT_EQ(dialog.InputText, L"kept");
}

}  // namespace
}  // namespace nimbrel
