#include "platform/application_win.h"

#include <algorithm>
#include <exception>

#include "platform/utf8.h"

namespace nimbrel {

Application& Application::Instance() {
  static Application app;
  return app;
}

bool Application::Initialize(const std::wstring& title) {
  title_ = title;
  // A never-shown owner keeps the application window off every taskbar, also those (Wine's among
  // them) that list visible unowned windows whatever their extended style.
  if (!anchor_.Create(L"TNimbrelAnchor", L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr)) return false;
  if (!window_.Create(L"TNimbrelApplication", title.c_str(),
                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU, WS_EX_TOOLWINDOW, 0, 0, 0, 0,
                      anchor_.handle()))
    return false;
  // Set as the whole extended style: anything else (WS_EX_APPWINDOW) would bring the taskbar button back.
  ::SetWindowLongPtrW(window_.handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  return true;
}

void Application::Finalize() noexcept {
  window_.Destroy();
  anchor_.Destroy();
}

void Application::SetTitle(const std::wstring& title) {
  title_ = title;
  if (window_.handle()) ::SetWindowTextW(window_.handle(), title.c_str());
}

void Application::AddDialogWindow(HWND window) {
  if (std::find(dialogWindows_.begin(), dialogWindows_.end(), window) == dialogWindows_.end())
    dialogWindows_.push_back(window);
}

void Application::RemoveDialogWindow(HWND window) noexcept { std::erase(dialogWindows_, window); }

bool Application::DispatchOne(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return false;
  }
  if (filters_.Claimed(msg)) return true;
  // Only keyboard input is the dialog manager's business (Tab, Enter, Escape, mnemonics); everything
  // else, the refresh tick's timer among it, goes straight to its window.
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    for (HWND dialog : dialogWindows_) {
      if (::IsWindow(dialog) && (dialog == msg.hwnd || ::IsChild(dialog, msg.hwnd)) &&
          ::IsDialogMessageW(dialog, &msg))
        return true;
    }
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  return true;
}

int Application::Run() {
  MSG msg;
  while (!terminated_) {
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      terminated_ = true;
      break;
    }
    DispatchOne(msg);
  }
  return 0;
}

bool Application::RunUntil(const bool& done) {
  MSG msg;
  while (!done) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return false;
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    DispatchOne(msg);
  }
  return true;
}

void Application::ProcessMessages() {
  MSG msg;
  while (!terminated_ && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!DispatchOne(msg)) {
      // Leave the quit message for the outer loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
  }
}

void Application::ReportCurrentException() noexcept {
  static bool reporting = false;
  if (reporting) return;
  reporting = true;
  std::wstring text = L"Unknown error";
  try {
    throw;
  } catch (const std::exception& e) {
    const std::wstring what = FromUtf8(e.what());
    if (!what.empty()) text = what;
  } catch (...) {
  }
  ::MessageBoxW(nullptr, text.c_str(), Instance().title_.c_str(), MB_OK | MB_ICONERROR);
  reporting = false;
}

}  // namespace nimbrel
