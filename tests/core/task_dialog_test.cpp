#include "platform/task_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

TTaskDialogEx HighMemoryWarning() {
  TTaskDialogEx request;
  request.Dialog.Caption = L"Nimbrel";
  request.Dialog.MainInstruction = L"内存高 (91%)";
  request.Dialog.ContentText = L"建议关闭一些应用程序";
  request.Dialog.CommandButtons = L"整理内存\n任务管理器\n关闭";
  request.Dialog.VerificationText = L"不再显示此警告";
  request.DialogFlags = kTdfAllowDialogCancellation;
  request.MainIconKind = 1;
  request.DialogWidth = 270;
  request.ParentWindow = 0x1234;
  request.ClassicLook = true;
  return request;
}

TEST(PrepareTaskDialogTest, EmptyCaptionTakesTheFallback) {
  struct Case {
    const wchar_t* caption;
    const wchar_t* fallback;
    const wchar_t* expected;
  };
  for (const Case& c : {Case{L"", L"Nimbrel", L"Nimbrel"}, Case{L"Own", L"Nimbrel", L"Own"},
                        Case{L"", L"", L""}, Case{L"", L"Main\\nform", L"Main\nform"}}) {
    TTaskDialogEx request;
    request.Dialog.Caption = c.caption;
    EXPECT_EQ(PrepareTaskDialog(request, c.fallback, true).request.Dialog.Caption, c.expected);
  }
}

TEST(PrepareTaskDialogTest, NoButtonsAtAllGetAnOkButton) {
  struct Case {
    unsigned common;
    const wchar_t* commands;
    int defaultButton;
    unsigned expectedCommon;
    int expectedDefault;
  };
  for (const Case& c :
       {Case{0, L"", 0, kOkButton, 1}, Case{0, L"", 7, kOkButton, 7}, Case{0, L" \r\n\n ", 0, kOkButton, 1},
        Case{0, L"Go", 0, 0, 0}, Case{kYesButton, L"", 0, kYesButton, 0},
        Case{64 | kNoButton, L"", 0, kNoButton, 0}, Case{64, L"", 0, kOkButton, 1}}) {
    TTaskDialogEx request;
    request.CommonButtons = c.common;
    request.Dialog.CommandButtons = c.commands;
    request.DefaultButton = c.defaultButton;
    const PreparedRequest prepared = PrepareTaskDialog(request, L"", true);
    EXPECT_EQ(prepared.request.CommonButtons, c.expectedCommon) << c.common;
    EXPECT_EQ(prepared.request.DefaultButton, c.expectedDefault) << c.common;
  }
}

TEST(PrepareTaskDialogTest, WrittenLineFeedsBecomeLineFeedsOutsideTheButtonLists) {
  std::vector<std::wstring TTaskDialog::*> converted = {
      &TTaskDialog::Caption,      &TTaskDialog::MainInstruction,  &TTaskDialog::ContentText,
      &TTaskDialog::ExpandedText, &TTaskDialog::ExpandLabel,      &TTaskDialog::CollapseLabel,
      &TTaskDialog::FooterText,   &TTaskDialog::VerificationText, &TTaskDialog::ChoiceList,
      &TTaskDialog::InputText};
  for (std::size_t i = 0; i < converted.size(); ++i) {
    TTaskDialogEx request;
    request.Dialog.*converted[i] = L"a\\nb\\n\\nc\\";
    EXPECT_EQ(PrepareTaskDialog(request, L"", true).request.Dialog.*converted[i], L"a\nb\n\nc\\") << i;
  }
  TTaskDialogEx request;
  request.Dialog.CommandButtons = L"Open\\nnote";
  request.Dialog.RadioButtons = L"One\\nnote";
  const PreparedRequest prepared = PrepareTaskDialog(request, L"", true);
  EXPECT_EQ(prepared.request.Dialog.CommandButtons, L"Open\\nnote");
  EXPECT_EQ(prepared.request.Dialog.RadioButtons, L"One\\nnote");
}

TEST(PrepareTaskDialogTest, ChoosesThePath) {
  struct Case {
    bool available, force;
    std::uint32_t flags;
    const wchar_t* choices;
    bool platform;
  };
  for (const Case& c :
       {Case{true, false, 0, L"", true}, Case{false, false, 0, L"", false}, Case{true, true, 0, L"", false},
        Case{true, false, kQueryField, L"", false},
        Case{true, false, kQueryMasked | kQueryFocused, L"", true}, Case{true, false, 0, L"Red", false}}) {
    TTaskDialogEx request;
    request.ForceEmulation = c.force;
    request.DialogFlags = c.flags;
    request.Dialog.ChoiceList = c.choices;
    EXPECT_EQ(PrepareTaskDialog(request, L"", c.available).usePlatform, c.platform)
        << c.available << c.force << c.flags;
  }
}

TEST(SplitButtonItemsTest, CutsAtRunsOfControlCharacters) {
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> captions;
  };
  for (const Case& c : {Case{L"整理内存\n任务管理器\n关闭", {L"整理内存", L"任务管理器", L"关闭"}},
                        Case{L"One\n\nTwo\r\n\r\nThree", {L"One", L"Two", L"Three"}},
                        Case{L"\n  Padded \t", {L"Padded"}}, Case{L"A B\tC", {L"A B", L"C"}},
                        Case{L"x\n \ny", {L"x", L" ", L"y"}}, Case{L" \r\n", {}}, Case{L"", {}}}) {
    const std::vector<TaskButtonItem> items = SplitButtonItems(c.text, 100);
    ASSERT_EQ(items.size(), c.captions.size()) << c.text;
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].caption, c.captions[i]);
      EXPECT_EQ(items[i].id, 100 + static_cast<int>(i));
      EXPECT_EQ(items[i].note, L"");
    }
  }
}

TEST(SplitButtonItemsTest, WrittenLineFeedSeparatesCaptionAndNote) {
  const std::vector<TaskButtonItem> items = SplitButtonItems(L"Open\\nShows the folder\nEnd\\na\\nb", 200);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].id, 200);
  EXPECT_EQ(items[0].caption, L"Open");
  EXPECT_EQ(items[0].note, L"Shows the folder");
  EXPECT_EQ(items[0].PlatformText(), L"Open\nShows the folder");
  EXPECT_EQ(items[1].id, 201);
  EXPECT_EQ(items[1].caption, L"End");
  EXPECT_EQ(items[1].note, L"a\nb");
  EXPECT_EQ(SplitButtonItems(L"Plain", 100)[0].PlatformText(), L"Plain");
}

TEST(PlatformDialogFlagsTest, AddsCheckedBoxAndCancellation) {
  struct Case {
    std::uint32_t flags;
    unsigned common;
    const wchar_t* commands;
    const wchar_t* verification;
    bool checked;
    std::uint32_t expected;
  };
  for (const Case& c :
       {Case{8, 0, L"a\nb", L"", false, 8}, Case{0, 0, L"a", L"Never", true, 0x100},
        Case{0, 0, L"a", L"", true, 0}, Case{0, 0, L"a", L"Never", false, 0},
        Case{0, kOkButton, L"", L"", false, 8}, Case{0, kOkButton | kCancelButton, L"", L"", false, 0},
        Case{0, kOkButton, L"a", L"", false, 0}, Case{0x10, kOkButton, L"", L"x", true, 0x118},
        Case{kQueryMasked | kQueryFocused | 0x10, kYesButton, L"", L"", false, 0x10}}) {
    PreparedRequest prepared;
    prepared.request.DialogFlags = c.flags;
    prepared.request.CommonButtons = c.common;
    prepared.request.Dialog.CommandButtons = c.commands;
    prepared.request.Dialog.VerificationText = c.verification;
    prepared.request.Dialog.VerificationChecked = c.checked;
    EXPECT_EQ(PlatformDialogFlags(prepared), c.expected) << c.flags << " " << c.common;
  }
}

TEST(TaskDialogIconsTest, ByKind) {
  const std::vector<int> platformMain = {17, 84, 99, 98, 81, 0, 78, 0};
  const std::vector<int> platformFooter = {17, 84, 99, 98, 0xFFFD, 0xFFFC, 0, 0};
  const std::vector<int> emulatedMain = {0, 32515, 32514, 32513, 32516, 0, 32517, 0};
  const std::vector<int> emulatedFooter = {0, 32515, 32514, 32513, 32516, 32517, 0, 0};
  for (int kind = 0; kind < 8; ++kind) {
    const auto k = static_cast<std::size_t>(kind);
    EXPECT_EQ(PlatformMainIconId(kind), platformMain[k]) << kind;
    EXPECT_EQ(PlatformFooterIconId(kind), platformFooter[k]) << kind;
    EXPECT_EQ(EmulatedMainIconId(kind), emulatedMain[k]) << kind;
    EXPECT_EQ(EmulatedFooterIconId(kind), emulatedFooter[k]) << kind;
  }
  EXPECT_EQ(PlatformMainIconId(-1), 0);
  EXPECT_EQ(EmulatedFooterIconId(-1), 0);
}

TEST(PlatformPathTest, HighMemoryWarning) {
  const PreparedRequest prepared = PrepareTaskDialog(HighMemoryWarning(), L"Other", true);
  ASSERT_TRUE(prepared.usePlatform);
  EXPECT_EQ(prepared.request.Dialog.Caption, L"Nimbrel");
  EXPECT_EQ(prepared.request.CommonButtons, 0u);
  EXPECT_EQ(PlatformDialogFlags(prepared), 8u);
  EXPECT_EQ(PlatformMainIconId(prepared.request.MainIconKind), 84);
  const std::vector<TaskButtonItem> buttons = SplitButtonItems(prepared.request.Dialog.CommandButtons, 100);
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[2].id, 102);
  EXPECT_EQ(buttons[2].PlatformText(), L"关闭");
}

TEST(PlatformOutcomeTest, WritesBackOnlyOnSuccess) {
  TTaskDialog dialog;
  dialog.ChosenRadio = 5;
  dialog.VerificationChecked = true;
  EXPECT_EQ(ApplyPlatformOutcome({false, 101, 201, 0}, dialog), 0);
  EXPECT_EQ(dialog.ChosenRadio, 5);
  EXPECT_TRUE(dialog.VerificationChecked);

  EXPECT_EQ(ApplyPlatformOutcome({true, 8, 201, 0}, dialog), 8);
  EXPECT_EQ(dialog.ChosenRadio, 201);
  EXPECT_FALSE(dialog.VerificationChecked);
  EXPECT_EQ(ApplyPlatformOutcome({true, 101, 0, -1}, dialog), 101);
  EXPECT_TRUE(dialog.VerificationChecked);
}

TEST(ShortHandRequestsTest, FillTheFixedOptions) {
  const TTaskDialogEx message =
      TaskMessageRequest(L"Head", L"Body", kYesButton | kNoButton, 2, 77, L"Cap", L"Foot", 1, 250);
  EXPECT_EQ(message.Dialog.MainInstruction, L"Head");
  EXPECT_EQ(message.Dialog.ContentText, L"Body");
  EXPECT_EQ(message.Dialog.Caption, L"Cap");
  EXPECT_EQ(message.Dialog.FooterText, L"Foot");
  EXPECT_EQ(message.CommonButtons, kYesButton | kNoButton);
  EXPECT_EQ(message.MainIconKind, 2);
  EXPECT_EQ(message.FooterIconKind, 1);
  EXPECT_EQ(message.ParentWindow, 77u);
  EXPECT_EQ(message.DialogWidth, 250);
  EXPECT_EQ(message.DialogFlags, 8u);
  EXPECT_EQ(message.DefaultButton, 0);
  EXPECT_FALSE(message.ForceEmulation);
  EXPECT_TRUE(message.ClassicLook);

  const TTaskDialogEx question = CommandQuestionRequest(L"H", L"B", L"a\nb", 4, 0, L"", L"F", 0, 250);
  EXPECT_EQ(question.CommonButtons, 0u);
  EXPECT_EQ(question.Dialog.CommandButtons, L"a\nb");
  EXPECT_EQ(question.MainIconKind, 4);

  const TTaskDialogEx info = InfoMessageRequest(L"Needs Windows 2000", 9);
  EXPECT_EQ(info.Dialog.MainInstruction, L"");
  EXPECT_EQ(info.Dialog.ContentText, L"Needs Windows 2000");
  EXPECT_EQ(info.Dialog.Caption, L"");
  EXPECT_EQ(info.CommonButtons, kOkButton);
  EXPECT_EQ(info.MainIconKind, 4);
  EXPECT_EQ(info.ParentWindow, 9u);
  EXPECT_EQ(info.DialogWidth, 0);
}

TEST(MessageDialogTest, TitleAndIconByType) {
  EXPECT_EQ(MessageDialogTitle(MessageDialogType::Warning), L"警告");
  EXPECT_EQ(MessageDialogTitle(MessageDialogType::Error), L"错误");
  EXPECT_EQ(MessageDialogTitle(MessageDialogType::Information), L"信息");
  EXPECT_EQ(MessageDialogTitle(MessageDialogType::Confirmation), L"确认");
  EXPECT_EQ(MessageDialogIconId(MessageDialogType::Warning), 32515);
  EXPECT_EQ(MessageDialogIconId(MessageDialogType::Error), 32513);
  EXPECT_EQ(MessageDialogIconId(MessageDialogType::Information), 32516);
  EXPECT_EQ(MessageDialogIconId(MessageDialogType::Confirmation), 32514);
}

TEST(MessageDialogTest, ButtonsAndResults) {
  EXPECT_EQ(MessageDialogCommonButtons(kMessageYes), 2u);
  EXPECT_EQ(MessageDialogCommonButtons(kMessageNo), 4u);
  EXPECT_EQ(MessageDialogCommonButtons(kMessageOk), 1u);
  EXPECT_EQ(MessageDialogCommonButtons(kMessageCancel), 8u);
  EXPECT_EQ(MessageDialogCommonButtons(kMessageAbort), 32u);
  EXPECT_EQ(MessageDialogCommonButtons(kMessageRetry), 16u);
  EXPECT_EQ(MessageDialogCommonButtons(kMessageYes | kMessageNo | kMessageCancel), 14u);
  EXPECT_EQ(MessageDialogCommonButtons(0), 0u);

  const std::vector<std::pair<int, int>> results = {{1, 1}, {2, 2}, {3, 1}, {4, 4}, {5, 1},
                                                    {6, 6}, {7, 7}, {8, 3}, {0, 1}, {100, 1}};
  for (const auto& [pressed, result] : results) EXPECT_EQ(MessageDialogResult(pressed), result) << pressed;
}

TEST(MessageDialogTest, TextsAreCutTo1024Characters) {
  EXPECT_EQ(LimitMessageText(std::wstring(1025, L'x')), std::wstring(1024, L'x'));
  EXPECT_EQ(LimitMessageText(std::wstring(1024, L'y')), std::wstring(1024, L'y'));
  EXPECT_EQ(LimitMessageText(L"短"), L"短");
}

}  // namespace
}  // namespace nimbrel
