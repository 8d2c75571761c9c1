// Test tool run under Wine: asks the high-memory question through the emulated task dialog (the
// program itself gets the platform dialog under Wine) and prints the result and the box's state.
// With "links": the process question's shape instead, as command links with notes and a footer.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "display/high_memory_warning.h"
#include "platform/application_win.h"
#include "platform/common_controls_win.h"
#include "platform/task_dialog_win.h"

int wmain(int argc, wchar_t** argv) {
  using namespace nimbrel;
  InitCommonControlClasses(ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES);
  Application::Instance().Initialize(L"Nimbrel");
  HighMemoryDecision decision;
  decision.title = L"内存高 (91%)";
  decision.content = L"建议关闭一些应用程序";
  decision.dialogButtons = L"整理内存\n任务管理器\n关闭";
  TTaskDialogEx request = HighMemoryWarningRequest(decision, 0);
  request.ForceEmulation = true;
  if (argc > 1 && std::wstring(argv[1]) == L"links") {
    request.Dialog.MainInstruction = L"notepad.exe";
    request.Dialog.ContentText = L"记事本\nMicrosoft Corporation";
    request.Dialog.CommandButtons =
        L"打开文件夹\\n在资源管理器中显示\n整理内存\n结束进程\\n未保存的数据会丢失";
    request.Dialog.VerificationText.clear();
    request.Dialog.FooterText = L"这是一个系统进程";
    request.DialogFlags = kTdfAllowDialogCancellation | kTdfUseCommandLinks;
    request.MainIconKind = 4;
    request.FooterIconKind = 1;
    request.CommonButtons = kCancelButton;
    request.ClassicLook = false;
  }
  int result = ExecuteTaskDialog(request);
  std::printf("%d %d\n", result, request.Dialog.VerificationChecked ? 1 : 0);
  return 0;
}
