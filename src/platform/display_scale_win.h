#pragma once
// Display scale: the DPI of a window's monitor and the sizes that follow from it. The per-monitor
// functions came with Windows 10 (1607); before them every window has the system's DPI.
#include <windows.h>

namespace nimbrel {

// The screen's DPI as the system reports it to this process.
[[nodiscard]] int SystemDpi();
// The DPI of the window's monitor where the system scales per monitor, else the system's.
[[nodiscard]] int WindowDpi(HWND window);
// The side of a small icon (SM_CXSMICON) at that DPI.
[[nodiscard]] int SmallIconSize(int dpi);
// The side of the icons the notification area shows: a small icon at the DPI of the taskbar's monitor.
[[nodiscard]] int NotificationAreaIconSize();

}  // namespace nimbrel
