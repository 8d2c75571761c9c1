#pragma once
#include <windows.h>

#include "display/memory_sample.h"

namespace nimbrel {

// One GlobalMemoryStatusEx reading.
[[nodiscard]] MemorySample ReadMemorySample();

// The system's answer as the program keeps it. Inline, so that a build that brings its own
// ReadMemorySample (the tests' steady reading) need not take the library's.
[[nodiscard]] inline MemorySample ToMemorySample(const MEMORYSTATUSEX& status) {
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
