#include "platform/version_text.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>

namespace nimbrel {
namespace {

std::optional<std::int64_t> ParsePart(std::wstring_view part) {
  // Version resources hold 16-bit parts; the cap only keeps hand-made texts from overflowing.
  constexpr std::int64_t kLargest = 0x7FFFFFFF;
  if (part.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (wchar_t c : part) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
    if (value > kLargest) return std::nullopt;
  }
  return value;
}

}  // namespace

std::wstring FormatVersionText(std::wstring_view version, bool shortForm) {
  std::array<std::int64_t, 4> parts{};
  std::size_t count = 0;
  while (true) {
    const std::size_t dot = version.find(L'.');
    if (count == parts.size()) return {};
    const std::optional<std::int64_t> part = ParsePart(version.substr(0, dot));
    if (!part) return {};
    parts[count++] = *part;
    if (dot == std::wstring_view::npos) break;
    version.remove_prefix(dot + 1);
  }
  if (count != parts.size()) return {};

  std::wstring text = std::to_wstring(parts[0]) + L"." + std::to_wstring(parts[1]);
  if (parts[2] > 0) text += std::to_wstring(parts[2]);
  if (parts[3] > 0) {
    text += L" SR" + std::to_wstring(parts[3]);
    if (!shortForm) text += L" (Service Release " + std::to_wstring(parts[3]) + L")";
  }
  return text;
}

std::wstring FormatFileVersion(std::uint32_t ms, std::uint32_t ls) {
  return std::to_wstring(ms >> 16) + L"." + std::to_wstring(ms & 0xFFFF) + L"." + std::to_wstring(ls >> 16) +
         L"." + std::to_wstring(ls & 0xFFFF);
}

std::wstring VersionStringPath(std::optional<std::pair<std::uint16_t, std::uint16_t>> translation,
                               std::wstring_view key) {
  std::wstring path = L"\\StringFileInfo\\";
  if (translation) {
    wchar_t hex[9];
    std::swprintf(hex, std::size(hex), L"%.4x%.4x", static_cast<unsigned>(translation->first),
                  static_cast<unsigned>(translation->second));
    path += hex;
  } else {
    path += L"040904E4";
  }
  path += L'\\';
  path += key;
  return path;
}

}  // namespace nimbrel
