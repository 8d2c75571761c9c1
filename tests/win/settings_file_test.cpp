// Loading and saving the settings record through the system's profile functions.
#include <gtest/gtest.h>

#include "settings/profile_ini_store_win.h"
#include "settings/settings_store.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing::MakeScratchFolder(L"settings");
    path_ = folder_ + L"Nimbrel.Settings";
  }
  void TearDown() override { testing::RemoveTree(folder_); }

  std::wstring folder_;
  std::wstring path_;
};

TEST_F(SettingsFile, SavedRecordLoadsBackAndIsNoLongerAFirstStart) {
  ProfileIniStore store(path_);
  Settings defaults = DefaultSettings(10);
  LoadResult first = LoadOptions(store, defaults);
  EXPECT_TRUE(first.firstStart);

  Settings changed = first.settings;
  changed.RefreshRate = 2500;
  changed.ShowPercentage = true;
  changed.RedColor = 0x00030201;  // RGB 1, 2, 3
  changed.BarBorderColor = SystemColor(15);
  changed.DisplayFont.Name = L"Courier New";
  changed.DisplayFont.Size = 9;
  changed.FontColor = kAutomaticColor;
  ApplyFontColor(changed);
  ASSERT_TRUE(SaveOptions(store, changed).ok);

  std::string bytes = testing::ReadFileBytes(path_);
  EXPECT_NE(bytes.find("RedColor=010203\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("BarBorderColor=ThreeDFace\r\n"), std::string::npos);

  LoadResult again = LoadOptions(store, defaults);
  EXPECT_FALSE(again.firstStart);
  EXPECT_EQ(again.settings.RefreshRate, 2500);
  EXPECT_TRUE(again.settings.ShowPercentage);
  EXPECT_EQ(again.settings.RedColor, 0x00030201);
  EXPECT_EQ(again.settings.BarBorderColor, SystemColor(15));
  EXPECT_EQ(again.settings.DisplayFont.Name, L"Courier New");
  EXPECT_EQ(again.settings.DisplayFont.Size, 9);
  // An automatic text colour comes back as explicit black.
  EXPECT_EQ(again.settings.FontColor, 0);
}

TEST_F(SettingsFile, RefusedWriteStopsTheSaveAndReportsIt) {
  // A folder in place of the file: the system refuses every write, even to an administrator.
  ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
  ProfileIniStore store(path_);
  SaveResult result = SaveOptions(store, DefaultSettings(10));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failedKey, L"Warn");
}

}  // namespace
}  // namespace nimbrel
