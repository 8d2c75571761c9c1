#pragma once
// The display scale a window or a menu is shown at. The program is per-monitor aware: each window takes
// the dpi of the monitor it shows on, and systems without per-monitor functions answer with the
// system's dpi, the one scale they have for every monitor.
#include <windows.h>

namespace nimbrel {

// The system's dpi: the scale of the primary monitor at log-on.
[[nodiscard]] int SystemDpi();
// The dpi window is laid out for (its monitor's, for a per-monitor aware window).
[[nodiscard]] int WindowDpi(HWND window);
// The dpi of the monitor nearest to a screen point, such as the point where a menu opens.
[[nodiscard]] int MonitorDpiAt(POINT point);
// The dpi of the monitor a rectangle of the screen mostly lies on.
[[nodiscard]] int MonitorDpiOf(const RECT& area);

// GetSystemMetrics at dpi where the system can answer for any dpi, else at its own.
[[nodiscard]] int SystemMetricForDpi(int index, int dpi);
// The small-icon size (SM_CXSMICON) at dpi.
[[nodiscard]] int SmallIconSize(int dpi);
// The side of the icons the notification area shows: a small icon at the dpi of the taskbar's monitor.
[[nodiscard]] int NotificationAreaIconSize();
// The fonts of menus and message boxes as the user has set them, in pixels at dpi.
[[nodiscard]] NONCLIENTMETRICSW NonClientMetricsForDpi(int dpi);
// AdjustWindowRectEx with the frame and caption at dpi.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace nimbrel
