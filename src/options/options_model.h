#pragma once
// The options dialog without its windows: the state of every control, the rules that enable, clear and
// limit controls, the theme page, and the copy into Settings. The dialog sets this model from its
// controls, calls the rule of the control the user touched and shows the model again.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/hot_key.h"
#include "platform/task_dialog.h"
#include "settings/settings.h"
#include "settings/theme_file.h"

namespace nimbrel {

inline constexpr wchar_t kOptionsCaption[] = L"Nimbrel 设置";
inline constexpr std::array<const wchar_t*, 5> kOptionsPageTitles = {L"一般", L"附加", L"托盘菜单", L"显示",
                                                                     L"主题"};
inline constexpr int kThemePage = 4;
inline constexpr wchar_t kInternalFontText[] = L"(内部字体)";
inline constexpr wchar_t kSaveThemeCaption[] = L"保存主题";
inline constexpr wchar_t kSaveThemePrompt[] = L"主题名称";
// The link that leads from the thresholds to the theme page.
inline constexpr wchar_t kBarColoursLinkMarkup[] = L"栏颜色可在 <link>主题部分</link> 自定义";
inline constexpr int kDefaultRefreshRate = 1000;

enum class Check {
  ShowPage,
  ShowFree,
  ShowPercentage,
  DisplayHint,
  Warn,
  WarnMsgBox,
  DefragOnHighMem,
  DefragEveryActive,
  Monitor,
  ShowTop,
  HighlightProcess,
  ShowProcessName,
  ShowMemMenu,
  InternalFont,
  MiniFont,
  Opaque,  // "透明背景": the transparent background
  StandardBar,
  NoBorder,
  BarBottom,
  FullBar,
  ShowPercSign,
  FollowTaskbar,  // the picture takes the light or the dark taskbar theme's colours
  Count
};

enum class Spin { Yellow, Red, DefragEvery, Mili, Procs, ProcsRam, Count };

// Drop-down lists whose item index is the value.
enum class Choice { DoubleClick, ProcessValue, GbValues, Count };

struct SpinState {
  int value = 0;
  int minValue = 0;
  int maxValue = 0;
  int step = 1;
  bool typeable = true;
  bool enabled = true;
};

struct CheckState {
  bool checked = false;
  bool enabled = true;
};

// The automatic colour of each theme element, shown by the picker's default entry.
ColorValue AutomaticElementColor(int slot);
// "高内存使用率 (当内存高于 90%):"
std::wstring HighMemoryHeading(int redPercent);
// "Tahoma, 6pt"
std::wstring FontDescription(const FontSpec& font);
// The question asked when switching the monitor off on lock is ticked on a portable computer.
TTaskDialogEx PortableDeviceWarningRequest(std::uintptr_t parentWindow);
inline constexpr int kActivateMonitorOption = kFirstCommandButtonId;
inline constexpr int kKeepMonitorOptionOff = kFirstCommandButtonId + 1;

// What OK or Apply changed beyond the plain fields, for the caller to act on.
struct AppliedOptions {
  bool processItemsRemoved = false;  // the top processes are switched off: tag-99 items go at once
  bool memoryItemsRemoved = false;   // the memory lines are switched off: tag-98 items go at once
};

// What OK and Apply ask of the main form after the settings took the dialog's values, in this order.
struct OptionsActions {
  std::function<void(const AppliedOptions&)> removeMenuItems;
  std::function<void()> setRefreshInterval;
  std::function<bool()> saveOptions;  // false when the file refused the save (the user has been told)
  std::function<void()> refreshTick;
  std::function<void()> reapplyHotKeyAndDefaultEntry;
  // Whether the machine is a portable computer; the system's answer when not set.
  std::function<bool()> isPortableDevice;
};

// Runs the steps of OK and Apply. A save the file refused stops them: the dialog stays open, and the
// tray and the hot key keep what the file still holds. False then.
bool RunApplySteps(const OptionsActions& actions, const AppliedOptions& applied);

class OptionsModel {
 public:
  // Fills every control from the settings and selects "当前颜色" and the entry "文本" on the theme page.
  void Fill(const Settings& settings, const ThemeFolder& themes);

  // --- what the dialog shows
  std::array<CheckState, static_cast<int>(Check::Count)> checks{};
  std::array<SpinState, static_cast<int>(Spin::Count)> spins{};
  std::array<int, static_cast<int>(Choice::Count)> choices{};
  std::array<bool, static_cast<int>(Choice::Count)> choiceEnabled{true, true, true};
  HotKeyValue hotKey = 0;
  bool resetMiliVisible = false;   // LabelResetMili
  bool fontButtonEnabled = true;   // Button4
  std::wstring fontPanelText;      // PnlFont2
  bool fontPanelInternal = false;  // PnlFont2 then uses "Tahoma" 8 pt, regular
  std::wstring highMemoryHeading;  // Label17
  bool highlightColorEnabled = true;
  ColorValue highlightColor = kAutomaticColor;  // CmbColorProcesses; -1 is its default entry

  // Theme page.
  std::vector<std::wstring> themeEntries;
  int themeIndex = -1;
  bool deleteThemeEnabled = false;
  std::array<std::wstring, kThemeColorCount> colorSlots;
  int colorEntry = 0;                               // LbColors
  ColorValue pickerDefaultColor = kAutomaticColor;  // what CmbForeground's default entry shows
  ColorValue pickerColor = kAutomaticColor;         // -1: the default entry is selected

  FontSpec workingFont;

  // --- access by control
  CheckState& check(Check c) { return checks[static_cast<int>(c)]; }
  const CheckState& check(Check c) const { return checks[static_cast<int>(c)]; }
  SpinState& spin(Spin s) { return spins[static_cast<int>(s)]; }
  const SpinState& spin(Spin s) const { return spins[static_cast<int>(s)]; }
  int& choice(Choice c) { return choices[static_cast<int>(c)]; }
  int choice(Choice c) const { return choices[static_cast<int>(c)]; }
  bool choiceIsEnabled(Choice c) const { return choiceEnabled[static_cast<int>(c)]; }

  // --- what the user did
  // A box was clicked into the given state; runs the rules that hang on it.
  void SetCheck(Check c, bool checked);
  // A spin edit now holds value (already read as a number); it is kept within the range and the rules
  // that hang on it run.
  void SetSpin(Spin s, int value);
  void SetChoice(Choice c, int index);
  // "默认值" next to the refresh rate.
  void ResetRefreshRate() { SetSpin(Spin::Mili, kDefaultRefreshRate); }
  // The monitor box was just ticked by the user: ask first when this is a portable computer and the
  // user has not turned the question off.
  [[nodiscard]] bool MonitorWarningNeeded(bool portableDevice, const Settings& settings) const;
  // The answer to that question; the "never again" box takes effect in the settings at once.
  void MonitorWarningAnswered(int result, bool verificationChecked, Settings& settings);

  // Theme page.
  void SelectTheme(int index, const ThemeFolder& themes);
  void SelectColorEntry(int entry);
  // A choice in the colour picker; -1 is its default entry.
  void ChooseColor(ColorValue color);
  // After the font dialog: the chosen font, or nothing when it was cancelled.
  void FontDialogClosed(const std::optional<FontSpec>& chosen);
  // What Save As writes: the colour texts and the two background boxes.
  [[nodiscard]] ThemeSlots CurrentTheme() const;
  // After Save As or Delete changed the list: the new entries, the new selection with its effects.
  void ThemeListChanged(const ThemeListChange& change, const ThemeFolder& themes);

  // OK and Apply: everything into the settings, in order.
  AppliedOptions ApplyTo(Settings& settings);

 private:
  void ShowPercentageRule();
  void DefragEveryRule();
  void ShowTopRule();
  void HighlightRule();
  void InternalFontRule();
  void NarrowThresholds();

  bool filling_ = false;
  FontSpec displayFont_;  // the settings' font, to which the internal-font box resets the working font
  std::array<ColorValue, kThemeColorCount> snapshot_{};
};

}  // namespace nimbrel
