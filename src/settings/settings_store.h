#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ini_store.h"
#include "settings/settings.h"

namespace nimbrel {

// Section names of the settings file.
inline constexpr wchar_t kGeneralSection[] = L"General";
inline constexpr wchar_t kFontSection[] = L"Font";
inline constexpr wchar_t kColorsSection[] = L"Colors";
// The marker a colour setting holds when it is automatic.
inline constexpr wchar_t kAutomaticColorText[] = L"Automatic";

// An integer as hand-edited settings files hold it: decimal with an optional "+" or "-", or
// hexadecimal after "0x", "0X" or "$" (up to 32 bits, wrapping to signed, so "0xFF000008" reads as
// -16777208). Blanks are not accepted: the store has already removed those around the value, and
// blanks inside make it no number. A decimal outside the signed 32-bit range, or anything else,
// gives defaultValue.
std::int32_t ParseIniInteger(std::wstring_view text, std::int32_t defaultValue);

struct LoadResult {
  Settings settings;
  // The file was never saved by the program: the first-start marker is missing or unreadable.
  bool firstStart = false;
};

// `defaults` carries the table defaults and the display font's current values (which act as the Font
// defaults). Reading never fails; the side effects of a load (hot key, first-start theme, the menu's
// default entry, the settings-loaded message) are the caller's.
LoadResult LoadOptions(const IniStore& store, const Settings& defaults);

struct SaveResult {
  bool ok = true;
  std::wstring failedKey;
};

// One write per key in the fixed order; stops at the first refused write. Keys written before it stay
// written.
SaveResult SaveOptions(IniStore& store, const Settings& settings);

// DisplayFont.Color := FontColor, or black (0) when automatic.
void ApplyFontColor(Settings& settings);

}  // namespace nimbrel
