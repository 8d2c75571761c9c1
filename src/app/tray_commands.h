#pragma once

// What the tray's commands decide without the system: the double-click action, the texts of the Run
// dialog, and the rule that only one options dialog is open at a time.

#include <functional>
#include <string>
#include <string_view>

namespace nimbrel {

enum class TrayDblClickAction {
  None,
  LaunchTaskManager,  // 0
  Optimise,           // 1
  MemoryInfo,         // 2: the tooltip in a balloon
  ShowSettings,       // 3
  LockComputer,       // 4
  RunDialog,          // 5
  ShutdownDialog,     // 6
};

// DoubleClickAction as stored; any value outside 0 to 6 does nothing.
TrayDblClickAction DoubleClickActionFor(int DoubleClickAction);

// The memory-information balloon: the tooltip's text, titled after the program, kind "info".
inline constexpr wchar_t kMemoryInfoBalloonTitle[] = L"Nimbrel";
inline constexpr int kMemoryInfoBalloonKind = 1;
inline constexpr unsigned kMemoryInfoBalloonSeconds = 40;

// The title and description buffers handed to the shell's Run dialog: 4 and 116 UTF-16 units, each
// ending in NUL, the description cut to 115 characters.
struct RunDialogTexts {
  std::wstring title;
  std::wstring description;
};
RunDialogTexts MakeRunDialogTexts(std::wstring_view applicationTitle);

// One options dialog at a time. Show runs the dialog modally through showModal; a request while it is
// open only brings it forward. When it has closed — whatever the result, and also when it threw —
// afterClose runs (the caller saves the settings and applies them), before anything propagates.
class OptionsDialogGate {
 public:
  std::function<void(bool themePage)> showModal;
  std::function<void()> bringForward;
  std::function<void()> afterClose;

  void Show(bool themePage);
  [[nodiscard]] bool IsOpen() const noexcept { return open_; }

 private:
  bool open_ = false;
};

}  // namespace nimbrel
