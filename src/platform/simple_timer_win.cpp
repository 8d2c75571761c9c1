#include "platform/simple_timer_win.h"

#include <unordered_map>

#include "platform/shared_window_win.h"

namespace nimbrel {

class TSimpleTimerHandler : public SharedWindow<TSimpleTimerHandler> {
 public:
  int active = 0;
  UINT_PTR nextId = 1;
  std::unordered_map<UINT_PTR, TSimpleTimer*> timers;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_TIMER) {
      auto it = timers.find(static_cast<UINT_PTR>(wParam));
      if (it != timers.end()) it->second->Fire();
      return 0;
    }
    return DefaultProc(msg, wParam, lParam);
  }
};

TSimpleTimer::TSimpleTimer(unsigned interval, Handler handler)
    : interval_(interval), handler_(std::move(handler)) {
  auto& shared = TSimpleTimerHandler::Join(L"TSimpleTimerHandler");
  id_ = shared.nextId++;
  shared.timers[id_] = this;
}

TSimpleTimer::~TSimpleTimer() {
  if (enabled_) Stop(true);
  if (auto* shared = TSimpleTimerHandler::Instance()) shared->timers.erase(id_);
  TSimpleTimerHandler::Leave();
}

bool TSimpleTimer::Start() {
  auto* shared = TSimpleTimerHandler::Instance();
  if (!shared || interval_ == 0) return false;
  if (enabled_) Stop(false);
  if (!::SetTimer(shared->handle(), id_, interval_, nullptr)) return false;
  enabled_ = true;
  ++shared->active;
  return true;
}

void TSimpleTimer::Stop(bool clearEnabled) {
  auto* shared = TSimpleTimerHandler::Instance();
  if (shared && ::KillTimer(shared->handle(), id_) && shared->active > 0) --shared->active;
  if (clearEnabled) enabled_ = false;
}

void TSimpleTimer::SetEnabled(bool enabled) {
  if (enabled) {
    Start();
  } else {
    Stop(true);
  }
}

void TSimpleTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (!enabled_) return;
  if (interval_ == 0) {
    Stop(false);  // stays enabled: a later interval starts it again
  } else {
    Start();
  }
}

void TSimpleTimer::SetHandler(Handler handler) {
  handler_ = std::move(handler);
  if (!handler_ && enabled_) Stop(false);
}

void TSimpleTimer::Fire() {
  if (handler_) handler_(*this);
}

HWND TSimpleTimer::HandlerWindow() noexcept {
  return TSimpleTimerHandler::Instance() ? TSimpleTimerHandler::Instance()->handle() : nullptr;
}
int TSimpleTimer::ReferenceCount() noexcept {
  return TSimpleTimerHandler::Instance() ? TSimpleTimerHandler::Instance()->References() : 0;
}
int TSimpleTimer::ActiveCount() noexcept {
  return TSimpleTimerHandler::Instance() ? TSimpleTimerHandler::Instance()->active : 0;
}

}  // namespace nimbrel
