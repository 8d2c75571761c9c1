#include "widgets/color_combo_win.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>

#include "platform/display_scale_win.h"
#include "platform/dpi_scale.h"
#include "platform/system_libraries_win.h"
#include "platform/unique_resource_win.h"
#include "settings/profile_file_update_win.h"
#include "settings/profile_ini_store_win.h"

namespace nimbrel {
namespace {

// Blank space around the swatch and the text, in pixels at 96 dpi.
constexpr int kPadding = 2;

COLORREF SwatchColor(ColorValue color) {
  if (IsSystemColor(color)) return ::GetSysColor(SystemColorIndex(color));
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

}  // namespace

void TColorComboBox::Attach(HWND combo, std::wstring customColorsFile) {
  combo_ = combo;
  customColorsFile_ = std::move(customColorsFile);
  const ColorValue defaultColor = items_.DefaultColor();
  items_ = ColorComboItems{};
  items_.SetDefaultColor(defaultColor);
  ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < items_.Count(); ++i) {
    const std::wstring name(items_.Item(i).Name);
    ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  dpi_ = WindowDpi(combo_);
  SetItemHeight();
  Select(0);
}

void TColorComboBox::SetItemHeight() {
  const int height = ItemHeight(reinterpret_cast<HFONT>(::SendMessageW(combo_, WM_GETFONT, 0, 0)));
  ::SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
  ::SendMessageW(combo_, CB_SETITEMHEIGHT, 0, height);
}

void TColorComboBox::DpiChanged(int dpi) {
  dpi_ = dpi;
  if (combo_) {
    SetItemHeight();
    ::InvalidateRect(combo_, nullptr, TRUE);
  }
}

void TColorComboBox::SetDefaultColor(ColorValue automaticColor) {
  if (automaticColor == kAutomaticColor) return;
  items_.SetDefaultColor(automaticColor);
  if (combo_) ::InvalidateRect(combo_, nullptr, FALSE);
}

void TColorComboBox::SelectDefault() { Select(0); }

void TColorComboBox::SelectColor(ColorValue color) {
  const ColorComboItems::Placement placed = items_.Place(color);
  if (!combo_) return;
  if (placed.Inserted) {
    const std::wstring name(items_.Item(placed.Index).Name);
    ::SendMessageW(combo_, CB_INSERTSTRING, placed.Index, reinterpret_cast<LPARAM>(name.c_str()));
  }
  Select(placed.Index);
  // The custom entry may keep its index with a new colour: CB_SETCURSEL alone would not repaint it.
  ::InvalidateRect(combo_, nullptr, FALSE);
}

bool TColorComboBox::DefaultSelected() const { return SelectedColor() == kAutomaticColor; }

ColorValue TColorComboBox::SelectedColor() const {
  int index = CurrentIndex();
  if (index < 0 || index == items_.MoreColorsIndex()) index = committed_;
  const ColorItem item = items_.Item(index);
  return item.Kind == ColorItemKind::Default ? kAutomaticColor : item.Color;
}

void TColorComboBox::MeasureItem(MEASUREITEMSTRUCT& item) const {
  if (item.CtlType != ODT_COMBOBOX) return;
  const HFONT font = combo_ ? reinterpret_cast<HFONT>(::SendMessageW(combo_, WM_GETFONT, 0, 0)) : nullptr;
  item.itemHeight = static_cast<UINT>(ItemHeight(font));
}

void TColorComboBox::DrawItem(const DRAWITEMSTRUCT& item) const {
  const HDC dc = item.hDC;
  RECT bounds = item.rcItem;
  if (static_cast<int>(item.itemID) < 0 || static_cast<int>(item.itemID) >= items_.Count()) {
    // An empty list still shows where the focus is.
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &bounds);
    return;
  }
  const ColorItem entry = items_.Item(static_cast<int>(item.itemID));
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const int saved = ::SaveDC(dc);
  const int background = disabled ? COLOR_BTNFACE : selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
  ::FillRect(dc, &bounds, ::GetSysColorBrush(background));

  const int pad = ScaleForDpi(kPadding, dpi_ ? dpi_ : WindowDpi(item.hwndItem));
  const int swatchHeight = std::max<int>(bounds.bottom - bounds.top - 2 * pad, 1);
  RECT swatch{bounds.left + pad, bounds.top + pad, bounds.left + pad + swatchHeight * 5 / 3,
              bounds.top + pad + swatchHeight};
  // "自定义..." stands for no colour yet: its text lines up with the others, without a swatch.
  if (entry.Kind != ColorItemKind::More) {
    UniqueBrush fill(::CreateSolidBrush(SwatchColor(entry.Color)));
    ::FillRect(dc, &swatch, fill.get());
    ::FrameRect(dc, &swatch, ::GetSysColorBrush(COLOR_3DDKSHADOW));
  }

  RECT text{swatch.right + 2 * pad, bounds.top, bounds.right - pad, bounds.bottom};
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(disabled   ? COLOR_GRAYTEXT
                                   : selected ? COLOR_HIGHLIGHTTEXT
                                              : COLOR_WINDOWTEXT));
  ::DrawTextW(dc, entry.Name.data(), static_cast<int>(entry.Name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) ::DrawFocusRect(dc, &bounds);
  ::RestoreDC(dc, saved);
}

bool TColorComboBox::SelectionChanged(HWND owner) {
  const int index = CurrentIndex();
  if (index < 0) return false;
  if (index == items_.MoreColorsIndex()) {
    // Arrow keys in the open list pass over this entry; the dialog waits until the list closes
    // (CBN_SELCHANGE and CBN_CLOSEUP come in either order).
    if (::SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0)) return false;
    return RunColorDialog(owner);
  }
  if (index == committed_) return false;
  committed_ = index;
  return true;
}

int TColorComboBox::ItemHeight(HFONT font) const {
  const int dpi = dpi_ ? dpi_ : WindowDpi(combo_);
  UniqueFont messageFont;
  if (!font) {
    const NONCLIENTMETRICSW metrics = NonClientMetricsForDpi(dpi);
    messageFont.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    font = messageFont.get();
  }
  WindowDc dc(combo_);
  TEXTMETRICW metrics{};
  {
    SelectObjectGuard select(dc.get(), font);
    ::GetTextMetricsW(dc.get(), &metrics);
  }
  return metrics.tmHeight + 2 * ScaleForDpi(kPadding, dpi);
}

int TColorComboBox::CurrentIndex() const {
  return combo_ ? static_cast<int>(::SendMessageW(combo_, CB_GETCURSEL, 0, 0)) : CB_ERR;
}

void TColorComboBox::Select(int index) {
  committed_ = index;
  if (combo_) ::SendMessageW(combo_, CB_SETCURSEL, index, 0);
}

bool TColorComboBox::RunColorDialog(HWND owner) {
  // The combo box shows the colour in use, not "自定义...", while the dialog is open; Cancel leaves it so.
  const ColorValue current = SelectedColor();
  Select(committed_);

  CustomColorTable table = customColors_;
  if (!customColorsFile_.empty()) table = ReadCustomColors(ProfileIniStore(customColorsFile_));
  COLORREF custom[16];
  std::copy(table.begin(), table.end(), custom);

  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.rgbResult = SwatchColor(current == kAutomaticColor ? items_.DefaultColor() : current);
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  const CommonDialogLibrary dialogs;
  if (!dialogs.ChooseColorW || !dialogs.ChooseColorW(&choose)) return false;

  std::copy(std::begin(custom), std::end(custom), table.begin());
  customColors_ = table;
  if (!customColorsFile_.empty())
    UpdateProfileFile(customColorsFile_, [&](IniStore& store) { return WriteCustomColors(store, table); });
  SelectColor(static_cast<ColorValue>(choose.rgbResult & 0xFFFFFF));
  return true;
}

}  // namespace nimbrel
