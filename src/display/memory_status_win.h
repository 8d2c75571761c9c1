#pragma once
#include "display/memory_sample.h"

namespace nimbrel {
// One GlobalMemoryStatusEx reading.
[[nodiscard]] MemorySample ReadMemorySample();
}  // namespace nimbrel
