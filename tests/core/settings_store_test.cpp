#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/text_ini_store.h"
#include "test_value_name.h"

namespace nimbrel {
namespace {

constexpr std::int32_t kDefault = 4242;

struct IntegerCase {
  const wchar_t* text;
  std::int32_t expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) { *os << testing_names::Token(c.text); }

class ParseIniIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIniIntegerTest, Reads) {
  EXPECT_EQ(ParseIniInteger(GetParam().text, kDefault), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ParseIniIntegerTest,
    ::testing::Values(IntegerCase{L"1000", 1000}, IntegerCase{L"0", 0}, IntegerCase{L"-0", 0},
                      IntegerCase{L"007", 7}, IntegerCase{L"+5", 5}, IntegerCase{L"-16777208", -16777208},
                      IntegerCase{L"-101", -101}, IntegerCase{L"2147483647", 2147483647},
                      IntegerCase{L"-2147483648", std::numeric_limits<std::int32_t>::min()},
                      IntegerCase{L"0x3E8", 1000}, IntegerCase{L"0X3e8", 1000}, IntegerCase{L"$3E8", 1000},
                      IntegerCase{L"$3e8", 1000}, IntegerCase{L"0xFF000008", -16777208},
                      IntegerCase{L"$FFFFFFFF", -1}, IntegerCase{L"0x7FFFFFFF", 2147483647},
                      IntegerCase{L"0x80000000", std::numeric_limits<std::int32_t>::min()},
                      IntegerCase{L"0x0000000010", 16}, IntegerCase{L"0x0", 0}));

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, ParseIniIntegerTest,
    ::testing::Values(IntegerCase{L"", kDefault}, IntegerCase{L"fast", kDefault},
                      IntegerCase{L"yes", kDefault}, IntegerCase{L"-", kDefault}, IntegerCase{L"+", kDefault},
                      IntegerCase{L"0x", kDefault}, IntegerCase{L"$", kDefault}, IntegerCase{L" 5", kDefault},
                      IntegerCase{L"5 ", kDefault}, IntegerCase{L"1 000", kDefault},
                      IntegerCase{L"1.5", kDefault}, IntegerCase{L"1e3", kDefault},
                      IntegerCase{L"12abc", kDefault}, IntegerCase{L"--5", kDefault},
                      IntegerCase{L"+-5", kDefault}, IntegerCase{L"-0x10", kDefault},
                      IntegerCase{L"+$10", kDefault}, IntegerCase{L"0x-1", kDefault},
                      IntegerCase{L"0xG", kDefault}, IntegerCase{L"x10", kDefault},
                      IntegerCase{L"2147483648", kDefault}, IntegerCase{L"-2147483649", kDefault},
                      IntegerCase{L"99999999999999999999", kDefault}, IntegerCase{L"0x100000000", kDefault},
                      IntegerCase{L"$FFFFFFFFF", kDefault}, IntegerCase{L"\uFF13", kDefault}));

LoadResult Load(const std::string& content, const Settings& defaults = DefaultSettings(6)) {
  const TextIniStore store(content);
  return LoadOptions(store, defaults);
}

TEST(DefaultSettingsTest, PageFileIsShownByDefaultOnlyBeforeWindows6) {
  EXPECT_TRUE(DefaultSettings(4).ShowPage);
  EXPECT_TRUE(DefaultSettings(5).ShowPage);
  EXPECT_FALSE(DefaultSettings(6).ShowPage);
  EXPECT_FALSE(DefaultSettings(10).ShowPage);
}

TEST(LoadOptionsTest, MissingFileIsFirstStartWithAllDefaults) {
  for (int major : {5, 6}) {
    const LoadResult result = Load("", DefaultSettings(major));
    EXPECT_TRUE(result.firstStart);
    EXPECT_EQ(result.settings, DefaultSettings(major)) << major;
  }
}

TEST(LoadOptionsTest, FirstStartMarker) {
  EXPECT_TRUE(Load("[General]\r\nWarn=1\r\n").firstStart);
  EXPECT_FALSE(Load("[General]\r\nShowPercentage=0\r\n").firstStart);
  EXPECT_FALSE(Load("[General]\r\nShowPercentage=1\r\n").firstStart);
  EXPECT_TRUE(Load("[General]\r\nShowPercentage=-101\r\n").firstStart);
  EXPECT_TRUE(Load("[Other]\r\nShowPercentage=0\r\n").firstStart);
}

TEST(LoadOptionsTest, UnreadableMarkerIsFirstStartAndPercentageOff) {
  Settings defaults = DefaultSettings(6);
  const LoadResult result = Load("[General]\r\nShowPercentage=yes\r\n", defaults);
  EXPECT_TRUE(result.firstStart);
  EXPECT_FALSE(result.settings.ShowPercentage);
}

TEST(LoadOptionsTest, LiteralMarkerValueIsFirstStartButAStillTrueBoolean) {
  const LoadResult result = Load("[General]\r\nShowPercentage=-101\r\n");
  EXPECT_TRUE(result.firstStart);
  EXPECT_TRUE(result.settings.ShowPercentage);
}

TEST(LoadOptionsTest, IntegersAcceptHexAndFallBackToTheDefault) {
  EXPECT_EQ(Load("[General]\r\nRefreshRate=0x3E8\r\n").settings.RefreshRate, 1000);
  EXPECT_EQ(Load("[General]\r\nRefreshRate=0x1F4\r\n").settings.RefreshRate, 500);
  EXPECT_EQ(Load("[General]\r\nRefreshRate=$1F4\r\n").settings.RefreshRate, 500);
  EXPECT_EQ(Load("[General]\r\nRefreshRate=fast\r\n").settings.RefreshRate, 1000);
  EXPECT_EQ(Load("[General]\r\nRefreshRate=  250  \r\n").settings.RefreshRate, 250);
  // Out of the dialog's range, used as read.
  EXPECT_EQ(Load("[General]\r\nRefreshRate=0\r\nTopProcessCount=500\r\n").settings.RefreshRate, 0);
  EXPECT_EQ(Load("[General]\r\nRefreshRate=0\r\nTopProcessCount=500\r\n").settings.TopProcessCount, 500);
}

TEST(LoadOptionsTest, BooleansAreNonZeroIntegers) {
  EXPECT_TRUE(Load("[General]\r\nWarn=2\r\n").settings.Warn);
  EXPECT_TRUE(Load("[General]\r\nWarn=-1\r\n").settings.Warn);
  EXPECT_TRUE(Load("[General]\r\nWarn=yes\r\n").settings.Warn);
  EXPECT_FALSE(Load("[General]\r\nWarn=0\r\n").settings.Warn);
  EXPECT_FALSE(Load("[General]\r\nWarn=0x0\r\n").settings.Warn);
  EXPECT_FALSE(Load("[General]\r\nWarnMsgBox=yes\r\n").settings.WarnMsgBox);
  EXPECT_TRUE(Load("[General]\r\nWarnMsgBox=0x10\r\n").settings.WarnMsgBox);
  EXPECT_FALSE(Load("[General]\r\nWarnMsgBox=true\r\n").settings.WarnMsgBox);
}

TEST(LoadOptionsTest, DefaultsComeFromTheCaller) {
  Settings defaults = DefaultSettings(6);
  defaults.Warn = false;
  defaults.RefreshRate = 700;
  defaults.ShowPage = true;
  const LoadResult result = Load("[General]\r\nWarn=yes\r\nRefreshRate=fast\r\n", defaults);
  EXPECT_FALSE(result.settings.Warn);
  EXPECT_EQ(result.settings.RefreshRate, 700);
  EXPECT_TRUE(result.settings.ShowPage);
}

TEST(LoadOptionsTest, ColorTexts) {
  for (const char* green : {"#00FF00", "00ff00", "00FF00"}) {
    const std::string file = std::string("[Colors]\r\nGreenColor=") + green + "\r\n";
    EXPECT_EQ(Load(file).settings.GreenColor, RgbColor(0, 255, 0)) << green;
  }
  EXPECT_EQ(Load("[Colors]\r\nRedColor=Red\r\n").settings.RedColor, kAutomaticColor);
  EXPECT_EQ(Load("[Colors]\r\nBarBorderColor=ButtonShadow\r\n").settings.BarBorderColor,
            static_cast<ColorValue>(0xFF000010u));
  EXPECT_EQ(Load("[Colors]\r\nBarBorderColor=buttonshadow\r\n").settings.BarBorderColor, kAutomaticColor);
  EXPECT_EQ(Load("[Colors]\r\nOpaqueBkColor=\r\n").settings.OpaqueBkColor, kAutomaticColor);
  EXPECT_EQ(Load("[Colors]\r\nOpaqueBkColor=Automatic\r\n").settings.OpaqueBkColor, kAutomaticColor);
  EXPECT_EQ(Load("[Colors]\r\nOpaqueBkColor=-1\r\n").settings.OpaqueBkColor, kAutomaticColor);
  EXPECT_EQ(Load("[Colors]\r\nOpaqueBkColor=FFFFFF\r\n").settings.OpaqueBkColor, 0x00FFFFFF);
  // The colour section is not the general one.
  EXPECT_EQ(Load("[General]\r\nGreenColor=00FF00\r\n").settings.GreenColor, kAutomaticColor);
}

TEST(LoadOptionsTest, FontKeysDefaultToTheFontsCurrentValues) {
  Settings defaults = DefaultSettings(6);
  defaults.DisplayFont = {L"SimSun", 134, 0x00112233, 9, 3};
  const LoadResult missing = Load("[General]\r\nShowPercentage=0\r\n", defaults);
  EXPECT_EQ(missing.settings.DisplayFont, (FontSpec{L"SimSun", 134, 0x00112233, 9, 3}));
  EXPECT_EQ(missing.settings.FontColor, 0x00112233);

  const LoadResult unreadable =
      Load("[Font]\r\nCharSet=x\r\nColor=black\r\nSize=big\r\nStyle=\r\n", defaults);
  EXPECT_EQ(unreadable.settings.DisplayFont, (FontSpec{L"SimSun", 134, 0x00112233, 9, 3}));
}

TEST(LoadOptionsTest, FontKeysAreRead) {
  const LoadResult result =
      Load("[Font]\r\nName=Courier New\r\nCharSet=134\r\nColor=0xFF000008\r\nSize=8\r\nStyle=5\r\n");
  EXPECT_EQ(result.settings.DisplayFont, (FontSpec{L"Courier New", 134, -16777208, 8, 5}));
  EXPECT_EQ(result.settings.FontColor, -16777208);
}

TEST(LoadOptionsTest, FontColorFollowsTheFontAndAutomaticBecomesBlack) {
  const LoadResult red = Load("[Font]\r\nColor=255\r\n");
  EXPECT_EQ(red.settings.FontColor, 255);
  EXPECT_EQ(red.settings.DisplayFont.Color, 255);
  const LoadResult automatic = Load("[Font]\r\nColor=-1\r\n");
  EXPECT_EQ(automatic.settings.FontColor, kAutomaticColor);
  EXPECT_EQ(automatic.settings.DisplayFont.Color, 0);
}

TEST(LoadOptionsTest, EveryKeyReachesItsOwnField) {
  const LoadResult result = Load(
      "[General]\r\nWarn=0\r\nWarnMsgBox=1\r\nHighlightProcessAbove=250\r\nShowNameInsteadOfModule=1\r\n"
      "ShowPage=1\r\nShowFree=1\r\nNoBorder=0\r\nShowPercentage=1\r\nShowPercSign=1\r\nInternalFont=0\r\n"
      "HintWhatisDisplayed=0\r\nStandardGauge=1\r\nBarBottom=1\r\nTransBk=1\r\nMiniInternalFont=1\r\n"
      "RefreshRate=2500\r\nFullBar=1\r\nRefreshHotkey=16449\r\nShowTopProcess=0\r\nTopProcessCount=17\r\n"
      "ShowMemMenu=0\r\nOptimizeForGigabytes=0\r\nDefragOnHighMemory=0\r\nDefragEveryActive=1\r\n"
      "DefragEvery=33\r\nDoubleClickAction=4\r\nSwitchOffMonitorOnLock=1\r\nClickedDonation=1\r\n"
      "NoWarningSwithOffMonMobile=1\r\nProcessValueType=2\r\nRedPercent=80\r\nYellowPercent=55\r\n"
      "[Font]\r\nName=Arial\r\nCharSet=0\r\nColor=16711680\r\nSize=7\r\nStyle=1\r\n"
      "[Colors]\r\nProcMenuHightlightColor=000001\r\nOpaqueBkColor=000002\r\nBarBorderColor=000003\r\n"
      "GreenColor=000004\r\nYellowColor=000005\r\nRedColor=000006\r\nFullBarColor=000007\r\n");
  EXPECT_FALSE(result.firstStart);
  const Settings& s = result.settings;
  EXPECT_FALSE(s.Warn);
  EXPECT_TRUE(s.WarnMsgBox);
  EXPECT_EQ(s.HighlightProcessAbove, 250);
  EXPECT_TRUE(s.ShowNameInsteadOfModule);
  EXPECT_TRUE(s.ShowPage);
  EXPECT_TRUE(s.ShowFree);
  EXPECT_FALSE(s.NoBorder);
  EXPECT_TRUE(s.ShowPercentage);
  EXPECT_TRUE(s.ShowPercSign);
  EXPECT_FALSE(s.InternalFont);
  EXPECT_FALSE(s.HintWhatisDisplayed);
  EXPECT_TRUE(s.StandardGauge);
  EXPECT_TRUE(s.BarBottom);
  EXPECT_TRUE(s.TransBk);
  EXPECT_TRUE(s.MiniInternalFont);
  EXPECT_EQ(s.RefreshRate, 2500);
  EXPECT_TRUE(s.FullBar);
  EXPECT_EQ(s.RefreshHotkey, 0x4041);
  EXPECT_FALSE(s.ShowTopProcess);
  EXPECT_EQ(s.TopProcessCount, 17);
  EXPECT_FALSE(s.ShowMemMenu);
  EXPECT_FALSE(s.OptimizeForGigabytes);
  EXPECT_FALSE(s.DefragOnHighMemory);
  EXPECT_TRUE(s.DefragEveryActive);
  EXPECT_EQ(s.DefragEvery, 33);
  EXPECT_EQ(s.DoubleClickAction, 4);
  EXPECT_TRUE(s.SwitchOffMonitorOnLock);
  EXPECT_TRUE(s.ClickedDonation);
  EXPECT_TRUE(s.NoWarningSwithOffMonMobile);
  EXPECT_EQ(s.ProcessValueType, 2);
  EXPECT_EQ(s.RedPercent, 80);
  EXPECT_EQ(s.YellowPercent, 55);
  EXPECT_EQ(s.DisplayFont, (FontSpec{L"Arial", 0, 0x00FF0000, 7, 1}));
  EXPECT_EQ(s.FontColor, 0x00FF0000);
  EXPECT_EQ(s.ProcMenuHightlightColor, 0x00010000);
  EXPECT_EQ(s.OpaqueBkColor, 0x00020000);
  EXPECT_EQ(s.BarBorderColor, 0x00030000);
  EXPECT_EQ(s.GreenColor, 0x00040000);
  EXPECT_EQ(s.YellowColor, 0x00050000);
  EXPECT_EQ(s.RedColor, 0x00060000);
  EXPECT_EQ(s.FullBarColor, 0x00070000);
}

TEST(SaveOptionsTest, NewFileHoldsEveryKeyInOrder) {
  Settings settings = DefaultSettings(6);
  ApplyFontColor(settings);
  TextIniStore store;
  const SaveResult result = SaveOptions(store, settings);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.failedKey, L"");
  EXPECT_EQ(store.Content(),
            "[General]\r\n"
            "Warn=1\r\n"
            "WarnMsgBox=0\r\n"
            "HighlightProcessAbove=100\r\n"
            "ShowNameInsteadOfModule=0\r\n"
            "ShowPage=0\r\n"
            "ShowFree=0\r\n"
            "NoBorder=1\r\n"
            "ShowPercentage=0\r\n"
            "ShowPercSign=0\r\n"
            "InternalFont=1\r\n"
            "HintWhatisDisplayed=1\r\n"
            "StandardGauge=0\r\n"
            "BarBottom=0\r\n"
            "TransBk=0\r\n"
            "MiniInternalFont=0\r\n"
            "RefreshRate=1000\r\n"
            "FullBar=0\r\n"
            "RefreshHotkey=0\r\n"
            "ShowTopProcess=1\r\n"
            "TopProcessCount=10\r\n"
            "ShowMemMenu=1\r\n"
            "OptimizeForGigabytes=1\r\n"
            "DefragOnHighMemory=1\r\n"
            "DefragEveryActive=0\r\n"
            "DefragEvery=120\r\n"
            "DoubleClickAction=0\r\n"
            "SwitchOffMonitorOnLock=0\r\n"
            "ClickedDonation=0\r\n"
            "NoWarningSwithOffMonMobile=0\r\n"
            "ProcessValueType=0\r\n"
            "RedPercent=90\r\n"
            "YellowPercent=65\r\n"
            "FollowTaskbarMode=0\r\n"
            "[Font]\r\n"
            "Name=Tahoma\r\n"
            "CharSet=1\r\n"
            "Color=-16777208\r\n"
            "Size=6\r\n"
            "Style=0\r\n"
            "[Colors]\r\n"
            "ProcMenuHightlightColor=Automatic\r\n"
            "OpaqueBkColor=Automatic\r\n"
            "BarBorderColor=Automatic\r\n"
            "GreenColor=Automatic\r\n"
            "YellowColor=Automatic\r\n"
            "RedColor=Automatic\r\n"
            "FullBarColor=Automatic\r\n");
}

// Records every write, and refuses the one numbered refuseAt (0-based; -1 refuses none).
class RecordingStore : public IniStore {
 public:
  explicit RecordingStore(int refuseAt = -1) : refuseAt_(refuseAt) {}

  std::wstring ReadString(const std::wstring&, const std::wstring&, const std::wstring& d) const override {
    return d;
  }
  bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override {
    const bool refused = static_cast<int>(attempts++) == refuseAt_;
    if (!refused) writes.push_back(section + L"/" + key + L"=" + value);
    return !refused;
  }

  std::size_t attempts = 0;
  std::vector<std::wstring> writes;

 private:
  int refuseAt_;
};

TEST(SaveOptionsTest, OneWritePerKeyWithFontBetweenProcessValueTypeAndRedPercent) {
  RecordingStore store;
  ASSERT_TRUE(SaveOptions(store, DefaultSettings(5)).ok);
  ASSERT_EQ(store.writes.size(), 45u);
  EXPECT_EQ(store.writes[0], L"General/Warn=1");
  EXPECT_EQ(store.writes[4], L"General/ShowPage=1");
  EXPECT_EQ(store.writes[29], L"General/ProcessValueType=0");
  EXPECT_EQ(store.writes[30], L"Font/Name=Tahoma");
  EXPECT_EQ(store.writes[34], L"Font/Style=0");
  EXPECT_EQ(store.writes[35], L"General/RedPercent=90");
  EXPECT_EQ(store.writes[36], L"General/YellowPercent=65");
  EXPECT_EQ(store.writes[37], L"General/FollowTaskbarMode=0");
  EXPECT_EQ(store.writes[38], L"Colors/ProcMenuHightlightColor=Automatic");
  EXPECT_EQ(store.writes[44], L"Colors/FullBarColor=Automatic");
}

TEST(SaveOptionsTest, RefusedWriteStopsAtTheFirstKey) {
  TextIniStore store("[General]\r\nWarn=0\r\n");
  store.SetReadOnly(true);
  const SaveResult result = SaveOptions(store, DefaultSettings(6));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failedKey, L"Warn");
  EXPECT_EQ(store.Content(), "[General]\r\nWarn=0\r\n");
}

TEST(SaveOptionsTest, RefusedWriteInTheMiddleKeepsEarlierKeysAndTriesNoLaterOne) {
  RecordingStore store(32);
  const SaveResult result = SaveOptions(store, DefaultSettings(6));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failedKey, L"Color");
  EXPECT_EQ(store.attempts, 33u);
  ASSERT_EQ(store.writes.size(), 32u);
  EXPECT_EQ(store.writes.back(), L"Font/CharSet=1");
}

TEST(SaveOptionsTest, ValueTexts) {
  Settings settings = DefaultSettings(6);
  settings.GreenColor = RgbColor(1, 2, 3);
  settings.BarBorderColor = SystemColor(15);
  settings.RedColor = kAutomaticColor;
  settings.YellowColor = RgbColor(255, 0, 0);
  settings.RefreshHotkey = 0x4000 | 0x41;
  settings.HighlightProcessAbove = -5;
  settings.WarnMsgBox = true;
  settings.Warn = false;
  settings.DisplayFont.Name = L"Courier New";
  settings.DisplayFont.Color = 0x00FF0000;
  TextIniStore store;
  ASSERT_TRUE(SaveOptions(store, settings).ok);
  EXPECT_EQ(store.ReadString(L"Colors", L"GreenColor", L""), L"010203");
  EXPECT_EQ(store.ReadString(L"Colors", L"BarBorderColor", L""), L"ThreeDFace");
  EXPECT_EQ(store.ReadString(L"Colors", L"RedColor", L""), L"Automatic");
  EXPECT_EQ(store.ReadString(L"Colors", L"YellowColor", L""), L"FF0000");
  EXPECT_EQ(store.ReadString(L"General", L"RefreshHotkey", L""), L"16449");
  EXPECT_EQ(store.ReadString(L"General", L"HighlightProcessAbove", L""), L"-5");
  EXPECT_EQ(store.ReadString(L"General", L"WarnMsgBox", L""), L"1");
  EXPECT_EQ(store.ReadString(L"General", L"Warn", L""), L"0");
  EXPECT_EQ(store.ReadString(L"Font", L"Name", L""), L"Courier New");
  EXPECT_EQ(store.ReadString(L"Font", L"Color", L""), L"16711680");
}

TEST(SaveOptionsTest, FontColorIsSavedThroughTheFontOnly) {
  Settings settings = DefaultSettings(6);
  settings.FontColor = 0x000000FF;  // not applied yet: the font still carries WindowText
  TextIniStore store;
  ASSERT_TRUE(SaveOptions(store, settings).ok);
  EXPECT_EQ(store.ReadString(L"Font", L"Color", L""), L"-16777208");
  EXPECT_EQ(store.ReadString(L"General", L"FontColor", L"<none>"), L"<none>");
}

TEST(SettingsStoreTest, AutomaticTextColorComesBackAsBlack) {
  Settings settings = DefaultSettings(6);
  settings.FontColor = kAutomaticColor;
  ApplyFontColor(settings);
  EXPECT_EQ(settings.DisplayFont.Color, 0);
  TextIniStore store;
  ASSERT_TRUE(SaveOptions(store, settings).ok);
  EXPECT_EQ(store.ReadString(L"Font", L"Color", L""), L"0");
  const LoadResult loaded = LoadOptions(store, DefaultSettings(6));
  EXPECT_FALSE(loaded.firstStart);
  EXPECT_EQ(loaded.settings.FontColor, 0);
  EXPECT_EQ(loaded.settings.DisplayFont.Color, 0);
}

TEST(SettingsStoreTest, ApplyFontColor) {
  Settings settings = DefaultSettings(6);
  settings.FontColor = 0x00FF00FF;
  ApplyFontColor(settings);
  EXPECT_EQ(settings.DisplayFont.Color, 0x00FF00FF);
  settings.FontColor = SystemColor(8);
  ApplyFontColor(settings);
  EXPECT_EQ(settings.DisplayFont.Color, SystemColor(8));
  settings.FontColor = kAutomaticColor;
  ApplyFontColor(settings);
  EXPECT_EQ(settings.DisplayFont.Color, 0);
  EXPECT_EQ(settings.FontColor, kAutomaticColor);
}

TEST(SettingsStoreTest, SavedSettingsLoadBackEqual) {
  Settings settings = DefaultSettings(6);
  settings.Warn = false;
  settings.ShowFree = true;
  settings.RefreshRate = 300;
  settings.RefreshHotkey = 0x10000 | 0x8000 | 0x2000 | 0x70;
  settings.RedPercent = 95;
  settings.YellowPercent = 1;
  settings.ProcMenuHightlightColor = RgbColor(251, 225, 225);
  settings.OpaqueBkColor = SystemColor(0);
  settings.BarBorderColor = SystemColor(24);
  settings.FullBarColor = RgbColor(0, 0, 0);
  settings.DisplayFont = {L"微软雅黑", 134, 0x00123456, 11, 15};
  settings.FontColor = 0x00123456;
  TextIniStore store;
  ASSERT_TRUE(SaveOptions(store, settings).ok);
  const LoadResult loaded = LoadOptions(store, DefaultSettings(6));
  EXPECT_FALSE(loaded.firstStart);
  EXPECT_EQ(loaded.settings, settings);
}

TEST(SettingsStoreTest, UnknownKeysAndSectionsSurviveASaveAndKnownValuesAreNormalised) {
  TextIniStore store(
      "; hand made\r\n[General]\r\nWarn = yes\r\nMyKey=abc\r\nRefreshRate=0x3E8\r\n"
      "[Mine]\r\nA=b\r\n[Colors]\r\nGreenColor=#00ff00\r\n"
      "[\xE8\x87\xAA\xE5\xAE\x9A\xE4\xB9\x89\xE9\xA2\x9C\xE8\x89\xB2]\r\nColorA=FFFFFF\r\n");
  const LoadResult loaded = LoadOptions(store, DefaultSettings(6));
  EXPECT_TRUE(loaded.firstStart);
  ASSERT_TRUE(SaveOptions(store, loaded.settings).ok);
  const std::string content = store.Content();
  EXPECT_EQ(content.rfind(
                "; hand made\r\n[General]\r\nWarn=1\r\nMyKey=abc\r\nRefreshRate=1000\r\nWarnMsgBox=0\r\n", 0),
            0u)
      << content;
  EXPECT_NE(
      content.find(
          "YellowPercent=65\r\nFollowTaskbarMode=0\r\n[Mine]\r\nA=b\r\n[Colors]\r\nGreenColor=00FF00\r\n"
          "ProcMenuHightlightColor=Automatic\r\n"),
      std::string::npos)
      << content;
  EXPECT_NE(content.find("FullBarColor=Automatic\r\n"
                         "[\xE8\x87\xAA\xE5\xAE\x9A\xE4\xB9\x89\xE9\xA2\x9C\xE8\x89\xB2]\r\nColorA=FFFFFF\r\n"
                         "[Font]\r\nName=Tahoma\r\n"),
            std::string::npos)
      << content;
  EXPECT_EQ(store.ReadString(L"自定义颜色", L"ColorA", L""), L"FFFFFF");
}

}  // namespace
}  // namespace nimbrel
