#pragma once
#include <windows.h>

#include <commctrl.h>

namespace nimbrel {

// comctl32.dll, version 6 through the manifest's activation context: the common controls and the task
// dialog. Loaded when a window first needs one of its classes, and kept: the classes it registers
// outlive any one window.
struct CommonControls {
  static const CommonControls& Get();

  HMODULE module = nullptr;
  BOOL(WINAPI* InitCommonControlsEx)(const INITCOMMONCONTROLSEX*) = nullptr;
};

// Registers the common control classes of `classes` (ICC_ flags); false where that failed.
bool InitCommonControlClasses(DWORD classes);

}  // namespace nimbrel
