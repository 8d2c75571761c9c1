// The small window framework: timers, application hooks, the monitor command.
#include <gtest/gtest.h>

#include <vector>

#include "app/system_actions_win.h"
#include "platform/application_win.h"
#include "platform/timer_win.h"

namespace nimbrel {
namespace {

void PumpFor(DWORD milliseconds) {
  DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < milliseconds) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  }
}

TEST(Timer, FiresWhileEnabledAndStopsAtIntervalZero) {
  Timer timer(20, true);
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  timer.Update();
  EXPECT_TRUE(timer.Running());
  PumpFor(300);
  EXPECT_GE(ticks, 3);

  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
  int before = ticks;
  PumpFor(150);
  EXPECT_EQ(ticks, before);

  timer.SetInterval(20);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
}

TEST(Application, WindowIsAToolWindowAndHooksSeeItsMessages) {
  Application& app = Application::Instance();
  if (!app.Handle()) {
    ASSERT_TRUE(app.Initialize(L"Nimbrel"));
  }
  // The system adds WS_EX_WINDOWEDGE to captioned windows; what matters is tool window, no app window.
  LONG_PTR exStyle = ::GetWindowLongPtrW(app.Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  EXPECT_FALSE(::IsWindowVisible(app.Handle()));

  const UINT probe = ::RegisterWindowMessageW(L"NimbrelTestProbe");
  int seen = 0;
  int id = app.AddMessageHook([&](UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != probe) return false;
    ++seen;
    result = 42;
    return true;
  });
  EXPECT_EQ(::SendMessageW(app.Handle(), probe, 0, 0), 42);
  app.RemoveMessageHook(id);
  EXPECT_EQ(::SendMessageW(app.Handle(), probe, 0, 0), 0);
  EXPECT_EQ(seen, 1);
}

class CommandRecorder {
 public:
  CommandRecorder() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NimbrelMonitorProbe";
    ::RegisterClassW(&wc);
    window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    commands.clear();
  }
  ~CommandRecorder() { ::DestroyWindow(window); }
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SYSCOMMAND) {
      commands.push_back({w, l});
      return 0;
    }
    return ::DefWindowProcW(h, msg, w, l);
  }
  HWND window = nullptr;
  static inline std::vector<std::pair<WPARAM, LPARAM>> commands;
};

TEST(SystemActions, MonitorOffIsSentSeventeenTimesWithPauses) {
  CommandRecorder recorder;
  std::vector<DWORD> pauses;
  SwitchOffMonitor(recorder.window, [&](DWORD ms) { pauses.push_back(ms); });
  ASSERT_EQ(CommandRecorder::commands.size(), 17u);
  for (auto& [w, l] : CommandRecorder::commands) {
    EXPECT_EQ(w, static_cast<WPARAM>(SC_MONITORPOWER));
    EXPECT_EQ(l, 2);
  }
  EXPECT_EQ(pauses, std::vector<DWORD>(17, 400));
}

TEST(SystemActions, UnknownPrivilegeFailsQuietly) {
  EXPECT_FALSE(EnablePrivilege(L"SeNoSuchPrivilege", true));
}

}  // namespace
}  // namespace nimbrel
