#pragma once
// Small system actions of the main window: privileges, session notification, the monitor, and the
// double-click actions that hand over to Windows (lock, Run, shut down).
#include <windows.h>

#include <functional>
#include <string>

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

// Calls user32's LockWorkStation when the loaded module has it (it is never loaded for this) and says
// whether it did. exportName is the export looked for; tests name one that does not exist.
bool LockComputer(const char* exportName = "LockWorkStation");

// The shell's own Run dialog (shell32's export by ordinal 61), modal to owner; false when the shell has
// no such export.
bool ShowRunDialog(HWND owner, HICON icon, const std::wstring& applicationTitle);

// Windows' shut-down dialog through the "Shell.Application" automation object ("ShutdownWindows", late
// bound). A failure throws std::runtime_error with the system's text for the error, for the
// application's general error handling.
void ShowShutdownDialog(const wchar_t* progId = L"Shell.Application");

}  // namespace nimbrel
