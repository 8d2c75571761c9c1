#include "widgets/input_box_win.h"

#include <vector>

#include "platform/application_win.h"

namespace nimbrel {

namespace {

// Builds an extended dialog template in memory (DLGTEMPLATEEX and DLGITEMTEMPLATEEX, which the
// headers do not declare): little-endian words, every item starting on a DWORD boundary.
class DialogTemplate {
 public:
  DialogTemplate(const std::wstring& caption, DWORD style, short width, short height) {
    Word(1);  // version
    Word(0xFFFF);
    Dword(0);  // help id
    Dword(0);  // extended style
    Dword(style);
    countAt_ = words_.size();
    Word(0);
    Words({0, 0, width, height});
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
    Word(8);  // points
    Word(FW_NORMAL);
    Word(MAKEWORD(FALSE, DEFAULT_CHARSET));
    Text(L"Tahoma");
  }

  // atom: 0x0080 button, 0x0081 edit, 0x0082 static.
  void Add(WORD atom, const std::wstring& text, DWORD style, int id, short x, short y, short cx, short cy) {
    if (words_.size() % 2) Word(0);
    Dword(0);  // help id
    Dword(0);  // extended style
    Dword(WS_CHILD | WS_VISIBLE | style);
    Words({x, y, cx, cy});
    Dword(static_cast<DWORD>(id));
    Word(0xFFFF);
    Word(atom);
    Text(text);
    Word(0);  // no creation data
    ++words_[countAt_];
  }

  [[nodiscard]] const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Words(std::initializer_list<short> values) {
    for (short v : values) Word(static_cast<WORD>(v));
  }
  void Text(const std::wstring& text) {
    for (wchar_t c : text) Word(static_cast<WORD>(c));
    Word(0);
  }

  std::vector<WORD> words_;  // operator new aligns the start for the DWORD fields
  std::size_t countAt_ = 0;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;

struct InputBoxState {
  HWND owner;
  std::wstring text;
};

// On the owner while it shows, else on the screen; always inside the work area of the owner's monitor.
void CentreOnOwner(HWND dialog, HWND owner) {
  const bool ownerShows = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(ownerShows ? owner : dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT area = monitor.rcWork;
  RECT around = area;
  if (ownerShows) ::GetWindowRect(owner, &around);
  RECT box{};
  ::GetWindowRect(dialog, &box);
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  int x = around.left + (around.right - around.left - w) / 2;
  int y = around.top + (around.bottom - around.top - h) / 2;
  if (x + w > area.right) x = area.right - w;
  if (y + h > area.bottom) y = area.bottom - h;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR HandleInputBox(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<InputBoxState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<InputBoxState*>(lParam);
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      CentreOnOwner(dialog, state->owner);
      HWND edit = ::GetDlgItem(dialog, kInputBoxEditId);
      ::SetFocus(edit);
      ::SendMessageW(edit, EM_SETSEL, 0, -1);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (!state) break;
      if (LOWORD(wParam) == IDOK) {
        HWND edit = ::GetDlgItem(dialog, kInputBoxEditId);
        const int length = ::GetWindowTextLengthW(edit);
        state->text.assign(static_cast<size_t>(length) + 1, L'\0');
        state->text.resize(static_cast<size_t>(::GetWindowTextW(edit, state->text.data(), length + 1)));
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {  // also Escape and the close box
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  // No exception may unwind through the system's frames.
  try {
    return HandleInputBox(dialog, msg, wParam, lParam);
  } catch (...) {
    Application::ReportCurrentException();
    return FALSE;
  }
}

}  // namespace

bool InputBox(HWND owner, const std::wstring& caption, const std::wstring& prompt, std::wstring& value) {
  // Dialog units, so the box grows with the font and the screen's DPI.
  DialogTemplate box(caption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 200, 60);
  box.Add(kStatic, prompt, SS_LEFT | SS_NOPREFIX, -1, 7, 7, 186, 10);
  box.Add(kEdit, value, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kInputBoxEditId, 7, 19, 186, 13);
  box.Add(kButton, L"确定", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 89, 39, 50, 14);
  box.Add(kButton, L"取消", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 143, 39, 50, 14);
  InputBoxState state{owner, {}};
  const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), box.Get(), owner,
                                                   &InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return false;
  value = state.text;
  return true;
}

}  // namespace nimbrel
