#include "display/high_memory_warning.h"

namespace nimbrel {

TTaskDialogEx HighMemoryWarningRequest(const HighMemoryDecision& decision, std::uintptr_t parentWindow) {
  TTaskDialogEx request;
  request.Dialog.Caption = L"Nimbrel";
  request.Dialog.MainInstruction = decision.title;
  request.Dialog.ContentText = decision.content;
  request.Dialog.CommandButtons = decision.dialogButtons;
  request.Dialog.VerificationText = kDoNotWarnAgain;
  request.Dialog.VerificationChecked = false;
  request.CommonButtons = 0;
  request.DefaultButton = 0;
  request.DialogFlags = kTdfAllowDialogCancellation;
  request.MainIconKind = 1;
  request.FooterIconKind = 0;
  request.DefaultRadio = 0;
  request.DialogWidth = 270;
  request.ParentWindow = parentWindow;
  request.ForceEmulation = false;
  request.ClassicLook = true;
  return request;
}

}  // namespace nimbrel
