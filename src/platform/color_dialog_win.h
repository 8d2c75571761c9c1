#pragma once
// ColorDialog: the system's colour dialog, opening on a colour and keeping the sixteen custom
// colours the user mixed for as long as the dialog object lives.
#include <windows.h>

#include <array>

namespace nimbrel {

class TColorDialog {
 public:
  COLORREF Color = 0;
  std::array<COLORREF, 16> CustomColors;

  TColorDialog() { CustomColors.fill(RGB(255, 255, 255)); }
  // True when the user confirmed; Color then holds the choice. Cancel leaves Color as it was.
  bool Execute(HWND owner);
};

}  // namespace nimbrel
