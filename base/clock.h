// The clocks the program reads: local time for the bells and the launch list,
// UTC for the world clocks. Interfaces, so every rule can be driven minute by
// minute in tests.
#pragma once

namespace base {

inline constexpr int kHoursPerDay = 24;
inline constexpr int kMinutesPerDay = kHoursPerDay * 60;

struct TimeOfDay {
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;  // 0-59; the bells and the launch list never look at it
};

class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual TimeOfDay Now() = 0;
  // The computer's clock was set or its time zone changed: nothing worked
  // out from the old ones may be used again.
  virtual void TimeSettingsChanged() {}
};

class UtcClock {
 public:
  virtual ~UtcClock() = default;
  virtual TimeOfDay NowUtc() = 0;
};

}  // namespace base
