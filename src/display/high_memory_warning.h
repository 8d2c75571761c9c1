#pragma once
// The question the high-memory rule asks when it fires with the dialog switched on.
#include <cstdint>

#include "display/high_memory_rule.h"
#include "platform/task_dialog.h"

namespace nimbrel {

inline constexpr wchar_t kDoNotWarnAgain[] = L"不再显示此警告";

TTaskDialogEx HighMemoryWarningRequest(const HighMemoryDecision& decision, std::uintptr_t parentWindow);

}  // namespace nimbrel
