#pragma once
// Where the settings file lives: beside the executable (portable use) or in the roaming data folder.
#include <windows.h>

#include <string>

namespace nimbrel {

inline constexpr wchar_t kSettingsFileName[] = L"Nimbrel.Settings";

struct SettingsLocation {
  std::wstring path;
  bool portable = false;
};

// The file is not created here; the first save does that.
[[nodiscard]] SettingsLocation GetSettingsPath(HWND owner);

// The data folder (or its Themes subfolder), with a trailing backslash; created when missing.
[[nodiscard]] std::wstring GetDataFolder(bool portable, bool themes, HWND owner);

}  // namespace nimbrel
