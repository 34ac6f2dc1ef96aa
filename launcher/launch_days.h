// The days of the week an entry runs on, written after its file field:
// "[0930][C:\Reports\weekly.exe]|Mon-Fri". A line without them runs every
// day, as every list written before them does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"

namespace launcher {

struct LaunchEntry;

// Days as bits, Monday the lowest, Sunday bit 6.
using DaySet = std::uint8_t;
inline constexpr DaySet kEveryDay = 0x7f;

enum class Weekday { Monday, Tuesday, Wednesday, Thursday, Friday, Saturday, Sunday };
inline constexpr DaySet DayBit(Weekday day) {
  return static_cast<DaySet>(1u << static_cast<int>(day));
}

// A line's file field and the text of its day list.
struct LineParts {
  // At most 200 characters from the 8th, up to the "]" that closes the
  // field before the "|" where there is one; every "]" removed.
  std::string path;
  // What follows that "|", every "]" removed; nothing when the line has no
  // day list and so runs every day.
  std::optional<std::string> dayText;
};
// The day list begins at the first "|" that follows a "]" standing at the
// 8th character or later, with only blanks between them. Any other "|",
// one inside a web address's query say, belongs to the path.
LineParts SplitLaunchLine(std::string_view line);

// The days a day list names: English names in any case (three letters,
// whole, or "Tues", "Weds", "Thur", "Thurs"), "Weekdays" and "Weekends",
// and ranges such as "Mon-Fri" or "Fri-Mon" (wrapping), separated by
// commas, blanks or both. Nothing when any of it cannot be read, an empty
// list included.
std::optional<DaySet> ParseDays(std::string_view text);

// The day of the week of a reading's date.
Weekday WeekdayOf(const base::TimeOfDay& date);

// "Mon, Wed, Fri", Monday first.
std::string DayNames(DaySet days);
// "Wednesday".
const char* WeekdayName(Weekday day);

enum class DayCheck {
  Runs,         // every day, or the date's weekday is one of its days
  NotItsDay,    // its days leave that date out: the entry is not due
  DaysNotRead,  // its day list cannot be read: never run, told each time
};
// Whether an entry whose time has come runs on that date: the date of the
// minute being handled, not of the tick that handles it, so that 23:59
// caught up after midnight belongs to the day before.
DayCheck CheckDay(const LaunchEntry& entry, const base::TimeOfDay& date);

}  // namespace launcher
