#pragma once
// The themes folder on disk and the first start's theme.
#include <windows.h>

#include <string>

#include "settings/settings.h"
#include "settings/theme_file.h"

namespace nimbrel {

class WindowsThemeFolder : public ThemeFolder {
 public:
  // folder with a trailing backslash, as GetDataFolder gives it.
  explicit WindowsThemeFolder(std::wstring folder) : folder_(std::move(folder)) {}

  std::vector<std::wstring> ThemeFiles() const override;
  std::wstring PathOf(const std::wstring& fileName) const override { return folder_ + fileName; }
  bool Exists(const std::wstring& path) const override;
  std::unique_ptr<IniStore> Open(const std::wstring& path) const override;
  // A theme saved halfway never replaces the old file.
  bool Write(const std::wstring& path, const std::function<bool(IniStore&)>& write) override;
  bool Remove(const std::wstring& path) override;

 private:
  std::wstring folder_;
};

// The themes folder of this installation (created when missing).
WindowsThemeFolder ThemesFolder(bool portable, HWND owner);

// The visual-style code 0..5 that picks the first start's theme.
[[nodiscard]] int DetectVisualStyle();

// Applies the start-up theme of the current visual style, when its file is in the themes folder.
void StartupTheme(Settings& settings, bool portable, HWND owner);

}  // namespace nimbrel
