#include "platform/text_parts.h"

#include <algorithm>
#include <cstdio>

#include "platform/path_text.h"

namespace nimbrel {

std::wstring_view TrimBlanksAndControls(std::wstring_view text) {
  while (!text.empty() && text.front() <= L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= L' ') text.remove_suffix(1);
  return text;
}

std::wstring LeftText(std::wstring_view text, int n) {
  return std::wstring(text.substr(0, static_cast<std::size_t>(std::max(n, 0))));
}

std::wstring RightText(std::wstring_view text, int n) {
  const std::size_t count = std::min(text.size(), static_cast<std::size_t>(std::max(n, 0)));
  return std::wstring(text.substr(text.size() - count));
}

std::wstring MidText(std::wstring_view text, int start, int count) {
  if (count <= 0) return {};
  // A start before the first character still counts its characters from position 1.
  if (start < 1) {
    count += start - 1;
    start = 1;
    if (count <= 0) return {};
  }
  const auto from = static_cast<std::size_t>(start - 1);
  if (from >= text.size()) return {};
  return std::wstring(text.substr(from, static_cast<std::size_t>(count)));
}

std::wstring ReplaceSeparator(std::wstring_view text, std::wstring_view separator, std::wstring_view joiner) {
  if (separator.empty()) return std::wstring(text);
  std::wstring result;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::wstring_view::npos;
       from = at + separator.size()) {
    result.append(text.substr(from, at - from));
    result.append(joiner);
  }
  result.append(text.substr(from));
  return result;
}

std::wstring MakeTempFileName(std::wstring_view folder, std::wstring_view extension,
                              const std::function<double()>& random,
                              const std::function<bool(const std::wstring&)>& exists) {
  std::wstring suffix(TrimBlanksAndControls(extension));
  if (!suffix.empty() && suffix.front() != L'.') suffix.insert(suffix.begin(), L'.');
  const std::wstring base = WithTrailingBackslash(folder);
  for (;;) {
    // Eight decimals always, so that the digits taken are never short of five.
    char fraction[32];
    std::snprintf(fraction, sizeof fraction, "%.8f", std::clamp(random(), 0.0, 0.99999999));
    std::wstring name = base + L"TMP";
    for (int i = 4; i < 9; ++i) name += static_cast<wchar_t>(fraction[i]);
    name += suffix;
    if (!exists(name)) return name;
  }
}

}  // namespace nimbrel
