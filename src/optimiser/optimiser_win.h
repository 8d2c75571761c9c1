#pragma once
// Trimming the working sets of the processes that own top-level windows.
#include <windows.h>

#include <functional>

namespace nimbrel {

// Asks the system to take every page it can from the process's working set; a process that cannot be
// opened keeps its working set, silently.
void TrimProcessWorkingSet(DWORD processId);

// Walks every top-level window with EnumWindows (TrimWindowProcess) and hands the process of each to
// trim, so a process with three windows is trimmed three times. An exception from trim ends the walk
// and is thrown again once EnumWindows has returned: it never unwinds through the system's frames.
void TrimWindowProcesses(const std::function<void(DWORD processId)>& trim = &TrimProcessWorkingSet);

BOOL CALLBACK TrimWindowProcess(HWND window, LPARAM walk);

}  // namespace nimbrel
