#pragma once
// The refresh tick's timer. It hands the form a memory reading at every interval, but only one that
// differs from the last one handed over: an equal reading changes nothing the tick decides (the
// picture and the tooltip are made from the reading alone, and the high-memory rule fires on an
// upward crossing only). While readings change from tick to tick, a WM_TIMER on the form's thread
// reads them. Once memory has stayed as it is for a few ticks, the timer goes to sleep: a worker
// thread reads on a waitable timer and wakes the form's thread only for a changed reading, so a quiet
// machine costs the form's thread nothing. When readings start changing at every tick again, the
// WM_TIMER takes over again (one wake per tick instead of two). An interval of 0 stops it.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "display/memory_sample.h"
#include "platform/unique_resource_win.h"
#include "platform/window_win.h"

namespace nimbrel {

class ReadingTimer {
 public:
  using Reader = MemorySample (*)();
  // Equal readings in a row after which the timer sleeps, and changed ones in a row that wake it.
  static constexpr int kTicksToSleep = 5;
  static constexpr int kTicksToWake = 3;

  explicit ReadingTimer(unsigned interval = 1000, bool enabled = true, Reader read = nullptr);
  ~ReadingTimer();
  ReadingTimer(const ReadingTimer&) = delete;
  ReadingTimer& operator=(const ReadingTimer&) = delete;

  void SetInterval(unsigned milliseconds);
  [[nodiscard]] unsigned Interval() const noexcept { return interval_; }
  void SetEnabled(bool enabled);
  [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
  // Whether readings are being taken (enabled, an interval and a handler).
  [[nodiscard]] bool Running() const noexcept { return running_; }
  // Whether the worker reads, the form's thread sleeping until a reading changes.
  [[nodiscard]] bool Sleeping() const noexcept { return sleeping_; }

  // Called on the thread that made the timer, with a reading that differs from the previous one.
  std::function<void(const MemorySample&)> OnReading;
  // Applies a handler assigned after construction.
  void Update();
  // The next reading is handed over even when it equals the last: something else the picture is made
  // from (the system colours, the number format) has changed.
  void HandOverNext();
  // A reading the form has shown by itself (a tick of its own): the next one is judged against it.
  void Record(const MemorySample& reading);

 private:
  class Sink : public MessageWindow {
   public:
    explicit Sink(ReadingTimer& owner) : owner_(owner) {}

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

   private:
    ReadingTimer& owner_;
  };

  void Arm(bool sleeping);
  void Disarm();
  void ReadHere();
  void Work();
  void Deliver(bool wake);
  // A reading taken as the last one unless it equals it, with the length of the run of equal (or of
  // changed) readings it belongs to.
  struct Taken {
    bool changed;
    int run;
  };
  Taken Take(const MemorySample& reading);

  Sink sink_{*this};
  Reader read_;
  unsigned interval_;
  bool enabled_;
  bool running_ = false;
  bool sleeping_ = false;

  UniqueHandle timer_;
  UniqueHandle stop_;
  std::mutex lock_;  // guards the readings and counts below
  MemorySample last_;
  bool haveLast_ = false;
  int equalRun_ = 0;
  int changedRun_ = 0;
  bool posted_ = false;
  std::atomic<bool> stopping_{false};
  std::thread worker_;
};

}  // namespace nimbrel
