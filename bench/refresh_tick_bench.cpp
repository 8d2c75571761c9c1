// The portable share of one refresh tick: the tooltip and the high-memory rule, from one reading.
#include <benchmark/benchmark.h>

#include "display/byte_size.h"
#include "display/high_memory_rule.h"
#include "display/memory_sample.h"
#include "display/tooltip.h"
#include "settings/settings.h"

namespace {

nimbrel::MemorySample Sample(std::uint32_t load) {
  nimbrel::MemorySample s;
  s.dwMemoryLoad = load;
  s.ullTotalPhys = 16ull << 30;
  s.ullAvailPhys = s.ullTotalPhys / 100 * (100 - load);
  s.ullTotalPageFile = 24ull << 30;
  s.ullAvailPageFile = 9ull << 30;
  return s;
}

void BM_FormatByteSize(benchmark::State& state) {
  nimbrel::NumberFormat format;
  std::uint64_t bytes = 5'368'709'121;
  for (auto _ : state) {
    benchmark::DoNotOptimize(nimbrel::FormatByteSize(bytes, format));
    bytes += 4097;
  }
}
BENCHMARK(BM_FormatByteSize);

void BM_TickLogic(benchmark::State& state) {
  nimbrel::Settings settings = nimbrel::DefaultSettings(10);
  nimbrel::NumberFormat format;
  nimbrel::HighMemoryState rule;
  std::uint32_t tick = 1000;
  std::uint32_t load = 40;
  for (auto _ : state) {
    nimbrel::MemorySample sample = Sample(load);
    benchmark::DoNotOptimize(nimbrel::DisplayedTotal(settings, sample));
    benchmark::DoNotOptimize(nimbrel::TooltipText(settings, sample, format));
    benchmark::DoNotOptimize(nimbrel::EvaluateHighMemory(settings, load, tick, false, rule));
    rule.LastMemoryLoad = load;
    load = load == 95 ? 40 : load + 1;
    tick += 1000;
  }
}
BENCHMARK(BM_TickLogic);

}  // namespace
