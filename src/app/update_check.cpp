#include "app/update_check.h"

#include <algorithm>

#include "platform/version_text.h"

namespace nimbrel {

std::optional<std::vector<std::uint32_t>> ParseVersion(std::wstring_view text) {
  std::vector<std::uint32_t> parts;
  std::uint64_t part = 0;
  bool digits = false;
  for (wchar_t c : text) {
    if (c == L'.') {
      if (!digits) return std::nullopt;
      parts.push_back(static_cast<std::uint32_t>(part));
      part = 0;
      digits = false;
    } else if (c >= L'0' && c <= L'9') {
      part = part * 10 + static_cast<std::uint64_t>(c - L'0');
      if (part > 0xFFFFFFFFu) return std::nullopt;
      digits = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  parts.push_back(static_cast<std::uint32_t>(part));
  return parts;
}

std::optional<int> CompareVersions(std::wstring_view a, std::wstring_view b) {
  const auto left = ParseVersion(a);
  const auto right = ParseVersion(b);
  if (!left || !right) return std::nullopt;
  const std::size_t count = std::max(left->size(), right->size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t l = i < left->size() ? (*left)[i] : 0;
    const std::uint32_t r = i < right->size() ? (*right)[i] : 0;
    if (l != r) return l < r ? -1 : 1;
  }
  return 0;
}

bool IsNewerVersion(std::wstring_view remote, std::wstring_view local) {
  const auto order = CompareVersions(remote, local);
  return order && *order > 0;
}

VersionFile ReadVersionFile(const IniStore& file, const std::wstring& programName) {
  VersionFile v;
  v.CurrentVersion = file.ReadString(L"CurrentVersions", programName, L"");
  v.DownloadURL = file.ReadString(L"DownloadURL", programName, L"");
  v.ReleaseDate = file.ReadString(L"DateReleased", L"Date", L"");
  v.BetaVer = file.ReadString(L"BetaVersions", programName, L"");
  // A default no file holds tells a missing key from an empty line.
  constexpr wchar_t kMissing[] = L"\x01missing\x01";
  for (int key = 1; key <= 1000; ++key) {
    std::wstring line = file.ReadString(L"CurrentHistory", std::to_wstring(key), kMissing);
    if (line == kMissing) break;
    v.Changes.push_back(std::move(line));
  }
  return v;
}

std::wstring ProgramNameFromPath(std::wstring_view exePath) {
  const std::size_t slash = exePath.find_last_of(L"\\/:");
  std::wstring_view name = slash == std::wstring_view::npos ? exePath : exePath.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

void SkipBlanks(std::wstring_view& text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
}

// The command line after the program's name, as the system's own parsing reads the name: up to the
// closing quote when it starts with one, else up to the first blank.
std::wstring_view AfterProgramName(std::wstring_view line) {
  std::size_t end = 0;
  if (!line.empty() && line.front() == L'"') {
    end = line.find(L'"', 1);
    end = end == std::wstring_view::npos ? line.size() : end + 1;
  } else {
    while (end < line.size() && !IsBlank(line[end])) ++end;
  }
  line.remove_prefix(end);
  SkipBlanks(line);
  return line;
}

std::optional<std::uint32_t> TakeNumber(std::wstring_view& text) {
  std::uint64_t value = 0;
  std::size_t digits = 0;
  for (; digits < text.size() && text[digits] >= L'0' && text[digits] <= L'9'; ++digits) {
    value = value * 10 + static_cast<std::uint64_t>(text[digits] - L'0');
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  if (digits == 0 || (digits < text.size() && !IsBlank(text[digits]))) return std::nullopt;
  text.remove_prefix(digits);
  SkipBlanks(text);
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::wstring FetchCommandLine(std::wstring_view program, const FetchCommand& command) {
  const auto quotable = [](std::wstring_view text) {
    return !text.empty() && text.find(L'"') == std::wstring_view::npos;
  };
  if (!quotable(program) || !quotable(command.url)) return {};
  std::wstring line = L"\"";
  line.append(program);
  line += L"\" ";
  line += kFetchSwitch;
  line += L' ' + std::to_wstring(command.fileHandle) + L' ' + std::to_wstring(command.timeoutMs) + L" \"";
  line.append(command.url);
  line += L'"';
  return line;
}

bool IsFetchCommandLine(std::wstring_view commandLine) {
  const std::wstring_view rest = AfterProgramName(commandLine);
  const std::wstring_view name = kFetchSwitch;
  return rest.substr(0, name.size()) == name && (rest.size() == name.size() || IsBlank(rest[name.size()]));
}

std::optional<FetchCommand> ParseFetchCommandLine(std::wstring_view commandLine) {
  if (!IsFetchCommandLine(commandLine)) return std::nullopt;
  std::wstring_view rest = AfterProgramName(commandLine).substr(std::wstring_view(kFetchSwitch).size());
  SkipBlanks(rest);
  FetchCommand command;
  const auto handle = TakeNumber(rest);
  const auto timeout = handle ? TakeNumber(rest) : std::nullopt;
  if (!timeout || rest.size() < 3 || rest.front() != L'"') return std::nullopt;
  const std::size_t close = rest.find(L'"', 1);
  if (close == std::wstring_view::npos || close == 1) return std::nullopt;
  command.fileHandle = *handle;
  command.timeoutMs = *timeout;
  command.url = rest.substr(1, close - 1);
  rest.remove_prefix(close + 1);
  SkipBlanks(rest);
  if (!rest.empty()) return std::nullopt;
  return command;
}

std::wstring UpdateLabel::Markup() const {
  switch (kind_) {
    case Kind::CheckLink:
      return std::wstring(L"<link>") + kCheckForUpdatesText + L"</link>";
    case Kind::Checking:
      return kCheckingText;
    case Kind::Announcement:
      return L"<link>Nimbrel " + announced_ + L" 可供下载</link>";
    case Kind::UpToDate:
      return kUpToDateText;
    case Kind::Failed:
      break;
  }
  return kCheckFailedText;
}

UpdateLabel::Action UpdateLabel::LinkClicked(std::wstring_view linkText) {
  if (linkText != kCheckForUpdatesText) return Action::OpenDownloadPage;
  kind_ = Kind::Checking;
  return Action::StartCheck;
}

UpdateLabel::Action UpdateLabel::Shown() {
  if (tag_ != 0 || kind_ == Kind::Checking) return Action::None;
  kind_ = Kind::Checking;
  return Action::StartCheck;
}

void UpdateLabel::VersionReceived(std::wstring_view currentVersion, std::wstring_view ownVersion) {
  const auto order = CompareVersions(currentVersion, ownVersion);
  if (!order) {
    CheckFailed();
    return;
  }
  if (*order > 0) {
    // The short form needs four parts; a shorter version is shown as the server wrote it.
    announced_ = FormatVersionText(currentVersion, true);
    if (announced_.empty()) announced_ = currentVersion;
    kind_ = Kind::Announcement;
  } else {
    kind_ = Kind::UpToDate;
  }
  tag_ = 1;
}

void UpdateLabel::CheckFailed() { kind_ = Kind::Failed; }

}  // namespace nimbrel
