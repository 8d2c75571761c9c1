#include "platform/task_dialog.h"

#include <array>

namespace nimbrel {
namespace {

constexpr unsigned kAllCommonButtons =
    kOkButton | kYesButton | kNoButton | kCancelButton | kRetryButton | kCloseButton;
constexpr std::uint32_t kQueryBits = kQueryField | kQueryMasked | kQueryFocused;

constexpr std::wstring_view kWrittenLineFeed = L"\\n";

constexpr std::array<int, 7> kPlatformMainIcons = {17, 84, 99, 98, 81, 0, 78};
constexpr std::array<int, 6> kPlatformFooterIcons = {17, 84, 99, 98, kTdInformationIcon, kTdShieldIcon};
constexpr std::array<int, 7> kEmulatedMainIcons = {0, kIdiWarning, kIdiQuestion, kIdiError, kIdiInformation,
                                                   0, kIdiWinLogo};
constexpr std::array<int, 6> kEmulatedFooterIcons = {0,         kIdiWarning,     kIdiQuestion,
                                                     kIdiError, kIdiInformation, kIdiWinLogo};

template <std::size_t N>
int IconByKind(const std::array<int, N>& table, int kind) {
  if (kind < 0 || static_cast<std::size_t>(kind) >= N) return 0;
  return table[static_cast<std::size_t>(kind)];
}

bool IsControlCharacter(wchar_t c) { return c < 32; }

// Blanks and control characters go at both ends, the way the list texts have always been trimmed.
std::wstring_view TrimBlanks(std::wstring_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && text[first] <= L' ') ++first;
  while (last > first && text[last - 1] <= L' ') --last;
  return text.substr(first, last - first);
}

TaskButtonItem MakeItem(std::wstring_view line, int id) {
  TaskButtonItem item;
  item.id = id;
  const std::size_t cut = line.find(kWrittenLineFeed);
  if (cut == std::wstring_view::npos) {
    item.caption = line;
  } else {
    item.caption = line.substr(0, cut);
    item.note = ExpandLineFeeds(line.substr(cut + kWrittenLineFeed.size()));
  }
  return item;
}

}  // namespace

std::wstring ExpandLineFeeds(std::wstring_view text) {
  std::wstring result;
  result.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t found = text.find(kWrittenLineFeed, pos);
    if (found == std::wstring_view::npos) {
      result.append(text.substr(pos));
      break;
    }
    result.append(text.substr(pos, found - pos));
    result.push_back(L'\n');
    pos = found + kWrittenLineFeed.size();
  }
  return result;
}

PreparedRequest PrepareTaskDialog(const TTaskDialogEx& request, const std::wstring& fallbackCaption,
                                  bool platformAvailable) {
  PreparedRequest prepared;
  prepared.request = request;
  TTaskDialogEx& r = prepared.request;
  TTaskDialog& d = r.Dialog;

  // The set has six members; higher bits name no button on either path.
  r.CommonButtons &= kAllCommonButtons;

  if (d.Caption.empty()) d.Caption = fallbackCaption;

  if (r.CommonButtons == 0 && !HasButtonItems(d.CommandButtons)) {
    r.CommonButtons = kOkButton;
    if (r.DefaultButton == 0) r.DefaultButton = kResultOk;
  }

  // The button lists keep their written backslash-n: it separates a button's caption from its note,
  // and turning it into a line feed here would cut the button in two.
  for (std::wstring* text :
       {&d.Caption, &d.MainInstruction, &d.ContentText, &d.ExpandedText, &d.ExpandLabel, &d.CollapseLabel,
        &d.FooterText, &d.VerificationText, &d.ChoiceList, &d.InputText}) {
    if (text->find(kWrittenLineFeed) != std::wstring::npos) *text = ExpandLineFeeds(*text);
  }

  prepared.usePlatform =
      platformAvailable && !r.ForceEmulation && (r.DialogFlags & kQueryField) == 0 && d.ChoiceList.empty();
  return prepared;
}

std::wstring TaskButtonItem::PlatformText() const {
  if (note.empty()) return caption;
  return caption + L'\n' + note;
}

std::vector<TaskButtonItem> SplitButtonItems(const std::wstring& text, int firstId) {
  std::vector<TaskButtonItem> items;
  const std::wstring_view trimmed = TrimBlanks(text);
  std::size_t pos = 0;
  while (pos < trimmed.size()) {
    std::size_t end = pos;
    while (end < trimmed.size() && !IsControlCharacter(trimmed[end])) ++end;
    items.push_back(MakeItem(trimmed.substr(pos, end - pos), firstId + static_cast<int>(items.size())));
    pos = end;
    while (pos < trimmed.size() && IsControlCharacter(trimmed[pos])) ++pos;
  }
  return items;
}

bool HasButtonItems(const std::wstring& text) { return !TrimBlanks(text).empty(); }

std::uint32_t PlatformDialogFlags(const PreparedRequest& prepared) {
  const TTaskDialogEx& r = prepared.request;
  // The emulation's own bits are no TDF_* flags; the platform must not see them.
  std::uint32_t flags = r.DialogFlags & ~kQueryBits;
  if (!r.Dialog.VerificationText.empty() && r.Dialog.VerificationChecked)
    flags |= kTdfVerificationFlagChecked;
  // A lone OK must answer Escape and the close box like the emulated one does.
  if (!HasButtonItems(r.Dialog.CommandButtons) && r.CommonButtons == kOkButton) {
    flags |= kTdfAllowDialogCancellation;
  }
  return flags;
}

int PlatformMainIconId(int mainIconKind) { return IconByKind(kPlatformMainIcons, mainIconKind); }
int PlatformFooterIconId(int footerIconKind) { return IconByKind(kPlatformFooterIcons, footerIconKind); }
int EmulatedMainIconId(int mainIconKind) { return IconByKind(kEmulatedMainIcons, mainIconKind); }
int EmulatedFooterIconId(int footerIconKind) { return IconByKind(kEmulatedFooterIcons, footerIconKind); }

int ApplyPlatformOutcome(const PlatformOutcome& outcome, TTaskDialog& dialog) {
  if (!outcome.succeeded) return kResultNone;
  dialog.ChosenRadio = outcome.chosenRadio;
  dialog.VerificationChecked = outcome.verificationFlag != 0;
  return outcome.pressedButton;
}

TTaskDialogEx TaskMessageRequest(const std::wstring& mainInstruction, const std::wstring& content,
                                 unsigned commonButtons, int mainIconKind, std::uintptr_t parentWindow,
                                 const std::wstring& caption, const std::wstring& footer, int footerIconKind,
                                 int dialogWidth) {
  TTaskDialogEx request;
  request.Dialog.Caption = caption;
  request.Dialog.MainInstruction = mainInstruction;
  request.Dialog.ContentText = content;
  request.Dialog.FooterText = footer;
  request.CommonButtons = commonButtons;
  request.DefaultButton = 0;
  request.DialogFlags = kTdfAllowDialogCancellation;
  request.MainIconKind = mainIconKind;
  request.FooterIconKind = footerIconKind;
  request.DefaultRadio = 0;
  request.DialogWidth = dialogWidth;
  request.ParentWindow = parentWindow;
  request.ForceEmulation = false;
  request.ClassicLook = true;
  return request;
}

TTaskDialogEx CommandQuestionRequest(const std::wstring& mainInstruction, const std::wstring& content,
                                     const std::wstring& commandButtons, int mainIconKind,
                                     std::uintptr_t parentWindow, const std::wstring& caption,
                                     const std::wstring& footer, int footerIconKind, int dialogWidth) {
  TTaskDialogEx request = TaskMessageRequest(mainInstruction, content, 0, mainIconKind, parentWindow, caption,
                                             footer, footerIconKind, dialogWidth);
  request.Dialog.CommandButtons = commandButtons;
  return request;
}

TTaskDialogEx InfoMessageRequest(const std::wstring& content, std::uintptr_t parentWindow) {
  constexpr int kInformationKind = 4;
  return TaskMessageRequest(L"", content, kOkButton, kInformationKind, parentWindow, L"", L"", 0, 0);
}

std::wstring MessageDialogTitle(MessageDialogType type) {
  switch (type) {
    case MessageDialogType::Warning:
      return L"警告";
    case MessageDialogType::Error:
      return L"错误";
    case MessageDialogType::Information:
      return L"信息";
    case MessageDialogType::Confirmation:
      break;
  }
  return L"确认";
}

int MessageDialogIconId(MessageDialogType type) {
  switch (type) {
    case MessageDialogType::Warning:
      return kIdiWarning;
    case MessageDialogType::Error:
      return kIdiError;
    case MessageDialogType::Information:
      return kIdiInformation;
    case MessageDialogType::Confirmation:
      break;
  }
  return kIdiQuestion;
}

unsigned MessageDialogCommonButtons(unsigned messageButtons) {
  struct Mapping {
    unsigned message;
    unsigned common;
  };
  constexpr std::array<Mapping, 6> kMappings = {{{kMessageOk, kOkButton},
                                                 {kMessageYes, kYesButton},
                                                 {kMessageNo, kNoButton},
                                                 {kMessageCancel, kCancelButton},
                                                 {kMessageRetry, kRetryButton},
                                                 {kMessageAbort, kCloseButton}}};
  unsigned common = 0;
  for (const Mapping& m : kMappings) {
    if ((messageButtons & m.message) != 0) common |= m.common;
  }
  return common;
}

int MessageDialogResult(int pressedButton) {
  switch (pressedButton) {
    case kResultCancel:
    case kResultRetry:
    case kResultYes:
    case kResultNo:
      return pressedButton;
    case kResultPlatformClose:
      return kResultAbort;
    default:
      return kResultOk;
  }
}

std::wstring LimitMessageText(const std::wstring& text) { return text.substr(0, kMessageTextLimit); }

}  // namespace nimbrel
