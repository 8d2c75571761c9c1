// Theme files in a real folder, and the system tests behind the first start's theme.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/system_info_win.h"
#include "settings/theme_folder_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

TEST(ThemeFolder, ListsEveryThemeFileButNoFolder) {
  const std::wstring folder = testing::MakeScratchFolder(L"themes");
  const std::pair<const wchar_t*, DWORD> files[] = {
      {L"Plain", FILE_ATTRIBUTE_NORMAL},
      {L"Hidden", FILE_ATTRIBUTE_HIDDEN},
      {L"Locked", FILE_ATTRIBUTE_READONLY},
      {L"System", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN}};
  for (const auto& [name, attributes] : files) {
    const std::wstring path = folder + name + L".Nimbrel Theme";
    testing::WriteFileBytes(path, "[NimbrelTheme]\r\n");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes));
  }
  ASSERT_TRUE(::CreateDirectoryW((folder + L"Folder.Nimbrel Theme").c_str(), nullptr));
  testing::WriteFileBytes(folder + L"Notes.txt", "x");

  std::vector<std::wstring> entries = LoadThemeList(WindowsThemeFolder(folder));
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0], L"默认颜色");
  EXPECT_EQ(entries[1], L"当前颜色");
  std::sort(entries.begin() + 2, entries.end());
  EXPECT_EQ(std::vector<std::wstring>(entries.begin() + 2, entries.end()),
            (std::vector<std::wstring>{L"Hidden", L"Locked", L"Plain", L"System"}));

  for (const auto& [name, attributes] : files)
    ::SetFileAttributesW((folder + name + L".Nimbrel Theme").c_str(), FILE_ATTRIBUTE_NORMAL);
  testing::RemoveTree(folder);
}

TEST(ThemeFolder, SaveAsWritesTheProfileFileAndDeleteRemovesIt) {
  const std::wstring folder = testing::MakeScratchFolder(L"theme-save");
  WindowsThemeFolder themes(folder);
  ThemeSlots slots;
  slots.ColorSlots[kTextSlot] = L"FFFFFF";
  auto yes = [](const std::wstring&) { return true; };
  ThemeListChange saved = SaveThemeAs(themes, L"Night", slots, yes);
  ASSERT_EQ(saved.result, ThemeListChange::Result::Changed);
  EXPECT_EQ(
      testing::ReadFileBytes(folder + L"Night.Nimbrel Theme"),
      "[NimbrelTheme]\r\nVer=22\r\nName=Night\r\nFontColor=FFFFFF\r\nBackgroundColor=-1\r\nBarColor=-1\r\n"
      "BarBorderColor=-1\r\nGreenColor=-1\r\nYellowColor=-1\r\nRedColor=-1\r\nOpaqueBackground=1\r\n"
      "BarOpaqueBackground=0\r\n");
  EXPECT_EQ(saved.entries.at(saved.selected), L"Night");

  // Tests run as root, where read-only files stay writable: a folder in the file's place refuses.
  const std::wstring locked = folder + L"Locked.Nimbrel Theme";
  ASSERT_TRUE(::CreateDirectoryW(locked.c_str(), nullptr));
  ThemeListChange refused = SaveThemeAs(themes, L"Locked", slots, yes);
  EXPECT_EQ(refused.result, ThemeListChange::Result::WriteFailed);
  EXPECT_EQ(refused.failedPath, locked);
  ::RemoveDirectoryW(locked.c_str());

  std::vector<std::wstring> entries = LoadThemeList(themes);
  auto night = std::find(entries.begin(), entries.end(), L"Night");
  ASSERT_NE(night, entries.end());
  DeleteTheme(themes, entries, static_cast<int>(night - entries.begin()), yes);
  EXPECT_FALSE(FileExistsOnReadyDrive(folder + L"Night.Nimbrel Theme"));
  testing::RemoveTree(folder);
}

TEST(SystemInfo, PowerCompositionAndVisualStyleUnderWine) {
  // This machine is a desktop without lid or battery.
  EXPECT_FALSE(IsPortableDevice());
  // Wine reports Windows 6 or later with composition off, and its light visual style names the colour
  // scheme "Blue", not "NormalColor": the first start picks the system colours.
  EXPECT_FALSE(IsCompositionEnabled());
  EXPECT_FALSE(IsCompositionEnabled()) << "a second look-up answers the same";
  EXPECT_EQ(DetectVisualStyle(), 5);
  EXPECT_TRUE(IsWindows2000OrLater());
  EXPECT_TRUE(IsWindowsXPOrLater());
}

TEST(SystemInfo, TempFolderAndTempNames) {
  const std::wstring temp = GetTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), L'\\');
  EXPECT_NE(temp.find(L':'), std::wstring::npos) << "a full path";
  EXPECT_TRUE(FolderExists(temp));
  const std::wstring name = MakeTempFileName(temp);
  ASSERT_EQ(name.size(), temp.size() + 8);
  EXPECT_EQ(name.substr(temp.size(), 3), L"TMP");
  EXPECT_FALSE(FileExistsOnReadyDrive(name)) << "the file is not created";
  EXPECT_EQ(MakeTempFileName(temp, L"ini").substr(temp.size() + 8), L".ini");
}

TEST(SystemInfo, ReadRegistryFont) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\NimbrelTests\\Font", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  LOGFONTA stored{};
  stored.lfHeight = -13;
  stored.lfWeight = FW_BOLD;
  lstrcpyA(stored.lfFaceName, "Tahoma");
  ASSERT_EQ(
      ::RegSetValueExW(key, L"Good", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&stored), sizeof stored),
      ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExW(key, L"Short", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&stored), 20),
            ERROR_SUCCESS);

  UniqueFont font;
  EXPECT_FALSE(ReadRegistryFont(key, L"Missing", font));
  EXPECT_FALSE(ReadRegistryFont(key, L"Short", font));
  EXPECT_FALSE(font) << "nothing readable leaves the font as it was";
  ASSERT_TRUE(ReadRegistryFont(key, L"Good", font));
  LOGFONTW made{};
  ASSERT_TRUE(::GetObjectW(font.get(), sizeof made, &made));
  EXPECT_EQ(made.lfHeight, -13);
  EXPECT_EQ(made.lfWeight, FW_BOLD);
  EXPECT_STREQ(made.lfFaceName, L"Tahoma");
  ::RegCloseKey(key);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\NimbrelTests\\Font");
}

}  // namespace
}  // namespace nimbrel
