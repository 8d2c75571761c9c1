#pragma once
// The one base class of every window the program makes: a static window procedure finds the object
// through GWLP_USERDATA (stored at WM_NCCREATE, cleared at WM_NCDESTROY) and forwards to HandleMessage.
#include <windows.h>

#include <string>

#include "platform/callback_list.h"

namespace nimbrel {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  [[nodiscard]] HWND handle() const noexcept { return hwnd_; }

  // Registers the class on first use (per class name) and creates the window.
  bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
              int width, int height, HWND parentOrOwner, HBRUSH background = nullptr, HICON icon = nullptr);
  void Destroy() noexcept;

  // Another object's look at this window's messages before HandleMessage (a component that acts for the
  // window it belongs to): returning true, with result, ends the message there.
  using MessageFilter = CallbackList<UINT, WPARAM, LPARAM, LRESULT&>::Callback;
  int AddMessageFilter(MessageFilter filter) { return filters_.Add(std::move(filter)); }
  void RemoveMessageFilter(int id) noexcept { filters_.Remove(id); }

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
  // Called once the window is gone; the object may not touch hwnd_ afterwards.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  CallbackList<UINT, WPARAM, LPARAM, LRESULT&> filters_;
};

// A message-only window for hidden components that need no end-session or broadcast messages.
class MessageWindow : public Window {
 public:
  bool CreateMessageOnly(const wchar_t* className);
};

}  // namespace nimbrel
