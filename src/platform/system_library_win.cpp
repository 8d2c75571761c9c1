#include "platform/system_library_win.h"

#include <string>

namespace nimbrel {

void RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // Windows 8 and later, and Windows 7 and Vista with their loader update; kernel32 is always loaded.
  const auto restrict = LibraryFunction<SetDefaultDllDirectoriesFn>(::GetModuleHandleW(L"kernel32.dll"),
                                                                    "SetDefaultDllDirectories");
  if (restrict) restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

UniqueModule LoadSystemLibrary(const wchar_t* fileName) {
  return detail::LoadSystemLibraryWith(fileName, &::LoadLibraryExW);
}

namespace detail {

UniqueModule LoadSystemLibraryWith(const wchar_t* fileName, LoadLibraryExFn load) {
  HMODULE module = load(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return UniqueModule(module);
  // A system without the search flags: the full path, and the library's own folder for what it needs
  // in turn, rather than the program's.
  wchar_t folder[MAX_PATH] = {};
  const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return UniqueModule();
  std::wstring path(folder, n);
  if (path.back() != L'\\') path += L'\\';
  path += fileName;
  return UniqueModule(load(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace detail

}  // namespace nimbrel
