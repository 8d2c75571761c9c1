#include "options/options_model.h"

#include <gtest/gtest.h>

#include <map>

#include "settings/settings_store.h"
#include "settings/text_ini_store.h"
#include "widgets/link_markup.h"

namespace nimbrel {
namespace {

// A read-only themes folder: file name to content.
class Themes : public ThemeFolder {
 public:
  std::map<std::wstring, std::string> files;
  std::vector<std::wstring> ThemeFiles() const override {
    std::vector<std::wstring> names;
    for (const auto& [name, content] : files) names.push_back(name);
    return names;
  }
  std::wstring PathOf(const std::wstring& fileName) const override { return fileName; }
  bool Exists(const std::wstring& path) const override { return files.count(path) > 0; }
  std::unique_ptr<IniStore> Open(const std::wstring& path) const override {
    auto found = files.find(path);
    return std::make_unique<TextIniStore>(found == files.end() ? std::string() : found->second);
  }
  bool Remove(const std::wstring&) override { return false; }
};

OptionsModel Filled(const Settings& s, const Themes& themes = {}) {
  OptionsModel model;
  model.Fill(s, themes);
  return model;
}

TEST(OptionsModel, ThresholdsNarrowEachOther) {
  OptionsModel m = Filled(DefaultSettings(10));
  EXPECT_EQ(m.spin(Spin::Yellow).maxValue, 89);
  EXPECT_EQ(m.spin(Spin::Red).minValue, 66);
  EXPECT_EQ(m.highMemoryHeading, L"高内存使用率 (当内存高于 90%):");
  EXPECT_FALSE(m.spin(Spin::Yellow).typeable);
  // The link to the theme page is closed, so that the text after it is no part of it.
  EXPECT_EQ(LinkTexts(ParseLinkMarkup(kBarColoursLinkMarkup)), std::vector<std::wstring>{L"主题部分"});

  m.SetSpin(Spin::Yellow, 95);
  EXPECT_EQ(m.spin(Spin::Yellow).value, 89) << "yellow stays below red";
  EXPECT_EQ(m.spin(Spin::Red).minValue, 90);
  m.SetSpin(Spin::Red, 10);
  EXPECT_EQ(m.spin(Spin::Red).value, 90);
  m.SetSpin(Spin::Yellow, 40);
  m.SetSpin(Spin::Red, 41);
  EXPECT_EQ(m.spin(Spin::Yellow).maxValue, 40);
  EXPECT_EQ(m.highMemoryHeading, L"高内存使用率 (当内存高于 41%):");

  Settings reversed = DefaultSettings(10);
  reversed.YellowPercent = 95;
  reversed.RedPercent = 90;
  OptionsModel r = Filled(reversed);
  EXPECT_LT(r.spin(Spin::Yellow).value, r.spin(Spin::Red).value) << "a hand-edited file is set right";
}

TEST(OptionsModel, EnableRules) {
  Settings s = DefaultSettings(10);
  s.HighlightProcessAbove = 0;
  OptionsModel m = Filled(s);
  EXPECT_FALSE(m.check(Check::HighlightProcess).checked);
  EXPECT_EQ(m.spin(Spin::ProcsRam).value, 100);
  EXPECT_FALSE(m.spin(Spin::ProcsRam).enabled);
  EXPECT_FALSE(m.highlightColorEnabled);
  Settings applied = s;
  m.ApplyTo(applied);
  EXPECT_EQ(applied.HighlightProcessAbove, 0);

  m.SetCheck(Check::HighlightProcess, true);
  m.SetCheck(Check::ShowProcessName, true);
  EXPECT_TRUE(m.spin(Spin::ProcsRam).enabled);
  m.SetCheck(Check::ShowTop, false);
  for (Check c : {Check::HighlightProcess, Check::ShowProcessName}) {
    EXPECT_FALSE(m.check(c).checked);
    EXPECT_FALSE(m.check(c).enabled);
  }
  EXPECT_FALSE(m.spin(Spin::Procs).enabled);
  EXPECT_FALSE(m.choiceIsEnabled(Choice::ProcessValue));
  EXPECT_FALSE(m.spin(Spin::ProcsRam).enabled) << "the highlight rule runs after";
  EXPECT_TRUE(m.ApplyTo(applied).processItemsRemoved);

  m.SetCheck(Check::ShowPercentage, true);
  EXPECT_FALSE(m.check(Check::ShowPage).enabled);
  EXPECT_FALSE(m.choiceIsEnabled(Choice::GbValues));
  EXPECT_TRUE(m.check(Check::ShowPercSign).enabled);
  m.SetCheck(Check::ShowPercentage, false);
  EXPECT_TRUE(m.check(Check::ShowPage).enabled);
  EXPECT_FALSE(m.check(Check::ShowPercSign).enabled);

  EXPECT_TRUE(m.check(Check::MiniFont).enabled);
  EXPECT_FALSE(m.fontButtonEnabled);
  EXPECT_EQ(m.fontPanelText, L"(内部字体)");
  m.SetCheck(Check::MiniFont, true);
  m.SetCheck(Check::InternalFont, false);
  EXPECT_FALSE(m.check(Check::MiniFont).checked);
  EXPECT_FALSE(m.check(Check::MiniFont).enabled);
  EXPECT_TRUE(m.fontButtonEnabled);
  EXPECT_EQ(m.fontPanelText, L"Tahoma, 6pt");

  EXPECT_FALSE(m.spin(Spin::DefragEvery).enabled);
  m.SetCheck(Check::DefragEveryActive, true);
  EXPECT_TRUE(m.spin(Spin::DefragEvery).enabled);
}

TEST(OptionsModel, RefreshRateAndItsDefault) {
  OptionsModel m = Filled(DefaultSettings(10));
  struct Case {
    int typed, value;
    bool resetVisible;
  } cases[] = {{1000, 1000, false}, {1100, 1100, true}, {50, 100, true}, {95000, 90000, true}};
  for (const Case& c : cases) {
    m.SetSpin(Spin::Mili, c.typed);
    EXPECT_EQ(m.spin(Spin::Mili).value, c.value) << c.typed;
    EXPECT_EQ(m.resetMiliVisible, c.resetVisible) << c.typed;
  }
  m.ResetRefreshRate();
  EXPECT_EQ(m.spin(Spin::Mili).value, 1000);
  EXPECT_FALSE(m.resetMiliVisible);
  EXPECT_EQ(m.spin(Spin::Mili).step, 100);
}

TEST(OptionsModel, EveryFieldGoesBackIntoTheSettings) {
  Settings changed = DefaultSettings(10);
  changed.Warn = false;
  changed.WarnMsgBox = true;
  changed.HighlightProcessAbove = 250;
  changed.ShowNameInsteadOfModule = true;
  changed.ShowPage = true;
  changed.ShowFree = true;
  changed.NoBorder = false;
  changed.ShowPercentage = true;
  changed.ShowPercSign = true;
  changed.InternalFont = true;
  changed.MiniInternalFont = true;
  changed.HintWhatisDisplayed = false;
  changed.StandardGauge = true;
  changed.BarBottom = true;
  changed.TransBk = true;
  changed.RefreshRate = 2500;
  changed.FullBar = true;
  changed.RefreshHotkey = 0x4000 | 0x8000 | 'M';
  changed.TopProcessCount = 7;
  changed.ShowMemMenu = false;
  changed.FollowTaskbarMode = true;
  changed.OptimizeForGigabytes = false;
  changed.DefragOnHighMemory = false;
  changed.DefragEveryActive = true;
  changed.DefragEvery = 30;
  changed.DoubleClickAction = 5;
  changed.SwitchOffMonitorOnLock = true;
  changed.ProcessValueType = 2;
  changed.RedPercent = 80;
  changed.YellowPercent = 50;
  changed.ProcMenuHightlightColor = RgbColor(1, 2, 3);
  changed.OpaqueBkColor = SystemColor(15);
  changed.BarBorderColor = RgbColor(9, 9, 9);
  changed.GreenColor = RgbColor(0, 200, 0);
  changed.YellowColor = RgbColor(200, 200, 0);
  changed.RedColor = RgbColor(200, 0, 0);
  changed.FullBarColor = RgbColor(50, 50, 50);
  changed.FontColor = RgbColor(10, 20, 30);
  ApplyFontColor(changed);
  changed.DisplayFont.Name = L"Verdana";
  changed.DisplayFont.Size = 7;

  Settings target = DefaultSettings(10);
  OptionsModel m = Filled(changed);
  m.ApplyTo(target);
  EXPECT_EQ(target, changed);

  // The period is taken only while its box is ticked.
  changed.DefragEveryActive = false;
  Settings kept = DefaultSettings(10);
  Filled(changed).ApplyTo(kept);
  EXPECT_EQ(kept.DefragEvery, 120);
}

TEST(OptionsModel, ThemePage) {
  Themes themes;
  themes.files[L"Night.Nimbrel Theme"] =
      "[NimbrelTheme]\r\nVer=22\r\nFontColor=FFFFFF\r\nRedColor=#00ff00\r\nOpaqueBackground=0\r\n"
      "BarOpaqueBackground=1\r\n";
  Settings s = DefaultSettings(10);
  s.RedColor = RgbColor(255, 0, 0);
  OptionsModel m = Filled(s, themes);
  ASSERT_EQ(m.themeEntries, (std::vector<std::wstring>{L"默认颜色", L"当前颜色", L"Night"}));
  EXPECT_EQ(m.themeIndex, 1);
  EXPECT_FALSE(m.deleteThemeEnabled);
  EXPECT_EQ(m.colorSlots[kRedSlot], L"FF0000");
  EXPECT_EQ(m.colorEntry, kTextSlot);
  EXPECT_EQ(m.pickerDefaultColor, RgbColor(0, 0, 0));

  m.SelectTheme(2, themes);
  EXPECT_TRUE(m.deleteThemeEnabled);
  EXPECT_EQ(m.colorSlots[kRedSlot], L"#00ff00") << "kept as written";
  EXPECT_TRUE(m.check(Check::Opaque).checked);
  EXPECT_TRUE(m.check(Check::FullBar).checked);
  EXPECT_EQ(m.pickerColor, RgbColor(255, 255, 255));
  m.SelectColorEntry(kBarSlot);
  EXPECT_EQ(m.pickerDefaultColor, SystemColor(16));
  EXPECT_EQ(m.pickerColor, kAutomaticColor);
  EXPECT_EQ(m.CurrentTheme().ColorSlots[kTextSlot], L"FFFFFF");

  // "默认颜色" then OK: all seven automatic, the text black; the background boxes stay as they were.
  m.SelectTheme(0, themes);
  EXPECT_TRUE(m.check(Check::Opaque).checked);
  Settings applied = s;
  m.ApplyTo(applied);
  for (ColorValue c : {applied.FontColor, applied.OpaqueBkColor, applied.FullBarColor, applied.BarBorderColor,
                       applied.GreenColor, applied.YellowColor, applied.RedColor})
    EXPECT_EQ(c, kAutomaticColor);
  EXPECT_EQ(applied.DisplayFont.Color, RgbColor(0, 0, 0));
  EXPECT_TRUE(applied.TransBk);

  // "当前颜色" goes back to the colours the dialog opened with, even after that Apply.
  m.SelectTheme(1, themes);
  EXPECT_EQ(m.colorSlots[kRedSlot], L"FF0000");

  m.SelectColorEntry(kTextSlot);
  m.ChooseColor(RgbColor(0x12, 0x34, 0x56));
  EXPECT_EQ(m.colorSlots[kTextSlot], L"123456");
  EXPECT_EQ(m.workingFont.Color, RgbColor(0x12, 0x34, 0x56));
  m.ChooseColor(kAutomaticColor);
  EXPECT_EQ(m.colorSlots[kTextSlot], L"-1");
  EXPECT_EQ(m.workingFont.Color, RgbColor(0, 0, 0));
}

TEST(OptionsModel, FontDialog) {
  Settings s = DefaultSettings(10);
  s.InternalFont = false;
  s.FontColor = kAutomaticColor;
  ApplyFontColor(s);
  OptionsModel m = Filled(s);
  ASSERT_EQ(m.colorSlots[kTextSlot], L"-1");
  m.FontDialogClosed(std::nullopt);
  EXPECT_EQ(m.colorSlots[kTextSlot], L"000000") << "a cancelled dialog makes the colour explicit";
  EXPECT_EQ(m.pickerColor, RgbColor(0, 0, 0));

  FontSpec chosen{L"Arial", 1, RgbColor(255, 0, 0), 9, 1};
  m.FontDialogClosed(chosen);
  EXPECT_EQ(m.fontPanelText, L"Arial, 9pt");
  EXPECT_EQ(m.colorSlots[kTextSlot], L"FF0000");
  Settings applied = s;
  m.ApplyTo(applied);
  EXPECT_EQ(applied.DisplayFont.Name, L"Arial");
  EXPECT_EQ(applied.DisplayFont.Color, RgbColor(255, 0, 0));
  EXPECT_EQ(applied.FontColor, RgbColor(255, 0, 0));
}

TEST(OptionsModel, PortableDeviceWarning) {
  Settings s = DefaultSettings(10);
  OptionsModel m = Filled(s);
  m.SetCheck(Check::Monitor, true);
  EXPECT_FALSE(m.MonitorWarningNeeded(false, s)) << "not a portable device";
  EXPECT_TRUE(m.MonitorWarningNeeded(true, s));
  m.MonitorWarningAnswered(kKeepMonitorOptionOff, false, s);
  EXPECT_FALSE(m.check(Check::Monitor).checked);
  EXPECT_FALSE(s.NoWarningSwithOffMonMobile);
  m.SetCheck(Check::Monitor, true);
  m.MonitorWarningAnswered(kActivateMonitorOption, true, s);
  EXPECT_TRUE(m.check(Check::Monitor).checked);
  EXPECT_TRUE(s.NoWarningSwithOffMonMobile) << "at once, before any OK";
  EXPECT_FALSE(m.MonitorWarningNeeded(true, s));

  const TTaskDialogEx request = PortableDeviceWarningRequest(0);
  EXPECT_EQ(SplitButtonItems(request.Dialog.CommandButtons, kFirstCommandButtonId).at(1).caption, L"不激活");
  EXPECT_TRUE(request.ClassicLook) << "asked like the high-memory warning";
}

TEST(OptionsModel, HotKeyControlValues) {
  struct Case {
    std::uint16_t control;
    HotKeyValue value;
  } cases[] = {
      {0x0000, 0}, {0x024D, 0x4000 | 'M'}, {0x064D, 0xC000 | 'M'}, {0x0170, 0x2000 | 0x70}, {0x0721, 0xE021}};
  for (const Case& c : cases) {
    EXPECT_EQ(HotKeyValueFromControl(c.control), c.value) << c.control;
    EXPECT_EQ(HotKeyControlValue(c.value), c.control) << c.value;
  }
  EXPECT_EQ(HotKeyValueFromControl(0x0A4D), 0x4000u | 'M') << "the extended-key flag is no modifier";
}

TEST(OptionsModel, ApplyStepsRunInOrderAndARefusedSaveStopsThem) {
  struct Case {
    bool saved;
    const char* steps;
  } cases[] = {{true, "remove(1,0) interval save tick hotkey"}, {false, "remove(1,0) interval save"}};
  for (const Case& c : cases) {
    std::string steps;
    auto step = [&steps](const std::string& name) { steps += (steps.empty() ? "" : " ") + name; };
    OptionsActions actions;
    actions.removeMenuItems = [&](const AppliedOptions& a) {
      step("remove(" + std::to_string(a.processItemsRemoved) + "," + std::to_string(a.memoryItemsRemoved) +
           ")");
    };
    actions.setRefreshInterval = [&] { step("interval"); };
    actions.saveOptions = [&] {
      step("save");
      return c.saved;
    };
    actions.refreshTick = [&] { step("tick"); };
    actions.reapplyHotKeyAndDefaultEntry = [&] { step("hotkey"); };
    EXPECT_EQ(RunApplySteps(actions, AppliedOptions{true, false}), c.saved);
    EXPECT_EQ(steps, c.steps);
  }
}

}  // namespace
}  // namespace nimbrel
