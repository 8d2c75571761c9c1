#include "options/options_dialog_win.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "options/options_ids.h"
#include "platform/application_win.h"
#include "platform/common_controls_win.h"
#include "platform/display_scale_win.h"
#include "platform/dpi_scale.h"
#include "platform/system_info_win.h"
#include "platform/task_dialog_win.h"
#include "widgets/font_dialog_win.h"
#include "widgets/input_box_win.h"
#include "widgets/link_label_win.h"
#include "widgets/log_font_fields.h"

namespace nimbrel {
namespace {

struct CheckControl {
  Check check;
  int id;
};
constexpr CheckControl kCheckControls[] = {
    {Check::ShowPage, IDC_CKSHOWPAGE},
    {Check::ShowFree, IDC_CKSHOWFREE},
    {Check::ShowPercentage, IDC_CKSHOWPERCENTAGE},
    {Check::DisplayHint, IDC_CKDISPLAYHINT},
    {Check::Warn, IDC_CKWARN},
    {Check::WarnMsgBox, IDC_CKWARNMSGBOX},
    {Check::DefragOnHighMem, IDC_CHECKDEFRAGONHIGHMEM},
    {Check::DefragEveryActive, IDC_CHECKDEFRAGEVERYACTIVE},
    {Check::Monitor, IDC_CHECKMONITOR},
    {Check::ShowTop, IDC_CKSHOWTOP},
    {Check::HighlightProcess, IDC_CHECKHIGHTLIGHTPROCESS},
    {Check::ShowProcessName, IDC_CHECKSHOWPROCESSNAME},
    {Check::ShowMemMenu, IDC_CKSHOWMEMMENU},
    {Check::InternalFont, IDC_CKINTERNALFONT},
    {Check::MiniFont, IDC_CKMINIFONT},
    {Check::Opaque, IDC_CHECKOPAQUE},
    {Check::StandardBar, IDC_CHECKSTANDARDBAR},
    {Check::NoBorder, IDC_CKNOBORDER},
    {Check::BarBottom, IDC_CKBARBOTTOM},
    {Check::FullBar, IDC_CHECKFULLBAR},
    {Check::ShowPercSign, IDC_CKSHOWPERCSIGN},
    {Check::FollowTaskbar, IDC_CKFOLLOWTASKBAR},
};

// Each spin edit with the labels that are enabled and disabled with it.
struct SpinControl {
  Spin spin;
  int id;
  int labels[2];
};
constexpr SpinControl kSpinControls[] = {
    {Spin::Yellow, IDC_TXTYELLOW, {0, 0}},
    {Spin::Red, IDC_TXTRED, {0, 0}},
    {Spin::DefragEvery, IDC_WINSPINDEFRAGEVERYACTIVE, {IDC_LBLMINUTES, 0}},
    {Spin::Mili, IDC_EDITMILI, {0, 0}},
    {Spin::Procs, IDC_EDITPROCS, {IDC_LBLPROCS, IDC_LBLPROCS2}},
    {Spin::ProcsRam, IDC_EDITPROCSRAM, {IDC_LBLMB, 0}},
};

struct ChoiceControl {
  Choice choice;
  int id;
  int label;
  std::initializer_list<const wchar_t*> items;
};
const ChoiceControl kChoiceControls[] = {
    {Choice::DoubleClick,
     IDC_CMBDOUBLECLICK,
     0,
     {L"启动任务管理器 (默认)", L"整理内存", L"内存信息", L"显示设置", L"锁定计算机", L"运行程序",
      L"关闭 Windows 对话框"}},
    {Choice::ProcessValue,
     IDC_COMBOPROCESSVALUE,
     IDC_LBLPROCESSVALUE,
     {L"内存值", L"内存值和百分比", L"百分比"}},
    {Choice::GbValues, IDC_COMBOGBVALUES, IDC_LBLGBVALUES, {L"MB", L"GB"}},
};

constexpr std::array<const wchar_t*, kThemeColorCount> kColorEntryNames = {
    L"文本", L"背景", L"栏背景", L"栏边框", L"正常\\绿", L"黄", L"红"};

constexpr int kPageTemplates[] = {IDD_PAGE_GENERAL, IDD_PAGE_EXTRA, IDD_PAGE_TRAYMENU, IDD_PAGE_DISPLAY,
                                  IDD_PAGE_THEME};

// Posted on a change of scale, to come after the system's own scaling of the dialog: the dialog's own
// font, item heights and pages follow.
constexpr UINT kAfterScaleChange = WM_APP + 1;

// The dialog being created: owner-drawn controls ask for their height before WM_INITDIALOG.
thread_local TFrmOptions* g_creating = nullptr;

bool IsModifierKey(WPARAM key) {
  switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

COLORREF Resolve(ColorValue c) {
  return IsSystemColor(c) ? ::GetSysColor(SystemColorIndex(c)) : static_cast<COLORREF>(c & 0xFFFFFF);
}

// Owned by the options dialog, so that the question shows on top of it and keeps it disabled.
ThemeQuestion AskYesNo(HWND owner) {
  return [owner](const std::wstring& text) {
    return MessageDialog(text, MessageDialogType::Warning, kMessageYes | kMessageNo, owner) == kResultYes;
  };
}

UniqueFont MakeFont(const FontSpec& font, int dpi) {
  const LogFontFields fields = FontSpecToLogFont(font, dpi);
  LOGFONTW log{};
  log.lfHeight = fields.Height;
  log.lfWeight = fields.Weight;
  log.lfItalic = fields.Italic;
  log.lfUnderline = fields.Underline;
  log.lfStrikeOut = fields.StrikeOut;
  log.lfCharSet = static_cast<BYTE>(fields.CharSet);
  lstrcpynW(log.lfFaceName, fields.FaceName.c_str(), LF_FACESIZE);
  return UniqueFont(::CreateFontIndirectW(&log));
}

}  // namespace

TFrmOptions::TFrmOptions(Settings& settings, std::wstring settingsFilePath, WindowsThemeFolder themes,
                         OptionsActions actions)
    : settings_(settings),
      settingsFilePath_(std::move(settingsFilePath)),
      themes_(std::move(themes)),
      actions_(std::move(actions)) {}

TFrmOptions::~TFrmOptions() {
  if (dialog_) ::DestroyWindow(dialog_);
}

HWND TFrmOptions::Control(int id) const {
  if (HWND found = ::GetDlgItem(dialog_, id)) return found;
  for (HWND page : pages_)
    if (HWND found = page ? ::GetDlgItem(page, id) : nullptr) return found;
  return nullptr;
}

int TFrmOptions::Dpi() const { return dpi_ ? dpi_ : WindowDpi(dialog_); }

void TFrmOptions::ShowModal(HWND owner, bool themePage) {
  RegisterLinkLabelClass();
  InitCommonControlClasses(ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS);
  g_creating = this;
  ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPTIONS), owner, &DialogProc,
                       reinterpret_cast<LPARAM>(this));
  g_creating = nullptr;
  if (!dialog_) return;
  if (themePage) ShowPage(kThemePage);
  PlaceNearTaskbar(dialog_);

  // Modal to the program's own windows, like any dialog of it.
  HWND mainForm = Application::Instance().MainForm();
  const bool mainWasEnabled = mainForm && ::IsWindowEnabled(mainForm);
  if (mainWasEnabled) ::EnableWindow(mainForm, FALSE);
  ::ShowWindow(dialog_, SW_SHOW);
  ::SetForegroundWindow(dialog_);

  Application& app = Application::Instance();
  app.AddDialogWindow(dialog_);
  const int filter = app.AddMessageFilter([this](MSG& msg) { return FilterKey(msg); });
  done_ = false;
  app.RunUntil(done_);
  app.RemoveMessageFilter(filter);
  app.RemoveDialogWindow(dialog_);

  if (mainWasEnabled) ::EnableWindow(mainForm, TRUE);
  ::DestroyWindow(dialog_);
  dialog_ = nullptr;
  dpi_ = 0;
  pages_.fill(nullptr);
}

bool TFrmOptions::FilterKey(MSG& msg) {
  if (!dialog_ || (msg.hwnd != dialog_ && !::IsChild(dialog_, msg.hwnd))) return false;
  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in any tabbed dialog.
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0) {
    const int count = static_cast<int>(pages_.size());
    const int step = ::GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
    ShowPage((TabCtrl_GetCurSel(tabs_) + step) % count);
    // The focus goes to the tabs, as in any tabbed dialog: it must not stay on a hidden control, and
    // the hot-key field must not take the Ctrl of Ctrl+Tab as a new key.
    ::SetFocus(tabs_);
    ::SendMessageW(Control(IDC_HOTKEY1), HKM_SETHOTKEY, HotKeyControlValue(model_.hotKey), 0);
    return true;
  }
  // The hot-key field is read after each key it took, not on its change notice: a modifier held alone
  // (the Ctrl of Ctrl+Tab among them) empties the field and notifies too, and that is no new hot key.
  if ((msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) && msg.hwnd == Control(IDC_HOTKEY1) &&
      !IsModifierKey(msg.wParam)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    HotKey1Change();
    return true;
  }
  return false;
}

void TFrmOptions::BringToFront() {
  if (!dialog_) return;
  if (::IsIconic(dialog_)) ::ShowWindow(dialog_, SW_RESTORE);
  ::SetForegroundWindow(dialog_);
}

INT_PTR CALLBACK TFrmOptions::DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TFrmOptions*>(::GetWindowLongPtrW(window, DWLP_USER));
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<TFrmOptions*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
  }
  if (!self) self = g_creating;
  if (!self) return FALSE;
  // No exception may unwind through the dialog manager's frames.
  try {
    return self->HandleMessage(window, msg, wParam, lParam);
  } catch (...) {
    Application::ReportCurrentException();
    return FALSE;
  }
}

INT_PTR TFrmOptions::HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      if (!dialog_) {
        dialog_ = window;
        dpi_ = WindowDpi(window);
        FormCreate();
      }
      return TRUE;
    case WM_DPICHANGED:
      if (window == dialog_) {
        dpi_ = HIWORD(wParam);
        // The system goes on to scale the dialog, its pages and their controls as it scaled them at their
        // creation, fonts included; what is the dialog's own follows once that is done.
        ::PostMessageW(dialog_, kAfterScaleChange, 0, 0);
      }
      return FALSE;
    case kAfterScaleChange:
      if (window == dialog_) AfterScaleChange();
      return TRUE;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == IDC_PAGES && header->code == TCN_SELCHANGE) {
        ShowPage(TabCtrl_GetCurSel(tabs_));
      } else if (header->code == kLinkLabelClicked && header->idFrom == IDC_JVLINKLABEL1) {
        ShowPage(kThemePage);
      } else if (header->code == kLinkLabelClicked && header->idFrom == IDC_LABELRESETMILI) {
        // The link takes no focus: a value typed into another field has not been read yet.
        ReadSpins();
        model_.ResetRefreshRate();
        ShowModel();
      }
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlID == IDC_CMBCOLORPROCESSES) {
        cmbColorProcesses_.MeasureItem(*item);
      } else if (item->CtlID == IDC_CMBFOREGROUND) {
        cmbForeground_.MeasureItem(*item);
      } else {
        item->itemHeight = static_cast<UINT>(ColorEntryHeight());
      }
      ::SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID == IDC_CMBCOLORPROCESSES) cmbColorProcesses_.DrawItem(*item);
      if (item->CtlID == IDC_CMBFOREGROUND) cmbForeground_.DrawItem(*item);
      if (item->CtlID == IDC_LBCOLORS) DrawColorEntry(*item);
      ::SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_CLOSE:
      if (window == dialog_) done_ = true;
      return TRUE;
    default:
      return FALSE;
  }
}

void TFrmOptions::CreatePages() {
  tabs_ = ::GetDlgItem(dialog_, IDC_PAGES);
  for (int i = 0; i < static_cast<int>(kOptionsPageTitles.size()); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kOptionsPageTitles[i]);
    TabCtrl_InsertItem(tabs_, i, &item);
  }
  for (std::size_t i = 0; i < pages_.size(); ++i)
    pages_[i] = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kPageTemplates[i]),
                                     dialog_, &DialogProc, reinterpret_cast<LPARAM>(this));
  PlacePages();
  ::SetWindowLongPtrW(tabs_, GWL_STYLE, ::GetWindowLongPtrW(tabs_, GWL_STYLE) | WS_CLIPSIBLINGS);
}

void TFrmOptions::PlacePages() {
  RECT area{};
  ::GetWindowRect(tabs_, &area);
  ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&area), 2);
  TabCtrl_AdjustRect(tabs_, FALSE, &area);
  HWND after = tabs_;
  for (HWND page : pages_) {
    // Right after the tabs in the Tab order, which is the z-order; the tabs clip themselves around it.
    ::SetWindowPos(page, after, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOACTIVATE);
    after = page;
  }
}

int TFrmOptions::ColorEntryHeight() const {
  // The entry's text in the dialog's font, with the designed room around it at least.
  return std::max(ScaleForDpi(18, Dpi()), LineHeight(Control(IDC_LBCOLORS)) + ScaleForDpi(4, Dpi()));
}

int TFrmOptions::LineHeight(HWND control) const {
  if (!control) return 0;
  WindowDc dc(control);
  SelectObjectGuard font(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  return ::GetTextMetricsW(dc.get(), &metrics) ? metrics.tmHeight : 0;
}

void TFrmOptions::AfterScaleChange() {
  ShowFontPanel();
  cmbColorProcesses_.DpiChanged(dpi_);
  cmbForeground_.DpiChanged(dpi_);
  if (HWND entries = Control(IDC_LBCOLORS)) {
    ::SendMessageW(entries, LB_SETITEMHEIGHT, 0, ColorEntryHeight());
    ::InvalidateRect(entries, nullptr, TRUE);
  }
  PlacePages();
}

void TFrmOptions::FormCreate() {
  // Filling the controls makes them report changes: those are not the user's.
  showing_ = true;
  CreatePages();
  cmbColorProcesses_.Attach(Control(IDC_CMBCOLORPROCESSES), settingsFilePath_);
  cmbColorProcesses_.SetDefaultColor(RgbColor(251, 225, 225));
  cmbForeground_.Attach(Control(IDC_CMBFOREGROUND), settingsFilePath_);
  ::SetWindowTextW(Control(IDC_JVLINKLABEL1), kBarColoursLinkMarkup);
  for (const ChoiceControl& c : kChoiceControls)
    for (const wchar_t* text : c.items)
      ::SendMessageW(Control(c.id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  for (const wchar_t* name : kColorEntryNames)
    ::SendMessageW(Control(IDC_LBCOLORS), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));

  model_.Fill(settings_, themes_);
  for (const SpinControl& c : kSpinControls) {
    const SpinState& state = model_.spin(c.spin);
    spinEdits_[static_cast<int>(c.spin)].Attach(Control(c.id), state.minValue, state.maxValue, state.step,
                                                state.typeable);
  }
  ShowPage(0);
  ShowModel();
}

void TFrmOptions::ShowPage(int index) {
  TabCtrl_SetCurSel(tabs_, index);
  for (std::size_t i = 0; i < pages_.size(); ++i)
    ::ShowWindow(pages_[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
}

void TFrmOptions::ShowSpins() {
  for (const SpinControl& c : kSpinControls) {
    const SpinState& state = model_.spin(c.spin);
    TSpinEdit& edit = spinEdits_[static_cast<int>(c.spin)];
    edit.SetRange(state.minValue, state.maxValue);
    if (edit.Value() != state.value) edit.SetValue(state.value);
    for (HWND part : {edit.Edit(), edit.UpDown()}) ::EnableWindow(part, state.enabled);
    for (int label : c.labels)
      if (label) ::EnableWindow(Control(label), state.enabled);
  }
}

void TFrmOptions::ShowFontPanel() {
  HWND panel = Control(IDC_PNLFONT2);
  FontSpec shown = model_.workingFont;
  if (model_.fontPanelInternal) shown = FontSpec{L"Tahoma", 1, 0, 8, 0};
  // The panel lets go of the old font before it is deleted.
  UniqueFont font = MakeFont(shown, Dpi());
  ::SendMessageW(panel, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  panelFont_ = std::move(font);
  ::SetWindowTextW(panel, model_.fontPanelText.c_str());
}

void TFrmOptions::ShowModel() {
  showing_ = true;
  for (const CheckControl& c : kCheckControls) {
    HWND box = Control(c.id);
    ::SendMessageW(box, BM_SETCHECK, model_.check(c.check).checked ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(box, model_.check(c.check).enabled);
  }
  ShowSpins();
  for (const ChoiceControl& c : kChoiceControls) {
    ::SendMessageW(Control(c.id), CB_SETCURSEL, static_cast<WPARAM>(model_.choice(c.choice)), 0);
    ::EnableWindow(Control(c.id), model_.choiceIsEnabled(c.choice));
    if (c.label) ::EnableWindow(Control(c.label), model_.choiceIsEnabled(c.choice));
  }
  ::SendMessageW(Control(IDC_HOTKEY1), HKM_SETHOTKEY, HotKeyControlValue(model_.hotKey), 0);
  ::SetWindowTextW(Control(IDC_LABEL17), model_.highMemoryHeading.c_str());
  ::ShowWindow(Control(IDC_LABELRESETMILI), model_.resetMiliVisible ? SW_SHOWNA : SW_HIDE);
  ShowFontPanel();
  ::EnableWindow(Control(IDC_BUTTON4), model_.fontButtonEnabled);
  cmbColorProcesses_.SelectColor(model_.highlightColor);
  ::EnableWindow(Control(IDC_CMBCOLORPROCESSES), model_.highlightColorEnabled);
  ::EnableWindow(Control(IDC_LBLHIGHLIGHTCOLOR), model_.highlightColorEnabled);

  HWND themes = Control(IDC_CBTHEMES);
  ::SendMessageW(themes, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& entry : model_.themeEntries)
    ::SendMessageW(themes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  ::SendMessageW(themes, CB_SETCURSEL, static_cast<WPARAM>(model_.themeIndex), 0);
  ::EnableWindow(Control(IDC_BTNDELETETHEME), model_.deleteThemeEnabled);
  HWND entries = Control(IDC_LBCOLORS);
  ::SendMessageW(entries, LB_SETCURSEL, static_cast<WPARAM>(model_.colorEntry), 0);
  ::InvalidateRect(entries, nullptr, TRUE);
  cmbForeground_.SetDefaultColor(model_.pickerDefaultColor);
  cmbForeground_.SelectColor(model_.pickerColor);
  showing_ = false;
}

void TFrmOptions::ReadSpins() {
  for (const SpinControl& c : kSpinControls) {
    TSpinEdit& edit = spinEdits_[static_cast<int>(c.spin)];
    edit.Normalize();
    model_.SetSpin(c.spin, edit.Value());
  }
}

void TFrmOptions::OnSpinChanged(Spin spin) {
  TSpinEdit& edit = spinEdits_[static_cast<int>(spin)];
  wchar_t text[32] = {};
  ::GetWindowTextW(edit.Edit(), text, 32);
  const std::optional<int> value = ReadSpinText(text);
  // Text on its way to a number changes nothing yet.
  if (!value) return;
  if (spin == Spin::Mili) {
    // Shown while typing; the value itself is taken into range when the field is left.
    ::ShowWindow(Control(IDC_LABELRESETMILI), *value != kDefaultRefreshRate ? SW_SHOWNA : SW_HIDE);
    return;
  }
  if (spin != Spin::Yellow && spin != Spin::Red) return;
  model_.SetSpin(spin, *value);
  showing_ = true;
  ShowSpins();
  ::SetWindowTextW(Control(IDC_LABEL17), model_.highMemoryHeading.c_str());
  showing_ = false;
}

void TFrmOptions::OnCommand(int id, int code) {
  if (showing_) return;
  for (const CheckControl& c : kCheckControls) {
    if (c.id == id && code == BN_CLICKED) {
      model_.SetCheck(c.check, ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED);
      if (c.check == Check::Monitor) CheckMonitorClick();
      ShowModel();
      return;
    }
  }
  for (const SpinControl& c : kSpinControls) {
    if (c.id != id) continue;
    if (code == EN_CHANGE) OnSpinChanged(c.spin);
    if (code == EN_KILLFOCUS) {
      TSpinEdit& edit = spinEdits_[static_cast<int>(c.spin)];
      edit.Normalize();
      model_.SetSpin(c.spin, edit.Value());
      ShowModel();
    }
    return;
  }
  for (const ChoiceControl& c : kChoiceControls) {
    if (c.id == id && code == CBN_SELCHANGE) {
      model_.SetChoice(c.choice, static_cast<int>(::SendMessageW(Control(id), CB_GETCURSEL, 0, 0)));
      return;
    }
  }
  switch (id) {
    case IDOK:
      if (BtnApplyClick()) done_ = true;
      break;
    case IDCANCEL:
      done_ = true;
      break;
    case IDC_APPLY:
      BtnApplyClick();
      break;
    case IDC_BUTTON4:
      Button4Click();
      break;
    case IDC_CMBCOLORPROCESSES:
      // From the keyboard, "自定义..." is chosen when the open list closes on it.
      if ((code == CBN_SELCHANGE || code == CBN_CLOSEUP) && cmbColorProcesses_.SelectionChanged(dialog_))
        model_.highlightColor = cmbColorProcesses_.SelectedColor();
      break;
    case IDC_CMBFOREGROUND:
      if ((code == CBN_SELCHANGE || code == CBN_CLOSEUP) && cmbForeground_.SelectionChanged(dialog_)) {
        model_.ChooseColor(cmbForeground_.SelectedColor());
        ShowModel();
      }
      break;
    case IDC_CBTHEMES:
      if (code == CBN_SELCHANGE) {
        model_.SelectTheme(static_cast<int>(::SendMessageW(Control(id), CB_GETCURSEL, 0, 0)), themes_);
        ShowModel();
      }
      break;
    case IDC_LBCOLORS:
      if (code == LBN_SELCHANGE) {
        model_.SelectColorEntry(static_cast<int>(::SendMessageW(Control(id), LB_GETCURSEL, 0, 0)));
        ShowModel();
      }
      break;
    case IDC_BTNSAVEAS:
      BtnSaveAsClick();
      break;
    case IDC_BTNDELETETHEME:
      BtnDeleteThemeClick();
      break;
    default:
      break;
  }
}

void TFrmOptions::HotKey1Change() {
  const auto value = static_cast<std::uint16_t>(::SendMessageW(Control(IDC_HOTKEY1), HKM_GETHOTKEY, 0, 0));
  model_.hotKey = HotKeyValueFromControl(value);
}

void TFrmOptions::CheckMonitorClick() {
  const bool portable = actions_.isPortableDevice ? actions_.isPortableDevice() : IsPortableDevice();
  if (!model_.MonitorWarningNeeded(portable, settings_)) return;
  TTaskDialogEx request = PortableDeviceWarningRequest(reinterpret_cast<std::uintptr_t>(dialog_));
  const int result = ExecuteTaskDialog(request);
  model_.MonitorWarningAnswered(result, request.Dialog.VerificationChecked, settings_);
}

void TFrmOptions::Button4Click() {
  FontSpec font = model_.workingFont;
  const bool chosen = ExecuteFontDialog(dialog_, font);
  model_.FontDialogClosed(chosen ? std::optional<FontSpec>(font) : std::nullopt);
  ShowModel();
}

void TFrmOptions::BtnSaveAsClick() {
  std::wstring name;
  if (!InputBox(dialog_, kSaveThemeCaption, kSaveThemePrompt, name)) return;
  const ThemeListChange change = SaveThemeAs(themes_, name, model_.CurrentTheme(), AskYesNo(dialog_));
  if (change.result == ThemeListChange::Result::WriteFailed) {
    const std::wstring text = L"Unable to write to " + change.failedPath;
    ::MessageBoxW(dialog_, text.c_str(), Application::Instance().Title().c_str(), MB_OK | MB_ICONERROR);
    return;
  }
  model_.ThemeListChanged(change, themes_);
  ShowModel();
}

void TFrmOptions::BtnDeleteThemeClick() {
  model_.ThemeListChanged(DeleteTheme(themes_, model_.themeEntries, model_.themeIndex, AskYesNo(dialog_)),
                          themes_);
  ShowModel();
}

bool TFrmOptions::BtnApplyClick() {
  ReadSpins();
  if (!RunApplySteps(actions_, model_.ApplyTo(settings_))) return false;
  ShowModel();
  return true;
}

void TFrmOptions::DrawColorEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= kColorEntryNames.size()) return;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int slot = static_cast<int>(item.itemID);
  const std::wstring& text = model_.colorSlots[slot];
  const ColorValue color = text == L"-1" ? AutomaticElementColor(slot) : ThemeSlotColor(text);
  const int height = item.rcItem.bottom - item.rcItem.top;
  const int pad = height / 6 + 1;
  RECT swatch{item.rcItem.left + pad, item.rcItem.top + pad,
              item.rcItem.left + pad + (height - 2 * pad) * 3 / 2, item.rcItem.bottom - pad};
  UniqueBrush fill(
      ::CreateSolidBrush(Resolve(color == kAutomaticColor ? AutomaticElementColor(slot) : color)));
  ::FillRect(dc, &swatch, fill.get());
  ::FrameRect(dc, &swatch, ::GetSysColorBrush(COLOR_WINDOWTEXT));
  RECT label = item.rcItem;
  label.left = swatch.right + pad * 2;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ::DrawTextW(dc, kColorEntryNames[slot], -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item.rcItem);
}

}  // namespace nimbrel
