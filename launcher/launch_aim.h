// Where the launch tick is aimed: a little past the start of each minute,
// so that an entry opens at its minute's first second and not at whatever
// second the program happened to start at.
#pragma once

#include "base/clock.h"

namespace launcher {

// Past the system timer's granularity, so that a timer on time reads the
// new minute.
inline constexpr int kLaunchAimPastMs = 25;

// Milliseconds from `now` until kLaunchAimPastMs past the next minute's
// first moment.
constexpr int MsToNextMinute(const base::TimeOfDay& now) {
  return static_cast<int>(base::MsToMinuteStart(now, 1)) + kLaunchAimPastMs;
}

}  // namespace launcher
