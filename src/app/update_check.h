#pragma once
// The update check without the network: reading the version file, comparing versions, and what the
// About window's update label shows.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/deadline.h"
#include "settings/ini_store.h"

namespace nimbrel {

// A version as dot-separated decimal numbers ("1.6.0.0", "2.0", "7"); nullopt for anything else
// (blanks, letters, empty parts, parts beyond 32 bits).
std::optional<std::vector<std::uint32_t>> ParseVersion(std::wstring_view text);
// Part by part as numbers, a missing part counting as 0: below zero when a is older, zero when equal,
// above zero when newer; nullopt when either cannot be read.
std::optional<int> CompareVersions(std::wstring_view a, std::wstring_view b);
// False also when either version cannot be read.
bool IsNewerVersion(std::wstring_view remote, std::wstring_view local);

// What a version file says; missing keys are empty.
struct VersionFile {
  std::wstring CurrentVersion;
  std::wstring DownloadURL;
  std::wstring ReleaseDate;
  std::wstring BetaVer;
  std::vector<std::wstring> Changes;  // "CurrentHistory" keys 1, 2, 3 ... up to the first missing one
};
// programName: the executable's file name without its extension, the key the versions are under.
VersionFile ReadVersionFile(const IniStore& file, const std::wstring& programName);
// "C:\\Tools\\Nimbrel.exe" → "Nimbrel".
std::wstring ProgramNameFromPath(std::wstring_view exePath);

// The download runs in a helper run of the program itself, so that the HTTP and TLS libraries it loads
// end with it: PROGRAM /fetch-version-file FILE-HANDLE TIMEOUT-MS "URL", where the file handle is one the
// helper inherits (handle values fit in 32 bits, in 64-bit programs too).
inline constexpr wchar_t kFetchSwitch[] = L"/fetch-version-file";
struct FetchCommand {
  std::uint32_t fileHandle = 0;
  std::uint32_t timeoutMs = 0;
  std::wstring url;
};
// Empty when the program or the address cannot be quoted (they hold a quote) or either is empty.
std::wstring FetchCommandLine(std::wstring_view program, const FetchCommand& command);
// Whether a whole command line (the program's name first) asks for a fetch; a malformed one does too, so
// that it never starts the tray program.
bool IsFetchCommandLine(std::wstring_view commandLine);
std::optional<FetchCommand> ParseFetchCommandLine(std::wstring_view commandLine);

// A version file is a few hundred bytes: anything larger is no version file.
inline constexpr std::size_t kVersionFileLimit = 64 * 1024;

inline constexpr wchar_t kCheckForUpdatesText[] = L"检查更新";
inline constexpr wchar_t kCheckingText[] = L"正在检查更新...";
inline constexpr wchar_t kUpToDateText[] = L"Nimbrel 是最新的";
inline constexpr wchar_t kCheckFailedText[] = L"检查新版本时出错";

// The update label of the About window and its Tag (1 once an answer was received).
class UpdateLabel {
 public:
  enum class Kind { CheckLink, Checking, Announcement, UpToDate, Failed };
  enum class Action { None, StartCheck, OpenDownloadPage };

  [[nodiscard]] Kind kind() const noexcept { return kind_; }
  [[nodiscard]] int Tag() const noexcept { return tag_; }
  // The label's text in link markup.
  [[nodiscard]] std::wstring Markup() const;
  // Shown in the button-shadow colour while the check runs.
  [[nodiscard]] bool Grey() const noexcept { return kind_ == Kind::Checking; }

  // A click on a link of the label.
  Action LinkClicked(std::wstring_view linkText);
  // The About window is shown: a check starts while no answer has been received and none runs.
  Action Shown();
  // The version file came: the announcement or "up to date"; a version that cannot be read is a
  // failed check.
  void VersionReceived(std::wstring_view currentVersion, std::wstring_view ownVersion);
  void CheckFailed();

 private:
  Kind kind_ = Kind::CheckLink;
  int tag_ = 0;
  std::wstring announced_;
};

}  // namespace nimbrel
