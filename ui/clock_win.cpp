#include "ui/clock_win.h"

#include <windows.h>

namespace ui {

TimeOfDay WinLocalClock::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wHour, t.wMinute};
}

TimeOfDay WinUtcClock::NowUtc() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  return {t.wHour, t.wMinute};
}

}  // namespace ui
