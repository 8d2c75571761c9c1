#pragma once
// Version tests, files, folders and window placement: the system side of the shared helpers.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/number_format.h"
#include "platform/taskbar_placement.h"
#include "platform/unique_resource_win.h"
#include "platform/windows_version.h"

namespace nimbrel {

// The system's version as GetVersionEx reports it (nothing read when it fails).
[[nodiscard]] WindowsVersion ReadWindowsVersion();
// A failing GetVersionEx answers every test with no.
[[nodiscard]] bool IsWindowsNT();
[[nodiscard]] bool IsWindows2000OrLater();
[[nodiscard]] bool IsWindowsXPOrLater();
[[nodiscard]] bool IsWindowsVistaOrLater();
[[nodiscard]] bool IsWindows81OrLater();
// 0 when the version cannot be read.
[[nodiscard]] int WindowsMajorVersion();

// Milliseconds since the system started, as a count that does not wrap: GetTickCount64 where the
// system has it, else GetTickCount with its wraps counted (called at least once per 49.7 days).
[[nodiscard]] std::uint64_t TickCount64();

// Has a lid or runs on battery.
[[nodiscard]] bool IsPortableDevice();
// Desktop composition is on; false where DWMAPI.dll or its function is missing.
[[nodiscard]] bool IsCompositionEnabled();
// Whether the taskbar is light (Windows 10 on: the user's SystemUsesLightTheme); nothing where the
// system has no such setting.
[[nodiscard]] std::optional<bool> TaskbarUsesLightTheme();
// Whether a high-contrast scheme is on.
[[nodiscard]] bool HighContrastOn();

// The user's temporary folder as a full path with a trailing backslash (the current folder when the
// system has none).
[[nodiscard]] std::wstring GetTempFolder();
// A name "TMPnnnnn" + extension that no file in folder has yet; the file is not created.
[[nodiscard]] std::wstring MakeTempFileName(const std::wstring& folder, const std::wstring& extension = {});
// The names matching folder + mask in the order found; hidden, system and folder entries only when
// attributes holds their bits.
[[nodiscard]] std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& mask,
                                                  DWORD attributes);
// A font from a 60-byte LOGFONTA registry value; false (font unchanged) when the value cannot be read.
bool ReadRegistryFont(HKEY key, const wchar_t* valueName, UniqueFont& font);

[[nodiscard]] bool FolderExists(const std::wstring& path);
// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolderTree(const std::wstring& path);
[[nodiscard]] bool DriveIsReady(wchar_t firstCharacter);
[[nodiscard]] bool FileExistsOnReadyDrive(const std::wstring& path);
[[nodiscard]] std::wstring GetWindowsFolder();
// The folder of the running executable, with a trailing backslash.
[[nodiscard]] std::wstring ExecutablePath();

// The handles this process holds: GetProcessHandleCount's answer, or where that is 0 (Wine does not
// count), the valid entries of the handle table below 65536 (a slow walk, for soaks only).
[[nodiscard]] unsigned long OpenHandleCount();
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
// A font and its bold variant, the bold one optionally scaled (percent of the height). Where the
// face's bold draws no heavier than its regular, the bold takes a common face whose bold does and which
// has every character of boldText (the texts the bold font is to draw), else the face's own bold.
void MakeFontPair(const LOGFONTW& base, int boldHeightPercent, UniqueFont& regular, UniqueFont& bold,
                  std::wstring_view boldText = {});

// The user's number format (the decimal separator of the user locale).
[[nodiscard]] NumberFormat UserNumberFormat();

}  // namespace nimbrel
