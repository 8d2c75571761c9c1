#include "platform/task_dialog_win.h"

#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <vector>

#include "platform/application_win.h"
#include "platform/common_controls_win.h"
#include "platform/emulated_task_dialog_win.h"
#include "platform/system_info_win.h"
#include "platform/system_libraries_win.h"

namespace nimbrel {

namespace {

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
using TaskDialogFn = HRESULT(WINAPI*)(HWND, HINSTANCE, PCWSTR, PCWSTR, PCWSTR, TASKDIALOG_COMMON_BUTTON_FLAGS,
                                      PCWSTR, int*);

template <typename Fn>
Fn ComctlFunction(const char* name) {
  return LibraryFunction<Fn>(CommonControls::Get().module, name);
}

TaskDialogIndirectFn TaskDialogIndirectPtr() {
  static const TaskDialogIndirectFn fn =
      WindowsMajorVersion() >= 6 ? ComctlFunction<TaskDialogIndirectFn>("TaskDialogIndirect") : nullptr;
  return fn;
}

std::wstring FallbackCaption() {
  HWND form = Application::Instance().MainForm();
  if (form) {
    wchar_t text[256] = {};
    ::GetWindowTextW(form, text, 256);
    return text;
  }
  return Application::Instance().Title();
}

HWND ResolveParent(std::uintptr_t parent) {
  if (parent) return reinterpret_cast<HWND>(parent);
  if (HWND active = ::GetActiveWindow()) return active;
  return Application::Instance().Handle();
}

const wchar_t* TextOrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

int RunPlatform(const PreparedRequest& prepared, HWND parent, TTaskDialog& dialog) {
  const TTaskDialogEx& r = prepared.request;
  const TTaskDialog& d = r.Dialog;
  std::vector<TaskButtonItem> buttonItems = SplitButtonItems(d.CommandButtons, kFirstCommandButtonId);
  std::vector<TaskButtonItem> radioItems = SplitButtonItems(d.RadioButtons, kFirstRadioButtonId);
  std::vector<std::wstring> texts;
  texts.reserve(buttonItems.size() + radioItems.size());
  // One block, buttons first, as the platform structure points into it.
  std::vector<TASKDIALOG_BUTTON> block;
  for (auto* items : {&buttonItems, &radioItems}) {
    for (const TaskButtonItem& item : *items) {
      texts.push_back(item.PlatformText());
      block.push_back({item.id, texts.back().c_str()});
    }
  }
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = parent;
  config.dwFlags = static_cast<TASKDIALOG_FLAGS>(PlatformDialogFlags(prepared) & 0xFFFF);
  config.dwCommonButtons = static_cast<TASKDIALOG_COMMON_BUTTON_FLAGS>(r.CommonButtons);
  config.pszWindowTitle = TextOrNull(d.Caption);
  config.pszMainInstruction = TextOrNull(d.MainInstruction);
  config.pszContent = TextOrNull(d.ContentText);
  config.pszVerificationText = TextOrNull(d.VerificationText);
  config.pszExpandedInformation = TextOrNull(d.ExpandedText);
  config.pszExpandedControlText = TextOrNull(d.ExpandLabel);
  config.pszCollapsedControlText = TextOrNull(d.CollapseLabel);
  config.pszFooter = TextOrNull(d.FooterText);
  config.pszMainIcon = MAKEINTRESOURCEW(PlatformMainIconId(r.MainIconKind));
  config.pszFooterIcon = MAKEINTRESOURCEW(PlatformFooterIconId(r.FooterIconKind));
  config.cButtons = static_cast<UINT>(buttonItems.size());
  config.pButtons = buttonItems.empty() ? nullptr : block.data();
  config.cRadioButtons = static_cast<UINT>(radioItems.size());
  config.pRadioButtons = radioItems.empty() ? nullptr : block.data() + buttonItems.size();
  config.nDefaultButton = r.DefaultButton;
  config.nDefaultRadioButton = r.DefaultRadio;
  config.cxWidth = static_cast<UINT>(r.DialogWidth);

  int pressed = 0;
  int radio = 0;
  BOOL verification = d.VerificationChecked ? TRUE : FALSE;
  HRESULT hr = TaskDialogIndirectPtr()(&config, &pressed, &radio, &verification);
  PlatformOutcome outcome{SUCCEEDED(hr), pressed, radio, static_cast<std::int32_t>(verification)};
  return ApplyPlatformOutcome(outcome, dialog);
}

}  // namespace

bool PlatformTaskDialogAvailable() { return TaskDialogIndirectPtr() != nullptr; }

int ExecuteTaskDialog(TTaskDialogEx& request) {
  PreparedRequest prepared = PrepareTaskDialog(request, FallbackCaption(), PlatformTaskDialogAvailable());
  HWND parent = ResolveParent(prepared.request.ParentWindow);
  if (prepared.usePlatform) return RunPlatform(prepared, parent, request.Dialog);
  return RunEmulatedTaskDialog(prepared, parent, request.Dialog);
}

int ShowTaskMessage(const std::wstring& mainInstruction, const std::wstring& content, unsigned commonButtons,
                    int mainIconKind, HWND parent, const std::wstring& caption, const std::wstring& footer,
                    int footerIconKind, int width) {
  TTaskDialogEx request =
      TaskMessageRequest(mainInstruction, content, commonButtons, mainIconKind,
                         reinterpret_cast<std::uintptr_t>(parent), caption, footer, footerIconKind, width);
  return ExecuteTaskDialog(request);
}

int AskCommand(const std::wstring& mainInstruction, const std::wstring& content,
               const std::wstring& commandButtons, int mainIconKind, HWND parent, const std::wstring& caption,
               const std::wstring& footer, int footerIconKind, int width) {
  TTaskDialogEx request = CommandQuestionRequest(mainInstruction, content, commandButtons, mainIconKind,
                                                 reinterpret_cast<std::uintptr_t>(parent), caption, footer,
                                                 footerIconKind, width);
  return ExecuteTaskDialog(request);
}

void ShowInfoMessage(const std::wstring& content, HWND parent) {
  TTaskDialogEx request = InfoMessageRequest(content, reinterpret_cast<std::uintptr_t>(parent));
  ExecuteTaskDialog(request);
}

int MessageDialog(const std::wstring& text, MessageDialogType type, unsigned buttons, HWND parent) {
  if (!parent) parent = Application::Instance().MainForm();
  const std::wstring limited = LimitMessageText(text);
  if (WindowsMajorVersion() < 6) {
    static const wchar_t* kSounds[] = {L"SystemExclamation", L"SystemHand", L"SystemQuestion",
                                       L"SystemQuestion"};
    if (auto play = SoundLibrary::Get().PlaySoundW)
      play(kSounds[static_cast<int>(type)], nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
    static const UINT kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION};
    UINT style = kIcons[static_cast<int>(type)];
    if ((buttons & kMessageYes) && (buttons & kMessageNo)) {
      style |= (buttons & kMessageCancel) ? MB_YESNOCANCEL : MB_YESNO;
    } else if ((buttons & kMessageAbort) && (buttons & kMessageRetry)) {
      style |= MB_ABORTRETRYIGNORE;
    } else if (buttons & kMessageRetry) {
      style |= MB_RETRYCANCEL;
    } else if (buttons & kMessageCancel) {
      style |= MB_OKCANCEL;
    }
    return ::MessageBoxW(parent, limited.c_str(), MessageDialogTitle(type).c_str(), style);
  }
  auto taskDialog = ComctlFunction<TaskDialogFn>("TaskDialog");
  if (!taskDialog) return 0;
  const std::wstring title = LimitMessageText(MessageDialogTitle(type));
  int pressed = 0;
  if (FAILED(taskDialog(parent, nullptr, title.c_str(), nullptr, limited.c_str(),
                        static_cast<TASKDIALOG_COMMON_BUTTON_FLAGS>(MessageDialogCommonButtons(buttons)),
                        MAKEINTRESOURCEW(MessageDialogIconId(type)), &pressed)))
    return 0;
  return MessageDialogResult(pressed);
}

}  // namespace nimbrel
