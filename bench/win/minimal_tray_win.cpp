// The floor the tray benchmarks measure Nimbrel against: the least a tray program can do.
//   nimbrel_minimal_tray            one tray icon; a right click pops a three-item menu
//   nimbrel_minimal_tray meter MS [physical|pagefile]
//       also, every MS milliseconds, one memory reading and one update handing a ready icon and a
//       tooltip to the shell; the reading is shifted as Nimbrel_changing.exe shifts it when asked
//   nimbrel_minimal_tray meter MS used
//       the meter, which also does the least each of the program's uses needs when a file of the use's
//       name appears in its current folder, and then writes NAME.done there: "use-menu" pops a popup menu
//       of a dozen items and closes it, "use-dialog" shows a dialog with tabs, edits, spin buttons and a
//       hot-key field (common controls 6) and closes it, "use-http" makes one HTTPS request through
//       WinHTTP in the program itself (to the program's update address, which there is no network for)
// Ends on WM_ENDSESSION or WM_CLOSE, removing its icon.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <winhttp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>

namespace {

constexpr UINT kCallback = WM_APP + 1;
constexpr UINT_PTR kTimer = 1;

NOTIFYICONDATAW g_icon{};
HMENU g_menu = nullptr;
int g_changing = 0;  // 1 physical, 2 page file
unsigned g_calls = 0;
bool g_used = false;
constexpr UINT_PTR kEndUse = 2;

void UseMenu(HWND window) {
  HMENU menu = ::CreatePopupMenu();
  const wchar_t* items[] = {
      L"立即整理内存", L"启动任务管理器(&T)", L"设置(&S)", L"主题(&H)", L"关于(&A)", L"显示百分比",
      L"透明背景",     L"文本颜色",           L"检查更新", L"帮助",     L"捐赠",     L"退出(&E)"};
  for (UINT i = 0; i < sizeof items / sizeof *items; ++i) ::AppendMenuW(menu, MF_STRING, i + 10, items[i]);
  ::SetForegroundWindow(window);
  ::SetTimer(window, kEndUse, 800, nullptr);
  ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, 500, 300, 0, window, nullptr);
  ::DestroyMenu(menu);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) {
    const wchar_t* pages[] = {L"常规", L"高级", L"托盘菜单", L"主题"};
    for (int i = 0; i < 4; ++i) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(pages[i]);
      ::SendDlgItemMessageW(dialog, 100, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    ::SetTimer(dialog, kEndUse, 800, nullptr);
    return TRUE;
  }
  if (msg == WM_TIMER && wParam == kEndUse) ::EndDialog(dialog, 0);
  return FALSE;
}

void UseDialog(HWND window) {
  static HMODULE controls = ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init =
      reinterpret_cast<InitFn>(reinterpret_cast<void*>(::GetProcAddress(controls, "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
  if (init) init(&classes);
  ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), window, &DialogProc, 0);
}

void UseHttp() {
  static HMODULE http = ::LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  const auto fn = [](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(http, name)); };
  const auto open = reinterpret_cast<decltype(&::WinHttpOpen)>(fn("WinHttpOpen"));
  const auto connect = reinterpret_cast<decltype(&::WinHttpConnect)>(fn("WinHttpConnect"));
  const auto request = reinterpret_cast<decltype(&::WinHttpOpenRequest)>(fn("WinHttpOpenRequest"));
  const auto send = reinterpret_cast<decltype(&::WinHttpSendRequest)>(fn("WinHttpSendRequest"));
  const auto receive = reinterpret_cast<decltype(&::WinHttpReceiveResponse)>(fn("WinHttpReceiveResponse"));
  const auto close = reinterpret_cast<decltype(&::WinHttpCloseHandle)>(fn("WinHttpCloseHandle"));
  if (!open || !connect || !request || !send || !receive || !close) return;
  HINTERNET session =
      open(L"minimal", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  HINTERNET connection =
      session ? connect(session, L"www.vostrand.com", INTERNET_DEFAULT_HTTPS_PORT, 0) : nullptr;
  HINTERNET get = connection ? request(connection, L"GET", L"/nimbrel/version.ini", nullptr,
                                       WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE)
                             : nullptr;
  if (get && send(get, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
    receive(get, nullptr);
  for (HINTERNET h : {get, connection, session})
    if (h) close(h);
}

// Does the use whose file appeared, and says so.
void Uses(HWND window) {
  const wchar_t* names[] = {L"use-menu", L"use-dialog", L"use-http"};
  for (int i = 0; i < 3; ++i) {
    if (::GetFileAttributesW(names[i]) == INVALID_FILE_ATTRIBUTES) continue;
    ::DeleteFileW(names[i]);
    if (i == 0) UseMenu(window);
    if (i == 1) UseDialog(window);
    if (i == 2) UseHttp();
    wchar_t done[32];
    std::swprintf(done, 32, L"%ls.done", names[i]);
    ::CloseHandle(::CreateFileW(done, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
}

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
      if (wParam == kEndUse) {
        ::KillTimer(window, kEndUse);
        ::EndMenu();
        return 0;
      }
      Tick();
      if (g_used) Uses(window);
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
  g_used = argc > 3 && std::strcmp(argv[3], "used") == 0;
  if (argc > 3 && !g_used) g_changing = std::strcmp(argv[3], "pagefile") == 0 ? 2 : 1;
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
