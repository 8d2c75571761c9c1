#include "platform/emulated_task_dialog_win.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/application_win.h"
#include "platform/display_scale_win.h"
#include "platform/dpi_scale.h"
#include "platform/task_button_win.h"
#include "platform/task_dialog_layout.h"
#include "platform/unique_resource_win.h"
#include "platform/window_win.h"

namespace nimbrel {

namespace {

constexpr int kFirstPlainControlId = 1000;  // labels, fields and boxes; buttons use their results
constexpr int kFontRoles = 5;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The dialog font, 8-point Tahoma, at dpi.
LOGFONTW DialogFont(int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -::MulDiv(8, dpi, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  return lf;
}

// The fonts of one dialog, made from the dialog font by the roles the layout names.
class DialogFonts {
 public:
  explicit DialogFonts(int dpi) {
    base_ = DialogFont(dpi);
    for (int i = 0; i < kFontRoles; ++i) {
      FontDescription d = DescribeFont(static_cast<FontRole>(i), base_.lfHeight);
      LOGFONTW lf = base_;
      lf.lfHeight = d.height;
      lf.lfWeight = d.bold ? FW_BOLD : FW_NORMAL;
      fonts_[i].reset(::CreateFontIndirectW(&lf));
      descriptions_[i] = d;
    }
  }
  [[nodiscard]] HFONT Font(FontRole role) const { return fonts_[static_cast<int>(role)].get(); }
  [[nodiscard]] const FontDescription& Description(FontRole role) const {
    return descriptions_[static_cast<int>(role)];
  }
  [[nodiscard]] int Height() const { return base_.lfHeight; }

 private:
  LOGFONTW base_{};
  std::array<UniqueFont, kFontRoles> fonts_;
  std::array<FontDescription, kFontRoles> descriptions_{};
};

class GdiTextMetrics : public TextMetrics {
 public:
  GdiTextMetrics(HDC dc, const DialogFonts& fonts, int dpi) : dc_(dc), fonts_(fonts), dpi_(dpi) {}
  int FontHeight() override { return fonts_.Height(); }
  int TextWidth(std::wstring_view text, FontRole font) override {
    SelectObjectGuard guard(dc_, fonts_.Font(font));
    SIZE size{};
    ::GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
  }
  int ParagraphHeight(std::wstring_view text, FontRole font, int width) override {
    SelectObjectGuard guard(dc_, fonts_.Font(font));
    RECT r{0, 0, width, 0};
    ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return r.bottom - r.top;
  }
  // The stock icons come at the large-icon size of the dialog's dpi.
  Size IconSize(int iconId) override {
    if (!::LoadIconW(nullptr, MAKEINTRESOURCEW(iconId))) return {};
    return {SystemMetricForDpi(SM_CXICON, dpi_), SystemMetricForDpi(SM_CYICON, dpi_)};
  }

 private:
  HDC dc_;
  const DialogFonts& fonts_;
  int dpi_;
};

// A stock icon drawn for width × height from its best image.
UniqueIcon StockIcon(int iconId, int width, int height) {
  return UniqueIcon(
      static_cast<HICON>(::LoadImageW(nullptr, MAKEINTRESOURCEW(iconId), IMAGE_ICON, width, height, 0)));
}

class EmulatedDialog : public Window {
 public:
  explicit EmulatedDialog(const PreparedRequest& prepared) : prepared_(prepared) {}
  ~EmulatedDialog() override {
    if (handle()) Destroy();
  }

  bool Build(HWND owner);
  int RunModal(HWND owner);
  EmulatedOutcome Outcome() const { return outcome_; }
  [[nodiscard]] const EmulatedLayout& Layout() const { return layout_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // The fonts and the layout at dpi.
  void LayOut(int dpi);
  HWND MakeControl(const EmulatedControl& c, int id);
  // Size, font and picture of the control at its layout's bounds.
  void Fit(HWND w, const EmulatedControl& c);
  // WM_DPICHANGED: everything at the new scale, the window where the system suggests.
  void DpiChanged(int dpi, const RECT& suggested);
  void DrawCommandLink(const DRAWITEMSTRUCT& item);
  void Finish(int result);
  void ReadBack();
  [[nodiscard]] const EmulatedControl* ControlOf(HWND hwnd) const;
  [[nodiscard]] bool OnPanel(HWND hwnd) const;

  const PreparedRequest& prepared_;
  int dpi_ = 96;
  std::unique_ptr<DialogFonts> fonts_;
  EmulatedLayout layout_;
  std::vector<HWND> hwnds_;
  UniqueIcon mainIcon_;
  HWND tooltip_ = nullptr;
  UniqueBrush panelBrush_;
  UniqueBitmap arrow_;
  UniqueBitmap footerBitmap_;
  bool done_ = false;
  EmulatedOutcome outcome_;
};

void EmulatedDialog::LayOut(int dpi) {
  dpi_ = dpi;
  fonts_ = std::make_unique<DialogFonts>(dpi);
  WindowDc screen(nullptr);
  GdiTextMetrics metrics(screen.get(), *fonts_, dpi);
  layout_ = LayoutEmulatedDialog(prepared_, metrics, dpi);
}

bool EmulatedDialog::Build(HWND owner) {
  // Centred on the owner's monitor while the owner shows, else on the primary one, at that monitor's
  // scale.
  const bool ownerShows = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(ownerShows ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                               : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
  LayOut(MonitorDpiOf(monitor.rcMonitor));
  RECT r{0, 0, layout_.clientWidth, layout_.clientHeight};
  AdjustWindowRectForDpi(r, kStyle, kExStyle, dpi_);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const RECT& area = monitor.rcMonitor;
  const int x = area.left + (area.right - area.left - w) / 2;
  const int y = area.top + (area.bottom - area.top - h) / 2;
  if (!Create(L"TNimbrelTaskDialog", layout_.title.c_str(), kStyle, kExStyle, x, y, w, h, owner,
              ::GetSysColorBrush(COLOR_BTNFACE)))
    return false;
  // The system may have given the window another monitor's scale than the one it was centred for.
  if (const int shown = WindowDpi(handle()); shown != dpi_) {
    LayOut(shown);
    RECT sized{0, 0, layout_.clientWidth, layout_.clientHeight};
    AdjustWindowRectForDpi(sized, kStyle, kExStyle, dpi_);
    ::SetWindowPos(handle(), nullptr, 0, 0, sized.right - sized.left, sized.bottom - sized.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::SendMessageW(handle(), WM_SETICON, ICON_BIG, 0);
  panelBrush_.reset(
      ::CreateSolidBrush(layout_.panelWhite ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE)));
  arrow_.reset(static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), L"btnArrow", IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);

  hwnds_.assign(layout_.controls.size(), nullptr);
  int nextPlainId = kFirstPlainControlId;
  for (size_t i = 0; i < layout_.controls.size(); ++i) {
    const EmulatedControl& c = layout_.controls[i];
    const bool clickable = c.kind == ControlKind::Button || c.kind == ControlKind::CommandLink;
    hwnds_[i] = MakeControl(c, clickable ? c.result : nextPlainId++);
  }
  // Tab order is z-order: the form's children in the layout's order, the panel's inside it in theirs.
  HWND after = HWND_TOP;
  auto place = [&](HWND w) {
    if (!w) return;
    ::SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w;
  };
  for (int index : layout_.tabOrder) {
    const EmulatedControl& c = layout_.controls[static_cast<size_t>(index)];
    if (c.kind == ControlKind::Panel) {
      for (size_t j = 0; j < layout_.controls.size(); ++j)
        if (layout_.controls[j].parent == ControlParent::Panel) place(hwnds_[j]);
    } else {
      place(hwnds_[static_cast<size_t>(index)]);
    }
  }
  return true;
}

HWND EmulatedDialog::MakeControl(const EmulatedControl& c, int id) {
  const wchar_t* cls = L"STATIC";
  DWORD style = WS_CHILD | WS_VISIBLE;
  std::wstring text = c.caption;
  switch (c.kind) {
    case ControlKind::Panel:
      return nullptr;  // painted by the form itself
    case ControlKind::MainIcon:
    case ControlKind::FooterIcon:
      style |= c.kind == ControlKind::MainIcon ? SS_ICON | SS_REALSIZECONTROL : SS_BITMAP;
      text.clear();
      break;
    case ControlKind::Paragraph:
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case ControlKind::CommandLink:
      cls = L"BUTTON";
      style |= BS_OWNERDRAW | WS_TABSTOP;
      break;
    case ControlKind::Radio:
      cls = L"BUTTON";
      style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
      break;
    case ControlKind::ComboBox:
      cls = L"COMBOBOX";
      style |= (c.editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST) | WS_TABSTOP | WS_VSCROLL;
      break;
    case ControlKind::Edit:
      cls = L"EDIT";
      style |= ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER | (c.masked ? ES_PASSWORD : 0);
      break;
    case ControlKind::Button:
      cls = L"BUTTON";
      style |= (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
      break;
    case ControlKind::VerificationBox:
      cls = L"BUTTON";
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::Separator:
      style |= SS_ETCHEDHORZ;
      text.clear();
      break;
  }
  HWND w = ::CreateWindowExW(0, cls, text.c_str(), style, 0, 0, 0, 0, handle(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                             nullptr);
  if (!w) return nullptr;
  Fit(w, c);
  switch (c.kind) {
    case ControlKind::Radio:
    case ControlKind::VerificationBox:
      if (c.checked) ::SendMessageW(w, BM_SETCHECK, BST_CHECKED, 0);
      break;
    case ControlKind::ComboBox:
      for (const std::wstring& item : c.items)
        ::SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      if (c.selectedIndex >= 0) ::SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(c.selectedIndex), 0);
      if (c.editable && c.selectedIndex < 0) ::SetWindowTextW(w, c.caption.c_str());
      break;
    default:
      break;
  }
  if (!c.tooltip.empty() && tooltip_) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = handle();
    tool.uId = reinterpret_cast<UINT_PTR>(w);
    tool.lpszText = const_cast<wchar_t*>(c.tooltip.c_str());
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return w;
}

void EmulatedDialog::Fit(HWND w, const EmulatedControl& c) {
  // A combo box's window holds its drop-down list too.
  const int height =
      c.kind == ControlKind::ComboBox ? c.bounds.height + ScaleForDpi(160, dpi_) : c.bounds.height;
  ::SetWindowPos(w, nullptr, c.bounds.x, c.bounds.y, c.bounds.width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_->Font(c.font)), TRUE);
  if (c.kind == ControlKind::MainIcon) {
    UniqueIcon icon = StockIcon(c.iconId, c.bounds.width, c.bounds.height);
    ::SendMessageW(w, STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    ::SetWindowPos(w, nullptr, 0, 0, c.bounds.width, c.bounds.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    mainIcon_ = std::move(icon);
  } else if (c.kind == ControlKind::FooterIcon) {
    // Half the icon's size, on the form's colour.
    WindowDc screen(nullptr);
    UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), c.bounds.width, c.bounds.height));
    {
      SelectObjectGuard select(dc.get(), bitmap.get());
      RECT all{0, 0, c.bounds.width, c.bounds.height};
      ::FillRect(dc.get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
      UniqueIcon icon = StockIcon(c.iconId, c.bounds.width, c.bounds.height);
      ::DrawIconEx(dc.get(), 0, 0, icon.get(), c.bounds.width, c.bounds.height, 0, nullptr, DI_NORMAL);
    }
    ::SendMessageW(w, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    footerBitmap_ = std::move(bitmap);
  }
}

void EmulatedDialog::DpiChanged(int dpi, const RECT& suggested) {
  const std::size_t count = layout_.controls.size();
  // The controls stay (with what the user typed and ticked); the old fonts go once none holds them.
  std::unique_ptr<DialogFonts> oldFonts = std::move(fonts_);
  LayOut(dpi);
  if (layout_.controls.size() == count) {
    for (std::size_t i = 0; i < count; ++i)
      if (hwnds_[i]) Fit(hwnds_[i], layout_.controls[i]);
  }
  // Where the system suggests, at the size the new layout needs: the text decides it, not a ratio.
  RECT r{0, 0, layout_.clientWidth, layout_.clientHeight};
  AdjustWindowRectForDpi(r, kStyle, kExStyle, dpi_);
  ::SetWindowPos(handle(), nullptr, suggested.left, suggested.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // Every control anew: moved controls would otherwise keep bits of what was drawn before.
  ::RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

const EmulatedControl* EmulatedDialog::ControlOf(HWND hwnd) const {
  if (!hwnd) return nullptr;  // the panel has no window of its own
  for (size_t i = 0; i < hwnds_.size(); ++i)
    if (hwnds_[i] == hwnd) return &layout_.controls[i];
  return nullptr;
}

bool EmulatedDialog::OnPanel(HWND hwnd) const {
  const EmulatedControl* c = ControlOf(hwnd);
  return c && c->parent == ControlParent::Panel;
}

void EmulatedDialog::DrawCommandLink(const DRAWITEMSTRUCT& item) {
  const EmulatedControl* c = ControlOf(item.hwndItem);
  if (!c) return;
  const FontDescription& d = fonts_->Description(c->font);
  TTaskButton button{c->caption,
                     fonts_->Font(c->font),
                     d.hasColor ? d.color : ::GetSysColor(COLOR_BTNTEXT),
                     c->arrowGlyph ? arrow_.get() : nullptr,
                     c->glyphMargin,
                     c->glyphSpacing,
                     c->glyphSize};
  button.Paint(item, panelBrush_.get());
}

void EmulatedDialog::Finish(int result) {
  if (done_) return;
  ReadBack();
  outcome_.modalResult = result;
  done_ = true;
}

void EmulatedDialog::ReadBack() {
  int radioPosition = 0;
  for (size_t i = 0; i < layout_.controls.size(); ++i) {
    const EmulatedControl& c = layout_.controls[i];
    HWND w = hwnds_[i];
    if (!w) continue;
    switch (c.kind) {
      case ControlKind::Radio:
        if (::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED) outcome_.checkedRadio = radioPosition;
        ++radioPosition;
        break;
      case ControlKind::VerificationBox:
        outcome_.verificationChecked = ::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
        break;
      case ControlKind::ComboBox:
      case ControlKind::Edit: {
        if (c.kind == ControlKind::ComboBox)
          outcome_.comboIndex = static_cast<int>(::SendMessageW(w, CB_GETCURSEL, 0, 0));
        int n = ::GetWindowTextLengthW(w);
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        ::GetWindowTextW(w, text.data(), n + 1);
        text.resize(static_cast<size_t>(n));
        outcome_.fieldText = text;
        break;
      }
      default:
        break;
    }
  }
}

int EmulatedDialog::RunModal(HWND owner) {
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  ::ShowWindow(handle(), SW_SHOW);
  ::SetForegroundWindow(handle());
  for (size_t i = 0; i < layout_.controls.size(); ++i)
    if (layout_.controls[i].focused && hwnds_[i]) ::SetFocus(hwnds_[i]);
  if (layout_.focusedControl >= 0 && hwnds_[static_cast<size_t>(layout_.focusedControl)]) {
    ::SetFocus(hwnds_[static_cast<size_t>(layout_.focusedControl)]);
  } else if (HWND first = ::GetNextDlgTabItem(handle(), nullptr, FALSE)) {
    // No default button: the first tab stop takes the focus, so that Enter and Space answer at once.
    ::SetFocus(first);
  }

  Application& app = Application::Instance();
  app.AddDialogWindow(handle());
  app.RunUntil(done_);  // a quit message stays for the outer loop
  app.RemoveDialogWindow(handle());
  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  ::ShowWindow(handle(), SW_HIDE);
  if (owner) ::SetActiveWindow(owner);
  return outcome_.modalResult;
}

LRESULT EmulatedDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const HWND from = reinterpret_cast<HWND>(lParam);
      if (id == IDCANCEL && !ControlOf(from)) {
        // Escape: the cancel button answers, if there is one.
        for (const EmulatedControl& c : layout_.controls)
          if (c.kind == ControlKind::Button && c.isCancel) {
            Finish(c.result);
            return 0;
          }
        return 0;
      }
      if (id == IDOK && !ControlOf(from)) {
        // Enter where no button is the default: the focused one answers, as in any dialog.
        const EmulatedControl* focused = ControlOf(::GetFocus());
        if (focused && (focused->kind == ControlKind::Button || focused->kind == ControlKind::CommandLink))
          Finish(focused->result);
        return 0;
      }
      const EmulatedControl* c = ControlOf(from);
      if (c && (c->kind == ControlKind::Button || c->kind == ControlKind::CommandLink) &&
          HIWORD(wParam) == BN_CLICKED) {
        Finish(c->result);
        return 0;
      }
      break;
    }
    case DM_GETDEFID:
      for (const EmulatedControl& c : layout_.controls)
        if (c.kind == ControlKind::Button && c.isDefault) return MAKELRESULT(c.result, DC_HASDEFID);
      return 0;
    case WM_CLOSE:
      Finish(kResultCancel);  // the close box answers as a cancelled form does
      return 0;
    case WM_DPICHANGED:
      DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_BUTTON) {
        DrawCommandLink(*item);
        return TRUE;
      }
      break;
    }
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      RECT client{};
      ::GetClientRect(handle(), &client);
      ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
      RECT panel{0, 0, client.right, layout_.panelHeight};
      ::FillRect(dc, &panel, panelBrush_.get());
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      if (const EmulatedControl* c = ControlOf(control)) {
        const FontDescription& d = fonts_->Description(c->font);
        if (d.hasColor) ::SetTextColor(dc, d.color);
      }
      if (OnPanel(control)) {
        ::SetBkColor(dc, layout_.panelWhite ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(panelBrush_.get());
      }
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
      break;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace

int RunEmulatedTaskDialog(const PreparedRequest& prepared, HWND owner, TTaskDialog& dialog) {
  // The form and every control go with `form` on every path out, exceptions included.
  EmulatedDialog form(prepared);
  if (!form.Build(owner)) return kResultNone;
  form.RunModal(owner);
  return ApplyEmulatedOutcome(form.Layout(), form.Outcome(), dialog);
}

}  // namespace nimbrel
