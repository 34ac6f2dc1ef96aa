#include "ui/clock_win.h"

#include <windows.h>

namespace ui {

TimeOfDay WinLocalClock::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wHour, t.wMinute, t.wSecond};
}

TimeOfDay WinUtcClock::NowUtc() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  return {t.wHour, t.wMinute, t.wSecond};
}

}  // namespace ui
