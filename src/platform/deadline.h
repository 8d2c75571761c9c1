#pragma once

#include <cstdint>

namespace nimbrel {

// What is left at tick nowMs of budgetMs begun at tick startedMs, on a 32-bit tick count that wraps. At
// least 1: the HTTP stack reads a timeout of 0 as none at all.
[[nodiscard]] inline std::uint32_t RemainingMs(std::uint32_t startedMs, std::uint32_t nowMs,
                                               std::uint32_t budgetMs) {
  const std::uint32_t elapsed = nowMs - startedMs;
  return elapsed < budgetMs ? budgetMs - elapsed : 1;
}

}  // namespace nimbrel
