#include "optimiser/optimiser.h"

#include <cstdint>

namespace nimbrel {

unsigned DefragIntervalMs(int defragEveryMinutes) {
  if (defragEveryMinutes <= 0) return 0;
  const std::uint64_t ms = static_cast<std::uint64_t>(defragEveryMinutes) * 60000u;
  return ms > kLongestTimerInterval ? kLongestTimerInterval : static_cast<unsigned>(ms);
}

void DefragTimerTick(const Settings& settings, const std::function<void()>& optimise) {
  if (settings.DefragEveryActive && optimise) optimise();
}

void RunOptimisation(MenuItem* entry, const std::function<void()>& trimAll) {
  struct Reenable {
    MenuItem* item;
    ~Reenable() {
      if (item) item->Enabled = true;
    }
  } guard{entry};
  if (entry) entry->Enabled = false;
  if (trimAll) trimAll();
}

}  // namespace nimbrel
