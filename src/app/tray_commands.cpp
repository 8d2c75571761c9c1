#include "app/tray_commands.h"

#include <exception>

namespace nimbrel {

TrayDblClickAction DoubleClickActionFor(int DoubleClickAction) {
  switch (DoubleClickAction) {
    case 0:
      return TrayDblClickAction::LaunchTaskManager;
    case 1:
      return TrayDblClickAction::Optimise;
    case 2:
      return TrayDblClickAction::MemoryInfo;
    case 3:
      return TrayDblClickAction::ShowSettings;
    case 4:
      return TrayDblClickAction::LockComputer;
    case 5:
      return TrayDblClickAction::RunDialog;
    case 6:
      return TrayDblClickAction::ShutdownDialog;
    default:
      return TrayDblClickAction::None;
  }
}

RunDialogTexts MakeRunDialogTexts(std::wstring_view applicationTitle) {
  constexpr std::size_t kTitleUnits = 4;
  constexpr std::size_t kDescriptionUnits = 116;
  RunDialogTexts texts;
  texts.title = L"Run";
  texts.title.resize(kTitleUnits, L'\0');
  texts.description = L"Type the name of a program, folder, document, or Internet resource, and ";
  texts.description += applicationTitle;
  texts.description += L" will open it for you.";
  texts.description.resize(kDescriptionUnits - 1);
  texts.description.resize(kDescriptionUnits, L'\0');
  return texts;
}

void OptionsDialogGate::Show(bool themePage) {
  if (open_) {
    if (bringForward) bringForward();
    return;
  }
  open_ = true;
  try {
    if (showModal) showModal(themePage);
  } catch (...) {
    open_ = false;
    if (afterClose) afterClose();
    throw;
  }
  open_ = false;
  if (afterClose) afterClose();
}

}  // namespace nimbrel
