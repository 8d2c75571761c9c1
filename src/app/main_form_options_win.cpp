// The main form's side of the options dialog: what OK and Apply make it do at once.
#include "app/main_form_win.h"
#include "options/options_dialog_win.h"
#include "platform/application_win.h"
#include "processes/tray_menu.h"
#include "settings/theme_folder_win.h"

namespace nimbrel {

void TFrmNimbrelMain::RunOptionsDialog(bool themePage) {
  OptionsActions actions;
  actions.removeMenuItems = [this](const AppliedOptions& applied) {
    if (applied.processItemsRemoved)
      RemoveProcessItems(PopupMenu1, nullptr);  // their icons belong to menuImages
    if (applied.memoryItemsRemoved) RemoveMemoryLines(PopupMenu1);
  };
  actions.setRefreshInterval = [this] {
    Timer1.SetInterval(settings.RefreshRate > 0 ? static_cast<unsigned>(settings.RefreshRate) : 0);
  };
  actions.saveOptions = [this] { return SaveOptions(true); };
  actions.refreshTick = [this] { Timer1Timer(); };
  actions.reapplyHotKeyAndDefaultEntry = [this] {
    ApplyHotKey();
    InitDefaultMenu();
  };
  TFrmOptions form(settings, SettingsFilePath, ThemesFolder(PortableMode, handle()), std::move(actions));
  optionsForm_ = &form;
  struct Forget {
    TFrmOptions*& form;
    ~Forget() { form = nullptr; }
  } forget{optionsForm_};
  form.ShowModal(Application::Instance().Handle(), themePage);
}

void TFrmNimbrelMain::BringOptionsDialogForward() {
  if (optionsForm_) optionsForm_->BringToFront();
}

}  // namespace nimbrel
