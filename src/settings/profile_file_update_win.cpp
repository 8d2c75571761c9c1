#include "settings/profile_file_update_win.h"

#include <windows.h>

#include <vector>

#include "platform/unique_resource_win.h"

namespace nimbrel {
namespace {

// Beside the file, so that the replacement stays on one volume; a name no theme list or settings
// look-up matches.
std::wstring CopyPathOf(const std::wstring& path) { return path + L".saving"; }

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The attributes and the access list of the file, onto the copy that is to replace it. A part that
// cannot be read or set is left as the copy has it: the settings matter more than their file's looks.
void TakeOverLooks(const std::wstring& file, const std::wstring& copy) {
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) != 0)
    ::SetFileAttributesW(copy.c_str(), attributes & kKept);
  DWORD needed = 0;
  ::GetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  if (needed == 0) return;
  std::vector<unsigned char> descriptor(needed);
  if (::GetFileSecurityW(file.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed))
    ::SetFileSecurityW(copy.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
}

// More than one name (a hard link, as package managers keep settings across versions with): replacing
// the file by a rename would give this name a new file and leave the others with the old settings.
bool HasOtherNames(const std::wstring& path) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  return file && ::GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1;
}

// The copy's bytes written over the file in one write, so that every name of it sees them; the file
// keeps its attributes and access list as it is the same file.
bool WriteOver(const std::wstring& copy, const std::wstring& path) {
  UniqueFileHandle source(::CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  // Far above any settings or theme file, and within one read.
  constexpr LONGLONG kLargest = 16 * 1024 * 1024;
  LARGE_INTEGER size{};
  if (!source || !::GetFileSizeEx(source.get(), &size) || size.QuadPart > kLargest) return false;
  std::vector<char> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!::ReadFile(source.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    return false;
  UniqueFileHandle target(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target) return false;
  DWORD written = 0;
  if (!bytes.empty() &&
      (!::WriteFile(target.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
       written != bytes.size()))
    return false;
  return ::SetEndOfFile(target.get()) && ::FlushFileBuffers(target.get());
}

bool FlushToDisk(const std::wstring& path) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && ::FlushFileBuffers(file.get());
}

}  // namespace

ProfileFileUpdate::ProfileFileUpdate(std::wstring path)
    : path_(std::move(path)), file_(path_), copy_(CopyPathOf(path_)) {}

ProfileFileUpdate::~ProfileFileUpdate() {
  if (begun_ && !inPlace_) ::DeleteFileW(copy_.Path().c_str());
}

bool ProfileFileUpdate::Begin() {
  // A copy left by a save that was cut off is stale: the file itself is whole.
  ::SetFileAttributesW(copy_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(copy_.Path().c_str());
  if (!file_.HasFolder()) return false;
  inPlace_ = false;
  linked_ = false;
  if (Exists(path_)) {
    linked_ = HasOtherNames(path_);
    if (::CopyFileW(path_.c_str(), copy_.Path().c_str(), FALSE)) {
      ::SetFileAttributesW(copy_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    } else {
      inPlace_ = true;
    }
  }
  begun_ = true;
  return true;
}

bool ProfileFileUpdate::Commit() {
  if (!begun_) return false;
  if (inPlace_) {
    begun_ = false;
    return ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str()) != FALSE || Exists(path_);
  }
  // A write that changed nothing leaves a new file unmade.
  if (!Exists(copy_.Path())) return Exists(path_);
  // Writes may sit in the profile functions' cache on some systems: this call writes them out.
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy_.Path().c_str());
  if (!FlushToDisk(copy_.Path())) return false;
  if (linked_) {
    if (!WriteOver(copy_.Path(), path_)) return false;
    begun_ = false;
    ::DeleteFileW(copy_.Path().c_str());
    return true;
  }
  TakeOverLooks(path_, copy_.Path());
  // One rename that replaces the file. (ReplaceFile would take over the looks itself, but under Wine it
  // removes the old file before the new one takes its name: a kill in between leaves no file.)
  const bool replaced = ::MoveFileExW(copy_.Path().c_str(), path_.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (replaced) begun_ = false;
  return replaced;
}

bool UpdateProfileFile(const std::wstring& path, const std::function<bool(IniStore&)>& write) {
  ProfileFileUpdate update(path);
  return update.Begin() && write(update.Store()) && update.Commit();
}

}  // namespace nimbrel
