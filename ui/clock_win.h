// The system's clocks.
#pragma once

#include <cstdint>

#include "base/clock.h"

namespace ui {

// Local time as UTC plus the zone's offset. The offset only changes at a
// whole minute (a daylight-saving step, a new zone chosen), so the zone's
// rules, slow to consult on some systems, are consulted at the first reading
// in each UTC minute and not at every tick.
class WinLocalClock final : public base::LocalClock {
 public:
  base::TimeOfDay Now() override;
  // The next reading consults the zone again.
  void TimeSettingsChanged() override { offsetMinute_ = -1; }
  // The elapsed count less the interrupt time, which leaves sleep out;
  // nothing before Windows 7, which cannot give the latter.
  std::optional<long long> AsleepMs() override;
  std::optional<long long> ElapsedMs() override;

 private:
  long long offsetMinute_ = -1;  // the UTC minute the offset was found in
  long long offset_ = 0;         // local minus UTC, in 100 ns units
  std::uint32_t lastCount_ = 0;  // the 32-bit running count last read, and
  long long wraps_ = 0;          // how often it wrapped since (XP only)
};

class WinUtcClock final : public base::UtcClock {
 public:
  base::TimeOfDay NowUtc() override;
};

// The user's AM and PM designators in the program's code page, or "AM" and
// "PM" where the code page cannot write them (a Korean locale on a Western
// system, whose ANSI form would be "??").
base::Designators UserDesignators();

}  // namespace ui
