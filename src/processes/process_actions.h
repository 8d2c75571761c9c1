#pragma once

// The question a click on a process item asks, and what the answer means. The Windows side reads the
// version resource, shows the dialog and carries out the action.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/task_dialog.h"

namespace nimbrel {

// "DWM.EXE", "SVCHOST.EXE" or "CSRSS.EXE", in any letter case; the whole name must match.
bool IsSystemProcessName(std::wstring_view exeFile);

// The dialog's content: the description, company and "版本: " line when there is a description, else
// "(没有进程信息)"; then the warning about unsaved data and the hint at the other two choices.
std::wstring ProcessContentText(const std::wstring& description, const std::wstring& company,
                                const std::wstring& fileVersion);

// The process dialog: four command buttons (open folder, free memory, end process, cancel), the
// information icon, and a warning footer that repeats exeFile as given when it names a system process.
TTaskDialogEx KillItemRequest(const std::wstring& exeFile, const std::wstring& content);

enum class ProcessAction { None, OpenFolder, TrimMemory, Terminate };

// 100 open the folder, 101 trim the working set, 102 end the process; the cancel button (103), Escape
// and the close box (2) and anything else do nothing.
ProcessAction KillItemAction(int dialogResult);

// The file for the shell's "OPEN": the folder of fullPath with its trailing backslash (a path that
// holds only a drive and a name keeps the drive and its colon), in double quotes. A path without a
// folder gives "\"\"", which the shell refuses quietly.
std::wstring FolderToOpen(const std::wstring& fullPath);

}  // namespace nimbrel
