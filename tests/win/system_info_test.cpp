// Files, folders, versions and placement against the real system calls.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/version.h"
#include "platform/system_info_win.h"
#include "settings/settings_path_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

TEST(SystemInfo, VersionTestsAgree) {
  EXPECT_TRUE(IsWindowsNT());
  EXPECT_GE(WindowsMajorVersion(), 5);
  EXPECT_EQ(IsWindowsVistaOrLater(), WindowsMajorVersion() > 5);
}

TEST(SystemInfo, TickCount64IsTheTickCountWithoutItsWrap) {
  const DWORD before = ::GetTickCount();
  const std::uint64_t tick = TickCount64();
  const DWORD after = ::GetTickCount();
  EXPECT_LE(static_cast<DWORD>(tick) - before, after - before);
}

TEST(SystemInfo, FolderAndFileTestsTellThemApart) {
  std::wstring folder = testing::MakeScratchFolder(L"files");
  std::wstring file = folder + L"a.txt";
  testing::WriteFileBytes(file, "x");

  EXPECT_TRUE(FolderExists(folder));
  EXPECT_TRUE(FolderExists(folder.substr(0, folder.size() - 1)));  // without the trailing backslash
  EXPECT_FALSE(FolderExists(file));
  EXPECT_FALSE(FolderExists(folder + L"missing\\"));
  EXPECT_FALSE(FolderExists(L""));

  EXPECT_TRUE(FileExistsOnReadyDrive(file));
  EXPECT_FALSE(FileExistsOnReadyDrive(folder));
  EXPECT_FALSE(FileExistsOnReadyDrive(folder + L"b.txt"));
  EXPECT_FALSE(FileExistsOnReadyDrive(L""));
  testing::RemoveTree(folder);
}

TEST(SystemInfo, DriveReadiness) {
  EXPECT_TRUE(DriveIsReady(L'C'));
  EXPECT_TRUE(DriveIsReady(L'c'));
  EXPECT_TRUE(DriveIsReady(L'\\'));  // network paths are taken as readable
  EXPECT_FALSE(DriveIsReady(L'1'));
  EXPECT_FALSE(DriveIsReady(L'?'));
  // A letter with no drive behind it, probed without any system error box.
  EXPECT_FALSE(DriveIsReady(L'Q'));
}

TEST(SystemInfo, CreateFolderTreeMakesEveryMissingParent) {
  std::wstring root = testing::MakeScratchFolder(L"tree");
  std::wstring deep = root + L"one\\two\\three\\";
  EXPECT_TRUE(CreateFolderTree(deep));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_TRUE(CreateFolderTree(deep));  // already there
  testing::RemoveTree(root);
}

TEST(SystemInfo, WindowsAndExecutableFoldersEndInBackslash) {
  std::wstring windows = GetWindowsFolder();
  ASSERT_FALSE(windows.empty());
  EXPECT_EQ(windows.back(), L'\\');
  EXPECT_TRUE(FolderExists(windows + L"System32"));
  std::wstring exe = ExecutableFolder();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), L'\\');
  EXPECT_TRUE(FolderExists(exe));
}

TEST(SystemInfo, OwnVersionIsEmptyWithoutVersionResource) {
  // The test program carries no version resource; Nimbrel.exe's is checked end to end.
  OwnVersion v = ReadOwnVersion();
  EXPECT_EQ(v.fileVersion, L"");
  EXPECT_EQ(v.productVersion, L"");
}

TEST(SystemInfo, ProgramCarriesItsVersionResource) {
  // Wine maps the host's root to drive Z:.
  std::wstring exe = L"Z:" NIMBREL_EXE_UNIX_PATH;
  for (auto& c : exe)
    if (c == L'/') c = L'\\';
  OwnVersion v = ReadVersionOf(exe);
  EXPECT_EQ(v.productVersion, L"" NIMBREL_VERSION_TEXT);
  EXPECT_EQ(v.fileVersion, L"" NIMBREL_VERSION_TEXT);
}

TEST(SystemInfo, UserDecimalSeparatorIsNotEmpty) {
  EXPECT_FALSE(UserNumberFormat().decimalSeparator.empty());
}

TEST(SystemInfo, PlaceNearTaskbarFollowsTheWorkArea) {
  HWND window =
      ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 5, 5, 200, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  RECT work{};
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  TaskbarEdgeKind edge = TaskbarEdge();
  PlaceNearTaskbar(window);
  RECT placed{};
  ::GetWindowRect(window, &placed);
  switch (edge) {
    case TaskbarEdgeKind::None:
      EXPECT_EQ(placed.left, 5);
      EXPECT_EQ(placed.top, 5);
      break;
    case TaskbarEdgeKind::Top:
      EXPECT_EQ(placed.left, work.right - 200 - 20);
      EXPECT_EQ(placed.top, work.top + 10);
      break;
    case TaskbarEdgeKind::Left:
      EXPECT_EQ(placed.left, work.left + 20);
      EXPECT_EQ(placed.top, work.bottom - 100 - 20);
      break;
    default:
      EXPECT_EQ(placed.left, work.right - 200 - 20);
      EXPECT_EQ(placed.top, work.bottom - 100 - 20);
      break;
  }
  ::DestroyWindow(window);
}

TEST(SettingsPath, NoFileBesideTheExeMeansTheDataFolder) {
  // The test exe has no "Nimbrel.Settings" beside it.
  SettingsLocation location = GetSettingsPath(nullptr);
  EXPECT_FALSE(location.portable);
  const std::wstring tail = L"\\Vostrand\\Nimbrel\\Nimbrel.Settings";
  ASSERT_GT(location.path.size(), tail.size());
  EXPECT_EQ(location.path.substr(location.path.size() - tail.size()), tail);
  std::wstring folder = location.path.substr(0, location.path.size() - wcslen(kSettingsFileName));
  EXPECT_TRUE(FolderExists(folder)) << "the data folder is created on demand";
  EXPECT_TRUE(FolderExists(GetDataFolder(false, true, nullptr)));
  std::wstring themes = GetDataFolder(false, true, nullptr);
  EXPECT_EQ(themes, folder + L"Themes\\");
}

TEST(SettingsPath, PortableDataFolderIsTheExeFolder) {
  EXPECT_EQ(GetDataFolder(true, false, nullptr), ExecutableFolder());
  std::wstring themes = GetDataFolder(true, true, nullptr);
  EXPECT_EQ(themes, ExecutableFolder() + L"Themes\\");
  EXPECT_TRUE(FolderExists(themes));
  ::RemoveDirectoryW(themes.c_str());
}

}  // namespace
}  // namespace nimbrel
