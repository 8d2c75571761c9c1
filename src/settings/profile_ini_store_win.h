#pragma once
// The settings and theme files as the system's private-profile functions read and write them.
#include <string>

#include "settings/ini_store.h"

namespace nimbrel {

class ProfileIniStore : public IniStore {
 public:
  explicit ProfileIniStore(std::wstring path) : path_(std::move(path)) {}

  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) const override;
  bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;

  [[nodiscard]] const std::wstring& Path() const noexcept { return path_; }
  // A path with a folder. The profile functions look for a bare name (or none) in the Windows folder:
  // such a store reads nothing and writes nothing.
  [[nodiscard]] bool HasFolder() const noexcept { return path_.find(L'\\') != std::wstring::npos; }

 private:
  std::wstring path_;
};

}  // namespace nimbrel
