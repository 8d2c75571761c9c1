// Nimbrel measured from outside, as a user meets it, against the minimal tray program built beside it,
// in one session so that the figures are ratios the machine's noise does not move:
//   nimbrel_tray_bench menu NIMBREL MINIMAL EXTRA ROUNDS
//       right click on the tray icon to a visible, painted menu; median over ROUNDS openings of each
//       program, with EXTRA idle processes running (copies of this program, windowless, so that
//       hundreds of them do not exhaust the display's connections)
//   nimbrel_tray_bench end WINDOWCLASS
//       ends the program owning a window of that class as a session's end does (for tray_tick.py)
// NIMBREL is copied into a scratch folder of its own with a portable settings file; both programs run
// one at a time, so that the icon sits in the same slot of the notification area.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/win/bench_clock_win.h"
#include "bench/win/extra_processes_win.h"
#include "tests/e2e/tray_input_win.h"

namespace {

using nimbrel::UniqueHandle;

std::wstring Widen(const char* text) {
  std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), static_cast<int>(wide.size()));
  wide.pop_back();
  return wide;
}

// A copy of Nimbrel.exe in a folder of its own, with a portable settings file.
std::wstring PrepareNimbrel(const std::wstring& source, int refreshRate) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"nimbrel-tray-bench\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring exe = folder + L"Nimbrel.exe";
  if (!::CopyFileW(source.c_str(), exe.c_str(), FALSE)) return {};
  const std::string settings =
      "[General]\r\nShowPercentage=0\r\nRefreshRate=" + std::to_string(refreshRate) + "\r\n";
  UniqueHandle file(::CreateFileW((folder + L"Nimbrel.Settings").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ::WriteFile(file.get(), settings.data(), static_cast<DWORD>(settings.size()), &written, nullptr);
  return exe;
}

BOOL CALLBACK EndWindowOf(HWND window, LPARAM owner) {
  DWORD of = 0;
  ::GetWindowThreadProcessId(window, &of);
  DWORD_PTR ignored = 0;
  if (of == static_cast<DWORD>(owner))
    ::SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  return TRUE;
}

class Program {
 public:
  Program(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info))
      return;
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    ::WaitForInputIdle(process_.get(), 10000);
    ::Sleep(2500);  // the start-up tick and the icon settle
  }
  ~Program() { End(); }
  [[nodiscard]] bool Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
  }
  void End() {
    if (Running()) EndProcess(process_.get(), id_);
  }
  // As a session's end does, so that the icon leaves the notification area.
  static void EndProcess(HANDLE process, DWORD id) {
    ::EnumWindows(&EndWindowOf, static_cast<LPARAM>(id));
    if (::WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process, 1);
    ::Sleep(500);
  }

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
};

// Milliseconds from the right button going down on the icon to the menu on screen with its items
// painted (the menu's thread answers only once the paint that follows the showing is done); a
// negative value when no menu came within five seconds.
double OpenMenuOnce() {
  Mouse(0, kSlotX, kSlotY);
  ::Sleep(100);
  const double start = Now();
  Mouse(MOUSEEVENTF_RIGHTDOWN, kSlotX, kSlotY);
  Mouse(MOUSEEVENTF_RIGHTUP, kSlotX, kSlotY);
  HWND menu = nullptr;
  while (!(menu = VisibleMenu())) {
    if (Now() - start > 5) return -1;
    ::Sleep(0);
  }
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(menu, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  const double elapsed = (Now() - start) * 1e3;
  // Closed as a user does: Escape, or a click on the desktop when the menu has not the keyboard.
  for (int attempt = 0; attempt < 2 && VisibleMenu(); ++attempt) {
    if (attempt == 0) {
      PressKey(VK_ESCAPE);
    } else {
      Mouse(0, 500, 300);
      Mouse(MOUSEEVENTF_LEFTDOWN, 500, 300);
      Mouse(MOUSEEVENTF_LEFTUP, 500, 300);
    }
    const double closing = Now();
    while (VisibleMenu() && Now() - closing < 2) ::Sleep(10);
  }
  // Sooner, the next click on the same spot would be a double click.
  ::Sleep(::GetDoubleClickTime() + 200);
  return elapsed;
}

double MedianMenuLatency(const std::wstring& exe, const std::wstring& arguments, int rounds) {
  Program program(exe, arguments);
  if (!program.Running()) {
    std::fprintf(stderr, "%ls did not start\n", exe.c_str());
    return -1;
  }
  OpenMenuOnce();  // the first opening loads what later ones reuse
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const double t = OpenMenuOnce();
    if (t < 0) {
      std::fprintf(stderr, "%ls: no menu after opening %d\n", exe.c_str(), i);
      return -1;
    }
    times.push_back(t);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int Menu(const std::wstring& nimbrel, const std::wstring& minimal, int extra, int rounds) {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  ExtraProcesses started;
  StartWindowless(extra, self, L"idle", started);
  ::Sleep(static_cast<DWORD>(extra) * 20);  // until they have started
  const std::wstring copy = PrepareNimbrel(nimbrel, 1000);
  // The floor before and after, so that drift over the run shows.
  const double floorBefore = MedianMenuLatency(minimal, L"", rounds);
  const double measured = MedianMenuLatency(copy, L"", rounds);
  const double floorAfter = MedianMenuLatency(minimal, L"", rounds);
  if (floorBefore < 0 || measured < 0 || floorAfter < 0) {
    std::fprintf(stderr, "no menu came up\n");
    return 1;
  }
  const double floor = (floorBefore + floorAfter) / 2;
  std::printf(
      "menu, %d extra processes (%zu started), median of %d: minimal %.1f ms (%.1f, %.1f), "
      "Nimbrel %.1f ms: %.2f x\n",
      extra, started.processes.size(), rounds, floor, floorBefore, floorAfter, measured, measured / floor);
  return 0;
}

// Ends the program that owns a top-level window of the class, as a session's end does.
int End(const std::wstring& windowClass) {
  HWND window = ::FindWindowW(windowClass.c_str(), nullptr);
  if (!window) return 1;
  DWORD id = 0;
  ::GetWindowThreadProcessId(window, &id);
  UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
  Program::EndProcess(process.get(), id);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 6 && std::string(argv[1]) == "menu")
    return Menu(Widen(argv[2]), Widen(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  if (argc >= 3 && std::string(argv[1]) == "end") return End(Widen(argv[2]));
  if (argc >= 2 && std::string(argv[1]) == "idle") {
    for (;;) ::Sleep(INFINITE);
  }
  std::fprintf(stderr, "usage: nimbrel_tray_bench menu NIMBREL MINIMAL EXTRA ROUNDS | end WINDOWCLASS\n");
  return 2;
}
