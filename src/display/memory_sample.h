#pragma once

#include <cstdint>

#include "settings/settings.h"

namespace nimbrel {

// One reading of the system memory status, laid out like MEMORYSTATUSEX so the Windows side can fill
// it field by field.
struct MemorySample {
  std::uint32_t dwLength = 64;
  std::uint32_t dwMemoryLoad = 0;  // percent of physical memory in use
  std::uint64_t ullTotalPhys = 0;
  std::uint64_t ullAvailPhys = 0;
  std::uint64_t ullTotalPageFile = 0;  // the commit limit
  std::uint64_t ullAvailPageFile = 0;
  std::uint64_t ullTotalVirtual = 0;
  std::uint64_t ullAvailVirtual = 0;
  std::uint64_t ullAvailExtendedVirtual = 0;
};

// Whether two readings agree in everything the tray shows and the high-memory rule looks at (load,
// physical memory, page file); the process's own address space is not among them.
bool SameReading(const MemorySample& a, const MemorySample& b);

// Both clamp to 0 when the available amount exceeds the total: a momentary inconsistent reading must
// not wrap around to exabytes.
std::uint64_t UsedPhysical(const MemorySample& sample);
std::uint64_t UsedPageFile(const MemorySample& sample);

// Total of the memory kind on display (page file with ShowPage, else physical memory); process
// percentages in the tray menu are taken against it.
std::uint64_t DisplayedTotal(const Settings& settings, const MemorySample& sample);

struct DisplayQuantity {
  bool isPercent = false;
  std::uint64_t value = 0;  // percent or bytes
  // Free physical memory at a load of 98 % or more is shown as "0" whatever value says.
  bool forceZeroText = false;
};

// What the tray picture shows, chosen by ShowPercentage, ShowFree and ShowPage.
DisplayQuantity QuantityOnDisplay(const Settings& settings, const MemorySample& sample);

}  // namespace nimbrel
