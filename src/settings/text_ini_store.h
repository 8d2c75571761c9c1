#pragma once

#include <string>

#include "settings/ini_store.h"

namespace nimbrel {

// The Windows private-profile file format over a byte string (UTF-8, CR LF), so that the settings and
// theme code can be tested without Windows. The contract tests in tests/contract hold it to the same
// behaviour as the real profile functions.
class TextIniStore : public IniStore {
 public:
  explicit TextIniStore(std::string content = {});

  const std::string& Content() const { return content_; }
  void SetContent(std::string content) { content_ = std::move(content); }
  // Stands for a read-only file or a folder without write permission.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultValue) const override;
  bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;

 private:
  std::string content_;
  bool readOnly_ = false;
};

}  // namespace nimbrel
