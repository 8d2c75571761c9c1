#pragma once
// Version tests, files, folders and window placement: the system side of the shared helpers.
#include <windows.h>

#include <string>

#include "display/byte_size.h"
#include "platform/taskbar_placement.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {

[[nodiscard]] bool IsWindowsNT();
[[nodiscard]] bool IsWindowsVistaOrLater();
// 0 when the version cannot be read.
[[nodiscard]] int WindowsMajorVersion();

[[nodiscard]] bool FolderExists(const std::wstring& path);
// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolderTree(const std::wstring& path);
[[nodiscard]] bool DriveIsReady(wchar_t firstCharacter);
[[nodiscard]] bool FileExistsOnReadyDrive(const std::wstring& path);
[[nodiscard]] std::wstring GetWindowsFolder();
// The folder of the running executable, with a trailing backslash.
[[nodiscard]] std::wstring ExecutableFolder();

struct OwnVersion {
  std::wstring fileVersion;     // "%d.%d.%d.%d", empty without a version resource
  std::wstring productVersion;  // likewise
};
[[nodiscard]] OwnVersion ReadOwnVersion();
[[nodiscard]] OwnVersion ReadVersionOf(const std::wstring& file);

[[nodiscard]] TaskbarEdgeKind TaskbarEdge();
void PlaceNearTaskbar(HWND window);

// The fonts of menus and message boxes as the user has set them.
[[nodiscard]] NONCLIENTMETRICSW NonClientMetrics();
// A font and its bold variant, the bold one optionally scaled (percent of the height).
void MakeFontPair(const LOGFONTW& base, int boldHeightPercent, UniqueFont& regular, UniqueFont& bold);

// The user's number format (the decimal separator of the user locale).
[[nodiscard]] NumberFormat UserNumberFormat();

}  // namespace nimbrel
