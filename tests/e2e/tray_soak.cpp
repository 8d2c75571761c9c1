// Test tool run under Wine: drives the running Nimbrel through its tray icon many times over, as a user
// would, and reports what the program holds, for the soaks of soak.py.
//   tray_soak counts      "handles icons bitmaps fonts dcs brushes menus" of the running program
//   tray_soak menu N      opens the tray menu N times and closes it with Escape
//   tray_soak options N   opens the options dialog N times with a double click on the icon (the settings
//                         say DoubleClickAction 3) and closes it with its Cancel button
//   tray_soak about N     shows the About window N times from the tray menu and hides it once the
//                         update check it starts has failed (the test's server answers 500)
// Exit code 0 when every round went as expected; 1 and the round that did not otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/messages.h"
#include "app/update_check.h"
#include "tests/e2e/tray_input_win.h"

namespace {

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > milliseconds) return false;
    ::Sleep(10);
  }
  return true;
}

HWND MainWindow() { return ::FindWindowW(nimbrel::kMainWindowClass, nullptr); }

int Counts() {
  HWND main = MainWindow();
  DWORD_PTR packed = 0;
  if (!main || !::SendMessageTimeoutW(main, WM_OBJECT_COUNTS, 0, 0, SMTO_ABORTIFHUNG, 5000, &packed))
    return 1;
  const auto counts = static_cast<unsigned long long>(packed);
  std::printf("%u", static_cast<unsigned>(counts & 0xFFFF));
  for (int i = 0; i < nimbrel::kObjectCountKinds; ++i)
    std::printf(" %u", static_cast<unsigned>((counts >> (16 + 8 * i)) & 255));
  std::printf("\n");
  return 0;
}

// Clicks alternate between two points of the icon far enough apart that no two make a double click.
// A click that lands while the taskbar is still taking the pointer in is lost now and then, as it is for
// a user, who clicks again: so does this, twice at most.
bool RightClickForMenu(int round) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    Mouse(0, kSlotX + (round % 2 ? -4 : 4), kSlotY);
    ::Sleep(150);
    Mouse(MOUSEEVENTF_RIGHTDOWN, 0, 0);
    Mouse(MOUSEEVENTF_RIGHTUP, 0, 0);
    if (WaitFor([] { return VisibleMenu() != nullptr; }, 2500)) return true;
  }
  return false;
}

bool OpenAndCloseMenu(int round) {
  if (!RightClickForMenu(round)) {
    std::printf("no menu: ");
    return false;
  }
  PressKey(VK_ESCAPE);
  if (WaitFor([] { return VisibleMenu() == nullptr; }, 1500)) return true;
  // The menu did not have the keyboard: closed as a user would, with a click elsewhere.
  Mouse(0, 500, 300);
  Mouse(MOUSEEVENTF_LEFTDOWN, 0, 0);
  Mouse(MOUSEEVENTF_LEFTUP, 0, 0);
  if (WaitFor([] { return VisibleMenu() == nullptr; }, 3000)) {
    std::fprintf(stderr, "round %d: Escape left the menu open; a click elsewhere closed it\n", round);
    return true;
  }
  std::printf("the menu stayed: ");
  return false;
}

bool OpenAndCancelOptions(int) {
  Mouse(0, kSlotX, kSlotY);
  ::Sleep(50);
  for (int i = 0; i < 2; ++i) {
    Mouse(MOUSEEVENTF_LEFTDOWN, 0, 0);
    Mouse(MOUSEEVENTF_LEFTUP, 0, 0);
  }
  HWND dialog = nullptr;
  if (!WaitFor(
          [&] {
            dialog = ::FindWindowW(nullptr, L"Nimbrel 设置");
            return dialog && ::IsWindowVisible(dialog);
          },
          10000))
    return false;
  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  const bool closed = WaitFor([] { return !::FindWindowW(nullptr, L"Nimbrel 设置"); }, 5000);
  ::Sleep(::GetDoubleClickTime() + 100);  // the next round's clicks start a double click of their own
  return closed;
}

std::wstring UpdateLabelText(HWND about) {
  HWND label = ::FindWindowExW(about, nullptr, L"NimbrelLinkLabel", nullptr);
  wchar_t text[128] = {};
  if (label) ::GetWindowTextW(label, text, 128);
  return text;
}

bool ShowAndHideAbout(int round) {
  if (!RightClickForMenu(round)) return false;
  // From the bottom: 退出, then 关于.
  PressKey(VK_UP);
  PressKey(VK_UP);
  PressKey(VK_RETURN);
  HWND about = MainWindow();
  if (!WaitFor(
          [&] { return ::IsWindowVisible(about) && UpdateLabelText(about) == nimbrel::kCheckFailedText; },
          15000))
    return false;
  ::PostMessageW(about, WM_COMMAND, IDOK, 0);
  return WaitFor([&] { return !::IsWindowVisible(about); }, 5000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "counts") == 0) return Counts();
  if (argc < 3) return 2;
  const int rounds = std::atoi(argv[2]);
  bool (*round)(int) = nullptr;
  if (std::strcmp(argv[1], "menu") == 0) round = &OpenAndCloseMenu;
  if (std::strcmp(argv[1], "options") == 0) round = &OpenAndCancelOptions;
  if (std::strcmp(argv[1], "about") == 0) round = &ShowAndHideAbout;
  if (!round || !MainWindow()) return 2;
  for (int i = 0; i < rounds; ++i) {
    if (!round(i)) {
      std::printf("round %d of %s did not go as expected\n", i, argv[1]);
      return 1;
    }
  }
  return 0;
}
