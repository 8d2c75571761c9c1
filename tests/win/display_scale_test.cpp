// The display scale as the program reads it under Wine, where every monitor has the session's dpi
// (LogPixels): the per-monitor functions answer for any dpi asked, and a window or a point is at the
// session's. Run at another scale (WINE.md), the same checks hold at that scale.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/display_scale_win.h"
#include "platform/system_libraries_win.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {
namespace {

int ScreenLogPixels() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

TEST(DisplayScale, WindowsAndPointsAreAtTheSessionsDpi) {
  const int session = ScreenLogPixels();
  EXPECT_EQ(SystemDpi(), session);
  EXPECT_EQ(MonitorDpiAt(POINT{10, 10}), session);
  EXPECT_EQ(MonitorDpiOf(RECT{0, 0, 100, 100}), session);
  UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"scale", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(window);
  EXPECT_EQ(WindowDpi(window.get()), session);
  // shcore is there, and answered for the monitor.
  EXPECT_NE(ShcoreLibrary::Get().GetDpiForMonitor, nullptr);
}

struct IconCase {
  int dpi;
  int smallIcon;
};

TEST(DisplayScale, SmallIconsAndFontsAtAnyDpi) {
  ASSERT_NE(User32Dpi::Get().GetSystemMetricsForDpi, nullptr) << "Wine 8 has the per-monitor functions";
  const IconCase cases[] = {{96, 16}, {120, 20}, {144, 24}, {192, 32}};
  const LONG menuAt96 = NonClientMetricsForDpi(96).lfMenuFont.lfHeight;
  const LONG messageAt96 = NonClientMetricsForDpi(96).lfMessageFont.lfHeight;
  ASSERT_NE(menuAt96, 0);
  for (const IconCase& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(SmallIconSize(c.dpi), c.smallIcon);
    const NONCLIENTMETRICSW metrics = NonClientMetricsForDpi(c.dpi);
    // The font heights grow with the dpi, give or take the rounding of each.
    EXPECT_LE(std::abs(metrics.lfMenuFont.lfHeight - ::MulDiv(menuAt96, c.dpi, 96)), 1);
    EXPECT_LE(std::abs(metrics.lfMessageFont.lfHeight - ::MulDiv(messageAt96, c.dpi, 96)), 1);
    RECT frame{0, 0, 100, 100};
    AdjustWindowRectForDpi(frame, WS_POPUP | WS_CAPTION, 0, c.dpi);
    EXPECT_LT(frame.top, 0);  // a caption above the client area
  }
}

}  // namespace
}  // namespace nimbrel
