#pragma once

#include <cstdint>
#include <string>

#include "settings/color_text.h"

namespace nimbrel {

// The display font as the settings file stores it (section "Font").
struct FontSpec {
  std::wstring Name = L"Tahoma";
  int CharSet = 1;                    // DEFAULT_CHARSET
  ColorValue Color = SystemColor(8);  // WindowText
  int Size = 6;                       // points
  int Style = 0;                      // 1 bold, 2 italic, 4 underline, 8 strike-out

  bool operator==(const FontSpec&) const = default;
};

// Every user option. Fields carry the names of their keys in the settings file; the store does not
// range-check them, only the options dialog limits them.
struct Settings {
  // Section "General".
  bool Warn = true;
  bool WarnMsgBox = false;
  std::int32_t HighlightProcessAbove = 100;  // MB; 0 means no highlighting
  bool ShowNameInsteadOfModule = false;
  bool ShowPage = false;  // DefaultSettings turns it on for Windows 5 and older
  bool ShowFree = false;
  bool NoBorder = true;
  bool ShowPercentage = false;
  bool ShowPercSign = false;
  bool InternalFont = true;
  bool HintWhatisDisplayed = true;
  bool StandardGauge = false;
  bool BarBottom = false;
  bool TransBk = false;
  bool MiniInternalFont = false;
  std::int32_t RefreshRate = 1000;  // ms
  bool FullBar = false;
  std::int32_t RefreshHotkey = 0;
  bool ShowTopProcess = true;
  std::int32_t TopProcessCount = 10;
  bool ShowMemMenu = true;
  bool OptimizeForGigabytes = true;
  bool DefragOnHighMemory = true;
  bool DefragEveryActive = false;
  std::int32_t DefragEvery = 120;  // minutes
  std::int32_t DoubleClickAction = 0;
  bool SwitchOffMonitorOnLock = false;
  bool ClickedDonation = false;
  bool NoWarningSwithOffMonMobile = false;
  std::int32_t ProcessValueType = 0;
  std::int32_t RedPercent = 90;
  std::int32_t YellowPercent = 65;
  // The picture takes the colours of the light or the dark taskbar theme, following the taskbar.
  bool FollowTaskbarMode = false;

  // Section "Colors".
  ColorValue ProcMenuHightlightColor = kAutomaticColor;
  ColorValue OpaqueBkColor = kAutomaticColor;
  ColorValue BarBorderColor = kAutomaticColor;
  ColorValue GreenColor = kAutomaticColor;
  ColorValue YellowColor = kAutomaticColor;
  ColorValue RedColor = kAutomaticColor;
  ColorValue FullBarColor = kAutomaticColor;

  // Section "Font".
  FontSpec DisplayFont;
  // The chosen text colour; automatic means black. Only DisplayFont.Color reaches the file, so an
  // automatic choice comes back as explicit black after a restart.
  ColorValue FontColor = kAutomaticColor;

  bool operator==(const Settings&) const = default;
};

// The settings of a first start: what LoadOptions gives for an empty file when the display font is
// the freshly created one (so FontColor already equals the font's colour).
Settings DefaultSettings(int windowsMajorVersion);

}  // namespace nimbrel
