// Linked into Nimbrel_checked.exe in place of the library's reading: the machine's memory status as it
// was at the first reading, for the whole run, so that the tests see a machine whose memory stands
// still (under Wine a real reading moves whenever any process of the session allocates).
#include <windows.h>

#include "display/memory_status_win.h"

namespace nimbrel {

MemorySample ReadMemorySample() {
  static const MemorySample steady = [] {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatusEx(&status);
    return ToMemorySample(status);
  }();
  return steady;
}

}  // namespace nimbrel
