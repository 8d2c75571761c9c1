#pragma once
// The system half of the process snapshot: toolhelp enumeration and the per-process look-ups.
#include <windows.h>

#include <string>

#include "processes/process_list.h"

namespace nimbrel {

// Replaces the list's contents with a new snapshot, sorted by nothing yet. A process that cannot be
// opened, or whose memory or times cannot be read, keeps the defaults for what is missing; one
// misbehaving process never keeps the others out. Opens every process up to four times.
void RefreshProcessList(TProcessList& list);

// What the tray menu needs at the least cost: the processes sorted largest working set first, and for
// the first `shown` of them the records RefreshProcessList would give, sorted alike, but for the owner
// and the start time, which CompleteProcessRecord adds when something needs them. The list and the
// working sets come from one system call where the system has it (toolhelp and one look-up per process
// otherwise); only the shown processes are opened. Records after the first `shown` keep empty paths
// and may carry the working set of a process the full walk could not open.
void TakeMenuSnapshot(TProcessList& list, int shown);

// The owner and the start time of a record, as RefreshProcessList finds them; a process that has ended
// keeps the defaults.
void CompleteProcessRecord(TProcessRec& record);

[[nodiscard]] std::wstring GetProcessPath(DWORD processId);
bool GetProcessOwner(DWORD processId, std::wstring& userName, std::wstring& domain);
[[nodiscard]] double GetProcessStartTime(DWORD processId);
[[nodiscard]] std::uint64_t GetProcessMemory(DWORD processId, int memoryUnit);

}  // namespace nimbrel
