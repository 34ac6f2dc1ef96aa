// The clocks the program reads: local time for the bells and the launch list,
// UTC for the world clocks. Interfaces, so every rule can be driven minute by
// minute in tests.
#pragma once

#include <optional>
#include <string>

namespace base {

inline constexpr int kHoursPerDay = 24;
inline constexpr int kMinutesPerDay = kHoursPerDay * 60;

struct TimeOfDay {
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;  // 0-59; the bells and the launch list never look at it
  int millisecond = 0;  // 0-999: where a timer aims at the start of a minute
  // The date, so that a record can tell one day's minute from the next's.
  // A clock that leaves it at its default stays on one day.
  int year = 2000;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
};

// Days from 1 January 1970 to the reading's date, in the civil calendar.
constexpr long long DaysSinceEpoch(const TimeOfDay& t) {
  const long long y = t.year - (t.month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long mp = (t.month + 9) % 12;
  const long long doy = (153 * mp + 2) / 5 + t.day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// The reading as whole minutes on one line, so that two readings on
// different days compare as the clock moved between them.
constexpr long long MinutesSinceEpoch(const TimeOfDay& t) {
  return DaysSinceEpoch(t) * kMinutesPerDay + t.hour * 60 + t.minute;
}

// The reading of a minute on that line, seconds and milliseconds 0.
constexpr TimeOfDay FromMinutesSinceEpoch(long long minutes) {
  long long days = minutes / kMinutesPerDay;
  long long inDay = minutes % kMinutesPerDay;
  if (inDay < 0) {
    inDay += kMinutesPerDay;
    --days;
  }
  // The civil calendar from a day count, inverse of DaysSinceEpoch.
  const long long z = days + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {static_cast<int>(inDay / 60), static_cast<int>(inDay % 60), 0, 0, year, month, day};
}

// How long after its minute begins a tick aimed at that minute comes: past
// the system timer's granularity (about 16 ms on Windows), so that a timer
// that is on time reads the new minute, yet well inside the tenth of a
// second in which a strike or an open should start.
inline constexpr int kAimPastMinuteMs = 25;

// Milliseconds from the reading to kAimPastMinuteMs past the first moment of
// the minute that begins `minutesAhead` whole minutes after the reading's own.
constexpr long long MsToAimedTick(const TimeOfDay& t, int minutesAhead) {
  return minutesAhead * 60000LL - t.second * 1000LL - t.millisecond + kAimPastMinuteMs;
}

static_assert(DaysSinceEpoch({0, 0, 0, 0, 1970, 1, 1}) == 0);
static_assert(DaysSinceEpoch({0, 0, 0, 0, 2000, 3, 1}) == 11017);  // past a leap day
static_assert(DaysSinceEpoch({0, 0, 0, 0, 2026, 12, 8}) == 20795);
static_assert(FromMinutesSinceEpoch(20795LL * kMinutesPerDay + 9 * 60 + 5).day == 8);
static_assert(FromMinutesSinceEpoch(11016LL * kMinutesPerDay).day == 29);  // 29 Feb 2000

// The 12-hour dial's designators in the program's code page: one pair for
// every clock it shows, so the home time, GMT and the places agree.
struct Designators {
  std::string am = "AM", pm = "PM";
  bool operator==(const Designators&) const = default;
};

// The locale's pair, or "AM" and "PM" for both where either is empty or has
// no form in the code page (nullopt): half a pair would read as a mistake.
inline Designators PickDesignators(const std::optional<std::string>& am,
                                   const std::optional<std::string>& pm) {
  if (!am || !pm || am->empty() || pm->empty()) return {};
  return {*am, *pm};
}

class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual TimeOfDay Now() = 0;
  // The computer's clock was set or its time zone changed: nothing worked
  // out from the old ones may be used again.
  virtual void TimeSettingsChanged() {}
  // How long the computer has spent asleep or hibernating since it started,
  // in milliseconds, where it can tell: the elapsed count goes on through a
  // sleep and the interrupt time does not. Only its growth from one reading
  // to the next means anything. Nothing where the system cannot tell.
  virtual std::optional<long long> AsleepMs() { return std::nullopt; }
  // Milliseconds counted since some fixed moment, which no clock set and no
  // time zone moves; nothing where the system cannot tell.
  virtual std::optional<long long> ElapsedMs() { return std::nullopt; }
};

class UtcClock {
 public:
  virtual ~UtcClock() = default;
  virtual TimeOfDay NowUtc() = 0;
};

}  // namespace base
