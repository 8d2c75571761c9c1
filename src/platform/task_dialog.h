#pragma once

// The request to the task dialog and everything about it that does not need the system: common
// preparation, the platform dialog's flags, button arrays and icons, result mapping, and the plain
// message dialog's mapping. The Windows side fills the platform structure or builds the emulated form
// (task_dialog_layout.h) from these values.
//
// Constants carry k-names rather than the platform's macro names, so that this header can sit next to
// <commctrl.h> in the Windows layer without the preprocessor rewriting it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// Common buttons: the bits of the platform's TDCBF_*_BUTTON values.
inline constexpr unsigned kOkButton = 1;
inline constexpr unsigned kYesButton = 2;
inline constexpr unsigned kNoButton = 4;
inline constexpr unsigned kCancelButton = 8;
inline constexpr unsigned kRetryButton = 16;
inline constexpr unsigned kCloseButton = 32;

// Dialog flags: bits 0..15 are the platform's TDF_* values, bits 16..18 drive the emulated edit field.
inline constexpr std::uint32_t kTdfEnableHyperlinks = 0x0001;
inline constexpr std::uint32_t kTdfUseHiconMain = 0x0002;
inline constexpr std::uint32_t kTdfUseHiconFooter = 0x0004;
inline constexpr std::uint32_t kTdfAllowDialogCancellation = 0x0008;
inline constexpr std::uint32_t kTdfUseCommandLinks = 0x0010;
inline constexpr std::uint32_t kTdfUseCommandLinksNoIcon = 0x0020;
inline constexpr std::uint32_t kTdfExpandFooterArea = 0x0040;
inline constexpr std::uint32_t kTdfExpandedByDefault = 0x0080;
inline constexpr std::uint32_t kTdfVerificationFlagChecked = 0x0100;
inline constexpr std::uint32_t kTdfShowProgressBar = 0x0200;
inline constexpr std::uint32_t kTdfShowMarqueeProgressBar = 0x0400;
inline constexpr std::uint32_t kTdfCallbackTimer = 0x0800;
inline constexpr std::uint32_t kTdfPositionRelativeToWindow = 0x1000;
inline constexpr std::uint32_t kTdfRtlLayout = 0x2000;
inline constexpr std::uint32_t kTdfNoDefaultRadioButton = 0x4000;
inline constexpr std::uint32_t kTdfCanBeMinimized = 0x8000;
inline constexpr std::uint32_t kQueryField = 1u << 16;
inline constexpr std::uint32_t kQueryMasked = 1u << 17;
inline constexpr std::uint32_t kQueryFocused = 1u << 18;

// Dialog results (the platform's ID* values) and the first ids of the caller's buttons.
inline constexpr int kResultNone = 0;
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultAbort = 3;
inline constexpr int kResultRetry = 4;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;
inline constexpr int kResultPlatformClose = 8;
// The emulated Close button answers like an Abort button.
inline constexpr int kResultEmulatedClose = kResultAbort;
inline constexpr int kFirstCommandButtonId = 100;
inline constexpr int kFirstRadioButtonId = 200;

// Stock icons by LoadIcon number, used with no instance handle.
inline constexpr int kIdiHand = 32513;
inline constexpr int kIdiQuestion = 32514;
inline constexpr int kIdiExclamation = 32515;
inline constexpr int kIdiAsterisk = 32516;
inline constexpr int kIdiWinLogo = 32517;
inline constexpr int kIdiError = kIdiHand;
inline constexpr int kIdiWarning = kIdiExclamation;
inline constexpr int kIdiInformation = kIdiAsterisk;

// The platform's stock footer icons; all other task dialog icons are comctl32 resource numbers.
inline constexpr int kTdInformationIcon = 0xFFFD;
inline constexpr int kTdShieldIcon = 0xFFFC;

// The texts of one dialog and the results read back. An empty text means the element is absent.
struct TTaskDialog {
  std::wstring Caption;
  std::wstring MainInstruction;
  std::wstring ContentText;
  std::wstring CommandButtons;  // one per line; button i answers 100 + i
  std::wstring RadioButtons;    // one per line; radio i answers 200 + i
  std::wstring ExpandedText;
  std::wstring ExpandLabel;
  std::wstring CollapseLabel;
  std::wstring FooterText;
  std::wstring VerificationText;
  std::wstring ChoiceList;  // one item per line; forces the emulation
  std::wstring InputText;
  int ChosenRadio = 0;
  int ChosenIndex = 0;
  bool VerificationChecked = false;
};

struct TTaskDialogEx {
  TTaskDialog Dialog;
  unsigned CommonButtons = 0;  // kOkButton ... kCloseButton
  int DefaultButton = 0;
  std::uint32_t DialogFlags = 0;
  int MainIconKind = 0;    // 0 none, 1 warning, 2 question, 3 error, 4 information, 5 none, 6 shield
  int FooterIconKind = 0;  // 0 none, 1 warning, 2 question, 3 error, 4 information, 5 shield
  int DefaultRadio = 0;
  int DialogWidth = 0;  // dialog units for the platform dialog; 0 = automatic
  std::uintptr_t ParentWindow = 0;
  bool ForceEmulation = false;
  bool ClassicLook = false;
};

struct PreparedRequest {
  TTaskDialogEx request;
  bool usePlatform = false;
};

// The preparation both paths share, except finding the owner window, which needs the system.
// fallbackCaption is the main form's caption, or the application title when there is no main form;
// platformAvailable says whether the platform's task dialog could be found.
PreparedRequest PrepareTaskDialog(const TTaskDialogEx& request, const std::wstring& fallbackCaption,
                                  bool platformAvailable);

// Backslash + 'n' written as two characters becomes a line feed.
std::wstring ExpandLineFeeds(std::wstring_view text);

struct TaskButtonItem {
  int id = 0;
  std::wstring caption;  // the text before a written backslash-n
  std::wstring note;     // the text after it, its own backslash-n pairs turned into line feeds
  // What the platform dialog shows: a command link draws the note as a second line.
  std::wstring PlatformText() const;
};

// Items of a button or radio list: the text, trimmed, is cut at every run of control characters, so
// that blank lines give no item; item i answers firstId + i.
std::vector<TaskButtonItem> SplitButtonItems(const std::wstring& text, int firstId);

// Whether the list yields any button at all: a text of only blanks and line breaks counts as none.
bool HasButtonItems(const std::wstring& text);

std::uint32_t PlatformDialogFlags(const PreparedRequest& prepared);

// Icon numbers for the platform dialog's pszMainIcon / pszFooterIcon; 0 is no icon.
int PlatformMainIconId(int mainIconKind);
int PlatformFooterIconId(int footerIconKind);

// LoadIcon numbers for the emulation; 0 when the kind shows no icon.
int EmulatedMainIconId(int mainIconKind);
int EmulatedFooterIconId(int footerIconKind);

// What the platform call handed back. verificationFlag is the BOOL the platform wrote.
struct PlatformOutcome {
  bool succeeded = false;
  int pressedButton = 0;
  int chosenRadio = 0;
  std::int32_t verificationFlag = 0;
};

// Writes the outcome into the caller's record and returns the dialog's result; a failed call leaves
// the record as it was and answers 0.
int ApplyPlatformOutcome(const PlatformOutcome& outcome, TTaskDialog& dialog);

// Request shapes of the three short-hand calls.
TTaskDialogEx TaskMessageRequest(const std::wstring& mainInstruction, const std::wstring& content,
                                 unsigned commonButtons, int mainIconKind, std::uintptr_t parentWindow,
                                 const std::wstring& caption, const std::wstring& footer, int footerIconKind,
                                 int dialogWidth);
TTaskDialogEx CommandQuestionRequest(const std::wstring& mainInstruction, const std::wstring& content,
                                     const std::wstring& commandButtons, int mainIconKind,
                                     std::uintptr_t parentWindow, const std::wstring& caption,
                                     const std::wstring& footer, int footerIconKind, int dialogWidth);
TTaskDialogEx InfoMessageRequest(const std::wstring& content, std::uintptr_t parentWindow);

// The plain message dialog.
enum class MessageDialogType { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

inline constexpr unsigned kMessageYes = 1;
inline constexpr unsigned kMessageNo = 2;
inline constexpr unsigned kMessageOk = 4;
inline constexpr unsigned kMessageCancel = 8;
inline constexpr unsigned kMessageAbort = 16;
inline constexpr unsigned kMessageRetry = 32;

// Longer texts are cut before they reach the platform's message dialog.
inline constexpr std::size_t kMessageTextLimit = 1024;

std::wstring MessageDialogTitle(MessageDialogType type);
int MessageDialogIconId(MessageDialogType type);
// Message buttons to common-button bits; there is no Abort button on the task dialog, Close stands in.
unsigned MessageDialogCommonButtons(unsigned messageButtons);
int MessageDialogResult(int pressedButton);
std::wstring LimitMessageText(const std::wstring& text);

}  // namespace nimbrel
