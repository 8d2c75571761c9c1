#pragma once
// A profile file written as a whole. The private-profile functions rewrite the file on every key, so a
// save of many keys ended halfway (end of session, power loss) would leave a file with some keys or
// none. Here the writes go to a copy beside the file, which then replaces it in one step: the file on
// disk is at every instant the complete old one or the complete new one. The new file keeps the old
// one's attributes and access list. Where no copy can be made beside a file that exists (a portable
// copy in a folder the user may not write, whose settings file the user may), the writes go to the
// file itself, as the profile functions would make them. A file with more than one name (a hard link)
// is not replaced but written over from the copy in one write, so that it stays one file.
#include <functional>
#include <string>

#include "settings/profile_ini_store_win.h"

namespace nimbrel {

class ProfileFileUpdate {
 public:
  explicit ProfileFileUpdate(std::wstring path);
  ~ProfileFileUpdate();
  ProfileFileUpdate(const ProfileFileUpdate&) = delete;
  ProfileFileUpdate& operator=(const ProfileFileUpdate&) = delete;

  // Makes the copy (of the file as it is, with every section and key, or empty when there is no file
  // yet). False when the file cannot be read or the copy cannot be made.
  bool Begin();
  // Where the writes go between Begin and Commit.
  [[nodiscard]] IniStore& Store() noexcept { return inPlace_ ? file_ : copy_; }
  // The copy, flushed to the disk, replaces the file. False leaves the file as it was.
  bool Commit();

 private:
  std::wstring path_;
  ProfileIniStore file_;
  ProfileIniStore copy_;
  bool begun_ = false;
  bool inPlace_ = false;
  bool linked_ = false;
};

// Begin, write, Commit: false when any step failed; the file is then as it was.
bool UpdateProfileFile(const std::wstring& path, const std::function<bool(IniStore&)>& write);

}  // namespace nimbrel
