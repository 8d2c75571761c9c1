#include "processes/process_actions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "platform/version_text.h"
#include "test_value_name.h"

namespace nimbrel {
namespace {

struct NameCase {
  const wchar_t* exe;
  bool system;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << testing_names::Token(c.exe); }

class IsSystemProcessNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(IsSystemProcessNameTest, Recognises) {
  EXPECT_EQ(IsSystemProcessName(GetParam().exe), GetParam().system);
}

INSTANTIATE_TEST_SUITE_P(Names, IsSystemProcessNameTest,
                         ::testing::Values(NameCase{L"svchost.exe", true}, NameCase{L"SVCHOST.EXE", true},
                                           NameCase{L"SvcHost.Exe", true}, NameCase{L"dwm.exe", true},
                                           NameCase{L"Dwm.EXE", true}, NameCase{L"csrss.exe", true},
                                           NameCase{L"CSRSS.exe", true}, NameCase{L"explorer.exe", false},
                                           NameCase{L"svchost", false}, NameCase{L"svchost.exe ", false},
                                           NameCase{L"xsvchost.exe", false},
                                           NameCase{L"svchost.exe.bak", false}, NameCase{L"", false}));

constexpr wchar_t kWarning[] =
    L"此进程可终止, 但请注意, 终止进程可能导致未保存的数据丢失.\r\n\r\n或者, "
    L"您可以尝试释放进程内存或打开包含文件夹";

TEST(ProcessContentTextTest, WithDescription) {
  EXPECT_EQ(ProcessContentText(L"Notepad", L"Contoso Ltd.", L"10.0.19041.1"),
            std::wstring(L"Notepad\r\nContoso Ltd.\r\n版本: 10.0.19041.1\r\n\r\n") + kWarning);
  // Company and version may be empty; the lines stay.
  EXPECT_EQ(ProcessContentText(L"Tool", L"", L""), std::wstring(L"Tool\r\n\r\n版本: \r\n\r\n") + kWarning);
}

TEST(ProcessContentTextTest, WithoutDescription) {
  const std::wstring expected = std::wstring(L"(没有进程信息)\r\n\r\n") + kWarning;
  EXPECT_EQ(ProcessContentText(L"", L"", L""), expected);
  // A version resource with company and version but no description still says there is no information.
  EXPECT_EQ(ProcessContentText(L"", L"Contoso Ltd.", L"1.2.3.4"), expected);
}

TEST(KillItemRequestTest, OrdinaryProcess) {
  const TTaskDialogEx request = KillItemRequest(L"explorer.exe", L"content");
  EXPECT_EQ(request.Dialog.Caption, L"Nimbrel");
  EXPECT_EQ(request.Dialog.MainInstruction, L"进程信息  'explorer.exe'");
  EXPECT_EQ(request.Dialog.ContentText, L"content");
  EXPECT_EQ(request.Dialog.CommandButtons, L"打开文件夹\n释放内存\n结束进程\n取消");
  EXPECT_EQ(request.Dialog.FooterText, L"");
  EXPECT_EQ(request.Dialog.RadioButtons, L"");
  EXPECT_EQ(request.Dialog.VerificationText, L"");
  EXPECT_EQ(request.MainIconKind, 4);
  EXPECT_EQ(request.FooterIconKind, 0);
  EXPECT_EQ(request.DialogWidth, 250);
  EXPECT_EQ(request.DialogFlags, 8u);
  EXPECT_EQ(request.ParentWindow, 0u);
  EXPECT_EQ(request.CommonButtons, 0u);
  EXPECT_EQ(request.DefaultButton, 0);
  EXPECT_EQ(request.DefaultRadio, 0);
  EXPECT_FALSE(request.ForceEmulation);
  EXPECT_TRUE(request.ClassicLook);
}

TEST(KillItemRequestTest, SystemProcessGetsAWarningFooterWithTheNameAsStored) {
  for (const wchar_t* exe : {L"SvcHost.exe", L"dwm.exe", L"CSRSS.EXE"}) {
    const TTaskDialogEx request = KillItemRequest(exe, L"c");
    EXPECT_EQ(request.Dialog.FooterText, L"'" + std::wstring(exe) + L"' 可能是一个系统进程");
    EXPECT_EQ(request.FooterIconKind, 1);
    EXPECT_EQ(request.Dialog.MainInstruction, L"进程信息  '" + std::wstring(exe) + L"'");
    EXPECT_EQ(request.MainIconKind, 4);
  }
}

struct ActionCase {
  int result;
  ProcessAction action;
};

void PrintTo(const ActionCase& c, std::ostream* os) { *os << c.result; }

class KillItemActionTest : public ::testing::TestWithParam<ActionCase> {};

TEST_P(KillItemActionTest, Maps) { EXPECT_EQ(KillItemAction(GetParam().result), GetParam().action); }

INSTANTIATE_TEST_SUITE_P(
    Results, KillItemActionTest,
    ::testing::Values(ActionCase{100, ProcessAction::OpenFolder}, ActionCase{101, ProcessAction::TrimMemory},
                      ActionCase{102, ProcessAction::Terminate}, ActionCase{103, ProcessAction::None},
                      ActionCase{2, ProcessAction::None}, ActionCase{0, ProcessAction::None},
                      ActionCase{1, ProcessAction::None}, ActionCase{99, ProcessAction::None},
                      ActionCase{104, ProcessAction::None}));

TEST(FolderToOpenTest, QuotesTheFolderWithItsBackslash) {
  EXPECT_EQ(FolderToOpen(L"C:\\Windows\\notepad.exe"), L"\"C:\\Windows\\\"");
  EXPECT_EQ(FolderToOpen(L"c:\\program files\\tool\\tool.exe"), L"\"c:\\program files\\tool\\\"");
  EXPECT_EQ(FolderToOpen(L"\\\\server\\share\\a.exe"), L"\"\\\\server\\share\\\"");
  EXPECT_EQ(FolderToOpen(L"c:notepad.exe"), L"\"c:\"");
  EXPECT_EQ(FolderToOpen(L"notepad.exe"), L"\"\"");
  EXPECT_EQ(FolderToOpen(L""), L"\"\"");
}

TEST(VersionStringPathTest, BuildsTheSubBlock) {
  using Translation = std::pair<std::uint16_t, std::uint16_t>;
  EXPECT_EQ(VersionStringPath(Translation{0x0409, 0x04B0}, L"FileDescription"),
            L"\\StringFileInfo\\040904b0\\FileDescription");
  EXPECT_EQ(VersionStringPath(Translation{0x0804, 0x03A8}, L"CompanyName"),
            L"\\StringFileInfo\\080403a8\\CompanyName");
  EXPECT_EQ(VersionStringPath(Translation{0xFFFF, 0x0001}, L"K"), L"\\StringFileInfo\\ffff0001\\K");
  EXPECT_EQ(VersionStringPath(Translation{0, 0}, L"K"), L"\\StringFileInfo\\00000000\\K");
  EXPECT_EQ(VersionStringPath(std::nullopt, L"FileDescription"),
            L"\\StringFileInfo\\040904E4\\FileDescription");
}

TEST(FormatFileVersionTest, FourWordsInDecimal) {
  EXPECT_EQ(FormatFileVersion(0x000A0000, 0x4A610001), L"10.0.19041.1");
  EXPECT_EQ(FormatFileVersion(0x00010002, 0x00030004), L"1.2.3.4");
  EXPECT_EQ(FormatFileVersion(0x00050001, 0x000A0000), L"5.1.10.0");
  EXPECT_EQ(FormatFileVersion(0, 0), L"0.0.0.0");
  EXPECT_EQ(FormatFileVersion(0xFFFFFFFF, 0xFFFFFFFF), L"65535.65535.65535.65535");
}

}  // namespace
}  // namespace nimbrel
