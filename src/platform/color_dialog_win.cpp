#include "platform/color_dialog_win.h"

#include <windows.h>

#include <commdlg.h>

#include "platform/system_libraries_win.h"

namespace nimbrel {

bool TColorDialog::Execute(HWND owner) {
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.rgbResult = Color;
  choose.lpCustColors = CustomColors.data();
  choose.Flags = CC_RGBINIT | CC_ANYCOLOR;
  const CommonDialogLibrary dialogs;
  if (!dialogs.ChooseColorW || !dialogs.ChooseColorW(&choose)) return false;
  Color = choose.rgbResult;
  return true;
}

}  // namespace nimbrel
