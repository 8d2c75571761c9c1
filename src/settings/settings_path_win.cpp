#include "settings/settings_path_win.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/path_text.h"
#include "platform/system_info_win.h"

namespace nimbrel {

SettingsLocation GetSettingsPath(HWND owner) {
  std::wstring beside = WithTrailingBackslash(ExecutableFolder()) + kSettingsFileName;
  if (FileExistsOnReadyDrive(beside)) return {beside, true};
  const std::wstring folder = GetDataFolder(false, false, owner);
  // Without the application-data folder there is no place for the file: no path, so nothing is read
  // or written (never a bare name, which the profile functions look up in the Windows folder).
  return {folder.empty() ? std::wstring() : folder + kSettingsFileName, false};
}

std::wstring GetDataFolder(bool portable, bool themes, HWND owner) {
  std::wstring folder;
  if (portable) {
    folder = ExecutableFolder();
  } else {
    wchar_t appData[MAX_PATH + 1] = {};
    if (::SHGetSpecialFolderPathW(owner, appData, CSIDL_APPDATA, TRUE))
      folder = WithTrailingBackslash(appData) + L"Vostrand\\Nimbrel\\";
  }
  if (folder.empty()) return folder;
  if (themes) folder = WithTrailingBackslash(folder) + L"Themes\\";
  if (!FolderExists(folder)) CreateFolderTree(folder);
  return folder;
}

}  // namespace nimbrel
