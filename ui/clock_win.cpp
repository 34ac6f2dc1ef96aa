#include "ui/clock_win.h"

#include <windows.h>

#include "ui/library_win.h"
#include "ui/paths_win.h"

namespace ui {
namespace {

constexpr long long kTicksPerMinute = 60LL * 10000000;

long long Ticks(const FILETIME& f) {
  return static_cast<long long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) |
                                f.dwLowDateTime);
}

FILETIME FileTime(long long ticks) {
  const auto t = static_cast<unsigned long long>(ticks);
  return {static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
}

base::TimeOfDay Of(const SYSTEMTIME& t) {
  return {t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, t.wYear, t.wMonth, t.wDay};
}

}  // namespace

base::TimeOfDay WinLocalClock::Now() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const long long utc = Ticks(now);
  if (utc / kTicksPerMinute != offsetMinute_) {
    // The offset of this very instant, to the millisecond both sides hold.
    SYSTEMTIME utcTime, localTime;
    FILETIME utcMs, localMs;
    if (!FileTimeToSystemTime(&now, &utcTime) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &localTime) ||
        !SystemTimeToFileTime(&utcTime, &utcMs) || !SystemTimeToFileTime(&localTime, &localMs)) {
      GetLocalTime(&localTime);
      return Of(localTime);
    }
    offset_ = Ticks(localMs) - Ticks(utcMs);
    offsetMinute_ = utc / kTicksPerMinute;
  }
  const FILETIME local = FileTime(utc + offset_);
  SYSTEMTIME t;
  FileTimeToSystemTime(&local, &t);
  return Of(t);
}

std::optional<long long> WinLocalClock::AsleepMs() {
  // Windows 7 and Vista respectively: the program also runs on XP.
  using Unbiased = BOOL(WINAPI*)(PULONGLONG);
  using TickCount64 = ULONGLONG(WINAPI*)();
  static const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  static const auto unbiased = LibraryEntry<Unbiased>(kernel, "QueryUnbiasedInterruptTime");
  static const auto tickCount64 = LibraryEntry<TickCount64>(kernel, "GetTickCount64");
  ULONGLONG awake = 0;  // in 100 ns units
  if (!unbiased || !unbiased(&awake)) return std::nullopt;
  const long long elapsed =
      tickCount64 ? static_cast<long long>(tickCount64()) : static_cast<long long>(GetTickCount());
  return elapsed - static_cast<long long>(awake / 10000);
}

std::optional<long long> WinLocalClock::ElapsedMs() {
  using TickCount64 = ULONGLONG(WINAPI*)();
  static const auto tickCount64 =
      LibraryEntry<TickCount64>(GetModuleHandleA("kernel32.dll"), "GetTickCount64");
  if (tickCount64) return static_cast<long long>(tickCount64());
  // XP has only the 32-bit count, which wraps after 49.7 days; the bell
  // tick reads it every few seconds, so each wrap is seen and counted.
  const DWORD count = GetTickCount();
  if (count < lastCount_) ++wraps_;
  lastCount_ = count;
  return (wraps_ << 32) + static_cast<long long>(count);
}

base::TimeOfDay WinUtcClock::NowUtc() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  return Of(t);
}

base::Designators UserDesignators() {
  // Read wide: the ANSI call writes "?" or a look-alike for a letter the
  // code page lacks ("µ" for the Greek "μ"), and gives no sign that it did.
  auto designator = [](LCTYPE which) -> std::optional<std::string> {
    wchar_t text[64] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, which, text, 64) == 0) return std::string();
    BOOL lost = FALSE;
    std::string ansi = Narrow(text, CP_ACP, WC_NO_BEST_FIT_CHARS, &lost);
    if (lost) return std::nullopt;
    return ansi;
  };
  return base::PickDesignators(designator(LOCALE_S1159), designator(LOCALE_S2359));
}

}  // namespace ui
