// A message-driven timer: ticks arrive on the user-interface thread, also
// while a modal window or a message box runs its own loop.
#pragma once

#include <functional>
#include <string>

#include "base/component.h"
#include "ui/window_win.h"

namespace ui {

// Not a visible window: it offers none of a window's colours or fonts.
class Timer : public base::Component, private Window {
 public:
  Timer(base::Component* owner, std::string name, unsigned interval);
  ~Timer() override;

  unsigned Interval() const { return interval_; }
  // The same interval again does not restart the timer; 0 stops it.
  void SetInterval(unsigned interval);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void SetOnTimer(std::function<void()> handler);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Update();
  unsigned interval_;
  bool enabled_ = true;
  bool running_ = false;
  bool ticking_ = false;
  std::function<void()> onTimer_;
};

// A one-shot timer aimed at a moment: it fires once, `delay` ms after Aim(),
// and then waits to be aimed again. Where the system offers it, the timer
// asks not to be coalesced with others, since being on time is its purpose.
class AimedTimer : public base::Component, private Window {
 public:
  AimedTimer(base::Component* owner, std::string name);
  ~AimedTimer() override;

  // Replaces any aim not yet reached.
  void Aim(unsigned delay);
  void SetOnTimer(std::function<void()> handler) { onTimer_ = std::move(handler); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool aimed_ = false;
  bool ticking_ = false;
  std::function<void()> onTimer_;
};

}  // namespace ui
