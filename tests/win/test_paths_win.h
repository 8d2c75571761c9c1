#pragma once
// Scratch files for tests under Wine: a fresh folder per test under the prefix's temp folder.
#include <windows.h>

#include <string>

namespace nimbrel::testing {

std::wstring MakeScratchFolder(const wchar_t* tag);
void RemoveTree(const std::wstring& folder);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The first visible system dialog (class "#32770") of this thread other than `except`, titled `caption`
// when one is given, or null: the dialog a test answers from a timer inside the dialog's modal loop.
HWND FindThreadDialog(HWND except = nullptr, const wchar_t* caption = nullptr);

// test_host (a helper program) started with `args`, once it has said it is set up; ended with the
// object.
struct Helper {
  HANDLE process = nullptr;
  DWORD id = 0;
  explicit Helper(const std::wstring& args);
  ~Helper();
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;
};

}  // namespace nimbrel::testing
