#include "platform/display_scale_win.h"

#include "platform/system_library_win.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {
namespace {

struct DpiFunctions {
  DpiFunctions() {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    GetDpiForWindow = LibraryFunction<decltype(GetDpiForWindow)>(user32, "GetDpiForWindow");
    GetSystemMetricsForDpi =
        LibraryFunction<decltype(GetSystemMetricsForDpi)>(user32, "GetSystemMetricsForDpi");
  }
  UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
  int(WINAPI* GetSystemMetricsForDpi)(int, UINT) = nullptr;
};

const DpiFunctions& Dpi() {
  static const DpiFunctions functions;
  return functions;
}

}  // namespace

int SystemDpi() {
  WindowDc screen(nullptr);
  const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND window) {
  if (window && Dpi().GetDpiForWindow) {
    const UINT dpi = Dpi().GetDpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SmallIconSize(int dpi) {
  if (Dpi().GetSystemMetricsForDpi) {
    const int size = Dpi().GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi));
    if (size > 0) return size;
  }
  const int size = ::GetSystemMetrics(SM_CXSMICON);
  return size > 0 ? size : 16;
}

int NotificationAreaIconSize() { return SmallIconSize(WindowDpi(::FindWindowW(L"Shell_TrayWnd", nullptr))); }

}  // namespace nimbrel
