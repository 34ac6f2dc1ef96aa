#include "widgets/digital_clock_core.h"

#include <cstdio>

namespace widgets {

ClockFace FormatClock(ui::TimeOfDay t, const ClockOptions& o) {
  int display = t.hour;
  if (o.twelveHour) display = t.hour > 12 ? t.hour - 12 : (t.hour == 0 ? 12 : t.hour);
  char text[32];
  int n =
      std::snprintf(text, sizeof text, o.leadingZero ? "%02d:%02d" : "%d:%02d", display, t.minute);
  if (o.showSeconds) n += std::snprintf(text + n, sizeof text - n, ":%02d", t.second);
  if (o.twelveHour) std::snprintf(text + n, sizeof text - n, " %s", t.hour < 12 ? "AM" : "PM");
  ClockFace face;
  face.text = text;
  face.cells = (display >= 10 || o.leadingZero ? 5 : 4) + (o.showSeconds ? 3 : 0);
  face.suffix = face.text.substr(static_cast<size_t>(face.cells));
  return face;
}

std::vector<int> CellsToRedraw(const ClockFace& face, const ClockOptions& o, ui::TimeOfDay t,
                               const LastDrawn& last, bool full) {
  std::vector<int> cells;
  // Where the minutes and seconds stand depends on the hour's width.
  const int hourWidth = (face.cells - (o.showSeconds ? 3 : 0)) - 3;
  const int minutes = hourWidth + 2, seconds = hourWidth + 5;
  for (int i = 1; i <= face.cells; ++i) {
    const bool isMinute = i == minutes || i == minutes + 1;
    const bool isSecond = o.showSeconds && (i == seconds || i == seconds + 1);
    if (full || (isSecond && t.second != last.second) || (isMinute && t.minute != last.minute)) {
      cells.push_back(i);
    }
  }
  return cells;
}

CellBlock LayoutCells(int areaLeft, int areaTop, int areaRight, int areaBottom, int cells,
                      int cellWidth, int cellHeight, int suffixWidth) {
  const int blockWidth = cells * cellWidth + suffixWidth;
  return {(areaLeft + areaRight - blockWidth) / 2, (areaTop + areaBottom - cellHeight) / 2,
          cellWidth, cellHeight};
}

bool CheckAlarm(Alarm& alarm, ui::TimeOfDay now) {
  if (alarm.enabled && now.hour == alarm.hour && now.minute == alarm.minute &&
      now.second >= alarm.second && now.second <= alarm.second + 60 && alarm.armed) {
    alarm.armed = false;
    return true;
  }
  const auto seconds = [](int h, int m, int s) { return (h * 60 + m) * 60 + s; };
  const int at = seconds(alarm.hour, alarm.minute, alarm.second);
  alarm.armed = seconds(now.hour, now.minute, now.second) < at || at == 0;
  return false;
}

}  // namespace widgets
