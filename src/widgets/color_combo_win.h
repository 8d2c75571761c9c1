#pragma once
// TColorComboBox: an owner-drawn drop-down list of colours (a default entry, the standard colours, the
// system colours, a custom colour and "自定义..." for the system's colour dialog) on a COMBOBOX of a
// dialog template with CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS.
#include <windows.h>

#include <string>

#include "settings/color_text.h"
#include "widgets/color_combo_items.h"

namespace nimbrel {

class TColorComboBox {
 public:
  // Fills the entries and selects the default one. The custom colours of the colour dialog live in the
  // INI file customColorsFile (section "自定义颜色"); with an empty name they live only in this object.
  void Attach(HWND combo, std::wstring customColorsFile);
  // The swatch of entry 0: a real colour (RGB or system colour); kAutomaticColor is ignored.
  void SetDefaultColor(ColorValue automaticColor);
  void SelectDefault();
  // kAutomaticColor selects the default entry; a colour no entry shows goes into the custom entry.
  void SelectColor(ColorValue color);
  [[nodiscard]] bool DefaultSelected() const;
  // kAutomaticColor while the default entry is selected.
  [[nodiscard]] ColorValue SelectedColor() const;

  // The dialog forwards these for this control. WM_MEASUREITEM comes while the dialog creates the
  // control, before Attach: the height then follows the system's message font, and Attach sets it again
  // from the font the control was given.
  void MeasureItem(MEASUREITEMSTRUCT& item) const;
  void DrawItem(const DRAWITEMSTRUCT& item) const;
  // For CBN_SELCHANGE and CBN_CLOSEUP. True when a colour was chosen: another entry, or a colour
  // confirmed in the colour dialog (owner is its parent). Cancelling the colour dialog brings the
  // previous selection back and gives false.
  bool SelectionChanged(HWND owner);

  // The control's window moved to a monitor at dpi (its font already at that scale): the entries take
  // their height anew.
  void DpiChanged(int dpi);

  [[nodiscard]] HWND Handle() const { return combo_; }
  [[nodiscard]] const ColorComboItems& Items() const { return items_; }
  // The custom colours as the colour dialog last had them.
  [[nodiscard]] const CustomColorTable& CustomColors() const { return customColors_; }

 private:
  [[nodiscard]] int ItemHeight(HFONT font) const;
  void SetItemHeight();
  [[nodiscard]] int CurrentIndex() const;
  void Select(int index);
  bool RunColorDialog(HWND owner);

  HWND combo_ = nullptr;
  std::wstring customColorsFile_;
  ColorComboItems items_;
  CustomColorTable customColors_ = WhiteCustomColors();
  int committed_ = 0;  // the entry selected before the current change
  int dpi_ = 0;        // the control's scale; 0 until known

  static CustomColorTable WhiteCustomColors() {
    CustomColorTable colors;
    colors.fill(RGB(255, 255, 255));
    return colors;
  }
};

}  // namespace nimbrel
