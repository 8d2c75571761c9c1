#pragma once

// The memory optimiser's decisions: the period of its timer, the periodic tick, and one run with the
// menu entry that shows it is running.

#include <functional>

#include "platform/menu_model.h"
#include "settings/settings.h"

namespace nimbrel {

// SetTimer's longest interval (USER_TIMER_MAXIMUM), about 24.8 days.
inline constexpr unsigned kLongestTimerInterval = 0x7FFFFFFF;

// DefragEvery minutes as the timer's interval in milliseconds. 0 or less gives 0 (a timer that never
// fires); a hand-edited value beyond the longest interval the system takes is held there instead of
// wrapping round to some short period.
unsigned DefragIntervalMs(int defragEveryMinutes);

// TimerDefragTimer: the periodic tick runs the optimiser only while DefragEveryActive is on, so a tick
// that arrives after the setting went off does nothing.
void DefragTimerTick(const Settings& settings, const std::function<void()>& optimise);

// One optimisation: the entry (may be null) is disabled while trimAll runs and enabled again on every
// way out, an exception from trimAll included (which then goes on to the caller).
void RunOptimisation(MenuItem* entry, const std::function<void()>& trimAll);

}  // namespace nimbrel
