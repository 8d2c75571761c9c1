#pragma once

// CTest names parameterised tests after the printed parameter, so parameters print as short, stable
// tokens: no addresses, and nothing CMake's list syntax would split or bracket.

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel::testing_names {

inline std::string Token(std::wstring_view text) {
  if (text.empty()) return "empty";
  std::string token;
  for (wchar_t c : text) {
    const bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                       c == L'.' || c == L'#' || c == L'$' || c == L'-' || c == L'+';
    token += plain ? static_cast<char>(c) : '_';
  }
  return token;
}

inline std::string Flags(std::initializer_list<bool> flags) {
  std::string token;
  for (bool flag : flags) token += flag ? '1' : '0';
  return token;
}

}  // namespace nimbrel::testing_names
