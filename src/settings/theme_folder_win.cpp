#include "settings/theme_folder_win.h"

#include "platform/system_info_win.h"
#include "platform/uxtheme_win.h"
#include "settings/profile_file_update_win.h"
#include "settings/profile_ini_store_win.h"
#include "settings/settings_path_win.h"

namespace nimbrel {

std::vector<std::wstring> WindowsThemeFolder::ThemeFiles() const {
  return ListFiles(folder_, std::wstring(L"*") + kThemeExtension,
                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL);
}

bool WindowsThemeFolder::Exists(const std::wstring& path) const { return FileExistsOnReadyDrive(path); }

std::unique_ptr<IniStore> WindowsThemeFolder::Open(const std::wstring& path) const {
  return std::make_unique<ProfileIniStore>(path);
}

bool WindowsThemeFolder::Write(const std::wstring& path, const std::function<bool(IniStore&)>& write) {
  return UpdateProfileFile(path, write);
}

bool WindowsThemeFolder::Remove(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != FALSE; }

WindowsThemeFolder ThemesFolder(bool portable, HWND owner) {
  return WindowsThemeFolder(GetDataFolder(portable, true, owner));
}

int DetectVisualStyle() {
  VisualStyleInputs inputs;
  const WindowsVersion version = ReadWindowsVersion();
  inputs.platformNT = IsWindowsNT(version);
  inputs.major = static_cast<int>(version.major);
  inputs.minor = static_cast<int>(version.minor);
  if (auto getName = UxTheme::Get().GetCurrentThemeName) {
    inputs.themeNameAvailable = true;
    wchar_t file[255] = {}, scheme[255] = {}, size[255] = {};
    getName(file, 255, scheme, 255, size, 255);
    scheme[254] = 0;
    inputs.colorScheme = scheme;
    if (inputs.major >= 6) inputs.compositionEnabled = IsCompositionEnabled();
  }
  return VisualStyleCode(inputs);
}

void StartupTheme(Settings& settings, bool portable, HWND owner) {
  const int style = DetectVisualStyle();
  const WindowsThemeFolder folder = ThemesFolder(portable, owner);
  const std::wstring path = folder.PathOf(StartupThemeFileName(style));
  if (!folder.Exists(path)) return;
  ProfileIniStore file(path);
  ApplyStartupTheme(settings, style, &file);
}

}  // namespace nimbrel
