#pragma once
// The form timer: a WM_TIMER on a message-only window of its own. An interval of 0 stops it.
#include <windows.h>

#include <functional>

#include "platform/window_win.h"

namespace nimbrel {

class Timer {
 public:
  explicit Timer(unsigned interval = 1000, bool enabled = true);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(unsigned milliseconds);
  [[nodiscard]] unsigned Interval() const noexcept { return interval_; }
  void SetEnabled(bool enabled);
  [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
  // Whether WM_TIMER messages are being generated (enabled, an interval and a handler).
  [[nodiscard]] bool Running() const noexcept { return running_; }

  std::function<void()> OnTimer;
  // Applies a handler assigned after construction.
  void Update();

 private:
  class Sink : public MessageWindow {
   public:
    explicit Sink(Timer& owner) : owner_(owner) {}

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    Timer& owner_;
  };

  Sink sink_{*this};
  unsigned interval_;
  bool enabled_;
  bool running_ = false;
};

}  // namespace nimbrel
