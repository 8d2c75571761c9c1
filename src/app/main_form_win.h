#pragma once
// The main form: hidden for the whole run, it owns the settings, the timers and (as the About
// window) is shown only on request. Closing its window hides it.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/about_panel_win.h"
#include "app/tray_commands.h"
#include "display/byte_size.h"
#include "display/high_memory_rule.h"
#include "display/reading_timer_win.h"
#include "display/refresh_cycle_win.h"
#include "display/tray_look.h"
#include "platform/color_dialog_win.h"
#include "platform/hot_key_manager_win.h"
#include "platform/menu_model.h"
#include "platform/popup_menu_win.h"
#include "platform/timer_win.h"
#include "platform/tray_icon_win.h"
#include "platform/unique_resource_win.h"
#include "platform/uxtheme_win.h"
#include "platform/window_win.h"
#include "processes/menu_drawing.h"
#include "processes/menu_images_win.h"
#include "settings/settings.h"
#include "settings/theme_file.h"

namespace nimbrel {

class TFrmOptions;

class TFrmNimbrelMain : public Window {
 public:
  TFrmNimbrelMain();
  ~TFrmNimbrelMain() override;

  // Creates the window and runs the start-up sequence.
  bool CreateForm();

  // The refresh tick; also called directly after start-up and after the options are applied.
  // The refresh tick: with a reading of its own, or with the one the refresh timer handed over.
  void Timer1Timer();
  // Paints at the size the notification area shows now, with a tick at once when that changed.
  void FollowIconSize();
  void Timer1Timer(const MemorySample& sample);
  // What the picture is painted with: the settings themselves, unless the picture follows the
  // taskbar's mode or a high-contrast scheme is on (display/tray_look.h).
  const Settings& Look();
  // Reads the taskbar's mode and the high-contrast switch again; the taskbar themes are read again
  // when next needed.
  void ReadDesktopLook();
  // The exit command: close query (save), close (release), end of the message loop.
  void Close1Click();
  void About1Click();
  // The one optimisation every trigger runs (menu, hot key, double click, timer, high memory).
  void MemoryDefragmenter1Click();

  Settings settings;
  std::wstring SettingsFilePath;
  bool PortableMode = false;
  bool IsVistaOrLater = false;
  int MenuTextHeight = 0;      // measured by the menu's first item
  HighMemoryState highMemory;  // LastMemoryLoad and WarnDeadline
  bool WarningDialogOpen = false;
  std::uint64_t DisplayedTotal = 0;
  bool SessionNotifyRegistered = false;
  MenuImages menuImages;

  std::unique_ptr<TCoolTrayIcon> Tray;
  Menu PopupMenu1;
  ReadingTimer Timer1{500, true};
  Timer TimerDefrag{120000, false};
  std::unique_ptr<THotKeyManager> HotKeyManager1;
  TColorDialog ColorDialog1;
  // There is no self-trimming component: trimming the program's own working set every half minute
  // would only make its next tick fault its pages back in, for a program that holds a few hundred
  // kilobytes. The optimiser trims this process like any other that owns windows.

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void LoadOptions();
  // false when the file refused a write; `interactive` shows the message box about it.
  bool SaveOptions(bool interactive);
  void InitSettings();
  void InitDefaultMenu();
  bool FormCloseQuery(bool interactive);
  void FormClose();
  void FormShow();
  void Shutdown(bool interactive);
  void LoadMenuIcons();
  void ShowWarningDialog(const HighMemoryDecision& decision);

  void CreateComponents();
  void CreateTrayMenu();
  void TrayMouseDown(MouseButton button, unsigned shift, int x, int y);
  // The tray menu at the pointer, or beside the icon's rectangle (keeping clear of it).
  void ShowTrayMenu(const RECT* icon);
  // The menu's fonts and sizes for a monitor at dpi; made anew only when the dpi changes.
  void PrepareMenuScale(int dpi);
  // The default program icon or the task manager's, at size.
  HICON MenuIconAt(MenuIcon icon, int size);
  void MeasureItem(MenuItem& item, HDC dc, UINT& width, UINT& height);
  void DrawItem(MenuItem& item, HDC dc, const RECT& rect, bool selected);
  // Draws the theme parts that open an item's painting, from the popup's cache of backdrops.
  void DrawBackdrop(HDC dc, const RECT& rect, const std::vector<const ThemePartStep*>& parts);
  void KillItem(std::uint32_t processId, const std::wstring& exeFile, const std::wstring& fullPath);
  void TimerDefragTimer();
  void LaunchTaskManager1Click();
  void TrayDblClick();
  void Settings2Click();
  void ransparentBackground1Click();
  void extColor1Click();
  void hemes1Click();
  void Settings1Click();
  void ShowSettings(bool themePage);
  void HotKeyManager1HotKeyPressed(HotKeyValue hotKey, WORD index);
  // The optimise entry's shortcut, then the registration of RefreshHotkey anew.
  void ApplyHotKey();

  void RunOptionsDialog(bool themePage);
  void BringOptionsDialogForward();

  OptionsDialogGate optionsDialog_;
  TFrmOptions* optionsForm_ = nullptr;

  NumberFormat numberFormat_;
  PopupMenuWindow popupWindow_;
  UniqueFont menuFont_;
  UniqueFont menuBoldFont_;
  MenuScale menuScale_;
  std::wstring defaultIconPath_;
  int defaultIconIndex_ = 0;
  std::wstring taskManagerPath_;
  UniqueBitmap checkBitmap_;
  // While the menu is up: its visual style, opened once for all its items, and the items' themed
  // backgrounds, drawn once for each size and layout and copied for every item alike.
  std::optional<ThemeHandle> menuTheme_;
  bool menuTextMeasured_ = false;
  UniqueMemoryDc backdropDc_;
  std::vector<std::pair<std::vector<int>, UniqueBitmap>> backdrops_;
  RefreshCycle refresh_;
  Settings look_;
  TaskbarMode taskbarMode_ = TaskbarMode::Unknown;
  bool highContrast_ = false;
  std::optional<ThemeSlots> lightTheme_;
  std::optional<ThemeSlots> darkTheme_;
  bool quitWithoutSaving_ = false;
  bool closeQueryDone_ = false;
  bool closed_ = false;

  UniqueIcon aboutIcon_;
  // The window's controls, made when it first shows.
  std::unique_ptr<AboutPanel> about_;
};

}  // namespace nimbrel
