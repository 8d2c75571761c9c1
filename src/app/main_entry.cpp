// Program entry: one running copy per session, and the update check's download helper.
#include <windows.h>

#include "app/main_form_win.h"
#include "app/messages.h"
#include "app/single_instance_win.h"
#include "app/update_check.h"
#include "app/update_checker_win.h"
#include "platform/application_win.h"
#include "platform/system_library_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace nimbrel;
  RestrictLibrarySearch();
  if (IsFetchCommandLine(::GetCommandLineW())) return RunFetchCommand(::GetCommandLineW());
  SingleInstance instance;
  if (!instance.Claim()) return 0;

  Application& app = Application::Instance();
  if (!app.Initialize(kApplicationTitle)) return 1;
  int code = 0;
  {
    TFrmNimbrelMain form;
    if (!form.CreateForm()) return 1;
    code = app.Run();
  }
  app.Finalize();
  return code;
}
