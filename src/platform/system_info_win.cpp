#include "platform/system_info_win.h"

#include <shlobj.h>

#include <optional>
#include <vector>

#include "platform/path_text.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {

namespace {

bool ReadVersion(OSVERSIONINFOW& info) {
  info = {};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersionExW(&info) != FALSE;
#pragma GCC diagnostic pop
}

// Keeps the "There is no disk in the drive" box away while a removable drive is probed.
class CriticalErrorsSuppressed {
 public:
  CriticalErrorsSuppressed() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorsSuppressed() { ::SetErrorMode(previous_); }

 private:
  UINT previous_;
};

std::wstring WithoutTrailingBackslash(std::wstring path) {
  while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':') path.pop_back();
  return path;
}

}  // namespace

bool IsWindowsNT() {
  OSVERSIONINFOW info;
  return ReadVersion(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsWindowsVistaOrLater() { return WindowsMajorVersion() > 5; }

int WindowsMajorVersion() {
  OSVERSIONINFOW info;
  return ReadVersion(info) ? static_cast<int>(info.dwMajorVersion) : 0;
}

bool FolderExists(const std::wstring& path) {
  if (path.empty()) return false;
  CriticalErrorsSuppressed quiet;
  std::wstring probe = WithoutTrailingBackslash(path);
  if (probe.size() == 2 && probe[1] == L':') probe += L'\\';
  DWORD attributes = ::GetFileAttributesW(probe.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolderTree(const std::wstring& path) {
  if (FolderExists(path)) return true;
  std::wstring folder = WithoutTrailingBackslash(path);
  size_t cut = folder.find_last_of(L'\\');
  if (cut != std::wstring::npos && cut > 0) {
    std::wstring parent = folder.substr(0, cut);
    if (!(parent.size() == 2 && parent[1] == L':') && !CreateFolderTree(parent)) return false;
  }
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
  return ::GetLastError() == ERROR_ALREADY_EXISTS && FolderExists(folder);
}

bool DriveIsReady(wchar_t c) {
  if (c == L'\\') return true;
  wchar_t letter = static_cast<wchar_t>((c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c);
  if (letter < L'A' || letter > L'Z') return false;
  const wchar_t root[] = {letter, L':', L'\\', 0};
  CriticalErrorsSuppressed quiet;
  ULARGE_INTEGER total{};
  return ::GetDiskFreeSpaceExW(root, nullptr, &total, nullptr) != FALSE;
}

bool FileExistsOnReadyDrive(const std::wstring& path) {
  if (path.empty() || !DriveIsReady(path[0])) return false;
  CriticalErrorsSuppressed quiet;
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring GetWindowsFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  UINT n = ::GetWindowsDirectoryW(buffer, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return {};
  return WithTrailingBackslash(std::wstring(buffer, n));
}

std::wstring ExecutableFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      size_t cut = path.find_last_of(L'\\');
      return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

OwnVersion ReadOwnVersion() {
  wchar_t path[MAX_PATH + 1] = {};
  if (!::GetModuleFileNameW(nullptr, path, MAX_PATH)) return {};
  return ReadVersionOf(path);
}

OwnVersion ReadVersionOf(const std::wstring& file) {
  OwnVersion result;
  const wchar_t* path = file.c_str();
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return result;
  std::vector<unsigned char> data(size);
  if (!::GetFileVersionInfoW(path, 0, size, data.data())) return result;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return result;
  auto text = [](DWORD ms, DWORD ls) {
    return std::to_wstring(HIWORD(ms)) + L"." + std::to_wstring(LOWORD(ms)) + L"." +
           std::to_wstring(HIWORD(ls)) + L"." + std::to_wstring(LOWORD(ls));
  };
  result.fileVersion = text(info->dwFileVersionMS, info->dwFileVersionLS);
  result.productVersion = text(info->dwProductVersionMS, info->dwProductVersionLS);
  return result;
}

TaskbarEdgeKind TaskbarEdge() {
  std::optional<Rect> taskbar;
  if (HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr)) {
    RECT r{};
    if (::GetWindowRect(tray, &r)) taskbar = Rect{r.left, r.top, r.right, r.bottom};
  }
  return TaskbarEdgeFromRect(taskbar, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

void PlaceNearTaskbar(HWND window) {
  RECT work{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return;
  RECT bounds{};
  if (!::GetWindowRect(window, &bounds)) return;
  auto place = PlaceNearTaskbarPosition(TaskbarEdge(), Rect{work.left, work.top, work.right, work.bottom},
                                        bounds.right - bounds.left, bounds.bottom - bounds.top);
  if (place)
    ::SetWindowPos(window, nullptr, place->x, place->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

NONCLIENTMETRICSW NonClientMetrics() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return metrics;
}

void MakeFontPair(const LOGFONTW& base, int boldHeightPercent, UniqueFont& regular, UniqueFont& bold) {
  regular.reset(::CreateFontIndirectW(&base));
  LOGFONTW heavy = base;
  heavy.lfWeight = FW_BOLD;
  heavy.lfHeight = heavy.lfHeight * boldHeightPercent / 100;
  bold.reset(::CreateFontIndirectW(&heavy));
}

NumberFormat UserNumberFormat() {
  NumberFormat format;
  wchar_t separator[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1) format.decimalSeparator = separator;
  // Some locales group without a separator: an empty text is a valid answer here.
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) > 0) format.thousandSeparator = separator;
  return format;
}

}  // namespace nimbrel
