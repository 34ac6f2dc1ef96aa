// The wall clock in milliseconds since 1970, as a Windows process reads it:
// what the test helpers note, to be set against times taken on Linux.
#pragma once

#include <windows.h>

namespace testutil {

inline unsigned long long WallClockMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  // 100-ns ticks since 1601.
  return (ticks - 116444736000000000ULL) / 10000;
}

}  // namespace testutil
