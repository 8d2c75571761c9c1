#include "display/reading_timer_win.h"

#include "display/memory_status_win.h"

namespace nimbrel {

namespace {
constexpr UINT_PTR kTimerId = 1;
}  // namespace

ReadingTimer::ReadingTimer(unsigned interval, bool enabled, Reader read)
    : read_(read ? read : &ReadMemorySample), interval_(interval), enabled_(enabled) {
  sink_.CreateMessageOnly(L"TNimbrelReadingTimer");
}

void ReadingTimer::SetInterval(unsigned milliseconds) {
  if (interval_ == milliseconds) return;
  interval_ = milliseconds;
  Update();
}

void ReadingTimer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Update();
}

void ReadingTimer::Update() {
  if (running_) ::KillTimer(sink_.handle(), kTimerId);
  running_ = enabled_ && interval_ != 0 && OnReading && sink_.handle() &&
             ::SetTimer(sink_.handle(), kTimerId, interval_, nullptr) != 0;
}

void ReadingTimer::HandOverNext() { haveLast_ = false; }

void ReadingTimer::Record(const MemorySample& reading) {
  last_ = reading;
  haveLast_ = true;
}

void ReadingTimer::Read() {
  const MemorySample reading = read_();
  if (haveLast_ && SameReading(reading, last_)) return;
  Record(reading);
  if (OnReading) OnReading(reading);
}

LRESULT ReadingTimer::Sink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == kTimerId) {
    owner_.Read();
    return 0;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace nimbrel
