#pragma once
// The system libraries the program loads late, each with the functions it calls in it. None of them is
// loaded at idle: a memory meter that holds the network stack or the common dialogs while it only
// ticks costs its user what it is meant to show. A library that serves one operation is held by that
// operation and goes with it; one that serves many stays once loaded.
#include <windows.h>

#include <commdlg.h>
#include <objbase.h>
#include <winhttp.h>

#include "platform/system_library_win.h"

namespace nimbrel {

// version.dll: version resources of files, for one reading.
struct VersionLibrary {
  VersionLibrary();
  explicit operator bool() const noexcept {
    return GetFileVersionInfoSizeW && GetFileVersionInfoW && VerQueryValueW;
  }

  UniqueModule module;
  DWORD(WINAPI* GetFileVersionInfoSizeW)(LPCWSTR, LPDWORD) = nullptr;
  BOOL(WINAPI* GetFileVersionInfoW)(LPCWSTR, DWORD, DWORD, LPVOID) = nullptr;
  BOOL(WINAPI* VerQueryValueW)(LPCVOID, LPCWSTR, LPVOID*, PUINT) = nullptr;
};

// powrprof.dll: what the machine's power management offers, for one question.
struct PowerLibrary {
  PowerLibrary();

  UniqueModule module;
  BOOLEAN(WINAPI* GetPwrCapabilities)(PSYSTEM_POWER_CAPABILITIES) = nullptr;
};

// comdlg32.dll: the colour and font dialogs, for one dialog.
struct CommonDialogLibrary {
  CommonDialogLibrary();

  UniqueModule module;
  BOOL(WINAPI* ChooseColorW)(LPCHOOSECOLORW) = nullptr;
  BOOL(WINAPI* ChooseFontW)(LPCHOOSEFONTW) = nullptr;
};

// ole32.dll: COM, for one call of an automation object.
struct ComLibrary {
  ComLibrary();
  explicit operator bool() const noexcept {
    return CoInitializeEx && CoUninitialize && CLSIDFromProgID && CoCreateInstance;
  }

  UniqueModule module;
  HRESULT(WINAPI* CoInitializeEx)(LPVOID, DWORD) = nullptr;
  void(WINAPI* CoUninitialize)() = nullptr;
  HRESULT(WINAPI* CLSIDFromProgID)(LPCOLESTR, LPCLSID) = nullptr;
  HRESULT(WINAPI* CoCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = nullptr;
};

// winmm.dll: the system sounds of the message boxes of systems before Vista. Kept once loaded, as a
// sound plays on after the call that started it.
struct SoundLibrary {
  static const SoundLibrary& Get();

  BOOL(WINAPI* PlaySoundW)(LPCWSTR, HMODULE, DWORD) = nullptr;
};

// user32.dll's functions for per-monitor display scales (Windows 10 1607 and later), where the system has
// them. user32 is loaded with the program, so nothing is loaded for this.
struct User32Dpi {
  static const User32Dpi& Get();

  UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
  UINT(WINAPI* GetDpiForSystem)() = nullptr;
  int(WINAPI* GetSystemMetricsForDpi)(int, UINT) = nullptr;
  BOOL(WINAPI* SystemParametersInfoForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
  BOOL(WINAPI* AdjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
};

// shcore.dll: the scale of a monitor (Windows 8.1 and later). Loaded when a window first asks where it
// opens, and kept: every later opening asks again.
struct ShcoreLibrary {
  static const ShcoreLibrary& Get();

  // The second argument is MONITOR_DPI_TYPE (0: the effective dpi).
  HRESULT(WINAPI* GetDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
};

// winhttp.dll: the update check. Kept once loaded, even past the end of the program's own code: checks
// come again, and a worker left behind by a server that never answers may still be inside it.
struct WinHttp {
  static const WinHttp& Get();
  explicit operator bool() const noexcept { return complete; }

  bool complete = false;
  decltype(&::WinHttpOpen) WinHttpOpen = nullptr;
  decltype(&::WinHttpCloseHandle) WinHttpCloseHandle = nullptr;
  decltype(&::WinHttpSetTimeouts) WinHttpSetTimeouts = nullptr;
  decltype(&::WinHttpSetOption) WinHttpSetOption = nullptr;
  decltype(&::WinHttpGetIEProxyConfigForCurrentUser) WinHttpGetIEProxyConfigForCurrentUser = nullptr;
  decltype(&::WinHttpGetProxyForUrl) WinHttpGetProxyForUrl = nullptr;
  decltype(&::WinHttpCrackUrl) WinHttpCrackUrl = nullptr;
  decltype(&::WinHttpConnect) WinHttpConnect = nullptr;
  decltype(&::WinHttpOpenRequest) WinHttpOpenRequest = nullptr;
  decltype(&::WinHttpSendRequest) WinHttpSendRequest = nullptr;
  decltype(&::WinHttpReceiveResponse) WinHttpReceiveResponse = nullptr;
  decltype(&::WinHttpQueryHeaders) WinHttpQueryHeaders = nullptr;
  decltype(&::WinHttpReadData) WinHttpReadData = nullptr;
};

}  // namespace nimbrel
