// The main form's tray commands: the double-click action, the settings submenu and the options
// dialog's entry points.
#include <windows.h>

#include <shellapi.h>

#include "app/main_form_win.h"
#include "app/system_actions_win.h"
#include "platform/application_win.h"
#include "settings/color_text.h"
#include "settings/settings_store.h"

namespace nimbrel {

void TFrmNimbrelMain::LaunchTaskManager1Click() {
  ::ShellExecuteW(handle(), L"Open", L"taskmgr.exe", L"", L"", SW_SHOW);
}

void TFrmNimbrelMain::TrayDblClick() {
  if (closed_) return;
  switch (DoubleClickActionFor(settings.DoubleClickAction)) {
    case TrayDblClickAction::LaunchTaskManager:
      LaunchTaskManager1Click();
      break;
    case TrayDblClickAction::Optimise:
      MemoryDefragmenter1Click();
      break;
    case TrayDblClickAction::MemoryInfo:
      Tray->ShowBalloon(kMemoryInfoBalloonTitle, Tray->Hint(), kMemoryInfoBalloonKind,
                        kMemoryInfoBalloonSeconds);
      break;
    case TrayDblClickAction::ShowSettings:
      Settings1Click();
      break;
    case TrayDblClickAction::LockComputer:
      LockComputer();
      break;
    case TrayDblClickAction::RunDialog:
      ShowRunDialog(handle(), aboutIcon_.get(), Application::Instance().Title());
      break;
    case TrayDblClickAction::ShutdownDialog:
      ShowShutdownDialog();
      break;
    case TrayDblClickAction::None:
      break;
  }
}

void TFrmNimbrelMain::Settings2Click() {
  if (MenuItem* item = PopupMenu1.Find(L"ransparentBackground1")) item->Checked = settings.TransBk;
}

void TFrmNimbrelMain::ransparentBackground1Click() {
  if (MenuItem* item = PopupMenu1.Find(L"ransparentBackground1")) {
    item->Checked = !item->Checked;
    settings.TransBk = item->Checked;
  }
  Timer1Timer();  // the new picture at once, whether memory moves or not
}

void TFrmNimbrelMain::extColor1Click() {
  const ColorValue current = settings.DisplayFont.Color;
  ColorDialog1.Color = IsSystemColor(current) ? ::GetSysColor(SystemColorIndex(current))
                                              : static_cast<COLORREF>(current & 0xFFFFFF);
  if (!ColorDialog1.Execute(handle())) return;
  settings.FontColor = static_cast<ColorValue>(ColorDialog1.Color);
  ApplyFontColor(settings);
  Timer1Timer();
}

void TFrmNimbrelMain::hemes1Click() { ShowSettings(true); }

void TFrmNimbrelMain::Settings1Click() { ShowSettings(false); }

void TFrmNimbrelMain::ShowSettings(bool themePage) { optionsDialog_.Show(themePage); }

}  // namespace nimbrel
