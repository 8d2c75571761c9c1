#include "settings/profile_file_update_win.h"

#include <windows.h>

#include "platform/unique_resource_win.h"

namespace nimbrel {
namespace {

// Beside the file, so that the replacement stays on one volume; a name no theme list or settings
// look-up matches.
std::wstring CopyPathOf(const std::wstring& path) { return path + L".saving"; }

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FlushToDisk(const std::wstring& path) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && ::FlushFileBuffers(file.get());
}

}  // namespace

ProfileFileUpdate::ProfileFileUpdate(std::wstring path) : path_(std::move(path)), copy_(CopyPathOf(path_)) {}

ProfileFileUpdate::~ProfileFileUpdate() {
  if (begun_) ::DeleteFileW(copy_.Path().c_str());
}

bool ProfileFileUpdate::Begin() {
  // A copy left by a save that was cut off is stale: the file itself is whole.
  ::SetFileAttributesW(copy_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(copy_.Path().c_str());
  if (Exists(path_)) {
    if (!::CopyFileW(path_.c_str(), copy_.Path().c_str(), FALSE)) return false;
    ::SetFileAttributesW(copy_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  begun_ = true;
  return true;
}

bool ProfileFileUpdate::Commit() {
  if (!begun_) return false;
  // A write that changed nothing leaves a new file unmade.
  if (!Exists(copy_.Path())) return Exists(path_);
  // Writes may sit in the profile functions' cache on some systems: this call writes them out.
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy_.Path().c_str());
  if (!FlushToDisk(copy_.Path())) return false;
  // One rename that replaces the file. (ReplaceFile would keep the file's attributes, but under Wine it
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
