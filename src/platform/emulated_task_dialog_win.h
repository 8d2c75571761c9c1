#pragma once
// The task dialog built from an ordinary window and standard controls, where the platform dialog is
// missing or cannot show the request (an input field, a choice list, or when forced).
#include <windows.h>

#include "platform/task_dialog.h"

namespace nimbrel {

int RunEmulatedTaskDialog(const PreparedRequest& prepared, HWND owner, TTaskDialog& dialog);

}  // namespace nimbrel
