// Libraries from the system folder only, and what the program calls in each of those it loads late.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system_libraries_win.h"
#include "platform/system_library_win.h"

namespace nimbrel {
namespace {

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, n) + L"\\";
}

std::wstring FileOf(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH);
  std::wstring text(path, n);
  for (wchar_t& c : text) c = static_cast<wchar_t>(::towlower(c));
  return text;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(::towlower(c));
  return text;
}

struct LoadCall {
  std::wstring name;
  DWORD flags;
};
std::vector<LoadCall> calls;
DWORD refusal = ERROR_INVALID_PARAMETER;

// A system that knows no search flags: it refuses them, and loads anything else as asked.
HMODULE WINAPI LoaderWithoutSearchFlags(LPCWSTR name, HANDLE file, DWORD flags) {
  calls.push_back({name, flags});
  if (flags & LOAD_LIBRARY_SEARCH_SYSTEM32) {
    ::SetLastError(refusal);
    return nullptr;
  }
  return ::LoadLibraryExW(name, file, flags);
}

TEST(SystemLibrary, ComesFromTheSystemFolder) {
  UniqueModule version = LoadSystemLibrary(L"version.dll");
  ASSERT_TRUE(version);
  EXPECT_EQ(FileOf(version.get()), Lower(SystemFolder() + L"version.dll"));
}

TEST(SystemLibrary, MissingOneIsEmpty) { EXPECT_FALSE(LoadSystemLibrary(L"no-such-library-here.dll")); }

TEST(SystemLibrary, WithoutSearchFlagsTheFullPathIsTaken) {
  calls.clear();
  refusal = ERROR_INVALID_PARAMETER;
  UniqueModule version = detail::LoadSystemLibraryWith(L"version.dll", &LoaderWithoutSearchFlags);
  ASSERT_TRUE(version);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].name, SystemFolder() + L"version.dll");
  EXPECT_EQ(calls[1].flags, static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH));
}

TEST(SystemLibrary, OtherFailuresAreNotRetriedByPath) {
  calls.clear();
  refusal = ERROR_MOD_NOT_FOUND;
  EXPECT_FALSE(detail::LoadSystemLibraryWith(L"version.dll", &LoaderWithoutSearchFlags));
  EXPECT_EQ(calls.size(), 1u);
  refusal = ERROR_INVALID_PARAMETER;
}

TEST(SystemLibraries, EveryFunctionCalledIsFound) {
  const VersionLibrary version;
  EXPECT_TRUE(version);
  EXPECT_NE(PowerLibrary().GetPwrCapabilities, nullptr);
  const CommonDialogLibrary dialogs;
  EXPECT_NE(dialogs.ChooseColorW, nullptr);
  EXPECT_NE(dialogs.ChooseFontW, nullptr);
  EXPECT_TRUE(ComLibrary());
  EXPECT_NE(SoundLibrary::Get().PlaySoundW, nullptr);
  EXPECT_TRUE(WinHttp::Get());
}

TEST(SystemLibraries, OneOperationsLibraryGoesWithIt) {
  // Loaded by no one else in this test program, so the handle is the only reference.
  {
    const PowerLibrary power;
    ASSERT_NE(power.GetPwrCapabilities, nullptr);
    EXPECT_NE(::GetModuleHandleW(L"powrprof.dll"), nullptr);
  }
  EXPECT_EQ(::GetModuleHandleW(L"powrprof.dll"), nullptr);
}

}  // namespace
}  // namespace nimbrel
