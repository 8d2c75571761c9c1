#include "widgets/link_label_win.h"

#include <array>
#include <new>
#include <string>
#include <vector>

#include "platform/application_win.h"
#include "platform/unique_resource_win.h"
#include "widgets/link_markup.h"

namespace nimbrel {

namespace {

constexpr COLORREF kLinkColor = 0xCC6600;
constexpr COLORREF kActiveLinkColor = 0xFF9977;  // under the mouse, and once clicked

// Index of a font variant: bit 0 bold, bit 1 italic, bit 2 underlined (links are always underlined).
int VariantOf(const MarkupRun& run) {
  return (run.bold ? 1 : 0) | (run.italic ? 2 : 0) | (run.underline || run.link >= 0 ? 4 : 0);
}

// The state of one label. A control made from a dialog template gets the dialog's creation data, not
// ours, so the object is made at WM_NCCREATE and kept in the window's extra bytes (GWLP_USERDATA
// belongs to whoever uses the control).
class LinkLabel {
 public:
  explicit LinkLabel(HWND hwnd) : hwnd_(hwnd) {}

  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  void Reparse(const wchar_t* markup);
  [[nodiscard]] HFONT BaseFont() const {
    return font_ ? font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  }
  HFONT Font(int variant);
  void EnsureLayout();
  int LinkAt(LPARAM point);
  void SetHot(int link);
  void Paint(HDC target);
  void Draw(HDC dc, const RECT& client);
  void Click(int link);

  HWND hwnd_;
  std::vector<MarkupRun> runs_;
  std::vector<std::wstring> links_;
  std::vector<bool> clicked_;
  HFONT font_ = nullptr;  // from WM_SETFONT; its sender owns it
  std::array<UniqueFont, 8> variants_;
  MarkupLayout layout_;
  bool layoutValid_ = false;
  int layoutWidth_ = 0;
  int hot_ = -1;
  int pressed_ = -1;
  bool trackingLeave_ = false;
};

void LinkLabel::Reparse(const wchar_t* markup) {
  runs_ = ParseLinkMarkup(markup ? markup : L"");
  links_ = LinkTexts(runs_);
  clicked_.assign(links_.size(), false);
  hot_ = -1;
  pressed_ = -1;
  layoutValid_ = false;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

HFONT LinkLabel::Font(int variant) {
  if (variant == 0) return BaseFont();
  UniqueFont& font = variants_[static_cast<size_t>(variant)];
  if (!font) {
    LOGFONTW lf{};
    if (!::GetObjectW(BaseFont(), sizeof lf, &lf)) return BaseFont();
    if (variant & 1) lf.lfWeight = FW_BOLD;
    if (variant & 2) lf.lfItalic = TRUE;
    if (variant & 4) lf.lfUnderline = TRUE;
    font.reset(::CreateFontIndirectW(&lf));
    if (!font) return BaseFont();
  }
  return font.get();
}

void LinkLabel::EnsureLayout() {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  if (layoutValid_ && client.right == layoutWidth_) return;
  WindowDc dc(hwnd_);
  TEXTMETRICW tm{};
  {
    SelectObjectGuard select(dc.get(), BaseFont());
    ::GetTextMetricsW(dc.get(), &tm);
  }
  layout_ =
      LayoutMarkup(runs_, client.right, tm.tmHeight, [&](std::wstring_view text, const MarkupRun& style) {
        SelectObjectGuard select(dc.get(), Font(VariantOf(style)));
        SIZE size{};
        ::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
      });
  layoutWidth_ = client.right;
  layoutValid_ = true;
}

int LinkLabel::LinkAt(LPARAM point) {
  EnsureLayout();
  return layout_.LinkAt(static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point)));
}

void LinkLabel::SetHot(int link) {
  if (link == hot_) return;
  hot_ = link;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void LinkLabel::Paint(HDC target) {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  EnsureLayout();
  // Drawn off screen and copied in one go: no flicker while the mouse moves over links.
  UniqueMemoryDc memory(::CreateCompatibleDC(target));
  UniqueBitmap bitmap(::CreateCompatibleBitmap(target, client.right, client.bottom));
  if (!memory || !bitmap) {
    Draw(target, client);
    return;
  }
  SelectObjectGuard select(memory.get(), bitmap.get());
  Draw(memory.get(), client);
  ::BitBlt(target, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void LinkLabel::Draw(HDC dc, const RECT& client) {
  HWND parent = ::GetParent(hwnd_);
  HBRUSH brush = nullptr;
  // As with a static control, the parent may set the colour of the plain text while it answers.
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  if (parent) {
    // A themed tab page answers with a pattern brush laid out from its own corner.
    POINT origin{0, 0};
    ::MapWindowPoints(hwnd_, parent, &origin, 1);
    ::SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    brush = reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(hwnd_)));
  }
  ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  const COLORREF plain = ::GetTextColor(dc);
  const bool enabled = ::IsWindowEnabled(hwnd_);
  for (const LayoutPiece& piece : layout_.pieces) {
    const MarkupRun& run = runs_[piece.run];
    COLORREF color = ::GetSysColor(COLOR_GRAYTEXT);
    if (enabled && run.link < 0) color = plain;
    if (enabled && run.link >= 0)
      color = run.link == hot_ || clicked_[static_cast<size_t>(run.link)] ? kActiveLinkColor : kLinkColor;
    SelectObjectGuard select(dc, Font(VariantOf(run)));
    ::SetTextColor(dc, color);
    ::ExtTextOutW(dc, piece.x, piece.y, 0, nullptr, piece.text.c_str(), static_cast<UINT>(piece.text.size()),
                  nullptr);
  }
}

void LinkLabel::Click(int link) {
  clicked_[static_cast<size_t>(link)] = true;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  HWND parent = ::GetParent(hwnd_);
  if (!parent) return;
  // The parent may replace the caption or destroy the label while it handles the message: nothing of
  // this object is used from here on.
  const std::wstring text = links_[static_cast<size_t>(link)];
  LinkLabelClick click{};
  click.hdr.hwndFrom = hwnd_;
  click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(hwnd_));
  click.hdr.code = kLinkLabelClicked;
  click.linkNumber = link;
  click.linkText = text.c_str();
  ::SendMessageW(parent, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

LRESULT LinkLabel::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      const int length = ::GetWindowTextLengthW(hwnd_);
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      text.resize(static_cast<size_t>(::GetWindowTextW(hwnd_, text.data(), length + 1)));
      Reparse(text.c_str());
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT result = ::DefWindowProcW(hwnd_, msg, wParam, lParam);
      Reparse(reinterpret_cast<const wchar_t*>(lParam));
      return result;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      for (UniqueFont& f : variants_) f.reset();
      layoutValid_ = false;
      if (LOWORD(lParam)) ::InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
      layoutValid_ = false;
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_ENABLE:
      hot_ = -1;
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PaintGuard paint(hwnd_);
      Paint(paint.dc());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_MOUSEMOVE:
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
      }
      SetHot(LinkAt(lParam));
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetHot(-1);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        POINT p{};
        ::GetCursorPos(&p);
        ::ScreenToClient(hwnd_, &p);
        EnsureLayout();
        if (layout_.LinkAt(p.x, p.y) >= 0) {
          ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN:
      pressed_ = LinkAt(lParam);
      if (pressed_ >= 0) ::SetCapture(hwnd_);
      return 0;
    case WM_LBUTTONUP: {
      const int pressed = pressed_;
      pressed_ = -1;
      if (::GetCapture() == hwnd_) ::ReleaseCapture();
      if (pressed >= 0 && LinkAt(lParam) == pressed) Click(pressed);
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = -1;
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK LinkLabelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* label = reinterpret_cast<LinkLabel*>(::GetWindowLongPtrW(hwnd, 0));
  if (msg == WM_NCCREATE) {
    label = new (std::nothrow) LinkLabel(hwnd);
    if (!label) return FALSE;
    ::SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(label));
  }
  if (!label) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  // No exception may unwind through the system's frames.
  try {
    result = label->Handle(msg, wParam, lParam);
  } catch (...) {
    Application::ReportCurrentException();
    result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, 0, 0);
    delete label;
  }
  return result;
}

}  // namespace

bool RegisterLinkLabelClass() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (::GetClassInfoExW(instance, kLinkLabelClass, &wc)) return true;
  // Global, so that dialogs created with another module's instance handle find the class as well.
  wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &LinkLabelProc;
  wc.cbWndExtra = sizeof(LinkLabel*);
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kLinkLabelClass;
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace nimbrel
