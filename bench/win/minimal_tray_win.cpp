// The floor the tray benchmarks measure Nimbrel against: the least a tray program can do.
//   nimbrel_minimal_tray            one tray icon; a right click pops a three-item menu
//   nimbrel_minimal_tray meter MS [physical|pagefile]
//       also, every MS milliseconds, one memory reading and one update handing a ready icon and a
//       tooltip to the shell; the reading is shifted as Nimbrel_changing.exe shifts it when asked
// Ends on WM_ENDSESSION or WM_CLOSE, removing its icon.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

constexpr UINT kCallback = WM_APP + 1;
constexpr UINT_PTR kTimer = 1;

NOTIFYICONDATAW g_icon{};
HMENU g_menu = nullptr;
int g_changing = 0;  // 1 physical, 2 page file
unsigned g_calls = 0;

void Tick() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  ::GlobalMemoryStatusEx(&status);
  if (g_changing) {
    const DWORDLONG fixed = 4ull << 30;
    const DWORDLONG moving = fixed + (g_calls++ % 16) * (12ull << 20);
    auto less = [](DWORDLONG available, DWORDLONG by) { return available > by ? available - by : 0; };
    status.ullAvailPhys = less(status.ullAvailPhys, g_changing == 1 ? moving : fixed);
    status.ullAvailPageFile = less(status.ullAvailPageFile, moving);
  }
  const double gib = 1024.0 * 1024.0 * 1024.0;
  std::swprintf(g_icon.szTip, 128,
                L"内存使用: %lu%%\r\n物理内存: %.2f GB/%.2f GB\r\n页面文件: %.2f GB/%.2f GB",
                status.dwMemoryLoad, static_cast<double>(status.ullTotalPhys - status.ullAvailPhys) / gib,
                static_cast<double>(status.ullTotalPhys) / gib,
                static_cast<double>(status.ullTotalPageFile - status.ullAvailPageFile) / gib,
                static_cast<double>(status.ullTotalPageFile) / gib);
  ::Shell_NotifyIconW(NIM_MODIFY, &g_icon);
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kCallback:
      if (lParam == WM_RBUTTONDOWN) {
        POINT pt{};
        ::GetCursorPos(&pt);
        ::SetForegroundWindow(window);
        ::TrackPopupMenu(g_menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, window, nullptr);
        ::PostMessageW(window, WM_NULL, 0, 0);
      }
      return 0;
    case WM_TIMER:
      Tick();
      return 0;
    case WM_ENDSESSION:
    case WM_CLOSE:
      ::Shell_NotifyIconW(NIM_DELETE, &g_icon);
      ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, msg, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool meter = argc > 2 && std::strcmp(argv[1], "meter") == 0;
  if (argc > 3) g_changing = std::strcmp(argv[3], "pagefile") == 0 ? 2 : 1;
  WNDCLASSW wc{};
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"NimbrelMinimalTray";
  ::RegisterClassW(&wc);
  HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  wc.hInstance, nullptr);
  g_menu = ::CreatePopupMenu();
  ::AppendMenuW(g_menu, MF_STRING, 1, L"启动任务管理器(&T)");
  ::AppendMenuW(g_menu, MF_STRING, 2, L"关于(&A)");
  ::AppendMenuW(g_menu, MF_STRING, 3, L"退出(&E)");

  g_icon.cbSize = sizeof g_icon;
  g_icon.hWnd = window;
  g_icon.uID = 1;
  g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_icon.uCallbackMessage = kCallback;
  g_icon.hIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
  std::wcscpy(g_icon.szTip, L"minimal");
  if (!::Shell_NotifyIconW(NIM_ADD, &g_icon)) {
    std::fprintf(stderr, "no notification area\n");
    return 1;
  }
  if (meter) ::SetTimer(window, kTimer, static_cast<UINT>(std::atoi(argv[2])), nullptr);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  return 0;
}
