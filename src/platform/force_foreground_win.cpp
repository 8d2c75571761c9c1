#include "platform/force_foreground_win.h"

#include "platform/window_win.h"

namespace nimbrel {

namespace {

class ForegroundProbe : public Window {
 public:
  bool clicked = false;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_LBUTTONUP) clicked = true;
    if (msg == WM_MOUSEACTIVATE) return MA_ACTIVATE;
    return DefaultProc(msg, wParam, lParam);
  }
};

}  // namespace

void ForceForeground(HWND window) {
  ForegroundProbe probe;
  POINT pointer{};
  ::GetCursorPos(&pointer);
  if (probe.Create(L"TNimbrelForeground", L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, pointer.x,
                   pointer.y, 1, 1, nullptr)) {
    ::ShowWindow(probe.handle(), SW_SHOWNOACTIVATE);
    ::mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ::mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    // The synthesised click is delivered later; the probe stays until it has landed on it, so that it
    // never reaches whatever window lies under the pointer once the probe is gone.
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (!probe.clicked && ::GetTickCount() - start < 250) {
      if (::PeekMessageW(&msg, probe.handle(), 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
      } else {
        ::Sleep(1);
      }
    }
  }
  ::SetForegroundWindow(window);
}

}  // namespace nimbrel
