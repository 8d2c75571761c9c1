#pragma once
// The application object: the hidden owner window of every form, the title, and the message loop.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/window_win.h"

namespace nimbrel {

class Application {
 public:
  // A hook sees every message of the application window; returning true consumes it.
  using MessageHook = Window::MessageFilter;

  static Application& Instance();

  // Creates the hidden application window that owns the forms. Its extended style is exactly
  // WS_EX_TOOLWINDOW, which keeps the program off the taskbar.
  bool Initialize(const std::wstring& title);
  void Finalize() noexcept;

  [[nodiscard]] HWND Handle() const noexcept { return window_.handle(); }
  [[nodiscard]] const std::wstring& Title() const noexcept { return title_; }
  void SetTitle(const std::wstring& title);

  // The main form: hidden and shown by the tray component, owner of the program's lifetime.
  void SetMainForm(HWND form) noexcept { mainForm_ = form; }
  [[nodiscard]] HWND MainForm() const noexcept { return mainForm_; }
  bool ShowMainForm = false;

  int AddMessageHook(MessageHook hook) { return window_.AddMessageFilter(std::move(hook)); }
  void RemoveMessageHook(int id) noexcept { window_.RemoveMessageFilter(id); }

  // Windows whose keyboard input goes through IsDialogMessage (Tab, Enter, Escape).
  void AddDialogWindow(HWND window);
  void RemoveDialogWindow(HWND window) noexcept;

  // A filter sees every message the loop takes before the dialog manager and the window do (a dialog's
  // own keys, say); returning true means it handled the message.
  using MessageFilter = CallbackList<MSG&>::Callback;
  int AddMessageFilter(MessageFilter filter) { return filters_.Add(std::move(filter)); }
  void RemoveMessageFilter(int id) noexcept { filters_.Remove(id); }

  int Run();
  // The loop of a modal window: runs until done, or until the program is to end (the quit message is
  // left for the outer loop; false then).
  bool RunUntil(const bool& done);
  // Lets pending messages run, as the start-up and settings-loaded handlers need.
  void ProcessMessages();
  void Terminate() noexcept { ::PostQuitMessage(0); }
  [[nodiscard]] bool Terminated() const noexcept { return terminated_; }

  // The boundary for exceptions: shows the text of the one in flight and lets the program go on.
  static void ReportCurrentException() noexcept;

 private:
  bool DispatchOne(MSG& msg);

  Window anchor_;
  Window window_;
  HWND mainForm_ = nullptr;
  std::wstring title_;
  CallbackList<MSG&> filters_;
  std::vector<HWND> dialogWindows_;
  bool terminated_ = false;
};

}  // namespace nimbrel
