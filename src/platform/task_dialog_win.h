#pragma once
// Every question the program asks: the platform's task dialog where it can show the request, a form
// built from the portable layout where it cannot (or when the caller asks for it).
#include <windows.h>

#include <string>

#include "platform/task_dialog.h"

namespace nimbrel {

// The id of the button that closed the dialog (100 + i for the caller's buttons), or 0 when the
// platform call failed. Radio, choice, text and check box results are written back into the request.
int ExecuteTaskDialog(TTaskDialogEx& request);

int ShowTaskMessage(const std::wstring& mainInstruction, const std::wstring& content, unsigned commonButtons,
                    int mainIconKind, HWND parent, const std::wstring& caption, const std::wstring& footer,
                    int footerIconKind, int width);
int AskCommand(const std::wstring& mainInstruction, const std::wstring& content,
               const std::wstring& commandButtons, int mainIconKind, HWND parent, const std::wstring& caption,
               const std::wstring& footer, int footerIconKind, int width);
void ShowInfoMessage(const std::wstring& content, HWND parent);
int MessageDialog(const std::wstring& text, MessageDialogType type, unsigned buttons, HWND parent);

// Whether the platform's task dialog was found (common controls 6 on Windows 6 and later).
[[nodiscard]] bool PlatformTaskDialogAvailable();

}  // namespace nimbrel
