#pragma once
// TFrmOptions: the options dialog. A tab control with one child dialog per page, all from the
// resource templates; the controls show an OptionsModel and report what the user does to it.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "options/options_model.h"
#include "platform/unique_resource_win.h"
#include "settings/settings.h"
#include "settings/theme_folder_win.h"
#include "widgets/color_combo_win.h"
#include "widgets/spin_edit_win.h"

namespace nimbrel {

class TFrmOptions {
 public:
  TFrmOptions(Settings& settings, std::wstring settingsFilePath, WindowsThemeFolder themes,
              OptionsActions actions);
  ~TFrmOptions();
  TFrmOptions(const TFrmOptions&) = delete;
  TFrmOptions& operator=(const TFrmOptions&) = delete;

  // Fills the dialog, shows it near the taskbar and runs it until OK, Cancel or the close box.
  void ShowModal(HWND owner, bool themePage);
  void BringToFront();
  [[nodiscard]] HWND handle() const noexcept { return dialog_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void CreatePages();
  void FormCreate();
  void ShowPage(int index);
  // The dialog's own keys, seen before the dialog manager: page turning and the hot-key field.
  bool FilterKey(MSG& msg);
  void ShowModel();
  void ShowSpins();
  void ShowFontPanel();
  void OnCommand(int id, int code);
  void OnSpinChanged(Spin spin);
  void ReadSpins();
  void BtnSaveAsClick();
  void BtnDeleteThemeClick();
  void Button4Click();
  void CheckMonitorClick();
  void HotKey1Change();
  bool BtnApplyClick();
  void DrawColorEntry(const DRAWITEMSTRUCT& item);
  [[nodiscard]] HWND Control(int id) const;
  // The dialog's scale: its monitor's dpi when it was made, then the one each WM_DPICHANGED brings.
  [[nodiscard]] int Dpi() const;
  void AfterScaleChange();
  void PlacePages();
  [[nodiscard]] int ColorEntryHeight() const;
  [[nodiscard]] int LineHeight(HWND control) const;

  Settings& settings_;
  std::wstring settingsFilePath_;
  WindowsThemeFolder themes_;
  OptionsActions actions_;
  OptionsModel model_;

  HWND dialog_ = nullptr;
  HWND tabs_ = nullptr;
  std::array<HWND, 5> pages_{};
  std::array<TSpinEdit, static_cast<int>(Spin::Count)> spinEdits_;
  TColorComboBox cmbColorProcesses_;
  TColorComboBox cmbForeground_;
  UniqueFont panelFont_;
  int dpi_ = 0;
  bool showing_ = false;  // the controls are being set from the model: their notifications are ours
  bool done_ = false;
};

}  // namespace nimbrel
