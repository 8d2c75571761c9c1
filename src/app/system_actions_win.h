#pragma once
// Small system actions of the main window: privileges, session notification, the monitor.
#include <windows.h>

#include <functional>

namespace nimbrel {

// Enables or disables one privilege of the process token; failures are silent by design.
bool EnablePrivilege(const wchar_t* name, bool enable);

// WTSRegisterSessionNotification and its counterpart, looked up at run time.
bool RegisterSessionNotification(HWND window);
void UnregisterSessionNotification(HWND window);

inline constexpr int kMonitorOffRepeats = 17;
inline constexpr DWORD kMonitorOffPauseMs = 400;
// Some displays wake again at once, so the power-off command is repeated.
void SwitchOffMonitor(HWND target, const std::function<void(DWORD)>& pause);

}  // namespace nimbrel
