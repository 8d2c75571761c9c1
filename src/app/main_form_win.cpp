#include "app/main_form_win.h"

#include <windows.h>

#include <wtsapi32.h>

#include "app/messages.h"
#include "app/resource_ids.h"
#include "app/system_actions_win.h"
#include "display/high_memory_warning.h"
#include "display/memory_status_win.h"
#include "optimiser/optimiser.h"
#include "optimiser/optimiser_win.h"
#include "platform/application_win.h"
#include "platform/display_scale_win.h"
#include "platform/force_foreground_win.h"
#include "platform/system_info_win.h"
#include "platform/task_dialog_win.h"
#include "processes/tray_menu.h"
#include "settings/profile_file_update_win.h"
#include "settings/profile_ini_store_win.h"
#include "settings/settings_path_win.h"
#include "settings/settings_store.h"
#include "settings/theme_folder_win.h"

namespace nimbrel {

namespace {

constexpr DWORD kAboutStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kAboutExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

constexpr wchar_t kNotNtText[] = L"此程序需要 Windows NT/2000/XP/2003 Server/Vista/2008 Server/7/8 或更高";

}  // namespace

TFrmNimbrelMain::TFrmNimbrelMain() {
  Timer1.OnReading = [this](const MemorySample& sample) { Timer1Timer(sample); };
  Timer1.Update();
  TimerDefrag.OnTimer = [this] { TimerDefragTimer(); };
  TimerDefrag.Update();
  optionsDialog_.showModal = [this](bool themePage) { RunOptionsDialog(themePage); };
  optionsDialog_.bringForward = [this] { BringOptionsDialogForward(); };
  // Whatever the dialog did, the settings are saved and applied after it.
  optionsDialog_.afterClose = [this] {
    if (closed_) return;  // the program ended while the dialog was open, and has saved
    SaveOptions(true);
    InitSettings();
  };
}

TFrmNimbrelMain::~TFrmNimbrelMain() {
  // The last steps of the exit, once the message loop has ended and no handler of the tray component,
  // of the menu or of this window is on the stack any more.
  Application::Instance().RemoveDialogWindow(handle());
  Tray.reset();  // removes the icon from the notification area
  Destroy();
}

bool TFrmNimbrelMain::CreateForm() {
  aboutIcon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NIMBREL),
                                                   IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
  // Sized once the window knows its monitor's dpi.
  if (!Create(kMainWindowClass, L"关于", kAboutStyle, kAboutExStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
              Application::Instance().Handle(), static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)),
              aboutIcon_.get()))
    return false;
  about_ = std::make_unique<AboutPanel>(handle());
  about_->OnDonation = [this] { settings.ClickedDonation = true; };
  about_->OnDismiss = [this] { Tray->HideMainWindow(); };  // Button1Click
  Application::Instance().AddDialogWindow(handle());
  CreateComponents();
  FormCreate();
  // Only now is there a main form: the start-up message above is titled with the application's title.
  Application::Instance().SetMainForm(handle());
  return true;
}

void TFrmNimbrelMain::CreateComponents() {
  // The designed icon shows until the first refresh tick paints the real picture.
  UniqueIcon designed(static_cast<HICON>(::LoadImageW(
      ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NIMBREL), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
  Tray = std::make_unique<TCoolTrayIcon>(this, designed.get());
  Tray->SetIconVisible(true);
  Tray->Loaded();
  Tray->OnDblClick = [this] { TrayDblClick(); };
  // Keyboard users select the icon with Win+B and the arrow keys: Enter or Space does what a double
  // click does.
  Tray->SetNotifyBehaviour(2);
  Tray->OnKeySelect = [this] { TrayDblClick(); };
  HotKeyManager1 = std::make_unique<THotKeyManager>();
  HotKeyManager1->OnHotKeyPressed = [this](HotKeyValue key, WORD index) {
    HotKeyManager1HotKeyPressed(key, index);
  };
  CreateTrayMenu();
}

void TFrmNimbrelMain::FormCreate() {
  if (!IsWindowsNT()) {
    ShowInfoMessage(kNotNtText, nullptr);
    quitWithoutSaving_ = true;
    ::PostQuitMessage(0);
  }
  IsVistaOrLater = IsWindowsVistaOrLater();
  highMemory = HighMemoryState{};
  numberFormat_ = UserNumberFormat();

  SettingsLocation location = GetSettingsPath(Application::Instance().Handle());
  SettingsFilePath = location.path;
  PortableMode = location.portable;
  settings.DisplayFont = FontSpec{};

  LoadOptions();
  InitSettings();

  SessionNotifyRegistered = RegisterSessionNotification(handle());
  LoadMenuIcons();
  refresh_.SetPictureSize(NotificationAreaIconSize());
  ReadDesktopLook();
  Timer1Timer();
  EnablePrivilege(L"SeDebugPrivilege", true);
}

void TFrmNimbrelMain::LoadOptions() {
  ProfileIniStore store(SettingsFilePath);
  Settings defaults = DefaultSettings(WindowsMajorVersion());
  defaults.DisplayFont = settings.DisplayFont;
  LoadResult result = nimbrel::LoadOptions(store, defaults);
  settings = std::move(result.settings);
  ApplyHotKey();
  if (result.firstStart) StartupTheme(settings, PortableMode, Application::Instance().Handle());
  InitDefaultMenu();
  // On a first start the welcome balloon tells the user what the new icon is.
  ::PostMessageW(handle(), WM_SETTINGS_LOADED, result.firstStart ? 1 : 0, 0);
}

bool TFrmNimbrelMain::SaveOptions(bool interactive) {
  SaveResult result;
  result.ok = UpdateProfileFile(SettingsFilePath, [&](IniStore& store) {
    result = nimbrel::SaveOptions(store, settings);
    return result.ok;
  });
  if (!result.ok && interactive) {
    std::wstring text = L"Unable to write to " + SettingsFilePath;
    ::MessageBoxW(handle(), text.c_str(), Application::Instance().Title().c_str(), MB_OK | MB_ICONERROR);
  }
  return result.ok;
}

void TFrmNimbrelMain::InitSettings() {
  Timer1.SetInterval(settings.RefreshRate > 0 ? static_cast<unsigned>(settings.RefreshRate) : 0);
  TimerDefrag.SetInterval(DefragIntervalMs(settings.DefragEvery));
  TimerDefrag.SetEnabled(settings.DefragEveryActive);
  TimerDefragTimer();
}

void TFrmNimbrelMain::TimerDefragTimer() {
  DefragTimerTick(settings, [this] { MemoryDefragmenter1Click(); });
}

void TFrmNimbrelMain::LoadMenuIcons() {
  // Made at the menu's icon size when a menu first shows them.
  const std::wstring windows = GetWindowsFolder();
  defaultIconPath_ = windows + (IsVistaOrLater ? L"System32\\User32.dll" : L"System32\\Shell32.dll");
  defaultIconIndex_ = IsVistaOrLater ? 0 : 2;
  taskManagerPath_ = windows + L"System32\\taskmgr.exe";
  MenuIconAt(MenuIcon::DefaultProcessIcon, SmallIconSize(SystemDpi()));
  MenuIconAt(MenuIcon::TaskManagerIcon, SmallIconSize(SystemDpi()));
}

HICON TFrmNimbrelMain::MenuIconAt(MenuIcon icon, int size) {
  return icon == MenuIcon::DefaultProcessIcon
             ? menuImages.FixedIcon(defaultIconPath_, defaultIconIndex_, size)
             : menuImages.FixedIcon(taskManagerPath_, 0, size);
}

const Settings& TFrmNimbrelMain::Look() {
  if (!highContrast_ && !(settings.FollowTaskbarMode && taskbarMode_ != TaskbarMode::Unknown))
    return settings;
  if (settings.FollowTaskbarMode && !lightTheme_) {
    // The user may have made the two themes their own; a folder that lost them has the shipped ones.
    const WindowsThemeFolder folder = ThemesFolder(PortableMode, handle());
    const auto read = [&](const wchar_t* name, bool light) {
      const std::wstring path = folder.PathOf(ThemeFileNameOf(name));
      return folder.Exists(path) ? ReadTheme(*folder.Open(path)) : ShippedTaskbarTheme(light);
    };
    lightTheme_ = read(kLightTaskbarTheme, true);
    darkTheme_ = read(kDarkTaskbarTheme, false);
  }
  MakeTrayLook(look_, settings,
               LookInputs{taskbarMode_, highContrast_, lightTheme_ ? &*lightTheme_ : nullptr,
                          darkTheme_ ? &*darkTheme_ : nullptr});
  return look_;
}

void TFrmNimbrelMain::ReadDesktopLook() {
  const std::optional<bool> light = TaskbarUsesLightTheme();
  taskbarMode_ = !light ? TaskbarMode::Unknown : *light ? TaskbarMode::Light : TaskbarMode::Dark;
  highContrast_ = HighContrastOn();
  lightTheme_.reset();
  darkTheme_.reset();
}

void TFrmNimbrelMain::FollowIconSize() {
  const int size = NotificationAreaIconSize();
  if (size == refresh_.PictureSize()) return;
  refresh_.SetPictureSize(size);
  Timer1Timer();
}

void TFrmNimbrelMain::Timer1Timer() {
  const MemorySample sample = ReadMemorySample();
  // The timer judges its next reading against what the tray shows now.
  Timer1.Record(sample);
  Timer1Timer(sample);
}

void TFrmNimbrelMain::Timer1Timer(const MemorySample& sample) {
  if (closed_ || !Tray) return;  // the program ended while a warning dialog was open
  refresh_.Show(sample, Look(), *Tray, numberFormat_);
  DisplayedTotal = nimbrel::DisplayedTotal(settings, sample);

  HighMemoryDecision decision =
      EvaluateHighMemory(settings, sample.dwMemoryLoad, TickCount64(), WarningDialogOpen, highMemory);
  if (decision.fire) {
    if (decision.runOptimiserNow) MemoryDefragmenter1Click();
    if (decision.showBalloon) Tray->ShowBalloon(decision.title, decision.content, 2, 10);
    if (decision.showDialog) ShowWarningDialog(decision);
  }
  highMemory.LastMemoryLoad = sample.dwMemoryLoad;
}

void TFrmNimbrelMain::ShowWarningDialog(const HighMemoryDecision& decision) {
  // Ticks go on while the dialog is open; the flag keeps them from opening a second one.
  WarningDialogOpen = true;
  TTaskDialogEx request = HighMemoryWarningRequest(decision, reinterpret_cast<std::uintptr_t>(handle()));
  ForceForeground(Application::Instance().Handle());
  const int result = ExecuteTaskDialog(request);
  if (closed_) return;  // the session ended while the dialog was open
  switch (WarningDialogFollowUp(result, settings.DefragOnHighMemory)) {
    case WarningFollowUp::RunOptimiser:
      MemoryDefragmenter1Click();
      break;
    case WarningFollowUp::LaunchTaskManager:
      LaunchTaskManager1Click();
      break;
    case WarningFollowUp::None:
      break;
  }
  if (request.Dialog.VerificationChecked) settings.WarnMsgBox = false;
  WarningDialogOpen = false;
}

void TFrmNimbrelMain::MemoryDefragmenter1Click() {
  RunOptimisation(PopupMenu1.Find(L"MemoryDefragmenter1"), [] { TrimWindowProcesses(); });
}

void TFrmNimbrelMain::ApplyHotKey() {
  if (MenuItem* item = PopupMenu1.Find(L"MemoryDefragmenter1"))
    item->ShortCut = settings.RefreshHotkey & 0xFFFF;
  if (!HotKeyManager1) return;
  HotKeyManager1->UnregisterAllKeys();
  HotKeyManager1->RegisterGlobalKey(static_cast<HotKeyValue>(settings.RefreshHotkey));
}

void TFrmNimbrelMain::HotKeyManager1HotKeyPressed(HotKeyValue, WORD) { MemoryDefragmenter1Click(); }

void TFrmNimbrelMain::About1Click() {
  // Open already: it comes to the front where the user left it, without a second check.
  if (!::IsWindowVisible(handle())) FormShow();
  Tray->RestoreMainWindow();
}

// The donation line shows until the user has followed it (its controls are made at the first show,
// before it can be followed).
void TFrmNimbrelMain::FormShow() { about_->Show(!settings.ClickedDonation); }

void TFrmNimbrelMain::Close1Click() { Shutdown(true); }

bool TFrmNimbrelMain::FormCloseQuery(bool interactive) {
  closeQueryDone_ = true;
  if (!quitWithoutSaving_) SaveOptions(interactive);
  // A refused save never keeps the program from ending.
  return true;
}

void TFrmNimbrelMain::FormClose() {
  Timer1.SetEnabled(false);
  TimerDefrag.SetEnabled(false);
  HotKeyManager1.reset();
  RemoveProcessItems(PopupMenu1, nullptr);  // their icons belong to menuImages
  menuImages.Clear();
  if (SessionNotifyRegistered) {
    UnregisterSessionNotification(handle());
    SessionNotifyRegistered = false;
  }
}

void TFrmNimbrelMain::Shutdown(bool interactive) {
  if (closed_) return;
  closed_ = true;
  if (!closeQueryDone_) FormCloseQuery(interactive);
  FormClose();
  // The exit command runs inside the tray component's callback and the menu's handler, the session's
  // end inside this window's procedure: the components they belong to go after the message loop.
  Application::Instance().Terminate();
}

LRESULT TFrmNimbrelMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (about_ && about_->HandleMessage(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_CLOSE:
      ::ShowWindow(handle(), SW_HIDE);
      return 0;
    case WM_QUERYENDSESSION:
      FormCloseQuery(false);
      return TRUE;
    case WM_ENDSESSION:
      // The session ends the program as the exit command does; no message box may hold it up.
      if (wParam) {
        Shutdown(false);
      } else {
        closeQueryDone_ = false;  // cancelled: the next exit saves what changes until then
      }
      return 0;
    case WM_SECOND_INSTANCE:
      Tray->ShowBalloon(L"Nimbrel", L"Nimbrel 正在运行", 1, 10);
      return 0;
    case WM_OBJECT_COUNTS: {
      const int counts[kObjectCountKinds] = {UniqueIcon::Live(),  UniqueBitmap::Live(),
                                             UniqueFont::Live(),  UniqueMemoryDc::Live(),
                                             UniqueBrush::Live(), UniqueMenu::Live()};
      return static_cast<LRESULT>(PackObjectCounts(OpenHandleCount(), counts));
    }
    case WM_SETTINGS_LOADED:
      if (wParam == 1)
        Tray->ShowBalloon(L"Nimbrel", L"欢迎使用 Nimbrel. 在托盘中显示您计算机的当前内存. 此气球不会再显示.",
                          0, 10);
      Application::Instance().ProcessMessages();
      TCoolTrayIcon::HideAppButton();
      Application::Instance().ProcessMessages();
      TCoolTrayIcon::ShowAppButton();
      return 0;
    case WM_WTSSESSION_CHANGE:
      if (wParam == WTS_SESSION_LOCK && settings.SwitchOffMonitorOnLock)
        SwitchOffMonitor(Application::Instance().Handle(), [](DWORD ms) { ::Sleep(ms); });
      return 0;
    case WM_SETTINGCHANGE:
      FollowIconSize();
      // The taskbar turned light or dark, or a high-contrast scheme came or went: repaint now.
      if ((lParam && ::lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0) ||
          wParam == SPI_SETHIGHCONTRAST) {
        ReadDesktopLook();
        Timer1Timer();
      }
      // The user's menu font: the next menu makes its fonts anew.
      if (wParam == SPI_SETNONCLIENTMETRICS) menuFont_.reset();
      if (lParam && ::lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
        numberFormat_ = UserNumberFormat();
        Timer1.HandOverNext();
      }
      break;
    case WM_SYSCOLORCHANGE:
      Timer1.HandOverNext();  // the picture's automatic colours follow the system's
      highContrast_ = HighContrastOn();
      break;
    case WM_DPICHANGED:
      // wParam carries the new dpi twice (x, y), lParam the rectangle the system suggests. The
      // taskbar may have moved with the window's monitor too.
      if (about_) about_->DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      FollowIconSize();
      return 0;
    case WM_DISPLAYCHANGE:
      Timer1.HandOverNext();  // the shell may want the icon anew at the new colour depth
      FollowIconSize();
      break;
    default:
      // A new taskbar may stand on another monitor, at another scale.
      if (msg == TaskbarCreatedMessage()) FollowIconSize();
      break;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace nimbrel
