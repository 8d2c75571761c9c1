// One tray picture per iteration, painted as a refresh tick paints it.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "display/byte_size.h"
#include "display/memory_sample.h"
#include "display/system_colors.h"
#include "display/tray_painter.h"
#include "display/tray_picture.h"
#include "settings/settings.h"

namespace {

constexpr std::uint64_t kGiB = 1ull << 30;

nimbrel::MemorySample Sample(std::uint32_t load) {
  nimbrel::MemorySample s;
  s.dwMemoryLoad = load;
  s.ullTotalPhys = 16 * kGiB;
  s.ullAvailPhys = s.ullTotalPhys / 100 * (100 - load);
  s.ullTotalPageFile = 24 * kGiB;
  s.ullAvailPageFile = 9 * kGiB;
  return s;
}

void PaintLoads(benchmark::State& state, const nimbrel::Settings& settings, int size = 16) {
  const nimbrel::NumberFormat format;
  const nimbrel::TableSystemColors system;
  const nimbrel::PaintContext context{format, system, nullptr};
  nimbrel::TrayPicture canvas;
  canvas.SetSize(size);
  std::uint32_t load = 0;
  for (auto _ : state) {
    nimbrel::PaintTrayImage(canvas, settings, Sample(load), context);
    benchmark::DoNotOptimize(canvas.pixels.data());
    benchmark::ClobberMemory();
    load = load == 100 ? 0 : load + 1;
  }
  state.SetItemsProcessed(state.iterations());
}

// Gigabytes with a decimal point: the defaults.
void BM_PaintTrayImage_Defaults(benchmark::State& state) { PaintLoads(state, nimbrel::DefaultSettings(10)); }
BENCHMARK(BM_PaintTrayImage_Defaults);

// Whole megabytes, five digits from 10 GB on, drawn as gigabytes.
// The defaults at the sizes of 100, 150, 200 and 300 %: the larger pictures must cost at most four
// times the 16-pixel one (they have up to nine times the pixels).
void BM_PaintTrayImage_Size(benchmark::State& state) {
  PaintLoads(state, nimbrel::DefaultSettings(10), static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PaintTrayImage_Size)->Arg(16)->Arg(24)->Arg(32)->Arg(48);

void BM_PaintTrayImage_Megabytes(benchmark::State& state) {
  nimbrel::Settings settings = nimbrel::DefaultSettings(10);
  settings.OptimizeForGigabytes = false;
  PaintLoads(state, settings);
}
BENCHMARK(BM_PaintTrayImage_Megabytes);

void BM_PaintTrayImage_PercentTransparentGauge(benchmark::State& state) {
  nimbrel::Settings settings = nimbrel::DefaultSettings(10);
  settings.ShowPercentage = true;
  settings.ShowPercSign = true;
  settings.TransBk = true;
  settings.StandardGauge = true;
  settings.FullBar = true;
  PaintLoads(state, settings);
}
BENCHMARK(BM_PaintTrayImage_PercentTransparentGauge);

void BM_PaintTrayImage_MagentaMini(benchmark::State& state) {
  nimbrel::Settings settings = nimbrel::DefaultSettings(10);
  settings.MiniInternalFont = true;
  settings.FontColor = 0xFF00FF;
  settings.DisplayFont.Color = 0xFF00FF;
  PaintLoads(state, settings);
}
BENCHMARK(BM_PaintTrayImage_MagentaMini);

void BM_FormatDisplayValue(benchmark::State& state) {
  const nimbrel::Settings settings = nimbrel::DefaultSettings(10);
  const nimbrel::NumberFormat format;
  std::uint64_t bytes = 5 * kGiB + 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(nimbrel::FormatDisplayValue(bytes, settings, format));
    bytes += 40961;
  }
}
BENCHMARK(BM_FormatDisplayValue);

}  // namespace
