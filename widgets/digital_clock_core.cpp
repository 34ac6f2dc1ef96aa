#include "widgets/digital_clock_core.h"

#include <string>

namespace widgets {

namespace {

// As "%d" or "%02d" would write it; the face is formatted at every tick, and
// by hand that is a few instructions.
void AppendNumber(std::string& text, int value, bool twoDigits) {
  if (value < 0 || value > 99) {
    text += std::to_string(value);
    return;
  }
  if (value >= 10 || twoDigits) text += static_cast<char>('0' + value / 10);
  text += static_cast<char>('0' + value % 10);
}

}  // namespace

ClockFace FormatClock(base::TimeOfDay t, const ClockOptions& o) {
  int display = t.hour;
  if (o.twelveHour) display = t.hour > 12 ? t.hour - 12 : (t.hour == 0 ? 12 : t.hour);
  ClockFace face;
  AppendNumber(face.text, display, o.leadingZero);
  face.text += ':';
  AppendNumber(face.text, t.minute, true);
  if (o.showSeconds) {
    face.text += ':';
    AppendNumber(face.text, t.second, true);
  }
  if (o.twelveHour) {
    face.text += ' ';
    face.text += t.hour < 12 ? o.am : o.pm;
  }
  face.cells = (display >= 10 || o.leadingZero ? 5 : 4) + (o.showSeconds ? 3 : 0);
  face.suffix = face.text.substr(static_cast<size_t>(face.cells));
  return face;
}

void UseDesignators(ClockOptions& o, const std::string& am, const std::string& pm) {
  o.am = am.empty() ? "AM" : am;
  o.pm = pm.empty() ? "PM" : pm;
}

std::vector<int> CellsToRedraw(const ClockFace& face, const ClockOptions& o, base::TimeOfDay t,
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

bool CheckAlarm(Alarm& alarm, base::TimeOfDay now) {
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
