// Saves that replace the file in one step.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/system_info_win.h"
#include "platform/unique_resource_win.h"
#include "settings/profile_file_update_win.h"
#include "settings/settings_store.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

bool WriteRed(const std::wstring& path, const wchar_t* value) {
  return UpdateProfileFile(
      path, [&](IniStore& store) { return store.WriteString(L"General", L"RedPercent", value); });
}

TEST(ProfileFileUpdate, ReplacesTheFileWholeAndKeepsWhatItDoesNotWrite) {
  const std::wstring folder = testing::MakeScratchFolder(L"update");
  const std::wstring path = folder + L"Nimbrel.Settings";

  ASSERT_TRUE(WriteRed(path, L"80")) << "a new file";
  EXPECT_EQ(testing::ReadFileBytes(path), "[General]\r\nRedPercent=80\r\n");

  // Keys and sections the save does not know stay, and a copy a cut-off save left behind is no harm.
  testing::WriteFileBytes(
      path, "; mine\r\n[General]\r\nRedPercent=80\r\nOther=1\r\n[自定义颜色]\r\nColorA=FFFFFF\r\n");
  testing::WriteFileBytes(path + L".saving", "[General]\r\nRedPercent=1\r\n");
  ASSERT_TRUE(WriteRed(path, L"70"));
  EXPECT_EQ(testing::ReadFileBytes(path),
            "; mine\r\n[General]\r\nRedPercent=70\r\nOther=1\r\n[自定义颜色]\r\nColorA=FFFFFF\r\n");
  EXPECT_EQ(::GetFileAttributesW((path + L".saving").c_str()), INVALID_FILE_ATTRIBUTES) << "no copy is left";

  // A file another program holds without sharing is left as it was, and the save says so.
  const std::string before = testing::ReadFileBytes(path);
  {
    UniqueFileHandle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_FALSE(WriteRed(path, L"60"));
  }
  EXPECT_EQ(testing::ReadFileBytes(path), before);
  EXPECT_EQ(::GetFileAttributesW((path + L".saving").c_str()), INVALID_FILE_ATTRIBUTES);

  // A write the save refuses leaves the file too.
  EXPECT_FALSE(UpdateProfileFile(path, [](IniStore& store) {
    store.WriteString(L"General", L"RedPercent", L"50");
    return false;
  }));
  EXPECT_EQ(testing::ReadFileBytes(path), before);
  testing::RemoveTree(folder);
}

TEST(ProfileFileUpdate, KeepsTheFilesLooksAndWritesInPlaceWhereNoCopyCanBeMade) {
  const std::wstring folder = testing::MakeScratchFolder(L"update-looks");
  const std::wstring path = folder + L"Nimbrel.Settings";
  testing::WriteFileBytes(path, "[General]\r\nRedPercent=80\r\n");
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(WriteRed(path, L"70"));
  EXPECT_EQ(testing::ReadFileBytes(path), "[General]\r\nRedPercent=70\r\n");
  EXPECT_EQ(::GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

  // No copy can be made beside the file (a folder stands where it would go, as a folder the user may
  // not write refuses it): the file itself takes the writes.
  ASSERT_TRUE(::CreateDirectoryW((path + L".saving").c_str(), nullptr));
  EXPECT_TRUE(WriteRed(path, L"60"));
  EXPECT_EQ(testing::ReadFileBytes(path), "[General]\r\nRedPercent=60\r\n");
  ::RemoveDirectoryW((path + L".saving").c_str());

  // A bare name never becomes a file in the Windows folder.
  EXPECT_FALSE(WriteRed(L"Nimbrel.Settings", L"50"));
  for (const wchar_t* name : {L"Nimbrel.Settings", L"Nimbrel.Settings.saving"})
    EXPECT_EQ(::GetFileAttributesW((GetWindowsFolder() + name).c_str()), INVALID_FILE_ATTRIBUTES) << name;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  testing::RemoveTree(folder);
}

TEST(ProfileFileUpdate, AFileWithMoreThanOneNameKeepsThemAll) {
  // A package manager that keeps the settings across versions gives the file a second name inside the
  // program's folder: a save must reach the file under both names, and go on doing so.
  const std::wstring folder = testing::MakeScratchFolder(L"update-linked");
  const std::wstring kept = folder + L"kept.Settings";
  const std::wstring path = folder + L"Nimbrel.Settings";
  testing::WriteFileBytes(kept, "[General]\r\nRedPercent=80\r\n");
  ASSERT_TRUE(::CreateHardLinkW(path.c_str(), kept.c_str(), nullptr));
  ASSERT_TRUE(WriteRed(path, L"70"));
  EXPECT_EQ(testing::ReadFileBytes(path), "[General]\r\nRedPercent=70\r\n");
  EXPECT_EQ(testing::ReadFileBytes(kept), "[General]\r\nRedPercent=70\r\n") << "the other name lost the save";
  ASSERT_TRUE(WriteRed(path, L"60"));
  EXPECT_EQ(testing::ReadFileBytes(kept), "[General]\r\nRedPercent=60\r\n") << "the names were parted";
  EXPECT_EQ(::GetFileAttributesW((path + L".saving").c_str()), INVALID_FILE_ATTRIBUTES) << "no copy is left";

  // A save that makes the file shorter leaves no tail of the longer one.
  ASSERT_TRUE(WriteRed(path, L"5"));
  EXPECT_EQ(testing::ReadFileBytes(kept), "[General]\r\nRedPercent=5\r\n");
  testing::RemoveTree(folder);
}

}  // namespace
}  // namespace nimbrel
