#pragma once
#include <windows.h>

namespace nimbrel {

// Brings the program in front before a modal warning. Windows lets only the process that received the
// last input take the foreground, so a borderless 1 × 1 topmost window of ours is clicked by
// synthesised input before SetForegroundWindow. A button press without a move lands where the pointer
// is, not at the coordinates given, so the window is put under the pointer: the click can never reach
// another program's window.
void ForceForeground(HWND window);

}  // namespace nimbrel
