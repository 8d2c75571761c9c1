#include "display/memory_sample.h"

namespace nimbrel {
namespace {

std::uint64_t ClampedDifference(std::uint64_t total, std::uint64_t available) {
  return available > total ? 0 : total - available;
}

constexpr std::uint32_t kNoFreeMemoryLoad = 98;

}  // namespace

bool SameReading(const MemorySample& a, const MemorySample& b) {
  return a.dwMemoryLoad == b.dwMemoryLoad && a.ullTotalPhys == b.ullTotalPhys &&
         a.ullAvailPhys == b.ullAvailPhys && a.ullTotalPageFile == b.ullTotalPageFile &&
         a.ullAvailPageFile == b.ullAvailPageFile;
}

std::uint64_t UsedPhysical(const MemorySample& sample) {
  return ClampedDifference(sample.ullTotalPhys, sample.ullAvailPhys);
}

std::uint64_t UsedPageFile(const MemorySample& sample) {
  return ClampedDifference(sample.ullTotalPageFile, sample.ullAvailPageFile);
}

std::uint64_t DisplayedTotal(const Settings& settings, const MemorySample& sample) {
  return settings.ShowPage ? sample.ullTotalPageFile : sample.ullTotalPhys;
}

DisplayQuantity QuantityOnDisplay(const Settings& settings, const MemorySample& sample) {
  DisplayQuantity quantity;
  if (settings.ShowPercentage) {
    quantity.isPercent = true;
    // A load above 100 would be a bad reading; free memory then shows 0 rather than wrapping.
    const std::uint64_t load = sample.dwMemoryLoad;
    quantity.value = settings.ShowFree ? ClampedDifference(100, load) : load;
    return quantity;
  }
  if (!settings.ShowFree) {
    quantity.value = settings.ShowPage ? UsedPageFile(sample) : UsedPhysical(sample);
    return quantity;
  }
  if (settings.ShowPage) {
    quantity.value = sample.ullAvailPageFile;
    return quantity;
  }
  quantity.value = sample.ullAvailPhys;
  quantity.forceZeroText = sample.dwMemoryLoad >= kNoFreeMemoryLoad;
  return quantity;
}

}  // namespace nimbrel
