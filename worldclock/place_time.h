// One place box and its time panel: the GMT offset read from the box's text
// ("India [5.5]", "Orvanta [-6]"), the place's time of day in 12-hour or
// 24-hour form, the daylight-saving mark, and what becomes of a box whose
// offset is no good. Also the GMT panel's own texts.
#pragma once

#include <optional>
#include <string>

#include "base/clock.h"
#include "base/colours.h"

namespace worldclock {

inline constexpr base::Color kNormalBoxColour = base::kPanelColour;
inline constexpr base::Color kInvalidBoxColour = base::clRed;
inline constexpr const char* kInvalidTime = "00: 00";
inline constexpr int kNoOffset = 99;

// The working values of the last call, for the clocks window: the whole
// hours (99: none), the characters after the decimal point, and the flag a
// rejected fraction sets and only the window's Reset clears.
extern int OffsetHours;
extern std::string OffsetFraction;
extern int FractionError;

// What one place box comes to; the clocks window applies it.
struct PlaceTime {
  base::Color boxColor = kNormalBoxColour;
  // Nothing where the panel keeps its text (a rejected fraction).
  std::optional<std::string> panelText;
  // The home clock follows the "Military" choice on every good call.
  std::optional<bool> homeClockMilitary;
  // Where the panel shows a time: the place's offset from UTC in minutes,
  // daylight saving included.
  std::optional<int> offsetMinutes;
  // The modal "Warning" box about a fraction, with the pointer first moved
  // to the middle of the screen.
  std::optional<std::string> warning;
};

// The place's time for the panel, or the box marked: red with "00: 00" for
// no usable whole hour, the warning for a fraction other than .25, .5, .75.
PlaceTime ShowPlaceTime(const std::string& boxText, int dstFlag, bool military, base::TimeOfDay utc,
                        const base::Designators& designators = {});

// The offset in a box whose text holds both brackets, in minutes ahead of
// GMT on standard time, as the place's time is shown; none for a box shown
// red or whose fraction is rejected. Sets none of the working values.
std::optional<int> AcceptedOffset(const std::string& boxText);

// "7:35 PM" or "19: 35", minutes since midnight, "*" after it on DST.
std::string PlaceTimeText(int minutes, bool military, bool dst,
                          const base::Designators& designators = {});

// The GMT panel: "09: 05", or "9: 05 AM" (a blank after the colon here).
std::string GmtText(base::TimeOfDay utc, bool military, const base::Designators& designators = {});

}  // namespace worldclock
