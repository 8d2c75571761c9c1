#include "platform/version_info_win.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/system_libraries_win.h"
#include "platform/version_text.h"

namespace nimbrel {

VersionStrings ReadVersionStrings(const std::wstring& path) {
  VersionStrings result;
  if (path.empty()) return result;
  const VersionLibrary version;
  if (!version) return result;
  DWORD ignored = 0;
  DWORD size = version.GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return result;
  std::vector<unsigned char> data(size);
  if (!version.GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return result;

  std::optional<std::pair<std::uint16_t, std::uint16_t>> translation;
  void* value = nullptr;
  UINT length = 0;
  if (version.VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) && value &&
      length >= 4) {
    auto* pair = static_cast<const WORD*>(value);
    translation = std::make_pair(static_cast<std::uint16_t>(pair[0]), static_cast<std::uint16_t>(pair[1]));
  }
  auto text = [&](const wchar_t* key) {
    std::wstring sub = VersionStringPath(translation, key);
    void* p = nullptr;
    UINT n = 0;
    if (!version.VerQueryValueW(data.data(), sub.c_str(), &p, &n) || !p || n == 0) return std::wstring();
    std::wstring s(static_cast<const wchar_t*>(p), n);
    return s.substr(0, s.find(L'\0'));
  };
  result.description = text(L"FileDescription");
  result.company = text(L"CompanyName");
  VS_FIXEDFILEINFO* fixed = nullptr;
  if (version.VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
      length >= sizeof(VS_FIXEDFILEINFO))
    result.fileVersion = FormatFileVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  return result;
}

}  // namespace nimbrel
