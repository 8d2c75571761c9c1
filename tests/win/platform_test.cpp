// The small window framework: timers, application hooks, the monitor command.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/system_actions_win.h"
#include "display/reading_timer_win.h"
#include "platform/application_win.h"
#include "platform/popup_menu_win.h"
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

// The reading the test sets: free physical memory in MB, or a new value at every read.
std::atomic<int> g_freeMb{500};
std::atomic<bool> g_moving{false};
std::atomic<int> g_reads{0};

MemorySample TestReading() {
  const int at = g_reads++;
  MemorySample sample;
  sample.ullTotalPhys = 1000ull << 20;
  sample.ullAvailPhys = static_cast<std::uint64_t>(g_moving ? 100 + at : g_freeMb.load()) << 20;
  sample.ullAvailVirtual = static_cast<std::uint64_t>(at);  // no part of what the tray shows
  return sample;
}

TEST(ReadingTimer, HandsOverOnlyChangedReadings) {
  ReadingTimer timer(20, true, &TestReading);
  std::vector<std::uint64_t> handed;
  timer.OnReading = [&](const MemorySample& s) { handed.push_back(s.ullAvailPhys >> 20); };
  timer.Update();
  EXPECT_TRUE(timer.Running());
  PumpFor(400);
  EXPECT_GE(g_reads, 10) << "a reading at every interval";
  EXPECT_EQ(handed, (std::vector<std::uint64_t>{500}));

  g_freeMb = 400;
  PumpFor(200);
  EXPECT_EQ(handed, (std::vector<std::uint64_t>{500, 400}));

  // Readings changing at every tick are each handed over.
  g_moving = true;
  PumpFor(400);
  EXPECT_GE(handed.size(), 10u);
  const std::size_t whileMoving = handed.size();
  g_moving = false;
  g_freeMb = 300;
  PumpFor(400);
  EXPECT_EQ(handed.size(), whileMoving + 1);
  EXPECT_EQ(handed.back(), 300u);

  // Something else the picture is made from changed: the same reading once more.
  timer.HandOverNext();
  PumpFor(200);
  EXPECT_EQ(handed.size(), whileMoving + 2);

  // A reading the form showed by itself is not handed over again.
  MemorySample shown = TestReading();
  g_freeMb = 200;
  shown.ullAvailPhys = 200ull << 20;
  timer.Record(shown);
  PumpFor(200);
  EXPECT_EQ(handed.size(), whileMoving + 2);

  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  PumpFor(60);
  const int reads = g_reads;
  timer.HandOverNext();
  PumpFor(150);
  EXPECT_EQ(g_reads, reads) << "stopped means no reading";
  EXPECT_EQ(handed.size(), whileMoving + 2);
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Running());
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running());
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

// A modal window's loop: its filter sees posted messages before the window does, and a quit ends the loop
// with the quit message left for the outer one.
TEST(Application, ModalLoopFiltersFirstAndLeavesTheQuitForTheOuterLoop) {
  Application& app = Application::Instance();
  if (!app.Handle()) {
    ASSERT_TRUE(app.Initialize(L"Nimbrel"));
  }
  const UINT probe = ::RegisterWindowMessageW(L"NimbrelTestProbe");
  int hooked = 0;
  const int hook = app.AddMessageHook([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
    hooked += msg == probe;
    return false;
  });
  bool done = false;
  std::vector<WPARAM> filtered;
  const int filter = app.AddMessageFilter([&](MSG& msg) {
    if (msg.message != probe) return false;
    filtered.push_back(msg.wParam);
    done = msg.wParam == 2;
    return msg.wParam != 1;  // the first goes on to the window
  });
  for (WPARAM i : {1, 0, 2, 3}) ::PostMessageW(app.Handle(), probe, i, 0);
  EXPECT_TRUE(app.RunUntil(done));
  EXPECT_EQ(filtered, (std::vector<WPARAM>{1, 0, 2}));
  EXPECT_EQ(hooked, 1);

  done = false;
  ::PostQuitMessage(7);
  EXPECT_FALSE(app.RunUntil(done));
  EXPECT_EQ(filtered.back(), 3u) << "the message before the quit was taken";
  MSG quit{};
  ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);
  EXPECT_FALSE(app.Terminated());
  app.RemoveMessageFilter(filter);
  app.RemoveMessageHook(hook);
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

namespace nimbrel {
namespace {

// Owner-drawn items carry what they show for screen readers (the accessibility record their data
// starts with): a process's name and value, a memory line's caption and figures, as drawn.
TEST(PopupMenuWindow, ItemsTellScreenReadersWhatTheyShow) {
  PopupMenuWindow popup;
  Menu menu;
  const auto add = [&](const wchar_t* caption, const wchar_t* value, bool ownerDraw) {
    auto item = std::make_unique<MenuItem>();
    item->Caption = caption;
    item->ValueText = value;
    item->OwnerDraw = ownerDraw;
    menu.Add(std::move(item));
  };
  add(L"chrome.exe", L"512 MB", true);
  add(L"物理内存", L" 4.00 GB/8.00 GB ", true);
  add(L"退出(&E)", L"", false);
  std::vector<std::wstring> read;
  popup.OnShown = [&](HMENU shown) {
    for (int i = 0; i < ::GetMenuItemCount(shown); ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_DATA;
      ::GetMenuItemInfoW(shown, static_cast<UINT>(i), TRUE, &info);
      const auto* record = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
      read.push_back(record && record->dwMSAASignature == MSAA_MENU_SIG
                         ? std::wstring(record->pszWText, record->cchWText)
                         : L"(none)");
    }
    ::SetTimer(popup.Handle(), 1, 50, [](HWND window, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(window, id);
      ::EndMenu();
    });
  };
  popup.Popup(menu, 10, 10);
  EXPECT_EQ(read,
            (std::vector<std::wstring>{L"chrome.exe 512 MB", L"物理内存 4.00 GB/8.00 GB", L"退出(&E)"}));
}

}  // namespace
}  // namespace nimbrel
