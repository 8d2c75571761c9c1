#include "settings/profile_ini_store_win.h"

#include <windows.h>

#include <vector>

namespace nimbrel {

std::wstring ProfileIniStore::ReadString(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& defaultValue) const {
  if (!HasFolder()) return defaultValue;
  std::vector<wchar_t> buffer(256);
  for (;;) {
    DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                         static_cast<DWORD>(buffer.size()), path_.c_str());
    // A result of size - 1 means the value was cut to fit: try again with room to spare.
    if (n + 1 < buffer.size() || buffer.size() >= 65536) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

bool ProfileIniStore::WriteString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& value) {
  if (!HasFolder()) return false;
  return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
}

}  // namespace nimbrel
