// The digital clock's face: the text it shows, the cells its characters are
// drawn in, and which cells a drawing redraws, so a tick draws only what
// changed. Also the alarm check, kept for the control's completeness.
#pragma once

#include <string>
#include <vector>

#include "base/clock.h"

namespace widgets {

struct ClockOptions {
  bool showSeconds = true;
  bool twelveHour = false;
  bool leadingZero = true;
  // After the time on the 12-hour dial, as the user's locale writes them.
  std::string am = "AM", pm = "PM";
};

// The locale's designators; "AM" or "PM" where it gives none.
void UseDesignators(ClockOptions& o, const std::string& am, const std::string& pm);

struct ClockFace {
  std::string text;    // the whole formatted time: "09:05", "9:05 PM", "13:05:09"
  int cells = 0;       // how many of its characters stand in cells
  std::string suffix;  // the rest, drawn after the last cell: " AM", " PM" or ""
};

ClockFace FormatClock(base::TimeOfDay t, const ClockOptions& o);

// What the last drawing showed: the hour modulo 12, the minute, the second.
struct LastDrawn {
  int hour12 = 0, minute = 0, second = 0;
};

// A partial drawing at a new hour (modulo 12) gives way to a full repaint.
inline bool NeedsFullRepaint(base::TimeOfDay t, const LastDrawn& last) {
  return t.hour % 12 != last.hour12;
}

// The positions (1 .. cells) a drawing redraws: all when full; otherwise the
// seconds cells at a new second and the minutes cells at a new minute.
std::vector<int> CellsToRedraw(const ClockFace& face, const ClockOptions& o, base::TimeOfDay t,
                               const LastDrawn& last, bool full);

struct CellBlock {
  int left = 0, top = 0;  // of the first cell
  int cellWidth = 0, height = 0;
};
// The cells and the suffix as one block centred in the area (divisions
// toward zero); each cell is as wide as "8".
CellBlock LayoutCells(int areaLeft, int areaTop, int areaRight, int areaBottom, int cells,
                      int cellWidth, int cellHeight, int suffixWidth);

struct Alarm {
  bool enabled = false;
  int hour = 0, minute = 0, second = 0;
  bool armed = true;
};
// True when the alarm goes off now (it is then disarmed); otherwise the
// armed flag is worked out again.
bool CheckAlarm(Alarm& alarm, base::TimeOfDay now);

}  // namespace widgets
