#pragma once
// The system's font dialog for the display font.
#include <windows.h>

#include "settings/settings.h"

namespace nimbrel {

// Opens ChooseFontW (screen fonts, with effects and colour) on font: name, size in points, style bits,
// character set and colour (a system colour resolves to its current value, automatic to black). On OK
// font takes the chosen name, size (points, rounded), style, character set and colour (as RGB) and the
// result is true; Cancel leaves font untouched.
bool ExecuteFontDialog(HWND owner, FontSpec& font);

}  // namespace nimbrel
