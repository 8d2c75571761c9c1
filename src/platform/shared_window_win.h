#pragma once
// A hidden top-level window shared by every component of one kind: made by the first component that
// joins, destroyed when the last one leaves.
#include "platform/window_win.h"

namespace nimbrel {

template <typename Derived>
class SharedWindow : public Window {
 public:
  static Derived* Instance() noexcept { return instance_; }
  [[nodiscard]] int References() const noexcept { return references_; }

  static Derived& Join(const wchar_t* className) {
    if (!instance_) {
      instance_ = new Derived();
      instance_->Create(className, L"", WS_POPUP, 0, 0, 0, 0, 0, nullptr);
    }
    ++instance_->references_;
    return *instance_;
  }
  static void Leave() noexcept {
    if (instance_ && --instance_->references_ <= 0) {
      delete instance_;
      instance_ = nullptr;
    }
  }

 private:
  static inline Derived* instance_ = nullptr;
  int references_ = 0;
};

}  // namespace nimbrel
