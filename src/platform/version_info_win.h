#pragma once
// Texts of an executable's version resource, as the process menu and dialog show them.
#include <string>

namespace nimbrel {

struct VersionStrings {
  std::wstring description;  // "FileDescription"
  std::wstring company;      // "CompanyName"
  std::wstring fileVersion;  // "%d.%d.%d.%d" of the fixed file version; empty without one
};

// Empty texts for a file without a version resource (or an empty path).
[[nodiscard]] VersionStrings ReadVersionStrings(const std::wstring& path);

}  // namespace nimbrel
