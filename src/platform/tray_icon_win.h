#pragma once
// The notification-area icon: registration with the shell (kept across taskbar restarts), tooltip,
// balloons, and the shell's callbacks turned into mouse events with click/double-click timing.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/simple_timer_win.h"
#include "platform/unique_resource_win.h"
#include "platform/window_win.h"

namespace nimbrel {

// The message a new taskbar sends every top-level window (Explorer restarted, or moved to another
// monitor).
UINT TaskbarCreatedMessage();

// What the tray component needs of a popup menu.
class TrayPopupMenu {
 public:
  virtual ~TrayPopupMenu() = default;
  [[nodiscard]] virtual bool AutoPopup() const = 0;
  // Shows the menu at a screen position; returns when it closes.
  virtual void Popup(int x, int y) = 0;
  // Clicks the lowest-indexed top-level item marked default; false when there is none.
  virtual bool ClickDefaultItem() = 0;
};

enum class MouseButton { Left = 0, Right = 1, Middle = 2 };
// Shift state bits of mouse events.
enum : unsigned { kShiftKey = 1, kAltKey = 2, kCtrlKey = 4, kLeftBit = 8, kRightBit = 16, kMiddleBit = 32 };

inline constexpr UINT kTrayCallbackMessage = WM_USER + 0x400;

class TCoolTrayIcon {
 public:
  // `owner` is the form whose messages the component sees first (null: none).
  explicit TCoolTrayIcon(Window* owner, HICON designedIcon = nullptr);
  ~TCoolTrayIcon();
  TCoolTrayIcon(const TCoolTrayIcon&) = delete;
  TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

  // Applies the stored properties as the form loader does once the form is built.
  void Loaded();

  bool AddIcon();
  bool RemoveIcon();
  bool UpdateIcon();

  void SetIconVisible(bool visible);
  [[nodiscard]] bool IconVisible() const noexcept { return iconVisible_; }
  // Takes ownership of the icon and hands it to the shell at once.
  void SetIcon(UniqueIcon icon);
  // Copies the icon in (the caller keeps its own).
  void CopyIconFrom(HICON icon);
  [[nodiscard]] HICON Icon() const noexcept { return icon_.get(); }
  void SetHint(const std::wstring& hint);
  [[nodiscard]] const std::wstring& Hint() const noexcept { return hint_; }
  // One shell update for the refresh tick's new picture and tooltip.
  void SetIconAndHint(UniqueIcon icon, const std::wstring& hint);
  void SetShowHint(bool show);
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  [[nodiscard]] bool Enabled() const noexcept { return enabled_; }

  // Kind 0 none, 1 info, 2 warning, 3 error; timeout in seconds.
  bool ShowBalloon(const std::wstring& title, const std::wstring& text, int kind, unsigned timeoutSeconds);
  // 0 the shell's first callbacks; 1 version 3, its keyboard and context-menu notifications raising
  // the right button's mouse up; 2 version 3 for keyboard users: the mouse as with 0, Enter or Space on
  // the selected icon raising OnKeySelect and Shift+F10 or the menu key OnKeyMenu.
  bool SetNotifyBehaviour(int behaviour);
  [[nodiscard]] int NotifyBehaviour() const noexcept { return notifyBehaviour_; }

  void SetPopupMenu(TrayPopupMenu* menu) { popupMenu_ = menu; }
  void SetLeftPopup(bool left) { leftPopup_ = left; }
  void PopupMenuAt(int x, int y);
  void PopupMenuAtCursor();

  void HideMainWindow();
  void RestoreMainWindow();
  static void HideAppButton();
  static void ShowAppButton();

  void SetWantEnterExitEvents(bool want);
  void SetMinimizeToTray(bool minimize) { minimizeToTray_ = minimize; }
  void MinimizeToTrayNow();

  // Icon cycling through a list of icons (the component does not own them).
  void SetIconList(std::vector<HICON> icons);
  void SetCycleIcons(bool cycle);
  void SetCycleInterval(unsigned interval);
  void SetIconIndex(int index);
  [[nodiscard]] int IconIndex() const noexcept { return iconIndex_; }

  // The shared window that receives the shell's callbacks.
  [[nodiscard]] static HWND MessageWindow() noexcept;
  [[nodiscard]] UINT Id() const noexcept { return data_.uID; }
  [[nodiscard]] const NOTIFYICONDATAW& NotifyData() const noexcept { return data_; }
  // Calls made to the shell so far, and the flags of the last one: what a tick cost the shell.
  [[nodiscard]] unsigned ShellCalls() const noexcept { return shellCalls_; }
  [[nodiscard]] UINT LastShellFlags() const noexcept { return lastShellFlags_; }

  // The shell's callback, as the shared window receives it (exposed so tests can feed it).
  void HandleCallback(UINT message);

  std::function<void()> OnClick, OnDblClick, OnMouseEnter, OnMouseExit;
  std::function<void()> OnBalloonHintShow, OnBalloonHintHide, OnBalloonHintTimeout, OnBalloonHintClick;
  std::function<void()> OnMinimizeToTray;
  std::function<void(MouseButton, unsigned shift, int x, int y)> OnMouseDown, OnMouseUp;
  std::function<void(unsigned shift, int x, int y)> OnMouseMove;
  std::function<void(int nextIndex)> OnCycle;
  std::function<void(bool& showMainForm)> OnStartup;
  std::function<void()> OnKeySelect;
  // The icon's place on the screen, to show the menu beside it rather than at the pointer.
  std::function<void(const RECT& icon)> OnKeyMenu;

  // Where the shell shows the icon (Windows 7 on), else the notification area, else the taskbar's far
  // end, else the pointer.
  [[nodiscard]] RECT IconRect() const;

 private:
  friend class TTrayIconHandler;
  bool Notify(DWORD message);
  void PrepareIconData();
  void Click();
  void DblClick();
  void ClickTimerFired();
  void ExitPoll();
  void CycleStep();
  bool ApplicationHook(UINT msg, WPARAM wParam, LPARAM lParam);
  bool OwnerMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  unsigned ShiftState(unsigned buttonBit) const;
  void CloseOverflowWindow() const;
  void KeyboardCallback(UINT message);

  NOTIFYICONDATAW data_{};
  HWND owner_;
  Window* ownerWindow_;
  UniqueIcon icon_;
  std::wstring hint_;
  bool showHint_ = true;
  bool iconVisible_ = false;
  bool enabled_ = true;
  bool leftPopup_ = false;
  bool wantEnterExit_ = false;
  unsigned shellCalls_ = 0;
  UINT lastShellFlags_ = 0;
  bool minimizeToTray_ = false;
  bool cycleIcons_ = false;
  unsigned cycleInterval_ = 0;
  int notifyBehaviour_ = 0;
  // When the right button last came (a context-menu notification right after it is the mouse's) and
  // when the last key selection came (Enter is reported twice).
  std::uint64_t rightButtonAt_ = 0;
  std::uint64_t keySelectAt_ = 0;
  bool modernShell_ = false;
  bool clickStarted_ = false;
  bool clickReady_ = false;
  bool doubleClicked_ = false;
  bool pointerOutside_ = true;
  bool startupPending_ = true;
  POINT lastCursor_{};
  std::vector<HICON> iconList_;
  int iconIndex_ = 0;
  TrayPopupMenu* popupMenu_ = nullptr;
  TSimpleTimer cycleTimer_;
  TSimpleTimer clickTimer_;
  TSimpleTimer exitTimer_;
  int appHookId_ = 0;
  int ownerFilterId_ = 0;
};

}  // namespace nimbrel
