#pragma once

// What the tray menu shows of an executable (its small icon, its description), kept from one opening
// to the next so that an opening looks up only the executables it has not met lately. Keyed by image
// path as the caller normalises it. At most `capacity` entries, except while one opening alone needs
// more: an entry used by the current opening is never dropped, so the items built from it stay valid.
// When room is needed, the entry unused for the most openings goes, through the release callback.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>

namespace nimbrel {

template <typename Value>
class ItemCache {
 public:
  ItemCache(std::size_t capacity, std::function<void(Value&)> release)
      : capacity_(capacity), release_(std::move(release)) {}
  ItemCache(const ItemCache&) = delete;
  ItemCache& operator=(const ItemCache&) = delete;
  ~ItemCache() { Clear(); }

  // Starts an opening: entries used from now on are the current opening's.
  void BeginOpening() { ++opening_; }

  // The entry for key, made with make() when there is none.
  Value& Get(const std::wstring& key, const std::function<Value()>& make) {
    auto found = entries_.find(key);
    if (found == entries_.end()) {
      MakeRoom();
      found = entries_.emplace(key, Entry{make(), 0}).first;
    }
    found->second.lastOpening = opening_;
    return found->second.value;
  }

  [[nodiscard]] std::size_t Size() const noexcept { return entries_.size(); }

  void Clear() {
    for (auto& [key, entry] : entries_)
      if (release_) release_(entry.value);
    entries_.clear();
  }

 private:
  struct Entry {
    Value value;
    std::uint64_t lastOpening;
  };

  void MakeRoom() {
    while (entries_.size() >= capacity_) {
      auto oldest = entries_.end();
      for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->second.lastOpening != opening_ &&
            (oldest == entries_.end() || it->second.lastOpening < oldest->second.lastOpening))
          oldest = it;
      if (oldest == entries_.end()) return;  // all in use by this opening: grow for now
      if (release_) release_(oldest->second.value);
      entries_.erase(oldest);
    }
  }

  std::size_t capacity_;
  std::function<void(Value&)> release_;
  std::unordered_map<std::wstring, Entry> entries_;
  std::uint64_t opening_ = 1;
};

}  // namespace nimbrel
