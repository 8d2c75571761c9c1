#include "display/reading_timer_win.h"

#include "display/memory_status_win.h"

namespace nimbrel {

namespace {
constexpr UINT_PTR kTimerId = 1;
// wParam 1: readings change at every tick again, the WM_TIMER takes over.
constexpr UINT kReadingMessage = WM_APP + 1;
}  // namespace

ReadingTimer::ReadingTimer(unsigned interval, bool enabled, Reader read)
    : read_(read ? read : &ReadMemorySample),
      interval_(interval),
      enabled_(enabled),
      timer_(::CreateWaitableTimerW(nullptr, FALSE, nullptr)),
      stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  sink_.CreateMessageOnly(L"TNimbrelReadingTimer");
  if (timer_ && stop_ && sink_.handle()) worker_ = std::thread([this] { Work(); });
}

ReadingTimer::~ReadingTimer() {
  Disarm();
  stopping_ = true;
  if (stop_) ::SetEvent(stop_.get());
  if (worker_.joinable()) worker_.join();
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
  Disarm();
  if (enabled_ && interval_ != 0 && OnReading && sink_.handle()) Arm(false);
}

void ReadingTimer::Disarm() {
  if (running_ && sink_.handle()) ::KillTimer(sink_.handle(), kTimerId);
  if (timer_) ::CancelWaitableTimer(timer_.get());
  running_ = false;
  sleeping_ = false;
}

void ReadingTimer::Arm(bool sleeping) {
  Disarm();
  {
    std::lock_guard<std::mutex> hold(lock_);
    equalRun_ = 0;
    changedRun_ = 0;
  }
  if (sleeping && worker_.joinable()) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(interval_) * 10000;  // relative, in 100 ns units
    sleeping_ =
        ::SetWaitableTimer(timer_.get(), &due, static_cast<LONG>(interval_), nullptr, nullptr, FALSE) != 0;
    running_ = sleeping_;
  }
  if (!running_) running_ = ::SetTimer(sink_.handle(), kTimerId, interval_, nullptr) != 0;
}

void ReadingTimer::HandOverNext() {
  std::lock_guard<std::mutex> hold(lock_);
  haveLast_ = false;
}

void ReadingTimer::Record(const MemorySample& reading) {
  std::lock_guard<std::mutex> hold(lock_);
  last_ = reading;
  haveLast_ = true;
}

ReadingTimer::Taken ReadingTimer::Take(const MemorySample& reading) {
  std::lock_guard<std::mutex> hold(lock_);
  if (haveLast_ && SameReading(reading, last_)) {
    changedRun_ = 0;
    return {false, ++equalRun_};
  }
  last_ = reading;
  haveLast_ = true;
  equalRun_ = 0;
  return {true, ++changedRun_};
}

void ReadingTimer::ReadHere() {
  const MemorySample reading = read_();
  const Taken taken = Take(reading);
  if (taken.changed) {
    if (OnReading) OnReading(reading);
  } else if (taken.run >= kTicksToSleep && running_) {
    Arm(true);
  }
}

void ReadingTimer::Work() {
  const HANDLE waits[] = {stop_.get(), timer_.get()};
  while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1 && !stopping_) {
    const Taken taken = Take(read_());
    if (!taken.changed) continue;
    const bool wake = taken.run >= kTicksToWake;
    bool post = false;
    {
      std::lock_guard<std::mutex> hold(lock_);
      // Readings that come while one is on its way replace it: the form gets the newest.
      post = !posted_ || wake;
      posted_ = true;
    }
    if (post) ::PostMessageW(sink_.handle(), kReadingMessage, wake ? 1 : 0, 0);
  }
}

void ReadingTimer::Deliver(bool wake) {
  MemorySample reading;
  {
    std::lock_guard<std::mutex> hold(lock_);
    posted_ = false;
    reading = last_;
  }
  // Stopped since the reading was posted: the form has asked for no more.
  if (!sleeping_) return;
  if (wake) Arm(false);
  if (OnReading) OnReading(reading);
}

LRESULT ReadingTimer::Sink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == kTimerId) {
    owner_.ReadHere();
    return 0;
  }
  if (msg == kReadingMessage) {
    owner_.Deliver(wParam == 1);
    return 0;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace nimbrel
