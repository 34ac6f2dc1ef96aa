#include "bells/bell_schedule.h"

namespace bells {
namespace {

constexpr int kDogWatchFirstHour = 18;
constexpr int kDogWatchSecondHour = 19;

int TwelveHour(int hour) {
  const int h12 = hour % 12;
  return h12 == 0 ? 12 : h12;
}

int NextHour(int hour) { return (hour + 1) % kHoursPerDay; }

}  // namespace

bool HourGateAdmits(const HourBoxes& boxes, int hour, int minute, bool earlyRing) {
  if (hour < 0 || hour >= kHoursPerDay) return false;
  if (boxes[hour]) return true;
  return earlyRing && minute == 59 && boxes[NextHour(hour)];
}

bool IsStrikeMinute(int minute) {
  return minute == 0 || minute == 29 || minute == 30 || minute == 59;
}

int OnTheHourCount(int hour, bool dogWatch) {
  if (dogWatch && hour == kDogWatchSecondHour) return 2;
  return 2 * (((TwelveHour(hour) - 1) % 4) + 1);
}

int HalfHourCount(int hour, bool dogWatch) {
  if (dogWatch && hour == kDogWatchFirstHour) return 1;
  if (dogWatch && hour == kDogWatchSecondHour) return 3;
  return 2 * (TwelveHour(hour) % 4) + 1;
}

std::optional<int> BellCount(int hour, int minute, bool earlyRing, bool dogWatch) {
  if (hour < 0 || hour >= kHoursPerDay) return std::nullopt;
  if (earlyRing) {
    if (minute == 59) return OnTheHourCount(NextHour(hour), dogWatch);
    if (minute == 29) return HalfHourCount(hour, dogWatch);
  } else {
    if (minute == 0) return OnTheHourCount(hour, dogWatch);
    if (minute == 30) return HalfHourCount(hour, dogWatch);
  }
  return std::nullopt;
}

int MsToNextStrike(const base::TimeOfDay& now, bool earlyRing) {
  const int minuteOfDay = now.hour * 60 + now.minute;
  // Every half hour holds one strike minute under either setting.
  int ahead = 1;
  for (; ahead < 30; ++ahead) {
    const int m = (minuteOfDay + ahead) % base::kMinutesPerDay;
    if (BellCount(m / 60, m % 60, earlyRing, false)) break;
  }
  return static_cast<int>(base::MsToAimedTick(now, ahead));
}

}  // namespace bells
