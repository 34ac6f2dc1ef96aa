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

}  // namespace ui
