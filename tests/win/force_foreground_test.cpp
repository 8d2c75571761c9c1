// Bringing the program in front must not click anything but its own probe window.
#include <gtest/gtest.h>

#include "platform/force_foreground_win.h"
#include "platform/window_win.h"

namespace nimbrel {
namespace {

class ClickTrap : public Window {
 public:
  int clicks = 0;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) ++clicks;
    return DefaultProc(msg, wParam, lParam);
  }
};

void Pump(DWORD ms) {
  DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < ms) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(5);
  }
}

TEST(ForceForeground, TargetComesInFrontAndNothingUnderThePointerIsClicked) {
  ::SetCursorPos(300, 300);
  ClickTrap trap;
  ASSERT_TRUE(
      trap.Create(L"NimbrelClickTrap", L"trap", WS_POPUP | WS_VISIBLE, 0, 250, 250, 100, 100, nullptr));
  Window target;
  ASSERT_TRUE(target.Create(L"NimbrelForegroundTarget", L"target", WS_POPUP | WS_VISIBLE, 0, 600, 100, 50, 50,
                            nullptr));
  Pump(100);
  ForceForeground(target.handle());
  Pump(300);
  EXPECT_EQ(::GetForegroundWindow(), target.handle());
  EXPECT_EQ(trap.clicks, 0) << "the synthesised click reached a window under the pointer";
}

}  // namespace
}  // namespace nimbrel
