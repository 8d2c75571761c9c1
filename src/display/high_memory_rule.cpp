#include "display/high_memory_rule.h"

namespace nimbrel {
namespace {

constexpr int kFirstCommandButton = 100;
constexpr int kSecondCommandButton = 101;

}  // namespace

HighMemoryDecision EvaluateHighMemory(const Settings& settings, std::uint32_t memoryLoad,
                                      std::uint64_t tickCount, bool warningDialogOpen,
                                      HighMemoryState& state) {
  HighMemoryDecision decision;
  if (!settings.Warn && !settings.DefragOnHighMemory && !settings.WarnMsgBox) return decision;

  // RedPercent comes from the file unchecked and may be negative; compare in a wider signed type.
  const std::int64_t threshold = settings.RedPercent;
  const bool upwardCrossing = static_cast<std::int64_t>(state.LastMemoryLoad) < threshold &&
                              static_cast<std::int64_t>(memoryLoad) >= threshold;
  if (!upwardCrossing) return decision;
  if (state.HasFired && tickCount <= state.WarnDeadline) return decision;

  state.WarnDeadline = tickCount + kWarnHoldOffMs;
  state.HasFired = true;

  decision.fire = true;
  decision.runOptimiserNow = settings.DefragOnHighMemory;
  decision.content = settings.DefragOnHighMemory
                         ? L"碎片整理工具已激活. 如果内存仍然很高, 建议您关闭一些应用程序."
                         : L"建议关闭一些应用程序";
  decision.title = L"内存高 (" + std::to_wstring(memoryLoad) + L"%)";
  decision.showBalloon = settings.Warn;
  decision.showDialog = settings.WarnMsgBox && !warningDialogOpen;
  decision.dialogButtons = settings.DefragOnHighMemory ? L"&OK" : L"整理内存\n任务管理器\n关闭";
  return decision;
}

WarningFollowUp WarningDialogFollowUp(int dialogResult, bool defragOnHighMemory) {
  if (dialogResult == kFirstCommandButton) {
    return defragOnHighMemory ? WarningFollowUp::None : WarningFollowUp::RunOptimiser;
  }
  if (dialogResult == kSecondCommandButton) return WarningFollowUp::LaunchTaskManager;
  return WarningFollowUp::None;
}

}  // namespace nimbrel
