#pragma once
#include <windows.h>

namespace nimbrel {

// Brings the program in front before a modal warning. Windows lets only the process that received the
// last input take the foreground, so a borderless 1 × 1 topmost window is put at the screen's corner
// and clicked there by synthesised input before SetForegroundWindow.
void ForceForeground(HWND window);

}  // namespace nimbrel
