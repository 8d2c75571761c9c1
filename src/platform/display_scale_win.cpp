#include "platform/display_scale_win.h"

#include "platform/system_info_win.h"
#include "platform/system_libraries_win.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {

namespace {
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

int MonitorDpi(HMONITOR monitor) {
  const ShcoreLibrary& shcore = ShcoreLibrary::Get();
  UINT x = 0;
  UINT y = 0;
  if (monitor && shcore.GetDpiForMonitor &&
      SUCCEEDED(shcore.GetDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y > 0)
    return static_cast<int>(y);
  return SystemDpi();
}
}  // namespace

int SystemDpi() {
  const User32Dpi& user32 = User32Dpi::Get();
  if (user32.GetDpiForSystem) {
    if (const UINT dpi = user32.GetDpiForSystem()) return static_cast<int>(dpi);
  }
  WindowDc screen(nullptr);
  const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

int WindowDpi(HWND window) {
  const User32Dpi& user32 = User32Dpi::Get();
  if (window && user32.GetDpiForWindow) {
    if (const UINT dpi = user32.GetDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int MonitorDpiAt(POINT point) { return MonitorDpi(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST)); }

int MonitorDpiOf(const RECT& area) { return MonitorDpi(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST)); }

int SystemMetricForDpi(int index, int dpi) {
  const User32Dpi& user32 = User32Dpi::Get();
  if (user32.GetSystemMetricsForDpi) return user32.GetSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return ::GetSystemMetrics(index);
}

int SmallIconSize(int dpi) {
  const int size = SystemMetricForDpi(SM_CXSMICON, dpi);
  return size > 0 ? size : 16;
}

int NotificationAreaIconSize() {
  RECT taskbar{};
  HWND window = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  const int dpi = window && ::GetWindowRect(window, &taskbar) ? MonitorDpiOf(taskbar) : SystemDpi();
  return SmallIconSize(dpi);
}

NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi) {
  const User32Dpi& user32 = User32Dpi::Get();
  if (user32.SystemParametersInfoForDpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (user32.SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                          static_cast<UINT>(dpi)))
      return metrics;
  }
  // One scale for every monitor: the system's fonts, grown or shrunk for a window told another dpi.
  NONCLIENTMETRICSW metrics = NonClientMetrics();
  const int system = SystemDpi();
  if (dpi != system) {
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                           &metrics.lfStatusFont, &metrics.lfMessageFont})
      font->lfHeight = ::MulDiv(font->lfHeight, dpi, system);
  }
  return metrics;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  const User32Dpi& user32 = User32Dpi::Get();
  if (user32.AdjustWindowRectExForDpi &&
      user32.AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    return;
  ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace nimbrel
