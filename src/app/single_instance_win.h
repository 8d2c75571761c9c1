#pragma once
// One running copy per session. A named mutex in the session's namespace decides which copy runs, so
// that copies started at the same instant cannot all pass a look for the main window before any has
// made one; the main window's class stays what other copies (and other programs) talk to.
#include <windows.h>

#include "platform/unique_resource_win.h"

namespace nimbrel {

class SingleInstance {
 public:
  // True when this copy is to run. Otherwise the running copy has been told (WM_SECOND_INSTANCE) and
  // this one ends. A copy that is just ending leaves the way free within waitMs.
  bool Claim(DWORD waitMs = 5000);

 private:
  UniqueHandle mutex_;
};

}  // namespace nimbrel
