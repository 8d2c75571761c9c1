#include "app/update_check.h"

#include <gtest/gtest.h>

#include "settings/text_ini_store.h"

namespace nimbrel {
namespace {

TEST(UpdateCheck, VersionsCompareByPart) {
  struct Case {
    const wchar_t* remote;
    const wchar_t* local;
    std::optional<int> order;
  } cases[] = {
      {L"1.6.0.0", L"1.5.0.0", 1},
      {L"1.5.0.0", L"1.5.0.0", 0},
      {L"1.4.9.9", L"1.5.0.0", -1},
      {L"2.0", L"1.5.0.0", 1},
      {L"1.100.0.0", L"1.99.0.0", 1},
      {L"1.5", L"1.5.0.0", 0},
      {L"1.5.0.1", L"1.5", 1},
      {L"10", L"9.99.99.99", 1},
      {L"", L"1.5.0.0", std::nullopt},
      {L"1.6b", L"1.5.0.0", std::nullopt},
      {L"1..6", L"1.5", std::nullopt},
      {L" 1.6", L"1.5", std::nullopt},
      {L"1.6.", L"1.5", std::nullopt},
      {L"<html>", L"1.5", std::nullopt},
      {L"4294967296", L"1", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareVersions(c.remote, c.local), c.order) << c.remote << " vs " << c.local;
    EXPECT_EQ(IsNewerVersion(c.remote, c.local), c.order.value_or(0) > 0) << c.remote << " vs " << c.local;
  }
}

TEST(UpdateCheck, VersionFileIsReadUnderTheProgramsName) {
  const TextIniStore file(
      "[currentversions]\r\nnimbrel=1.6.0.0\r\nOther=9.9.9.9\r\n[DOWNLOADURL]\r\nNimbrel=https://x/d\r\n"
      "[DateReleased]\r\ndate=2026-12-01\r\n[CurrentHistory]\r\n2=second\r\n1=first\r\n3=\r\n5=after a "
      "gap\r\n"
      "[Renamed]\r\n");
  const VersionFile v = ReadVersionFile(file, ProgramNameFromPath(L"C:\\Tools\\Nimbrel.exe"));
  EXPECT_EQ(v.CurrentVersion, L"1.6.0.0");
  EXPECT_EQ(v.DownloadURL, L"https://x/d");
  EXPECT_EQ(v.ReleaseDate, L"2026-12-01");
  EXPECT_EQ(v.BetaVer, L"");
  EXPECT_EQ(v.Changes, (std::vector<std::wstring>{L"first", L"second", L""}));

  EXPECT_EQ(ProgramNameFromPath(L"D:\\Other.exe"), L"Other");
  EXPECT_EQ(ReadVersionFile(file, ProgramNameFromPath(L"D:\\Other.exe")).CurrentVersion, L"9.9.9.9")
      << "a renamed program looks itself up";
  EXPECT_EQ(ProgramNameFromPath(L"Nimbrel"), L"Nimbrel");
}

TEST(UpdateCheck, LabelStates) {
  UpdateLabel label;
  EXPECT_EQ(label.Markup(), L"<link>检查更新</link>");
  EXPECT_EQ(label.Shown(), UpdateLabel::Action::StartCheck) << "the first show checks";
  EXPECT_EQ(label.Markup(), L"正在检查更新...");
  EXPECT_TRUE(label.Grey());
  EXPECT_EQ(label.Shown(), UpdateLabel::Action::None) << "no second check while one runs";

  label.CheckFailed();
  EXPECT_EQ(label.Markup(), L"检查新版本时出错");
  EXPECT_EQ(label.Tag(), 0);
  EXPECT_EQ(label.Shown(), UpdateLabel::Action::StartCheck) << "after a failure the next show checks again";

  label.VersionReceived(L"garbage", L"1.0.0.0");
  EXPECT_EQ(label.kind(), UpdateLabel::Kind::Failed) << "a version that cannot be read is an error";
  EXPECT_EQ(label.Shown(), UpdateLabel::Action::StartCheck);

  label.VersionReceived(L"1.5.2.3", L"1.0.0.0");
  EXPECT_EQ(label.Markup(), L"<link>Nimbrel 1.52 SR3 可供下载</link>");
  EXPECT_EQ(label.Tag(), 1);
  EXPECT_FALSE(label.Grey());
  EXPECT_EQ(label.Shown(), UpdateLabel::Action::None) << "a later show downloads nothing";
  EXPECT_EQ(label.LinkClicked(L"Nimbrel 1.52 SR3 可供下载"), UpdateLabel::Action::OpenDownloadPage);

  UpdateLabel major;
  major.VersionReceived(L"2.0", L"1.5.0.0");
  EXPECT_EQ(major.Markup(), L"<link>Nimbrel 2.0 可供下载</link>");
  UpdateLabel same;
  EXPECT_EQ(same.LinkClicked(L"检查更新"), UpdateLabel::Action::StartCheck);
  same.VersionReceived(L"1.0.0.0", L"1.0.0.0");
  EXPECT_EQ(same.Markup(), L"Nimbrel 是最新的");
  EXPECT_EQ(same.Tag(), 1);
}

TEST(UpdateCheck, TheHttpTimeoutsGetWhatIsLeftOfTheDeadline) {
  struct Case {
    std::uint32_t started, now, budget, left;
  } cases[] = {
      {1000, 1000, 10000, 10000},    {1000, 4000, 10000, 7000}, {1000, 10999, 10000, 1},
      {1000, 11000, 10000, 1},       {1000, 60000, 10000, 1},   {0xFFFFF000u, 0x00000FA0u, 10000, 1904},
      {0xFFFFFFFFu, 0, 10000, 9999},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RemainingMs(c.started, c.now, c.budget), c.left)
        << c.started << " " << c.now << " " << c.budget;
}

TEST(UpdateCheck, TheFetchHelpersCommandLine) {
  const std::wstring made = FetchCommandLine(L"C:\\Program Files\\Nimbrel\\Nimbrel.exe",
                                             {1234, 9500, L"https://example.org/v.ini?a=1 b"});
  EXPECT_EQ(made,
            L"\"C:\\Program Files\\Nimbrel\\Nimbrel.exe\" /fetch-version-file 1234 9500 "
            L"\"https://example.org/v.ini?a=1 b\"");
  EXPECT_EQ(FetchCommandLine(L"C:\\N.exe", {1, 1, L"http://x/\"y"}), L"");
  EXPECT_EQ(FetchCommandLine(L"", {1, 1, L"http://x/"}), L"");

  struct Case {
    const wchar_t* line;
    bool isFetch;
    std::optional<std::uint32_t> handle;  // the parse, where it succeeds
    const wchar_t* url;
  } cases[] = {
      {made.c_str(), true, 1234, L"https://example.org/v.ini?a=1 b"},
      {L"Nimbrel.exe  /fetch-version-file\t4294967295 0 \"u\"  ", true, 4294967295u, L"u"},
      {L"\"C:\\a b\\Nimbrel.exe\"", false, std::nullopt, nullptr},
      {L"Nimbrel.exe", false, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-filex 1 1 \"u\"", false, std::nullopt, nullptr},
      {L"\"/fetch-version-file\" 1 1 \"u\"", false, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-file", true, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-file 4294967296 1 \"u\"", true, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-file 12a 1 \"u\"", true, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-file 1 1 u", true, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-file 1 1 \"\"", true, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-file 1 1 \"u", true, std::nullopt, nullptr},
      {L"Nimbrel.exe /fetch-version-file 1 1 \"u\" more", true, std::nullopt, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsFetchCommandLine(c.line), c.isFetch) << c.line;
    const auto parsed = ParseFetchCommandLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.handle.has_value()) << c.line;
    if (!parsed) continue;
    EXPECT_EQ(parsed->fileHandle, *c.handle) << c.line;
    EXPECT_EQ(parsed->url, c.url) << c.line;
  }
  EXPECT_EQ(ParseFetchCommandLine(made)->timeoutMs, 9500u);
}

}  // namespace
}  // namespace nimbrel
