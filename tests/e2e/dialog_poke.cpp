// Test tool run under Wine: lists the controls of the program's top-level windows with a given title,
// one line each, UTF-8: "class|text|left|top|right|bottom|checked" in screen coordinates, the window
// itself first. Exit code 1 when no such window is visible.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}

void Print(HWND w) {
  wchar_t cls[64] = {};
  wchar_t text[512] = {};
  ::GetClassNameW(w, cls, 64);
  // A window that does not answer within the timeout is listed without text: this tool never hangs.
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 500, &answer);
  RECT r{};
  ::GetWindowRect(w, &r);
  int checked = -1;
  if (lstrcmpiW(cls, L"Button") == 0 &&
      ::SendMessageTimeoutW(w, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 500, &answer))
    checked = static_cast<int>(answer);
  std::string line = Utf8(cls) + "|" + Utf8(text) + "|" + std::to_string(r.left) + "|" +
                     std::to_string(r.top) + "|" + std::to_string(r.right) + "|" + std::to_string(r.bottom) +
                     "|" + std::to_string(checked) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

// "menu": the open popup menu's rectangle and the height of "AA" in the menu font, which the tray
// menu's rows are measured with: "left|top|right|bottom|textHeight".
int PrintMenu() {
  // The first visible one: hidden menu windows may exist besides the open menu.
  static HWND menu = nullptr;
  ::EnumWindows(
      [](HWND w, LPARAM) -> BOOL {
        wchar_t cls[16] = {};
        ::GetClassNameW(w, cls, 16);
        if (!::IsWindowVisible(w) || lstrcmpW(cls, L"#32768") != 0) return TRUE;
        menu = w;
        return FALSE;
      },
      0);
  if (!menu) return 1;
  RECT r{};
  ::GetWindowRect(menu, &r);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE aa{};
  ::GetTextExtentPoint32W(dc, L"AA", 2, &aa);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  ::DeleteObject(font);
  std::printf("%ld|%ld|%ld|%ld|%ld\n", r.left, r.top, r.right, r.bottom, aa.cy);
  return 0;
}

// "tips": the visible tooltip and balloon windows (the notification area's among them), one line each
// as in "list".
int PrintTips() {
  static int found = 0;
  ::EnumWindows(
      [](HWND w, LPARAM) -> BOOL {
        wchar_t cls[64] = {};
        ::GetClassNameW(w, cls, 64);
        if (::IsWindowVisible(w) && lstrcmpiW(cls, L"tooltips_class32") == 0) {
          ++found;
          Print(w);
        }
        return TRUE;
      },
      0);
  return found ? 0 : 1;
}

// "hide-tips": hides every tooltip and balloon on screen (a first start's welcome balloon points at
// the very icon a test looks at).
int HideTips() {
  ::EnumWindows(
      [](HWND w, LPARAM) -> BOOL {
        wchar_t cls[64] = {};
        ::GetClassNameW(w, cls, 64);
        if (::IsWindowVisible(w) && lstrcmpiW(cls, L"tooltips_class32") == 0) ::ShowWindow(w, SW_HIDE);
        return TRUE;
      },
      0);
  return 0;
}

// "menus": every open popup menu window, "left|top|right|bottom" each, in z-order (the newest first).
int PrintMenus() {
  static int found = 0;
  ::EnumWindows(
      [](HWND w, LPARAM) -> BOOL {
        wchar_t cls[16] = {};
        ::GetClassNameW(w, cls, 16);
        RECT r{};
        if (::IsWindowVisible(w) && lstrcmpW(cls, L"#32768") == 0 && ::GetWindowRect(w, &r)) {
          ++found;
          std::printf("%ld|%ld|%ld|%ld\n", r.left, r.top, r.right, r.bottom);
        }
        return TRUE;
      },
      0);
  return found ? 0 : 1;
}

// "itemheights TITLE": the item height of every visible owner-drawn list box and combo box of the window
// with that title (its pages' among them), "class|id|height" each.
int PrintItemHeights(const wchar_t* title) {
  HWND window = ::FindWindowW(nullptr, title);
  if (!window) return 1;
  ::EnumChildWindows(
      window,
      [](HWND c, LPARAM) -> BOOL {
        wchar_t cls[32] = {};
        ::GetClassNameW(c, cls, 32);
        const bool list = lstrcmpiW(cls, L"ListBox") == 0;
        if (!::IsWindowVisible(c) || (!list && lstrcmpiW(cls, L"ComboBox") != 0)) return TRUE;
        // LBS_OWNERDRAWFIXED and CBS_OWNERDRAWFIXED are the same bit.
        if ((::GetWindowLongW(c, GWL_STYLE) & LBS_OWNERDRAWFIXED) == 0) return TRUE;
        DWORD_PTR height = 0;
        ::SendMessageTimeoutW(c, list ? LB_GETITEMHEIGHT : CB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 500,
                              &height);
        std::printf("%s|%d|%d\n", list ? "ListBox" : "ComboBox", ::GetDlgCtrlID(c), static_cast<int>(height));
        return TRUE;
      },
      0);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  // Coordinates and metrics in the screen's pixels at every display scale, as the program sees them.
  ::SetProcessDPIAware();
  if (argc >= 8 && std::wstring(argv[1]) == L"dpichanged") {
    // What the system sends a window moved to a monitor at another scale: "dpichanged TITLE DPI left top
    // right bottom", the rectangle being the one it suggests. Wine passes the message's pointer to another
    // process as it is, so the rectangle is written into the window's process.
    HWND window = ::FindWindowW(nullptr, argv[2]);
    if (!window) return 1;
    const int dpi = _wtoi(argv[3]);
    const RECT suggested{_wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6]), _wtoi(argv[7])};
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    void* there =
        ::VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD_PTR answer = 0;
    const bool sent = there && ::WriteProcessMemory(process, there, &suggested, sizeof suggested, nullptr) &&
                      ::SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                            reinterpret_cast<LPARAM>(there), SMTO_ABORTIFHUNG, 5000, &answer);
    if (there) ::VirtualFreeEx(process, there, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return sent ? 0 : 1;
  }
  if (argc >= 3 && std::wstring(argv[1]) == L"itemheights") return PrintItemHeights(argv[2]);
  // "taskbar": 0 once the desktop's taskbar is there.
  if (argc >= 2 && std::wstring(argv[1]) == L"taskbar")
    return ::FindWindowW(L"Shell_TrayWnd", nullptr) ? 0 : 1;
  if (argc >= 5 && std::wstring(argv[1]) == L"move") {
    // Where a user would drag the window with that title.
    HWND window = ::FindWindowW(nullptr, argv[2]);
    return window && ::SetWindowPos(window, nullptr, _wtoi(argv[3]), _wtoi(argv[4]), 0, 0,
                                    SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
  }
  if (argc >= 2 && std::wstring(argv[1]) == L"end-session-cancelled") {
    // What the program sees of a logoff that another program cancels: the query, then the end with
    // wParam 0 (no).
    HWND main = ::FindWindowW(L"TFrmNimbrelMain", nullptr);
    DWORD_PTR answer = 0;
    if (!main || !::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) ||
        !answer)
      return 1;
    return ::SendMessageTimeoutW(main, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &answer) ? 0 : 1;
  }
  if (argc >= 3 && std::wstring(argv[1]) == L"setting-changed") {
    // What Windows tells every top-level window when a setting changes, e.g. "ImmersiveColorSet"
    // when the taskbar turns light or dark.
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(argv[2]),
                                 SMTO_ABORTIFHUNG, 5000, &answer)
               ? 0
               : 1;
  }
  if (argc >= 2 && std::wstring(argv[1]) == L"menu") return PrintMenu();
  if (argc >= 2 && std::wstring(argv[1]) == L"menus") return PrintMenus();
  if (argc >= 2 && std::wstring(argv[1]) == L"tips") return PrintTips();
  if (argc >= 2 && std::wstring(argv[1]) == L"hide-tips") return HideTips();
  if (argc >= 2 && std::wstring(argv[1]) == L"foreground") {
    wchar_t text[256] = {};
    ::GetWindowTextW(::GetForegroundWindow(), text, 256);
    Print(::GetForegroundWindow());
    return text[0] ? 0 : 1;
  }
  if (argc < 3 || std::wstring(argv[1]) != L"list") return 2;
  static std::wstring title;
  title = argv[2];
  static int found = 0;
  ::EnumWindows(
      [](HWND w, LPARAM) -> BOOL {
        wchar_t text[256] = {};
        DWORD_PTR answer = 0;
        if (!::IsWindowVisible(w) ||
            !::SendMessageTimeoutW(w, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 500,
                                   &answer) ||
            title != text)
          return TRUE;
        ++found;
        Print(w);
        ::EnumChildWindows(
            w,
            [](HWND c, LPARAM) -> BOOL {
              if (::IsWindowVisible(c)) Print(c);
              return TRUE;
            },
            0);
        return TRUE;
      },
      0);
  return found ? 0 : 1;
}
