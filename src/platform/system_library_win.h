#pragma once
// Libraries that Windows does not always take from its own folder. Asked for by bare name, such a
// library is found beside the program first, and a portable copy often sits in a downloads folder
// among files nobody chose: so they come from the system folder only, and only when a feature needs
// them.
#include <windows.h>

#include "platform/unique_resource_win.h"

namespace nimbrel {

// Makes the system folder the only place later loads look in, where the system can do that. Done
// before anything else, so that what the system loads on the program's behalf is covered too.
void RestrictLibrarySearch();

// fileName (such as L"version.dll") from the system folder; empty when it is not there.
[[nodiscard]] UniqueModule LoadSystemLibrary(const wchar_t* fileName);

// An export of module as the function type it is called through; null when it lacks it.
template <typename Fn>
[[nodiscard]] Fn LibraryFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

namespace detail {
using LoadLibraryExFn = HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD);
// LoadSystemLibrary with the system's loader given, so that a system without the search flags can be
// played.
[[nodiscard]] UniqueModule LoadSystemLibraryWith(const wchar_t* fileName, LoadLibraryExFn load);
}  // namespace detail

}  // namespace nimbrel
