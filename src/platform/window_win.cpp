#include "platform/window_win.h"

#include "platform/application_win.h"

namespace nimbrel {

Window::~Window() { Destroy(); }

void Window::Destroy() noexcept {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                    int width, int height, HWND parentOrOwner, HBRUSH background, HICON icon) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!::GetClassInfoExW(instance, className, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    if (!::RegisterClassExW(&wc)) return false;
  }
  ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parentOrOwner, nullptr, instance,
                    this);
  return hwnd_ != nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefaultProc(msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<Window*>(cs->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

  LRESULT result = 0;
  // No exception may unwind through the system's frames (32-bit MinGW cannot do it at all).
  try {
    if (!self->filters_.Claimed(msg, wParam, lParam, result))
      result = self->HandleMessage(msg, wParam, lParam);
  } catch (...) {
    Application::ReportCurrentException();
    result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
  }
  return result;
}

bool MessageWindow::CreateMessageOnly(const wchar_t* className) {
  return Create(className, L"", 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

}  // namespace nimbrel
