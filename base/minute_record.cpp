#include "base/minute_record.h"

#include <cstdio>

#include "base/clock.h"

namespace base {

std::string MinuteRecordText(long long minute) {
  const TimeOfDay t = FromMinutesSinceEpoch(minute);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

std::optional<long long> ParseMinuteRecord(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  char tail = 0;
  if (text.size() != 16 ||
      std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &y, &mo, &d, &h, &mi, &tail) != 5) {
    return std::nullopt;
  }
  const long long minute = MinutesSinceEpoch({h, mi, 0, 0, y, mo, d});
  // Read back exactly as written, or it is not a minute (a 31st of April).
  if (MinuteRecordText(minute) != text) return std::nullopt;
  return minute;
}

}  // namespace base
