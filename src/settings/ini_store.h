#pragma once

#include <string>

namespace nimbrel {

// One key per call and no cache, like the Windows private-profile functions the program uses: every
// read and write goes to the file, so settings edited by hand are seen by the next read.
class IniStore {
 public:
  virtual ~IniStore() = default;
  // Value of key in section, blanks around it removed; defaultValue when the key is missing.
  virtual std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& defaultValue) const = 0;
  // false when the write was refused (read-only file, no permission).
  virtual bool WriteString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& value) = 0;
};

}  // namespace nimbrel
