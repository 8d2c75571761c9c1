#include "platform/system_info_win.h"

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <random>
#include <vector>

#include "platform/bold_face.h"
#include "platform/path_text.h"
#include "platform/system_libraries_win.h"
#include "platform/text_parts.h"
#include "platform/unique_resource_win.h"
#include "platform/uxtheme_win.h"
#include "platform/windows_version.h"

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

WindowsVersion ReadWindowsVersion() {
  OSVERSIONINFOW info;
  if (!ReadVersion(info)) return {};
  return {true, info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

bool IsWindowsNT() { return IsWindowsNT(ReadWindowsVersion()); }
bool IsWindows2000OrLater() { return IsWindows2000OrLater(ReadWindowsVersion()); }
bool IsWindowsXPOrLater() { return IsWindowsXPOrLater(ReadWindowsVersion()); }
bool IsWindowsVistaOrLater() { return IsWindowsVistaOrLater(ReadWindowsVersion()); }
bool IsWindows81OrLater() { return IsWindows81OrLater(ReadWindowsVersion()); }
int WindowsMajorVersion() { return static_cast<int>(ReadWindowsVersion().major); }

bool IsPortableDevice() {
  PowerReadings power;
  SYSTEM_POWER_CAPABILITIES capabilities{};
  const PowerLibrary powrprof;
  if (powrprof.GetPwrCapabilities && powrprof.GetPwrCapabilities(&capabilities)) {
    power.capabilitiesRead = true;
    power.lidPresent = capabilities.LidPresent != FALSE;
  }
  SYSTEM_POWER_STATUS status{};
  if (::GetSystemPowerStatus(&status)) {
    power.statusRead = true;
    power.acLineStatus = status.ACLineStatus;
  }
  return IsPortableDevice(power);
}

std::uint64_t TickCount64() {
  using GetTickCount64Fn = ULONGLONG(WINAPI*)();
  static const auto query = reinterpret_cast<GetTickCount64Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  if (query) return query();
  static std::uint64_t wraps = 0;
  static DWORD last = 0;
  const DWORD now = ::GetTickCount();
  if (now < last) wraps += 1ull << 32;
  last = now;
  return wraps + now;
}

bool IsCompositionEnabled() {
  using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
  // Asked once per choice of start-up theme: the library goes again with the answer.
  const UniqueModule dwmapi = LoadSystemLibrary(L"dwmapi.dll");
  const auto query = LibraryFunction<DwmIsCompositionEnabledFn>(dwmapi.get(), "DwmIsCompositionEnabled");
  if (!query) return false;
  BOOL enabled = FALSE;
  return SUCCEEDED(query(&enabled)) && enabled;
}

std::wstring GetTempFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD n = 0;
  while ((n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data())) >= buffer.size())
    buffer.resize(n + 1);
  std::wstring path = n ? std::wstring(buffer.data(), n) : L".";
  DWORD full = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (full) {
    std::vector<wchar_t> expanded(full);
    DWORD m = ::GetFullPathNameW(path.c_str(), full, expanded.data(), nullptr);
    if (m && m < full) path.assign(expanded.data(), m);
  }
  return WithTrailingBackslash(path);
}

std::wstring MakeTempFileName(const std::wstring& folder, const std::wstring& extension) {
  static std::mt19937 generator{std::random_device{}()};
  std::uniform_real_distribution<double> fraction(0.0, 1.0);
  return MakeTempFileName(
      folder, extension, [&] { return fraction(generator); },
      [](const std::wstring& path) {
        CriticalErrorsSuppressed quiet;
        return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
      });
}

std::vector<std::wstring> ListFiles(const std::wstring& folder, const std::wstring& mask, DWORD attributes) {
  std::vector<std::wstring> names;
  // Hidden, system and folder entries only when the filter asks for them; everything else always.
  const DWORD excluded =
      ~attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
  CriticalErrorsSuppressed quiet;
  WIN32_FIND_DATAW found{};
  UniqueFind search(::FindFirstFileW((WithTrailingBackslash(folder) + mask).c_str(), &found));
  if (!search) return names;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((found.dwFileAttributes & excluded) == 0) names.emplace_back(name);
  } while (::FindNextFileW(search.get(), &found));
  return names;
}

bool ReadRegistryFont(HKEY key, const wchar_t* valueName, UniqueFont& font) {
  LOGFONTA logFont{};
  static_assert(sizeof logFont == 60);
  DWORD type = 0;
  DWORD size = sizeof logFont;
  if (::RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&logFont), &size) !=
          ERROR_SUCCESS ||
      size != sizeof logFont)
    return false;
  HFONT created = ::CreateFontIndirectA(&logFont);
  if (!created) return false;
  font.reset(created);
  return true;
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

std::wstring ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring ExecutableFolder() {
  const std::wstring path = ExecutablePath();
  const size_t cut = path.find_last_of(L'\\');
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

OwnVersion ReadOwnVersion() {
  wchar_t path[MAX_PATH + 1] = {};
  if (!::GetModuleFileNameW(nullptr, path, MAX_PATH)) return {};
  return ReadVersionOf(path);
}

OwnVersion ReadVersionOf(const std::wstring& file) {
  OwnVersion result;
  const wchar_t* path = file.c_str();
  const VersionLibrary version;
  if (!version) return result;
  DWORD ignored = 0;
  DWORD size = version.GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return result;
  std::vector<unsigned char> data(size);
  if (!version.GetFileVersionInfoW(path, 0, size, data.data())) return result;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!version.VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
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

namespace {

// How much a font darkens a white field when it draws a sample of stems and bowls in black.
std::uint64_t InkOf(const LOGFONTW& font) {
  static constexpr wchar_t kSample[] = L"HIlmnbdo";
  constexpr int kLength = static_cast<int>(std::size(kSample) - 1);
  UniqueFont handle(::CreateFontIndirectW(&font));
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!handle || !dc) return 0;
  SelectObjectGuard selected(dc.get(), handle.get());
  SIZE extent{};
  if (!::GetTextExtentPoint32W(dc.get(), kSample, kLength, &extent) || extent.cx <= 0 || extent.cy <= 0)
    return 0;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = extent.cx + 4;
  info.bmiHeader.biHeight = -(extent.cy + 4);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueBitmap field(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!field || !bits) return 0;
  SelectObjectGuard target(dc.get(), field.get());
  const std::size_t pixels =
      static_cast<std::size_t>(extent.cx + 4) * static_cast<std::size_t>(extent.cy + 4);
  auto* pixel = static_cast<std::uint32_t*>(bits);
  std::fill(pixel, pixel + pixels, 0x00FFFFFFu);
  ::SetTextColor(dc.get(), RGB(0, 0, 0));
  ::SetBkMode(dc.get(), TRANSPARENT);
  ::TextOutW(dc.get(), 2, 2, kSample, kLength);
  ::GdiFlush();
  std::uint64_t ink = 0;
  for (std::size_t i = 0; i < pixels; ++i)
    for (int shift = 0; shift < 24; shift += 8) ink += 0xFFu - ((pixel[i] >> shift) & 0xFFu);
  return ink;
}

// The face's bold draws clearly heavier than its regular. Wine's own Tahoma Bold does not above
// 12 pixels: it reports weight 700 but has the regular face's stems there.
bool BoldShows(const LOGFONTW& heavy) {
  LOGFONTW plain = heavy;
  plain.lfWeight = FW_NORMAL;
  return InkOf(heavy) * 4 >= InkOf(plain) * 5;
}

// The face has a glyph of its own for every character of text (font linking aside, which draws the
// missing ones from other faces for some faces only).
bool FaceCovers(const LOGFONTW& font, std::wstring_view text) {
  if (text.empty()) return true;
  UniqueFont handle(::CreateFontIndirectW(&font));
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!handle || !dc) return false;
  SelectObjectGuard selected(dc.get(), handle.get());
  std::vector<WORD> glyphs(text.size());
  if (::GetGlyphIndicesW(dc.get(), text.data(), static_cast<int>(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
    return false;
  return GlyphsCoverText(glyphs);
}

}  // namespace

void MakeFontPair(const LOGFONTW& base, int boldHeightPercent, UniqueFont& regular, UniqueFont& bold,
                  std::wstring_view boldText) {
  regular.reset(::CreateFontIndirectW(&base));
  LOGFONTW heavy = base;
  heavy.lfWeight = FW_BOLD;
  heavy.lfHeight = heavy.lfHeight * boldHeightPercent / 100;
  const auto inFace = [&heavy](std::wstring_view face) {
    LOGFONTW other = heavy;
    ::lstrcpynW(other.lfFaceName, std::wstring(face).c_str(), LF_FACESIZE);
    return other;
  };
  const BoldFaceTests tests{[&](std::wstring_view face) { return BoldShows(inFace(face)); },
                            [&](std::wstring_view face) { return FaceCovers(inFace(face), boldText); }};
  const std::wstring face = ChooseBoldFace(base.lfFaceName, BoldSubstituteFaces(), tests);
  heavy = inFace(face);
  bold.reset(::CreateFontIndirectW(&heavy));
}

NumberFormat UserNumberFormat() {
  NumberFormat format;
  wchar_t separator[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 1)
    format.decimalSeparator = separator;
  // Some locales group without a separator: an empty text is a valid answer here.
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) > 0)
    format.thousandSeparator = separator;
  return format;
}

unsigned long OpenHandleCount() {
  DWORD counted = 0;
  if (::GetProcessHandleCount(::GetCurrentProcess(), &counted) && counted != 0) return counted;
  unsigned long valid = 0;
  for (std::uintptr_t value = 4; value < 65536; value += 4) {
    DWORD flags = 0;
    if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++valid;
  }
  return valid;
}

std::optional<bool> TaskbarUsesLightTheme() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                      0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const UniqueRegistryKey key(opened);
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  const LONG read = ::RegQueryValueExW(key.get(), L"SystemUsesLightTheme", nullptr, &type,
                                       reinterpret_cast<BYTE*>(&value), &size);
  if (read != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value != 0;
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace nimbrel
