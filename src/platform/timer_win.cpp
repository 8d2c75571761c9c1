#include "platform/timer_win.h"

namespace nimbrel {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer(unsigned interval, bool enabled) : interval_(interval), enabled_(enabled) {
  sink_.CreateMessageOnly(L"TNimbrelTimer");
}

Timer::~Timer() {
  if (running_ && sink_.handle()) ::KillTimer(sink_.handle(), kTimerId);
}

void Timer::SetInterval(unsigned milliseconds) {
  if (interval_ == milliseconds) return;
  interval_ = milliseconds;
  Update();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Update();
}

void Timer::Update() {
  HWND w = sink_.handle();
  if (!w) return;
  if (running_) {
    ::KillTimer(w, kTimerId);
    running_ = false;
  }
  if (enabled_ && interval_ != 0 && OnTimer) running_ = ::SetTimer(w, kTimerId, interval_, nullptr) != 0;
}

LRESULT Timer::Sink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == kTimerId) {
    if (owner_.OnTimer) owner_.OnTimer();
    return 0;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace nimbrel
