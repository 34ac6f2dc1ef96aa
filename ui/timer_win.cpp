#include "ui/timer_win.h"

#include "ui/application_win.h"
#include "ui/library_win.h"

namespace ui {
namespace {
constexpr UINT_PTR kTimerId = 1;

// Windows 8 and later; looked up by name so that older systems still run
// the program with a plain timer.
using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
// TIMERV_NO_COALESCING, which the headers offer only to programs built for
// Windows 8 and later.
constexpr ULONG kNoCoalescing = 0xFFFFFFFF;

// Runs a tick's handler unless the program is ending or the handler is
// already running further up the stack.
void RunTick(const std::function<void()>& handler, bool& ticking) {
  // Once the program is ending, windows are being destroyed under boxes
  // that run their own loops: no tick may reach them.
  // A handler that opens a box runs a loop in which this timer ticks on:
  // those ticks are dropped, so the handler never runs inside itself.
  if (!handler || ticking || Application::Instance().Terminated()) return;
  ticking = true;
  // Nobody clicked for what a tick shows.
  Application::UnaskedBoxes unasked;
  Dispatch(handler);
  ticking = false;
}

}  // namespace

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
    RunTick(onTimer_, ticking_);
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

AimedTimer::AimedTimer(base::Component* owner, std::string name)
    : base::Component(owner, std::move(name), "TAimedTimer") {
  CreateOwn(WindowArgs{.className = "TMarlinetTimer", .parent = HWND_MESSAGE});
}

AimedTimer::~AimedTimer() {
  if (aimed_) KillTimer(Handle(), kTimerId);
}

void AimedTimer::Aim(unsigned delay) {
  static const auto coalescable =
      LibraryEntry<SetCoalescableTimerFn>(GetModuleHandleA("user32.dll"), "SetCoalescableTimer");
  // The same id replaces the earlier aim.
  aimed_ = (coalescable && coalescable(Handle(), kTimerId, delay, nullptr, kNoCoalescing)) ||
           SetTimer(Handle(), kTimerId, delay, nullptr);
}

LRESULT AimedTimer::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kTimerId) {
    // Once only: the handler aims it again.
    KillTimer(Handle(), kTimerId);
    aimed_ = false;
    RunTick(onTimer_, ticking_);
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
