#pragma once
// Input as a user gives it, for the tools that drive the program through its tray icon under Wine:
// the pointer, the buttons and keys, and the open popup menu.
#include <windows.h>

// Centre of the first slot of the notification area of Wine's 1024 × 768 desktop.
constexpr int kSlotX = 1014;
constexpr int kSlotY = 758;

inline void Mouse(DWORD flags, int x, int y) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x * 65536 / ::GetSystemMetrics(SM_CXSCREEN);
  input.mi.dy = y * 65536 / ::GetSystemMetrics(SM_CYSCREEN);
  // A button with the move flag in the same event does not reach the notification area under Wine:
  // the move goes first, on its own.
  input.mi.dwFlags = flags ? flags : MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  ::SendInput(1, &input, sizeof input);
}

inline BOOL CALLBACK FindVisibleMenu(HWND w, LPARAM into) {
  wchar_t name[16] = {};
  ::GetClassNameW(w, name, 16);
  if (!::IsWindowVisible(w) || ::lstrcmpW(name, L"#32768") != 0) return TRUE;
  *reinterpret_cast<HWND*>(into) = w;
  return FALSE;
}

inline HWND VisibleMenu() {
  HWND found = nullptr;
  ::EnumWindows(&FindVisibleMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

inline void PressKey(WORD key) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = key;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof keys[0]);
}
