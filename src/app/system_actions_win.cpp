#include "app/system_actions_win.h"

#include "platform/system_info_win.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {

namespace {
constexpr DWORD kNotifyForThisSession = 0;
using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFn = BOOL(WINAPI*)(HWND);

template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}
}  // namespace

bool EnablePrivilege(const wchar_t* name, bool enable) {
  if (!IsWindowsNT()) return false;
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
  UniqueHandle token(raw);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid)) return false;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr)) return false;
  return ::GetLastError() == ERROR_SUCCESS;
}

bool RegisterSessionNotification(HWND window) {
  // Loaded for the call only; the registration outlives the module handle, as the system keeps
  // wtsapi32 loaded for the process once anything of it ran.
  UniqueModule wtsapi(::LoadLibraryW(L"Wtsapi32.dll"));
  auto fn = LookUp<RegisterFn>(wtsapi.get(), "WTSRegisterSessionNotification");
  return fn && fn(window, kNotifyForThisSession);
}

void UnregisterSessionNotification(HWND window) {
  UniqueModule wtsapi(::LoadLibraryW(L"Wtsapi32.dll"));
  if (auto fn = LookUp<UnregisterFn>(wtsapi.get(), "WTSUnRegisterSessionNotification")) fn(window);
}

void SwitchOffMonitor(HWND target, const std::function<void(DWORD)>& pause) {
  constexpr LPARAM kPowerOff = 2;
  for (int i = 0; i < kMonitorOffRepeats; ++i) {
    ::SendMessageW(target, WM_SYSCOMMAND, SC_MONITORPOWER, kPowerOff);
    pause(kMonitorOffPauseMs);
  }
}

}  // namespace nimbrel
