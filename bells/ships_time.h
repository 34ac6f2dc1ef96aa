// The time of day the bells follow: the computer's local time, or ship's
// time, the time a chosen world-clock place shows, for a ship that keeps
// zone time while the computer keeps its own zone.
#pragma once

#include <functional>
#include <optional>

#include "base/clock.h"

namespace bells {

class BellClock final : public base::LocalClock {
 public:
  BellClock(base::LocalClock& local, base::UtcClock* utc) : local_(local), utc_(utc) {}

  // The chosen place's offset from UTC in minutes at that moment, daylight
  // saving included; nothing while no place is chosen or its panel shows
  // no time.
  std::function<std::optional<int>(const base::TimeOfDay& utc)> shipsOffset;

  base::TimeOfDay Now() override {
    if (utc_ && shipsOffset) {
      const base::TimeOfDay utc = utc_->NowUtc();
      if (const std::optional<int> offset = shipsOffset(utc)) return ShipsTime(utc, *offset);
    }
    return local_.Now();
  }
  void TimeSettingsChanged() override { local_.TimeSettingsChanged(); }
  std::optional<long long> AsleepMs() override { return local_.AsleepMs(); }
  std::optional<long long> ElapsedMs() override { return local_.ElapsedMs(); }

  // UTC moved by a whole number of minutes: the date with it, the seconds
  // as they are.
  static base::TimeOfDay ShipsTime(const base::TimeOfDay& utc, int offsetMinutes) {
    base::TimeOfDay t = base::FromMinutesSinceEpoch(base::MinutesSinceEpoch(utc) + offsetMinutes);
    t.second = utc.second;
    t.millisecond = utc.millisecond;
    return t;
  }

 private:
  base::LocalClock& local_;
  base::UtcClock* utc_;
};

}  // namespace bells
