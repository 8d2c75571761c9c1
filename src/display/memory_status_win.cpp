#include "display/memory_status_win.h"

namespace nimbrel {

MemorySample ReadMemorySample() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  ::GlobalMemoryStatusEx(&status);
  return ToMemorySample(status);
}

}  // namespace nimbrel
