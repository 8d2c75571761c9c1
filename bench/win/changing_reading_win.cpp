// Linked into Nimbrel_changing.exe in place of the library's reading: the machine's memory status with
// 4 GiB more in use, plus 12 MiB more at every call, wrapping after 16 calls. NIMBREL_CHANGING says
// where: "physical" (the default) moves physical memory and the page file alike, so that the picture
// and the tooltip change at every tick; "pagefile" moves the page file only (memory committed but not
// touched), so that the tooltip changes at every tick and the picture stays. The system caches its own
// reading for a second under Wine, so a real one cannot change at every 100 ms tick there.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "display/memory_status_win.h"

namespace nimbrel {

MemorySample ReadMemorySample() {
  static std::atomic<unsigned> calls{0};  // the refresh timer reads on a thread of its own
  static const bool physical = [] {
    const char* where = std::getenv("NIMBREL_CHANGING");
    return !where || std::strcmp(where, "pagefile") != 0;
  }();
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  ::GlobalMemoryStatusEx(&status);
  const DWORDLONG fixed = 4ull << 30;
  const DWORDLONG moving = fixed + (calls++ % 16) * (12ull << 20);
  auto less = [](DWORDLONG available, DWORDLONG by) { return available > by ? available - by : 0; };
  MemorySample sample;
  sample.dwLength = status.dwLength;
  sample.ullTotalPhys = status.ullTotalPhys;
  sample.ullAvailPhys = less(status.ullAvailPhys, physical ? moving : fixed);
  sample.dwMemoryLoad = static_cast<unsigned>(100 - sample.ullAvailPhys * 100 / status.ullTotalPhys);
  sample.ullTotalPageFile = status.ullTotalPageFile;
  sample.ullAvailPageFile = less(status.ullAvailPageFile, moving);
  sample.ullTotalVirtual = status.ullTotalVirtual;
  sample.ullAvailVirtual = status.ullAvailVirtual;
  sample.ullAvailExtendedVirtual = status.ullAvailExtendedVirtual;
  return sample;
}

}  // namespace nimbrel
