#include "platform/color_dialog_win.h"

#include <windows.h>

#include <commdlg.h>

namespace nimbrel {

bool TColorDialog::Execute(HWND owner) {
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.rgbResult = Color;
  choose.lpCustColors = CustomColors.data();
  choose.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!::ChooseColorW(&choose)) return false;
  Color = choose.rgbResult;
  return true;
}

}  // namespace nimbrel
