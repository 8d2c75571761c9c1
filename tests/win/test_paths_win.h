#pragma once
// Scratch files for tests under Wine: a fresh folder per test under the prefix's temp folder.
#include <windows.h>

#include <string>

namespace nimbrel::testing {

std::wstring MakeScratchFolder(const wchar_t* tag);
void RemoveTree(const std::wstring& folder);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace nimbrel::testing
