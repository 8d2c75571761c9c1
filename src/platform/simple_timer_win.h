#pragma once
// Timers of the tray component. All of them share one hidden window (created with the first timer,
// destroyed with the last); a timer is known to that window by a small id, never by its address.
#include <windows.h>

#include <functional>

namespace nimbrel {

class TSimpleTimer {
 public:
  using Handler = std::function<void(TSimpleTimer&)>;

  explicit TSimpleTimer(unsigned interval = 1000, Handler handler = {});
  ~TSimpleTimer();
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  // false when the interval is 0 or the system refuses the timer.
  bool Start();
  void Stop(bool clearEnabled);
  void SetEnabled(bool enabled);
  void SetInterval(unsigned interval);
  void SetHandler(Handler handler);

  [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
  [[nodiscard]] unsigned Interval() const noexcept { return interval_; }
  [[nodiscard]] UINT_PTR Id() const noexcept { return id_; }

  // The shared window and its counts, for tests and for the soak measurements.
  [[nodiscard]] static HWND HandlerWindow() noexcept;
  [[nodiscard]] static int ReferenceCount() noexcept;
  [[nodiscard]] static int ActiveCount() noexcept;

 private:
  friend class TSimpleTimerHandler;
  void Fire();

  UINT_PTR id_;
  bool enabled_ = false;
  unsigned interval_;
  Handler handler_;
};

}  // namespace nimbrel
