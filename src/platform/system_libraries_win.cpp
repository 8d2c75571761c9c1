#include "platform/system_libraries_win.h"

namespace nimbrel {

namespace {
// True when found.
template <typename Fn>
bool Find(HMODULE module, Fn& target, const char* name) {
  target = LibraryFunction<Fn>(module, name);
  return target != nullptr;
}
}  // namespace

VersionLibrary::VersionLibrary() : module(LoadSystemLibrary(L"version.dll")) {
  Find(module.get(), GetFileVersionInfoSizeW, "GetFileVersionInfoSizeW");
  Find(module.get(), GetFileVersionInfoW, "GetFileVersionInfoW");
  Find(module.get(), VerQueryValueW, "VerQueryValueW");
}

PowerLibrary::PowerLibrary() : module(LoadSystemLibrary(L"powrprof.dll")) {
  Find(module.get(), GetPwrCapabilities, "GetPwrCapabilities");
}

CommonDialogLibrary::CommonDialogLibrary() : module(LoadSystemLibrary(L"comdlg32.dll")) {
  Find(module.get(), ChooseColorW, "ChooseColorW");
  Find(module.get(), ChooseFontW, "ChooseFontW");
}

ComLibrary::ComLibrary() : module(LoadSystemLibrary(L"ole32.dll")) {
  Find(module.get(), CoInitializeEx, "CoInitializeEx");
  Find(module.get(), CoUninitialize, "CoUninitialize");
  Find(module.get(), CLSIDFromProgID, "CLSIDFromProgID");
  Find(module.get(), CoCreateInstance, "CoCreateInstance");
}

const SoundLibrary& SoundLibrary::Get() {
  static const SoundLibrary sound = [] {
    SoundLibrary s;
    Find(LoadSystemLibrary(L"winmm.dll").release(), s.PlaySoundW, "PlaySoundW");
    return s;
  }();
  return sound;
}

const User32Dpi& User32Dpi::Get() {
  static const User32Dpi functions = [] {
    User32Dpi f;
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    Find(user32, f.GetDpiForWindow, "GetDpiForWindow");
    Find(user32, f.GetDpiForSystem, "GetDpiForSystem");
    Find(user32, f.GetSystemMetricsForDpi, "GetSystemMetricsForDpi");
    Find(user32, f.SystemParametersInfoForDpi, "SystemParametersInfoForDpi");
    Find(user32, f.AdjustWindowRectExForDpi, "AdjustWindowRectExForDpi");
    return f;
  }();
  return functions;
}

const ShcoreLibrary& ShcoreLibrary::Get() {
  static const ShcoreLibrary shcore = [] {
    ShcoreLibrary s;
    Find(LoadSystemLibrary(L"shcore.dll").release(), s.GetDpiForMonitor, "GetDpiForMonitor");
    return s;
  }();
  return shcore;
}

const WinHttp& WinHttp::Get() {
  static const WinHttp http = [] {
    WinHttp h;
    const HMODULE m = LoadSystemLibrary(L"winhttp.dll").release();
    // `&`, not `&&`: every function is looked up, whichever is missing.
    h.complete = Find(m, h.WinHttpOpen, "WinHttpOpen") & Find(m, h.WinHttpCloseHandle, "WinHttpCloseHandle") &
                 Find(m, h.WinHttpSetTimeouts, "WinHttpSetTimeouts") &
                 Find(m, h.WinHttpSetOption, "WinHttpSetOption") &
                 Find(m, h.WinHttpGetIEProxyConfigForCurrentUser, "WinHttpGetIEProxyConfigForCurrentUser") &
                 Find(m, h.WinHttpGetProxyForUrl, "WinHttpGetProxyForUrl") &
                 Find(m, h.WinHttpCrackUrl, "WinHttpCrackUrl") & Find(m, h.WinHttpConnect, "WinHttpConnect") &
                 Find(m, h.WinHttpOpenRequest, "WinHttpOpenRequest") &
                 Find(m, h.WinHttpSendRequest, "WinHttpSendRequest") &
                 Find(m, h.WinHttpReceiveResponse, "WinHttpReceiveResponse") &
                 Find(m, h.WinHttpQueryHeaders, "WinHttpQueryHeaders") &
                 Find(m, h.WinHttpReadData, "WinHttpReadData");
    return h;
  }();
  return http;
}

}  // namespace nimbrel
