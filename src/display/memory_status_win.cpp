#include "display/memory_status_win.h"

#include <windows.h>

namespace nimbrel {

MemorySample ReadMemorySample() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  ::GlobalMemoryStatusEx(&status);
  MemorySample sample;
  sample.dwLength = status.dwLength;
  sample.dwMemoryLoad = status.dwMemoryLoad;
  sample.ullTotalPhys = status.ullTotalPhys;
  sample.ullAvailPhys = status.ullAvailPhys;
  sample.ullTotalPageFile = status.ullTotalPageFile;
  sample.ullAvailPageFile = status.ullAvailPageFile;
  sample.ullTotalVirtual = status.ullTotalVirtual;
  sample.ullAvailVirtual = status.ullAvailVirtual;
  sample.ullAvailExtendedVirtual = status.ullAvailExtendedVirtual;
  return sample;
}

}  // namespace nimbrel
