// One whole refresh tick (reading, picture, icon, hand-over to the shell) against its floor: one
// GlobalMemoryStatusEx and one NIM_MODIFY with an icon that is already made. Both run in the same
// process, in the same session, interleaved in rounds so that drift hits both alike.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/win/bench_clock_win.h"
#include "display/memory_status_win.h"
#include "display/refresh_cycle_win.h"
#include "display/tray_painter.h"
#include "platform/application_win.h"

namespace {

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

template <typename F>
double MicrosecondsPerCall(int calls, F&& f) {
  double start = Now();
  for (int i = 0; i < calls; ++i) f(i);
  double elapsed = Now() - start;
  Pump();
  return elapsed * 1e6 / calls;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  using namespace nimbrel;
  Application::Instance().Initialize(L"Nimbrel");
  TCoolTrayIcon tray(nullptr, ::LoadIconW(nullptr, IDI_APPLICATION));
  if (!tray.AddIcon()) {
    std::fprintf(stderr, "no notification area\n");
    return 1;
  }
  RefreshCycle cycle;
  TrayPainter painter;
  WindowsSystemColors colors;
  GdiTextRenderer text;
  NumberFormat format;
  Settings glyphs = DefaultSettings(10);
  Settings userFont = glyphs;
  userFont.InternalFont = false;
  TrayPicture picture;
  UniqueIcon ready = MakeIconFromBitmap(picture, std::nullopt);

  const int rounds = 7, calls = 300;
  std::vector<double> tick, tickFont, floorCost, paint, paintFont, icon;
  for (int r = 0; r < rounds; ++r) {
    floorCost.push_back(MicrosecondsPerCall(calls, [&](int) {
      MemorySample s = ReadMemorySample();
      (void)s;
      NOTIFYICONDATAW d = tray.NotifyData();
      d.hIcon = ready.get();
      ::Shell_NotifyIconW(NIM_MODIFY, &d);
    }));
    tick.push_back(MicrosecondsPerCall(calls, [&](int) { cycle.Tick(glyphs, tray, format); }));
    tickFont.push_back(MicrosecondsPerCall(calls, [&](int) { cycle.Tick(userFont, tray, format); }));
    MemorySample sample = ReadMemorySample();
    paint.push_back(MicrosecondsPerCall(calls * 10, [&](int) {
      painter.Paint(picture, glyphs, sample, PaintContext{format, colors, &text});
    }));
    paintFont.push_back(MicrosecondsPerCall(calls * 10, [&](int) {
      painter.Paint(picture, userFont, sample, PaintContext{format, colors, &text});
    }));
    icon.push_back(
        MicrosecondsPerCall(calls * 10, [&](int) { UniqueIcon i = MakeIconFromBitmap(picture, 3); }));
  }
  tray.RemoveIcon();

  double floorUs = Median(floorCost);
  std::printf("floor (GlobalMemoryStatusEx + NIM_MODIFY)   %9.1f us\n", floorUs);
  std::printf("tick, built-in glyphs                        %9.1f us  (%.2f x floor)\n", Median(tick),
              Median(tick) / floorUs);
  std::printf("tick, user font                              %9.1f us  (%.2f x floor)\n", Median(tickFont),
              Median(tickFont) / floorUs);
  std::printf("  paint only, built-in glyphs                %9.1f us\n", Median(paint));
  std::printf("  paint only, user font (GDI text)           %9.1f us\n", Median(paintFont));
  std::printf("  icon from pixels                           %9.1f us\n", Median(icon));
  return 0;
}
