#include "options/options_model.h"

#include <algorithm>

#include "settings/settings_store.h"

namespace nimbrel {
namespace {

constexpr wchar_t kAutomaticSlot[] = L"-1";

std::wstring SlotText(ColorValue color) {
  return color == kAutomaticColor ? kAutomaticSlot : ColorToText(color);
}

ColorValue SlotColor(const std::wstring& text) { return ThemeSlotColor(text); }

// The settings fields of the seven theme elements, in slot order.
constexpr std::array<ColorValue Settings::*, kThemeColorCount> kSlotFields = {
    &Settings::FontColor,  &Settings::OpaqueBkColor, &Settings::FullBarColor, &Settings::BarBorderColor,
    &Settings::GreenColor, &Settings::YellowColor,   &Settings::RedColor};

struct CheckField {
  Check check;
  bool Settings::*field;
};
// The boxes copied one to one, in the order OK and Apply copy them.
constexpr CheckField kPlainChecks[] = {
    {Check::DefragOnHighMem, &Settings::DefragOnHighMemory},
    {Check::Monitor, &Settings::SwitchOffMonitorOnLock},
    {Check::DefragEveryActive, &Settings::DefragEveryActive},
    {Check::Warn, &Settings::Warn},
    {Check::WarnMsgBox, &Settings::WarnMsgBox},
    {Check::NoBorder, &Settings::NoBorder},
    {Check::ShowPage, &Settings::ShowPage},
    {Check::ShowFree, &Settings::ShowFree},
    {Check::ShowPercSign, &Settings::ShowPercSign},
    {Check::ShowPercentage, &Settings::ShowPercentage},
    {Check::InternalFont, &Settings::InternalFont},
    {Check::MiniFont, &Settings::MiniInternalFont},
    {Check::DisplayHint, &Settings::HintWhatisDisplayed},
    {Check::BarBottom, &Settings::BarBottom},
    {Check::StandardBar, &Settings::StandardGauge},
    {Check::FullBar, &Settings::FullBar},
    {Check::Opaque, &Settings::TransBk},
    {Check::ShowProcessName, &Settings::ShowNameInsteadOfModule},
    {Check::ShowTop, &Settings::ShowTopProcess},
    {Check::ShowMemMenu, &Settings::ShowMemMenu},
    {Check::FollowTaskbar, &Settings::FollowTaskbarMode},
};

SpinState MakeSpin(int minValue, int maxValue, int step, bool typeable) {
  SpinState s;
  s.minValue = minValue;
  s.maxValue = maxValue;
  s.value = minValue;
  s.step = step;
  s.typeable = typeable;
  return s;
}

}  // namespace

ColorValue AutomaticElementColor(int slot) {
  switch (slot) {
    case kTextSlot:
      return RgbColor(0, 0, 0);
    case kBackgroundSlot:
      return RgbColor(255, 255, 255);
    case kBarSlot:
    case kBarBorderSlot:
      return SystemColor(16);  // ButtonShadow
    case kGreenSlot:
      return RgbColor(0, 255, 0);
    case kYellowSlot:
      return RgbColor(255, 255, 0);
    default:
      return RgbColor(255, 0, 0);
  }
}

std::wstring HighMemoryHeading(int redPercent) {
  return L"高内存使用率 (当内存高于 " + std::to_wstring(redPercent) + L"%):";
}

std::wstring FontDescription(const FontSpec& font) {
  return font.Name + L", " + std::to_wstring(font.Size) + L"pt";
}

TTaskDialogEx PortableDeviceWarningRequest(std::uintptr_t parentWindow) {
  TTaskDialogEx request;
  request.Dialog.Caption = L"警告";
  request.Dialog.MainInstruction = L"检测到在便携式设备上运行";
  request.Dialog.ContentText =
      L"计算机锁定时会关闭显示屏, 只能使用外部显示器进行操作.\r\n\r\n你确定要激活此选项?";
  request.Dialog.CommandButtons = L"激活选项\n不激活";
  request.Dialog.VerificationText = L"不再显示此警告";
  request.Dialog.VerificationChecked = false;
  request.CommonButtons = 0;
  request.DefaultButton = 0;
  request.DialogFlags = kTdfAllowDialogCancellation;
  request.MainIconKind = 1;
  request.FooterIconKind = 4;
  request.DialogWidth = 0;
  request.ClassicLook = true;
  request.ParentWindow = parentWindow;
  return request;
}

void OptionsModel::Fill(const Settings& s, const ThemeFolder& themes) {
  filling_ = true;
  for (std::size_t i = 0; i < kSlotFields.size(); ++i) snapshot_[i] = s.*kSlotFields[i];

  for (const CheckField& f : kPlainChecks) check(f.check).checked = s.*f.field;

  spin(Spin::Yellow) = MakeSpin(1, 100, 1, false);
  spin(Spin::Red) = MakeSpin(1, 100, 1, false);
  spin(Spin::DefragEvery) = MakeSpin(5, 999, 1, true);
  spin(Spin::Mili) = MakeSpin(100, 90000, 100, true);
  spin(Spin::Procs) = MakeSpin(1, 100, 1, true);
  spin(Spin::ProcsRam) = MakeSpin(1, 9999, 1, true);

  // Yellow stays below red; a hand-edited file that has them the other way round gets the nearest
  // pair that keeps the rule.
  const int red = std::clamp<int>(s.RedPercent, 2, 100);
  const int yellow = std::clamp<int>(s.YellowPercent, 1, red - 1);
  spin(Spin::Yellow).maxValue = red;
  spin(Spin::Red).minValue = yellow;
  spin(Spin::Yellow).value = yellow;
  spin(Spin::Red).value = red;
  NarrowThresholds();
  highMemoryHeading = HighMemoryHeading(red);

  SetSpin(Spin::DefragEvery, s.DefragEvery);
  SetSpin(Spin::Mili, s.RefreshRate);
  SetSpin(Spin::Procs, s.TopProcessCount);
  check(Check::HighlightProcess).checked = s.HighlightProcessAbove > 0;
  SetSpin(Spin::ProcsRam, s.HighlightProcessAbove > 0 ? s.HighlightProcessAbove : 100);
  highlightColor = s.ProcMenuHightlightColor;
  hotKey = static_cast<HotKeyValue>(s.RefreshHotkey);
  choice(Choice::DoubleClick) = std::clamp<int>(s.DoubleClickAction, 0, 6);
  choice(Choice::ProcessValue) = std::clamp<int>(s.ProcessValueType, 0, 2);
  choice(Choice::GbValues) = s.OptimizeForGigabytes ? 1 : 0;

  displayFont_ = s.DisplayFont;
  workingFont = s.DisplayFont;

  ShowPercentageRule();
  DefragEveryRule();
  ShowTopRule();
  InternalFontRule();

  for (std::size_t i = 0; i < kSlotFields.size(); ++i) colorSlots[i] = SlotText(s.*kSlotFields[i]);
  themeEntries = LoadThemeList(themes);
  SelectTheme(1, themes);
  SelectColorEntry(kTextSlot);
  filling_ = false;
}

void OptionsModel::SetCheck(Check c, bool checked) {
  check(c).checked = checked;
  switch (c) {
    case Check::ShowPercentage:
      ShowPercentageRule();
      break;
    case Check::DefragEveryActive:
      DefragEveryRule();
      break;
    case Check::ShowTop:
    case Check::ShowMemMenu:
    case Check::ShowProcessName:
      ShowTopRule();
      break;
    case Check::HighlightProcess:
      HighlightRule();
      break;
    case Check::InternalFont:
    case Check::MiniFont:
      InternalFontRule();
      break;
    default:
      break;
  }
}

void OptionsModel::SetSpin(Spin s, int value) {
  SpinState& state = spin(s);
  state.value = std::clamp(value, state.minValue, state.maxValue);
  switch (s) {
    case Spin::Yellow:
      NarrowThresholds();
      break;
    case Spin::Red:
      NarrowThresholds();
      highMemoryHeading = HighMemoryHeading(state.value);
      break;
    case Spin::Mili:
      resetMiliVisible = state.value != kDefaultRefreshRate;
      break;
    default:
      break;
  }
}

void OptionsModel::SetChoice(Choice c, int index) { choice(c) = index; }

void OptionsModel::NarrowThresholds() {
  SpinState& yellow = spin(Spin::Yellow);
  SpinState& red = spin(Spin::Red);
  yellow.maxValue = std::max(red.value - 1, yellow.minValue);
  red.minValue = std::min(yellow.value + 1, red.maxValue);
}

void OptionsModel::ShowPercentageRule() {
  const bool percentage = check(Check::ShowPercentage).checked;
  check(Check::ShowPage).enabled = !percentage;
  choiceEnabled[static_cast<int>(Choice::GbValues)] = !percentage;
  check(Check::ShowPercSign).enabled = percentage;
}

void OptionsModel::DefragEveryRule() {
  spin(Spin::DefragEvery).enabled = check(Check::DefragEveryActive).checked;
}

void OptionsModel::ShowTopRule() {
  const bool top = check(Check::ShowTop).checked;
  spin(Spin::Procs).enabled = top;
  choiceEnabled[static_cast<int>(Choice::ProcessValue)] = top;
  for (Check c : {Check::HighlightProcess, Check::ShowProcessName}) {
    check(c).enabled = top;
    if (!top) check(c).checked = false;
  }
  HighlightRule();
}

void OptionsModel::HighlightRule() {
  const bool on = check(Check::HighlightProcess).checked;
  spin(Spin::ProcsRam).enabled = on;
  highlightColorEnabled = on;
}

void OptionsModel::InternalFontRule() {
  workingFont = displayFont_;
  const bool internal = check(Check::InternalFont).checked;
  fontPanelInternal = internal;
  fontPanelText = internal ? kInternalFontText : FontDescription(workingFont);
  fontButtonEnabled = !internal;
  check(Check::MiniFont).enabled = internal;
  if (!internal) check(Check::MiniFont).checked = false;
}

bool OptionsModel::MonitorWarningNeeded(bool portableDevice, const Settings& settings) const {
  return !filling_ && check(Check::Monitor).checked && !settings.NoWarningSwithOffMonMobile && portableDevice;
}

void OptionsModel::MonitorWarningAnswered(int result, bool verificationChecked, Settings& settings) {
  if (result == kKeepMonitorOptionOff) check(Check::Monitor).checked = false;
  if (verificationChecked) settings.NoWarningSwithOffMonMobile = true;
}

void OptionsModel::SelectTheme(int index, const ThemeFolder& themes) {
  if (index < 0 || index >= static_cast<int>(themeEntries.size())) return;
  themeIndex = index;
  deleteThemeEnabled = CanDeleteTheme(index, themeEntries.size());
  if (index == 0) {
    colorSlots.fill(kAutomaticSlot);
  } else if (index == 1) {
    for (std::size_t i = 0; i < snapshot_.size(); ++i) colorSlots[i] = SlotText(snapshot_[i]);
  } else {
    const ThemeSlots theme = ReadThemeEntry(themes, themeEntries[index]);
    colorSlots = theme.ColorSlots;
    check(Check::Opaque).checked = theme.TransparentBackground;
    check(Check::FullBar).checked = theme.OpaqueBar;
  }
  SelectColorEntry(colorEntry);
}

void OptionsModel::SelectColorEntry(int entry) {
  colorEntry = std::clamp(entry, 0, kThemeColorCount - 1);
  pickerDefaultColor = AutomaticElementColor(colorEntry);
  const std::wstring& slot = colorSlots[colorEntry];
  pickerColor = slot == kAutomaticSlot ? kAutomaticColor : SlotColor(slot);
}

void OptionsModel::ChooseColor(ColorValue color) {
  pickerColor = color;
  colorSlots[colorEntry] = SlotText(color);
  if (colorEntry == kTextSlot) workingFont.Color = color == kAutomaticColor ? pickerDefaultColor : color;
}

void OptionsModel::FontDialogClosed(const std::optional<FontSpec>& chosen) {
  if (chosen) {
    workingFont = *chosen;
    fontPanelText = FontDescription(workingFont);
    fontPanelInternal = false;
  }
  colorSlots[kTextSlot] = ColorToText(workingFont.Color);
  SelectColorEntry(colorEntry);
}

ThemeSlots OptionsModel::CurrentTheme() const {
  ThemeSlots theme;
  theme.ColorSlots = colorSlots;
  theme.TransparentBackground = check(Check::Opaque).checked;
  theme.OpaqueBar = check(Check::FullBar).checked;
  return theme;
}

void OptionsModel::ThemeListChanged(const ThemeListChange& change, const ThemeFolder& themes) {
  if (change.result != ThemeListChange::Result::Changed) return;
  themeEntries = change.entries;
  if (change.selected >= 0) SelectTheme(change.selected, themes);
}

bool RunApplySteps(const OptionsActions& actions, const AppliedOptions& applied) {
  if (actions.removeMenuItems) actions.removeMenuItems(applied);
  if (actions.setRefreshInterval) actions.setRefreshInterval();
  if (actions.saveOptions && !actions.saveOptions()) return false;
  if (actions.refreshTick) actions.refreshTick();
  if (actions.reapplyHotKeyAndDefaultEntry) actions.reapplyHotKeyAndDefaultEntry();
  return true;
}

AppliedOptions OptionsModel::ApplyTo(Settings& s) {
  AppliedOptions applied;
  for (const CheckField& f : kPlainChecks) s.*f.field = check(f.check).checked;
  s.DoubleClickAction = choice(Choice::DoubleClick);
  if (check(Check::DefragEveryActive).checked) s.DefragEvery = spin(Spin::DefragEvery).value;
  s.RefreshHotkey = static_cast<std::int32_t>(hotKey);
  s.RefreshRate = spin(Spin::Mili).value;
  s.DisplayFont = workingFont;
  s.YellowPercent = spin(Spin::Yellow).value;
  s.RedPercent = spin(Spin::Red).value;
  s.OptimizeForGigabytes = choice(Choice::GbValues) == 1;
  s.HighlightProcessAbove = check(Check::HighlightProcess).checked ? spin(Spin::ProcsRam).value : 0;
  s.ProcessValueType = choice(Choice::ProcessValue);
  s.ProcMenuHightlightColor = highlightColor;
  s.TopProcessCount = spin(Spin::Procs).value;
  applied.processItemsRemoved = !s.ShowTopProcess;
  applied.memoryItemsRemoved = !s.ShowMemMenu;

  s.FontColor = SlotColor(colorSlots[kTextSlot]);
  ApplyFontColor(s);
  for (std::size_t i = 1; i < kSlotFields.size(); ++i) s.*kSlotFields[i] = SlotColor(colorSlots[i]);
  displayFont_ = s.DisplayFont;
  return applied;
}

}  // namespace nimbrel
