// One whole refresh tick (reading, picture, icon, hand-over to the shell) against its floor: one
// GlobalMemoryStatusEx and one NIM_MODIFY with an icon that is already made. Both run in the same
// process, in the same session, interleaved in rounds so that drift hits both alike.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
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

// The least a meter whose picture changes can do: one reading, its load written with GDI into a new
// icon of the given size, handed to the shell, the previous icon destroyed.
class PaintingMeter {
 public:
  explicit PaintingMeter(int size) : size_(size) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = size;
    bmi.bmiHeader.biHeight = size;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    dc_ = ::CreateCompatibleDC(nullptr);
    colour_ = ::CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    mask_ = ::CreateBitmap(size, size, 1, 1, nullptr);
    ::SelectObject(dc_, colour_);
  }
  ~PaintingMeter() {
    if (shown_) ::DestroyIcon(shown_);
    ::DeleteDC(dc_);
    ::DeleteObject(colour_);
    ::DeleteObject(mask_);
  }
  void Tick(nimbrel::TCoolTrayIcon& tray, int shift) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatusEx(&status);
    wchar_t text[8];
    const int n = std::swprintf(text, 8, L"%lu", (status.dwMemoryLoad + static_cast<DWORD>(shift)) % 100);
    RECT all{0, 0, size_, size_};
    ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::TextOutW(dc_, 0, 0, text, n);
    ICONINFO info{TRUE, 0, 0, mask_, colour_};
    HICON icon = ::CreateIconIndirect(&info);
    NOTIFYICONDATAW d = tray.NotifyData();
    d.hIcon = icon;
    ::Shell_NotifyIconW(NIM_MODIFY, &d);
    if (shown_) ::DestroyIcon(shown_);
    shown_ = icon;
  }

 private:
  int size_;
  HDC dc_;
  HBITMAP colour_;
  HBITMAP mask_;
  HICON shown_ = nullptr;
};

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
  std::vector<double> tick, tickFont, floorCost, paint, paintFont, icon, meter24, changing24;
  PaintingMeter meter(24);
  RefreshCycle cycle24;
  cycle24.SetPictureSize(24);
  for (int r = 0; r < rounds; ++r) {
    meter24.push_back(MicrosecondsPerCall(calls, [&](int i) { meter.Tick(tray, i); }));
    changing24.push_back(MicrosecondsPerCall(calls, [&](int i) {
      // A reading that moves by a percent and 100 MB at every tick: a new picture each time.
      MemorySample s = ReadMemorySample();
      s.dwMemoryLoad = static_cast<DWORD>(i % 100);
      s.ullAvailPhys -= static_cast<DWORDLONG>(i % 16) * (100ull << 20);
      cycle24.Show(s, glyphs, tray, format);
    }));
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
  std::printf("painting meter, new 24-pixel icon each tick  %9.1f us\n", Median(meter24));
  std::printf("tick at 24 pixels, picture changing          %9.1f us  (%.2f x painting meter)\n",
              Median(changing24), Median(changing24) / Median(meter24));
  return 0;
}
