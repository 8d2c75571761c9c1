#include "settings/text_ini_store.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/utf8.h"

namespace nimbrel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

struct Line {
  std::string text;
  std::string ending;  // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  while (!content.empty()) {
    const std::size_t lf = content.find('\n');
    std::string_view body = content.substr(0, lf);
    std::string_view ending;
    if (lf == std::string_view::npos) {
      content = {};
    } else {
      ending = "\n";
      if (!body.empty() && body.back() == '\r') {
        body.remove_suffix(1);
        ending = "\r\n";
      }
      content.remove_prefix(lf + 1);
    }
    lines.push_back({std::string(body), std::string(ending)});
  }
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string out;
  for (const Line& line : lines) out += line.text + line.ending;
  return out;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key name, blanks removed
  std::string_view value;  // key value, blanks removed
};

ParsedLine Parse(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty()) return {LineKind::Blank, {}, {}};
  if (trimmed.front() == ';') return {LineKind::Comment, {}, {}};
  if (trimmed.front() == '[') {
    std::string_view name = trimmed.substr(1);
    name = name.substr(0, name.find(']'));
    return {LineKind::Section, Trim(name), {}};
  }
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return {LineKind::Other, {}, {}};
  return {LineKind::Key, Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

// Index of the line holding key in the first matching section; lines before any section header
// belong to no section.
std::optional<std::size_t> FindKey(const std::vector<Line>& lines, std::string_view section,
                                   std::string_view key) {
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = Parse(lines[i].text);
    if (parsed.kind == LineKind::Section) {
      inSection = SameName(parsed.name, section);
    } else if (inSection && parsed.kind == LineKind::Key && SameName(parsed.name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

// Where a new key goes, kept in one place so that it can be held side by side with what the
// Windows profile functions do: after the last key of its section (blank lines and comments that
// follow that key stay after it), or after the section's header when it has no key yet; a section not
// in the file is added at its end, with no blank line before it. Whatever is written ends its line.
namespace layout {

constexpr bool kBlankLineBeforeNewSection = false;

std::optional<std::size_t> NewKeyGoesAfter(const std::vector<Line>& lines, std::string_view section) {
  std::optional<std::size_t> anchor;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = Parse(lines[i].text);
    if (parsed.kind == LineKind::Section) {
      if (anchor) break;
      inSection = SameName(parsed.name, section);
      if (inSection) anchor = i;
    } else if (inSection && parsed.kind == LineKind::Key) {
      anchor = i;
    }
  }
  return anchor;
}

void AddKey(std::vector<Line>& lines, const std::string& section, std::string keyLine) {
  const std::string lineEnd(kLineEnd);
  if (const std::optional<std::size_t> anchor = NewKeyGoesAfter(lines, section)) {
    if (lines[*anchor].ending.empty()) lines[*anchor].ending = lineEnd;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*anchor) + 1, Line{std::move(keyLine), lineEnd});
    return;
  }
  if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = lineEnd;
  if (!lines.empty() && kBlankLineBeforeNewSection) lines.push_back({std::string(), lineEnd});
  lines.push_back({"[" + section + "]", lineEnd});
  lines.push_back({std::move(keyLine), lineEnd});
}

}  // namespace layout

}  // namespace

TextIniStore::TextIniStore(std::string content) : content_(std::move(content)) {}

std::wstring TextIniStore::ReadString(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& defaultValue) const {
  const std::vector<Line> lines = SplitLines(content_);
  const std::optional<std::size_t> found = FindKey(lines, ToUtf8(section), ToUtf8(key));
  if (!found) return defaultValue;
  return FromUtf8(WithoutQuotes(Parse(lines[*found].text).value));
}

bool TextIniStore::WriteString(const std::wstring& section, const std::wstring& key,
                               const std::wstring& value) {
  if (readOnly_) return false;
  const std::string sectionName = ToUtf8(section);
  const std::string keyName = ToUtf8(key);
  const std::string newValue = ToUtf8(value);
  std::vector<Line> lines = SplitLines(content_);

  if (const std::optional<std::size_t> found = FindKey(lines, sectionName, keyName)) {
    Line& line = lines[*found];
    line.text = std::string(Parse(line.text).name) + "=" + newValue;
    line.ending = kLineEnd;
  } else {
    layout::AddKey(lines, sectionName, keyName + "=" + newValue);
  }
  content_ = JoinLines(lines);
  return true;
}

}  // namespace nimbrel
