#include "ui/timer_win.h"

#include "ui/application_win.h"

namespace ui {
namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer(base::Component* owner, std::string name, unsigned interval)
    : base::Component(owner, std::move(name), "TTimer"), interval_(interval) {
  CreateOwn(WindowArgs{.className = "TMarlinetTimer", .parent = HWND_MESSAGE});
  PublishBool(
      "Enabled", [this] { return enabled_; }, [this](bool b) { SetEnabled(b); });
  PublishInt(
      "Interval", [this] { return interval_; },
      [this](long long i) { SetInterval(static_cast<unsigned>(i)); });
  PublishOther("OnTimer");
}

Timer::~Timer() {
  if (running_) KillTimer(Handle(), kTimerId);
}

void Timer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Update();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void Timer::SetOnTimer(std::function<void()> handler) {
  onTimer_ = std::move(handler);
  Update();
}

void Timer::Update() {
  if (running_) KillTimer(Handle(), kTimerId);
  running_ = enabled_ && interval_ != 0 && onTimer_;
  if (running_) SetTimer(Handle(), kTimerId, interval_, nullptr);
}

LRESULT Timer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kTimerId) {
    // Once the program is ending, windows are being destroyed under boxes
    // that run their own loops: no tick may reach them.
    // A handler that opens a box runs a loop in which this timer ticks on:
    // those ticks are dropped, so the handler never runs inside itself.
    if (onTimer_ && !ticking_ && !Application::Instance().Terminated()) {
      ticking_ = true;
      // Nobody clicked for what a tick shows.
      Application::UnaskedBoxes unasked;
      Dispatch(onTimer_);
      ticking_ = false;
    }
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
