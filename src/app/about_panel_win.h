#pragma once
// What the About window shows: the program's icon, name and version, the update label and its check,
// the support link, the donation line and the OK button, laid out at the window's display scale. The
// window is the main form's own; its controls are made when it is first shown, so that a program that
// only ticks never loads the common controls for them.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/update_check.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {

class TUpdateChecker;

class AboutPanel {
 public:
  explicit AboutPanel(HWND window);
  ~AboutPanel();
  AboutPanel(const AboutPanel&) = delete;
  AboutPanel& operator=(const AboutPanel&) = delete;

  // The window is about to show: its controls (the donation line only while showDonation), placed near
  // the taskbar, and an update check where none has answered yet.
  void Show(bool showDonation);
  // WM_DPICHANGED: the window moved to a monitor at another scale (suggested: where the system puts it).
  void DpiChanged(int dpi, const RECT& suggested);
  // The window's messages about its controls; true with result when handled.
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // The user followed the donation link or clicked its picture.
  std::function<void()> OnDonation;
  // OK, Enter or Escape.
  std::function<void()> OnDismiss;

 private:
  void CreateControls();
  // The window's size at dpi_ (with or without the donation line), or the rectangle the system suggests.
  void Size(const RECT* suggested);
  // The fonts and icons at dpi_, handed to the controls.
  void MakeFonts();
  void Layout();
  void LabelDownloadLinkClick(const std::wstring& linkText);
  void ShowUpdateLabel();
  void StartUpdateCheck();

  HWND window_;
  int dpi_ = 96;
  bool donationShown_ = true;
  UniqueFont uiFont_;
  UniqueFont boldFont_;
  UniqueIcon pictureIcon_;
  UniqueIcon donationIcon_;
  // The controls, by the names of the design: Label2 the version, Image3 and JvLinkLabel2 the donation
  // line's picture and link, LabelDownload the update label, Button1 OK.
  HWND picture_ = nullptr;
  HWND labelTitle_ = nullptr;
  HWND label2_ = nullptr;
  HWND labelDownload_ = nullptr;
  HWND labelSupport_ = nullptr;
  HWND image3_ = nullptr;
  HWND jvLinkLabel2_ = nullptr;
  HWND button1_ = nullptr;
  UpdateLabel updateLabel_;
  std::unique_ptr<TUpdateChecker> GetUpdate;
};

}  // namespace nimbrel
