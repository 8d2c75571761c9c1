#include "widgets/spin_edit_win.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/common_controls_win.h"
#include "widgets/spin_value.h"

namespace nimbrel {

void TSpinEdit::Attach(HWND edit, int minValue, int maxValue, int step, bool typeable) {
  InitCommonControlClasses(ICC_UPDOWN_CLASS);
  if (upDown_ && ::IsWindow(upDown_)) ::DestroyWindow(upDown_);
  edit_ = edit;
  ::SendMessageW(edit_, EM_SETREADONLY, typeable ? FALSE : TRUE, 0);
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(edit_, GWLP_HINSTANCE));
  upDown_ = ::CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                              WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                                  UDS_NOTHOUSANDS | UDS_HOTTRACK,
                              0, 0, 0, 0, ::GetParent(edit_), nullptr, instance, nullptr);
  // Right behind its edit in the Z order, so that tabbing and painting treat the pair as one control.
  ::SetWindowPos(upDown_, edit_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SendMessageW(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
  UDACCEL accel{0, static_cast<UINT>(std::max(step, 1))};
  ::SendMessageW(upDown_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  if (!::IsWindowEnabled(edit_)) ::EnableWindow(upDown_, FALSE);
  min_ = minValue;
  max_ = std::max(minValue, maxValue);
  ::SendMessageW(upDown_, UDM_SETRANGE32, min_, max_);
  Normalize();
}

void TSpinEdit::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = std::max(minValue, maxValue);
  if (upDown_) ::SendMessageW(upDown_, UDM_SETRANGE32, min_, max_);
  Normalize();
}

void TSpinEdit::SetValue(int value) {
  value = ClampSpinValue(value, min_, max_);
  // The up-down reads its buddy's text before each step; the position is set as well for the keys.
  const std::wstring text = std::to_wstring(value);
  if (Text() != text) ::SetWindowTextW(edit_, text.c_str());
  if (upDown_) ::SendMessageW(upDown_, UDM_SETPOS32, 0, value);
}

int TSpinEdit::Value() const { return SpinValueFromText(Text(), min_, max_); }

std::wstring TSpinEdit::Text() const {
  const int length = ::GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(edit_, text.data(), length + 1)));
  return text;
}

void TSpinEdit::Normalize() { SetValue(Value()); }

}  // namespace nimbrel
