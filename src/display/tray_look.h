#pragma once
// What the tray picture is painted with, which may differ from the settings the user keeps: the
// colours of the light or the dark taskbar theme while the picture follows the taskbar, and the
// system's colours for the automatic ones while a high-contrast scheme is on.
#include "settings/settings.h"
#include "settings/theme_file.h"

namespace nimbrel {

// The taskbar's mode as the system tells it; systems before Windows 10 do not.
enum class TaskbarMode { Unknown, Light, Dark };

struct LookInputs {
  TaskbarMode taskbar = TaskbarMode::Unknown;
  bool highContrast = false;
  // The two taskbar themes (from the themes folder, or as shipped).
  const ThemeSlots* lightTheme = nullptr;
  const ThemeSlots* darkTheme = nullptr;
};

// The system colours that automatic colours take under a high-contrast scheme: text and frame in the
// button text colour on the button face, the bar in the highlight colour at every level (the scheme's
// few colours carry no meaning of their own; the bar's length does).
inline constexpr int kHighContrastText = 18;        // COLOR_BTNTEXT
inline constexpr int kHighContrastBackground = 15;  // COLOR_BTNFACE
inline constexpr int kHighContrastBar = 13;         // COLOR_HIGHLIGHT

// Assigns the look into `look`, reusing its storage. A high-contrast scheme wins over the taskbar
// themes: the user chose it to read the screen.
void MakeTrayLook(Settings& look, const Settings& settings, const LookInputs& inputs);

}  // namespace nimbrel
