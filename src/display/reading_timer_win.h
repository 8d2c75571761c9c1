#pragma once
// The refresh tick's timer. It reads memory at every interval on the form's thread and hands the form
// only a reading that differs from the last one handed over: an equal reading changes nothing the tick
// decides (the picture and the tooltip are made from the reading alone, and the high-memory rule fires
// on an upward crossing only). An interval of 0 stops it.
#include <windows.h>

#include <functional>

#include "display/memory_sample.h"
#include "platform/window_win.h"

namespace nimbrel {

class ReadingTimer {
 public:
  using Reader = MemorySample (*)();

  explicit ReadingTimer(unsigned interval = 1000, bool enabled = true, Reader read = nullptr);
  ReadingTimer(const ReadingTimer&) = delete;
  ReadingTimer& operator=(const ReadingTimer&) = delete;

  void SetInterval(unsigned milliseconds);
  [[nodiscard]] unsigned Interval() const noexcept { return interval_; }
  void SetEnabled(bool enabled);
  [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
  // Whether readings are being taken (enabled, an interval and a handler).
  [[nodiscard]] bool Running() const noexcept { return running_; }

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

  void Read();

  Sink sink_{*this};
  Reader read_;
  unsigned interval_;
  bool enabled_;
  bool running_ = false;
  MemorySample last_;
  bool haveLast_ = false;
};

}  // namespace nimbrel
