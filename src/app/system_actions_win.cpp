#include "app/system_actions_win.h"

#include <oleauto.h>

#include <stdexcept>

#include "app/tray_commands.h"
#include "platform/system_info_win.h"
#include "platform/system_libraries_win.h"
#include "platform/unique_resource_win.h"
#include "platform/utf8.h"

namespace nimbrel {

namespace {
constexpr DWORD kNotifyForThisSession = 0;
using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFn = BOOL(WINAPI*)(HWND);

template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
  return LibraryFunction<Fn>(module, name);
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
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr, nullptr))
    return false;
  return ::GetLastError() == ERROR_SUCCESS;
}

bool RegisterSessionNotification(HWND window) {
  // Loaded for the call only; the registration outlives the module handle, as the system keeps
  // wtsapi32 loaded for the process once anything of it ran.
  UniqueModule wtsapi(LoadSystemLibrary(L"wtsapi32.dll"));
  auto fn = LookUp<RegisterFn>(wtsapi.get(), "WTSRegisterSessionNotification");
  return fn && fn(window, kNotifyForThisSession);
}

void UnregisterSessionNotification(HWND window) {
  UniqueModule wtsapi(LoadSystemLibrary(L"wtsapi32.dll"));
  if (auto fn = LookUp<UnregisterFn>(wtsapi.get(), "WTSUnRegisterSessionNotification")) fn(window);
}

void SwitchOffMonitor(HWND target, const std::function<void(DWORD)>& pause) {
  constexpr LPARAM kPowerOff = 2;
  for (int i = 0; i < kMonitorOffRepeats; ++i) {
    ::SendMessageW(target, WM_SYSCOMMAND, SC_MONITORPOWER, kPowerOff);
    pause(kMonitorOffPauseMs);
  }
}

bool LockComputer(const char* exportName) {
  using LockFn = BOOL(WINAPI*)();
  auto lock = LookUp<LockFn>(::GetModuleHandleW(L"USER32.DLL"), exportName);
  if (!lock) return false;
  lock();
  return true;
}

bool ShowRunDialog(HWND owner, HICON icon, const std::wstring& applicationTitle) {
  using RunFileDlgFn =
      void(WINAPI*)(HWND, HICON, LPCWSTR directory, LPCWSTR title, LPCWSTR description, UINT);
  constexpr WORD kRunFileDlgOrdinal = 61;
  auto run = LookUp<RunFileDlgFn>(::GetModuleHandleW(L"shell32.dll"), MAKEINTRESOURCEA(kRunFileDlgOrdinal));
  if (!run) return false;
  RunDialogTexts texts = MakeRunDialogTexts(applicationTitle);
  run(owner, icon, nullptr, texts.title.c_str(), texts.description.c_str(), 0);
  return true;
}

namespace {

[[noreturn]] void ThrowOleError(HRESULT hr, const wchar_t* what) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  wchar_t code[16];
  ::wsprintfW(code, L"%08lX", static_cast<unsigned long>(hr));
  if (text.empty()) text = L"OLE error " + std::wstring(code);
  throw std::runtime_error(ToUtf8(text + L" (" + what + L", " + code + L")"));
}

// COM for the calling thread for one call; the thread may have it already.
class ComScope {
 public:
  explicit ComScope(const ComLibrary& com)
      : com_(com), initialised_(SUCCEEDED(com.CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) com_.CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  const ComLibrary& com_;
  bool initialised_;
};

}  // namespace

void ShowShutdownDialog(const wchar_t* progId) {
  // COM only for the dialog: it goes again with the object, the library last.
  const ComLibrary ole;
  if (!ole) ThrowOleError(HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND), L"ole32.dll");
  ComScope com(ole);
  CLSID clsid{};
  HRESULT hr = ole.CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) ThrowOleError(hr, progId);
  IDispatch* raw = nullptr;
  hr = ole.CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&raw));
  if (FAILED(hr)) ThrowOleError(hr, progId);
  struct Release {
    IDispatch* p;
    ~Release() { p->Release(); }
  } release{raw};
  wchar_t method[] = L"ShutdownWindows";
  LPOLESTR names[] = {method};
  DISPID id = 0;
  hr = raw->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) ThrowOleError(hr, method);
  DISPPARAMS none{};
  hr = raw->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
  if (FAILED(hr)) ThrowOleError(hr, method);
}

}  // namespace nimbrel
