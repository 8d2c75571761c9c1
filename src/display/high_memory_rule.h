#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace nimbrel {

// Five minutes between two high-memory warnings.
inline constexpr std::uint32_t kWarnHoldOffMs = 300000;

struct HighMemoryState {
  std::uint32_t LastMemoryLoad = 0;  // load of the previous tick
  // Milliseconds since the system started (a 64-bit count: the 32-bit one wraps every 49.7 days)
  // before which no warning fires.
  std::uint64_t WarnDeadline = 0;
  bool HasFired = false;
};

struct HighMemoryDecision {
  bool fire = false;
  bool runOptimiserNow = false;
  bool showBalloon = false;
  bool showDialog = false;
  std::wstring title;
  std::wstring content;
  std::wstring dialogButtons;  // command button captions, one per line
};

// Evaluates the rule for one tick; updates WarnDeadline/HasFired when it fires. It does not touch
// LastMemoryLoad: the tick stores its own load after any dialog returns.
HighMemoryDecision EvaluateHighMemory(const Settings& settings, std::uint32_t memoryLoad,
                                      std::uint64_t tickCount, bool warningDialogOpen,
                                      HighMemoryState& state);

enum class WarningFollowUp { None, RunOptimiser, LaunchTaskManager };

// What the warning dialog's answer asks for. Command button i answers 100 + i; Escape, the close box
// and "关闭" ask for nothing. With DefragOnHighMemory the optimiser has already run before the dialog.
WarningFollowUp WarningDialogFollowUp(int dialogResult, bool defragOnHighMemory);

}  // namespace nimbrel
