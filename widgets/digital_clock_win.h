// The digital clock: a panel that shows a time of day and keeps it current
// from its own 450 ms tick, redrawing only the digit cells that changed.
// The time comes from the local clock unless OnGetTime hands another; the
// time it shows is its window text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "ui/controls_win.h"
#include "ui/timer_win.h"
#include "widgets/digital_clock_core.h"

namespace widgets {

class TDigitalClock : public ui::Panel {
 public:
  static constexpr unsigned kTickMs = 450;

  // Lowered inner and raised outer bevels unless the arguments give others.
  TDigitalClock(base::Component* owner, const ui::ControlArgs& args);

  bool ShowSeconds() const { return options_.showSeconds; }
  bool TwelveHour() const { return options_.twelveHour; }
  bool LeadingZero() const { return options_.leadingZero; }
  // A new value repaints; the value it already has does nothing.
  void SetShowSeconds(bool on);
  void SetTwelveHour(bool on);
  void SetLeadingZero(bool on);
  void SetFont(const ui::FontSpec& f) override;
  // The owner's designators, in place of the user's: from now on the clock
  // no longer reads them itself.
  void SetDesignators(const base::Designators& designators);

  // The alarm, which this program leaves off.
  Alarm alarm;
  base::NotifyEvent OnAlarm;
  // Asked for every time the clock needs the time; may replace it.
  std::function<void(TDigitalClock&, base::TimeOfDay&)> OnGetTime;
  // Where the local time comes from (the system's unless set).
  void SetClock(base::LocalClock* clock) { clock_ = clock; }

  // Cells drawn since the clock was made, for measuring.
  unsigned long CellsDrawn() const { return cellsDrawn_; }
  // One tick: the changed cells only (or a full repaint at a new hour),
  // then the alarm check.
  void Tick();
  // The face drawn onto any device context, as the paint or a tick would.
  void DrawFace(HDC dc, bool full);

  void Loaded() override;
  void SystemChange(UINT msg, WPARAM wp, LPARAM lp) override;

 protected:
  void BeforePaint() override;
  void Paint(HDC dc, RECT client) override;

 private:
  struct Reading {
    base::TimeOfDay time;  // split into hours, minutes and seconds
    ClockFace face;        // formatted from a second reading
  };
  base::TimeOfDay CurrentTime();
  Reading Read();
  // The time for a tick's drawing; false when the hour changed and a full
  // repaint was asked for instead.
  bool ReadForPartial(Reading& r);
  void DrawCells(HDC dc, RECT area, const Reading& r, const std::vector<int>& cells, bool full);
  // The drawn time, and the window text that tells it.
  void Remember(const Reading& r);
  void Repaint();
  void CheckTheAlarm();
  // The user's AM and PM designators.
  void ReadDesignators();

  ClockOptions options_;
  bool ownersDesignators_ = false;
  LastDrawn last_;
  Reading prepared_;
  bool havePrepared_ = false;
  std::string shown_;
  unsigned long cellsDrawn_ = 0;
  base::LocalClock* clock_;
  ui::Timer* timer_;
};

}  // namespace widgets
