#pragma once
// A small modal box asking for one line of text: a caption, a prompt, an edit (initially `value`, all
// selected) and the buttons "确定" (default, Enter) and "取消" (Escape, close box). Centred on the
// owner, or on the screen when there is none (or it is hidden or minimised).
#include <windows.h>

#include <string>

namespace nimbrel {

// The control id of the edit, for whatever drives the box from outside.
inline constexpr int kInputBoxEditId = 100;

// True with the edited text in `value` on OK; false and `value` untouched otherwise.
bool InputBox(HWND owner, const std::wstring& caption, const std::wstring& prompt, std::wstring& value);

}  // namespace nimbrel
