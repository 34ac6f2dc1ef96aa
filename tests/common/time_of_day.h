// A reading of the clock as milliseconds into its day, and back, for tests
// that follow an aimed timer from one reading to the next.
#pragma once

#include "base/clock.h"

namespace testutil {

inline constexpr long long kDayMs = 24LL * 3600 * 1000;

inline long long MsOfDay(const base::TimeOfDay& t) {
  return ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 + t.millisecond;
}

// The reading `ms` into a day; a day or more on wraps round the dial.
inline base::TimeOfDay AtMsOfDay(long long ms) {
  ms %= kDayMs;
  return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
          static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
}

}  // namespace testutil
