#pragma once

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace nimbrel {

// Callbacks that may claim what they are called with (returning true), each known by the id Add gave it.
template <typename... Args>
class CallbackList {
 public:
  using Callback = std::function<bool(Args...)>;

  int Add(Callback callback) {
    entries_.emplace_back(nextId_, std::move(callback));
    return nextId_++;
  }
  void Remove(int id) noexcept {
    std::erase_if(entries_, [id](const auto& entry) { return entry.first == id; });
  }
  // Calls each in turn until one claims; true when one did. A callback may add or remove callbacks,
  // itself among them: the walk goes by id (ids only grow, and the list keeps their order), so a removal
  // never makes it skip the next one.
  bool Claimed(Args... args) const {
    int last = 0;
    for (;;) {
      const auto next = std::find_if(entries_.begin(), entries_.end(),
                                     [last](const auto& entry) { return entry.first > last; });
      if (next == entries_.end()) return false;
      last = next->first;
      const Callback callback = next->second;  // the entry may go while it runs
      if (callback(args...)) return true;
    }
  }

 private:
  std::vector<std::pair<int, Callback>> entries_;
  int nextId_ = 1;
};

}  // namespace nimbrel
