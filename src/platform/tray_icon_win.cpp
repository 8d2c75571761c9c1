#include "platform/tray_icon_win.h"

#include <algorithm>
#include <unordered_map>

#include "platform/application_win.h"
#include "platform/shared_window_win.h"
#include "platform/system_info_win.h"
#include "platform/system_library_win.h"

namespace nimbrel {

namespace {

constexpr UINT kRestingFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr size_t kTipLimit = 127;
constexpr size_t kInfoLimit = 255;
constexpr size_t kInfoTitleLimit = 63;

template <size_t N>
void CopyLimited(wchar_t (&target)[N], const std::wstring& text, size_t limit) {
  size_t n = std::min({text.size(), limit, N - 1});
  // Never cut a surrogate pair in half.
  if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  std::fill(std::begin(target), std::end(target), L'\0');
  std::copy_n(text.data(), n, target);
}

}  // namespace

UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

// The hidden top-level window that receives the callbacks of every tray icon of the process.
class TTrayIconHandler : public SharedWindow<TTrayIconHandler> {
 public:
  UINT nextId = 1;
  std::unordered_map<UINT, TCoolTrayIcon*> icons;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case kTrayCallbackMessage: {
        auto it = icons.find(static_cast<UINT>(wParam));
        if (it != icons.end()) it->second->HandleCallback(static_cast<UINT>(lParam));
        return 0;
      }
      // Says yes to the end of a session and cannot be closed from outside.
      case WM_DESTROY:
      case WM_CLOSE:
      case WM_QUERYENDSESSION:
      case WM_QUIT:
      case WM_ENDSESSION:
        return 1;
      default:
        return DefaultProc(msg, wParam, lParam);
    }
  }
};

TCoolTrayIcon::TCoolTrayIcon(Window* owner, HICON designedIcon)
    : owner_(owner ? owner->handle() : nullptr),
      ownerWindow_(owner),
      cycleTimer_(1000, [this](TSimpleTimer&) { CycleStep(); }),
      clickTimer_(1000, [this](TSimpleTimer&) { ClickTimerFired(); }),
      exitTimer_(20, [this](TSimpleTimer&) { ExitPoll(); }) {
  auto& handler = TTrayIconHandler::Join(L"TTrayIconHandler");
  modernShell_ = WindowsMajorVersion() >= 6;
  if (designedIcon) icon_.reset(::CopyIcon(designedIcon));
  data_.cbSize = NOTIFYICONDATAW_V3_SIZE;  // the layout with balloon fields, understood from XP on
  data_.hWnd = handler.handle();
  data_.uID = handler.nextId++;
  data_.uFlags = kRestingFlags;
  data_.uCallbackMessage = kTrayCallbackMessage;
  handler.icons[data_.uID] = this;
  TaskbarCreatedMessage();

  appHookId_ =
      Application::Instance().AddMessageHook([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
        return ApplicationHook(msg, wParam, lParam);
      });
  if (ownerWindow_)
    ownerFilterId_ =
        ownerWindow_->AddMessageFilter([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
          return OwnerMessage(msg, wParam, lParam, result);
        });
}

TCoolTrayIcon::~TCoolTrayIcon() {
  SetIconVisible(false);
  Application::Instance().RemoveMessageHook(appHookId_);
  if (ownerWindow_) ownerWindow_->RemoveMessageFilter(ownerFilterId_);
  if (auto* handler = TTrayIconHandler::Instance()) handler->icons.erase(data_.uID);
  TTrayIconHandler::Leave();
}

void TCoolTrayIcon::Loaded() {
  if (owner_) {
    bool showMainForm = true;
    if (OnStartup) OnStartup(showMainForm);
    if (!showMainForm) {
      Application::Instance().ShowMainForm = false;
      HideMainWindow();
    }
  }
  UpdateIcon();
  bool visible = iconVisible_;
  iconVisible_ = !visible;
  SetIconVisible(visible);
  SetCycleIcons(cycleIcons_);
  SetWantEnterExitEvents(wantEnterExit_);
  SetNotifyBehaviour(notifyBehaviour_);
}

HWND TCoolTrayIcon::MessageWindow() noexcept {
  return TTrayIconHandler::Instance() ? TTrayIconHandler::Instance()->handle() : nullptr;
}

void TCoolTrayIcon::PrepareIconData() {
  data_.hIcon = icon_.get();
  if (!hint_.empty() && showHint_) {
    CopyLimited(data_.szTip, hint_, kTipLimit);
  } else {
    std::fill(std::begin(data_.szTip), std::end(data_.szTip), L'\0');
  }
}

bool TCoolTrayIcon::Notify(DWORD message) {
  PrepareIconData();
  ++shellCalls_;
  lastShellFlags_ = data_.uFlags;
  return ::Shell_NotifyIconW(message, &data_) != FALSE;
}

bool TCoolTrayIcon::AddIcon() {
  iconVisible_ = true;
  const bool added = Notify(NIM_ADD);
  // A new icon starts with the shell's first callbacks (a restarted taskbar too): ask for ours again.
  if (added && notifyBehaviour_ != 0) SetNotifyBehaviour(notifyBehaviour_);
  return added;
}

bool TCoolTrayIcon::RemoveIcon() {
  iconVisible_ = false;
  return Notify(NIM_DELETE);
}

bool TCoolTrayIcon::UpdateIcon() { return Notify(NIM_MODIFY); }

void TCoolTrayIcon::SetIconVisible(bool visible) {
  if (visible) {
    AddIcon();
  } else if (iconVisible_) {
    RemoveIcon();
  }
}

void TCoolTrayIcon::SetIcon(UniqueIcon icon) {
  // The old icon goes only after the shell has the new one.
  UniqueIcon old = std::exchange(icon_, std::move(icon));
  UpdateIcon();
}

void TCoolTrayIcon::CopyIconFrom(HICON icon) { SetIcon(UniqueIcon(icon ? ::CopyIcon(icon) : nullptr)); }

void TCoolTrayIcon::SetHint(const std::wstring& hint) {
  hint_ = hint;
  // Only the tooltip is handed over: the shell neither copies nor redraws the unchanged icon.
  data_.uFlags = NIF_TIP;
  Notify(NIM_MODIFY);
  data_.uFlags = kRestingFlags;
}

void TCoolTrayIcon::SetIconAndHint(UniqueIcon icon, const std::wstring& hint) {
  UniqueIcon old = std::exchange(icon_, std::move(icon));
  hint_ = hint;
  UpdateIcon();
}

void TCoolTrayIcon::SetShowHint(bool show) {
  showHint_ = show;
  UpdateIcon();
}

bool TCoolTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, int kind,
                                unsigned timeoutSeconds) {
  data_.uFlags |= NIF_INFO;
  data_.szInfo[0] = L'\0';
  UpdateIcon();

  data_.uFlags |= NIF_INFO;
  CopyLimited(data_.szInfo, text, kInfoLimit);
  CopyLimited(data_.szInfoTitle, title, kInfoTitleLimit);
  data_.uTimeout = std::min(timeoutSeconds, 255u) * 1000;
  static constexpr DWORD kKinds[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
  data_.dwInfoFlags = (kind >= 0 && kind <= 3) ? kKinds[kind] : NIIF_NONE;
  bool shown = UpdateIcon();
  data_.uFlags = kRestingFlags;
  return shown;
}

bool TCoolTrayIcon::SetNotifyBehaviour(int behaviour) {
  notifyBehaviour_ = behaviour;
  data_.uVersion = behaviour == 1 || behaviour == 2 ? 3 : 0;
  return ::Shell_NotifyIconW(NIM_SETVERSION, &data_) != FALSE;
}

unsigned TCoolTrayIcon::ShiftState(unsigned buttonBit) const {
  unsigned shift = buttonBit;
  if (::GetAsyncKeyState(VK_SHIFT) & 0x8000) shift |= kShiftKey;
  if (::GetAsyncKeyState(VK_MENU) & 0x8000) shift |= kAltKey;
  if (::GetAsyncKeyState(VK_CONTROL) & 0x8000) shift |= kCtrlKey;
  return shift;
}

void TCoolTrayIcon::HandleCallback(UINT message) {
  switch (message) {
    case NIN_BALLOONSHOW:
      if (OnBalloonHintShow) OnBalloonHintShow();
      return;
    case NIN_BALLOONHIDE:
      if (OnBalloonHintHide) OnBalloonHintHide();
      return;
    case NIN_BALLOONTIMEOUT:
      if (OnBalloonHintTimeout) OnBalloonHintTimeout();
      return;
    case NIN_BALLOONUSERCLICK:
      if (OnBalloonHintClick) OnBalloonHintClick();
      return;
    default:
      break;
  }
  if (!enabled_) return;
  POINT pt{};
  ::GetCursorPos(&pt);
  switch (message) {
    case WM_MOUSEMOVE:
      if (wantEnterExit_ && pointerOutside_) {
        if (OnMouseEnter) OnMouseEnter();
        pointerOutside_ = false;
      }
      if (OnMouseMove) OnMouseMove(ShiftState(0), pt.x, pt.y);
      lastCursor_ = pt;
      break;
    case WM_LBUTTONDOWN:
      if (OnDblClick) {
        clickTimer_.SetInterval(::GetDoubleClickTime());
        clickTimer_.Start();
      }
      if (OnMouseDown) OnMouseDown(MouseButton::Left, ShiftState(kLeftBit), pt.x, pt.y);
      clickStarted_ = true;
      if (leftPopup_ && popupMenu_ && popupMenu_->AutoPopup()) {
        ::SetForegroundWindow(MessageWindow());
        PopupMenuAtCursor();
      }
      break;
    case WM_LBUTTONUP:
      if (clickStarted_) clickReady_ = true;
      if (clickStarted_ && !clickTimer_.Enabled()) {
        clickStarted_ = false;
        clickReady_ = false;
        Click();
      }
      clickStarted_ = false;
      if (OnMouseUp) OnMouseUp(MouseButton::Left, ShiftState(kLeftBit), pt.x, pt.y);
      break;
    case WM_LBUTTONDBLCLK:
      clickReady_ = false;
      doubleClicked_ = true;
      DblClick();
      if (popupMenu_ && popupMenu_->AutoPopup() && !leftPopup_) popupMenu_->ClickDefaultItem();
      break;
    case WM_RBUTTONDOWN:
      rightButtonAt_ = TickCount64();
      if (OnMouseDown) OnMouseDown(MouseButton::Right, ShiftState(kRightBit), pt.x, pt.y);
      if (popupMenu_ && popupMenu_->AutoPopup()) {
        ::SetForegroundWindow(MessageWindow());
        PopupMenuAtCursor();
      }
      break;
    case WM_RBUTTONUP:
      rightButtonAt_ = TickCount64();
      if (notifyBehaviour_ != 1 && OnMouseUp)
        OnMouseUp(MouseButton::Right, ShiftState(kRightBit), pt.x, pt.y);
      break;
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT:
      if (notifyBehaviour_ == 1 && OnMouseUp)
        OnMouseUp(MouseButton::Right, ShiftState(kRightBit), pt.x, pt.y);
      if (notifyBehaviour_ == 2) KeyboardCallback(message);
      break;
    case WM_MBUTTONDOWN:
      if (OnMouseDown) OnMouseDown(MouseButton::Middle, ShiftState(kMiddleBit), pt.x, pt.y);
      break;
    case WM_MBUTTONUP:
      if (OnMouseUp) OnMouseUp(MouseButton::Middle, ShiftState(kMiddleBit), pt.x, pt.y);
      break;
    default:
      break;
  }
}

void TCoolTrayIcon::KeyboardCallback(UINT message) {
  const std::uint64_t now = TickCount64();
  if (message == NIN_KEYSELECT) {
    // Enter comes as two notifications in a row; a second press is slower than this.
    constexpr std::uint64_t kRepeat = 200;
    const bool repeated = keySelectAt_ != 0 && now - keySelectAt_ < kRepeat;
    keySelectAt_ = now;
    if (!repeated && OnKeySelect) OnKeySelect();
  } else if (message == WM_CONTEXTMENU) {
    // After a right click the shell sends this too: the mouse has opened the menu already.
    const bool mouse = rightButtonAt_ != 0 && now - rightButtonAt_ < ::GetDoubleClickTime();
    if (!mouse && OnKeyMenu) OnKeyMenu(IconRect());
  }
  // NIN_SELECT follows a left click: the mouse's events have told it all.
}

RECT TCoolTrayIcon::IconRect() const {
  using GetRectFn = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);
  static const auto getRect =
      LibraryFunction<GetRectFn>(::GetModuleHandleW(L"shell32.dll"), "Shell_NotifyIconGetRect");
  RECT r{};
  NOTIFYICONIDENTIFIER id{};
  id.cbSize = sizeof id;
  id.hWnd = data_.hWnd;
  id.uID = data_.uID;
  if (getRect && SUCCEEDED(getRect(&id, &r)) && r.right > r.left) return r;
  HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  HWND area = taskbar ? ::FindWindowExW(taskbar, nullptr, L"TrayNotifyWnd", nullptr) : nullptr;
  if (area && ::GetWindowRect(area, &r)) return r;
  // A taskbar without a window of its own for the icons keeps them at its far end: a square there.
  if (taskbar && ::GetWindowRect(taskbar, &r) && r.right > r.left && r.bottom > r.top) {
    const LONG width = r.right - r.left;
    const LONG height = r.bottom - r.top;
    if (width >= height) {
      r.left = r.right - height;
    } else {
      r.top = r.bottom - width;
    }
    return r;
  }
  POINT pt{};
  ::GetCursorPos(&pt);
  return RECT{pt.x, pt.y, pt.x + 1, pt.y + 1};
}

void TCoolTrayIcon::Click() {
  if (OnClick) OnClick();
}

void TCoolTrayIcon::DblClick() {
  if (OnDblClick) OnDblClick();
  CloseOverflowWindow();
}

void TCoolTrayIcon::CloseOverflowWindow() const {
  if (!modernShell_) return;
  if (HWND overflow = ::FindWindowW(L"NotifyIconOverflowWindow", nullptr))
    ::PostMessageW(overflow, WM_CLOSE, 0, 0);
}

void TCoolTrayIcon::ClickTimerFired() {
  clickTimer_.Stop(true);
  if (!doubleClicked_ && clickReady_) {
    clickReady_ = false;
    Click();
  }
  doubleClicked_ = false;
}

void TCoolTrayIcon::ExitPoll() {
  if (pointerOutside_) return;
  POINT pt{};
  if (!::GetCursorPos(&pt)) return;
  if (pt.x != lastCursor_.x || pt.y != lastCursor_.y) {
    pointerOutside_ = true;
    if (OnMouseExit) OnMouseExit();
  }
}

void TCoolTrayIcon::SetWantEnterExitEvents(bool want) {
  wantEnterExit_ = want;
  exitTimer_.SetEnabled(want);
}

void TCoolTrayIcon::PopupMenuAt(int x, int y) {
  if (!popupMenu_) return;
  ::SetForegroundWindow(MessageWindow());
  Application::Instance().ProcessMessages();
  popupMenu_->Popup(x, y);
  // The documented remedy for a tray menu that will not close: a message to the owner after it.
  if (owner_) ::PostMessageW(owner_, WM_NULL, 0, 0);
  CloseOverflowWindow();
}

void TCoolTrayIcon::PopupMenuAtCursor() {
  POINT pt{};
  if (::GetCursorPos(&pt)) PopupMenuAt(pt.x, pt.y);
}

void TCoolTrayIcon::HideMainWindow() {
  HWND form = Application::Instance().MainForm();
  if (!owner_ || !form) return;
  ::ShowWindow(form, SW_HIDE);
  HideAppButton();
}

void TCoolTrayIcon::RestoreMainWindow() {
  HWND form = Application::Instance().MainForm();
  if (!owner_ || !form) return;
  HWND app = Application::Instance().Handle();
  if (::IsIconic(app)) ::ShowWindow(app, SW_RESTORE);
  if (::IsIconic(form)) ::ShowWindow(form, SW_RESTORE);
  ::ShowWindow(form, SW_SHOW);
  ::SetForegroundWindow(app);
}

void TCoolTrayIcon::HideAppButton() {
  HWND app = Application::Instance().Handle();
  if (app && ::IsWindowVisible(app)) ::ShowWindow(app, SW_HIDE);
}

void TCoolTrayIcon::ShowAppButton() {
  HWND app = Application::Instance().Handle();
  if (app && !::IsWindowVisible(app)) ::ShowWindow(app, SW_SHOW);
}

void TCoolTrayIcon::MinimizeToTrayNow() {
  HideMainWindow();
  SetIconVisible(true);
}

void TCoolTrayIcon::SetIconList(std::vector<HICON> icons) {
  iconList_ = std::move(icons);
  SetIconIndex(0);
}

void TCoolTrayIcon::SetCycleIcons(bool cycle) {
  cycleIcons_ = cycle;
  if (cycle) {
    SetIconIndex(0);
    cycleTimer_.SetInterval(cycleInterval_);
    cycleTimer_.Start();
  } else {
    cycleTimer_.Stop(true);
  }
}

void TCoolTrayIcon::SetCycleInterval(unsigned interval) {
  if (interval == cycleInterval_) return;
  cycleInterval_ = interval;
  SetCycleIcons(cycleIcons_);
}

void TCoolTrayIcon::SetIconIndex(int index) {
  if (iconList_.empty()) {
    iconIndex_ = 0;
    return;
  }
  const int count = static_cast<int>(iconList_.size());
  iconIndex_ = std::clamp(index, 0, count - 1);
  CopyIconFrom(iconList_[static_cast<size_t>(iconIndex_)]);
}

void TCoolTrayIcon::CycleStep() {
  if (iconList_.empty()) return;
  const int count = static_cast<int>(iconList_.size());
  CopyIconFrom(iconList_[static_cast<size_t>(iconIndex_ % count)]);
  int next = (iconIndex_ + 1) % count;
  if (OnCycle) OnCycle(next);
  iconIndex_ = next;
}

bool TCoolTrayIcon::ApplicationHook(UINT msg, WPARAM wParam, LPARAM) {
  Application& app = Application::Instance();
  if (msg == WM_SIZE && wParam == SIZE_MINIMIZED && minimizeToTray_) MinimizeToTrayNow();
  if (msg == WM_WINDOWPOSCHANGED && startupPending_ && app.MainForm()) startupPending_ = false;
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE && app.MainForm()) {
    if (::IsIconic(app.MainForm())) ::ShowWindow(app.MainForm(), SW_RESTORE);
    ::ShowWindow(app.MainForm(), SW_SHOW);
  }
  // A new taskbar (Explorer restarted) knows nothing of the icon: register it again.
  if (msg == TaskbarCreatedMessage() && iconVisible_) AddIcon();
  return false;
}

bool TCoolTrayIcon::OwnerMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  bool minimize = false;
  if (msg == WM_SHOWWINDOW) {
    if (wParam == 1 && lParam == 0) {
      ::SetForegroundWindow(Application::Instance().Handle());
      ::SetForegroundWindow(owner_);
    } else if (wParam == 0 && lParam == SW_PARENTCLOSING && !Application::Instance().Terminated()) {
      minimize = true;
    }
  } else if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
    minimize = true;
  }
  if (minimize && minimizeToTray_ && OnMinimizeToTray) {
    OnMinimizeToTray();
    MinimizeToTrayNow();
    result = 1;
    return true;
  }
  return false;
}

}  // namespace nimbrel
