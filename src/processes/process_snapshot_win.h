#pragma once
// The system half of the process snapshot: toolhelp enumeration and the per-process look-ups.
#include <windows.h>

#include <string>

#include "processes/process_list.h"

namespace nimbrel {

// Replaces the list's contents with a new snapshot, sorted by nothing yet. A process that cannot be
// opened, or whose memory or times cannot be read, keeps the defaults for what is missing; one
// misbehaving process never keeps the others out.
void RefreshProcessList(TProcessList& list);

[[nodiscard]] std::wstring GetProcessPath(DWORD processId);
bool GetProcessOwner(DWORD processId, std::wstring& userName, std::wstring& domain);
[[nodiscard]] double GetProcessStartTime(DWORD processId);
[[nodiscard]] std::uint64_t GetProcessMemory(DWORD processId, int memoryUnit);

}  // namespace nimbrel
