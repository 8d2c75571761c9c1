// Test tool run under Wine: does to Nimbrel's tray icon what a restarting taskbar does.
//   tray_poke drop        removes the icon behind the program's back (the taskbar "forgot" it)
//   tray_poke recreated   broadcasts the registered "TaskbarCreated" message
//   tray_poke key-select  what the shell sends when Enter or Space is pressed on the selected icon
//   tray_poke key-menu    what it sends for Shift+F10 or the menu key there
//   tray_poke modules     prints the file names of the libraries the program has loaded, one a line, in
//                         lower case
#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "platform/unique_resource_win.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (std::strcmp(argv[1], "drop") == 0) {
    HWND handler = ::FindWindowW(L"TTrayIconHandler", nullptr);
    if (!handler) return 3;
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = handler;
    data.uID = 1;  // the program's one icon
    return ::Shell_NotifyIconW(NIM_DELETE, &data) ? 0 : 4;
  }
  if (std::strcmp(argv[1], "key-select") == 0 || std::strcmp(argv[1], "key-menu") == 0) {
    HWND handler = ::FindWindowW(L"TTrayIconHandler", nullptr);
    if (!handler) return 3;
    // The program's callback message, its icon's id, and the notification (callback version 3).
    constexpr UINT kCallback = WM_USER + 0x400;
    const LPARAM what = std::strcmp(argv[1], "key-select") == 0 ? NIN_KEYSELECT : WM_CONTEXTMENU;
    return ::PostMessageW(handler, kCallback, 1, what) ? 0 : 4;
  }
  if (std::strcmp(argv[1], "recreated") == 0) {
    UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    return 0;
  }
  if (std::strcmp(argv[1], "modules") == 0) {
    HWND handler = ::FindWindowW(L"TTrayIconHandler", nullptr);
    DWORD processId = 0;
    if (!handler || !::GetWindowThreadProcessId(handler, &processId)) return 3;
    nimbrel::UniqueResource<nimbrel::FileHandleTraits> snapshot(
        ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot) return 4;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Module32FirstW(snapshot.get(), &entry); more;
         more = ::Module32NextW(snapshot.get(), &entry)) {
      ::CharLowerW(entry.szModule);
      std::printf("%ls\n", entry.szModule);
      ++count;
    }
    return count > 0 ? 0 : 5;
  }
  std::fprintf(stderr, "unknown command\n");
  return 2;
}
