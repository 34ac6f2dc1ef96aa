// Plan a Time: every shown place's time at each hour of one day on one
// place's clock, which part of its day each place is in then, the hours at
// which all are at work, and an hour's row as one line of text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "worldclock/clocks_logic.h"
#include "worldclock/zone_rules.h"

namespace worldclock {

inline constexpr const char* kPlanTimeCaption = "Plan a Time...";
inline constexpr const char* kPlanTimeTitle = "Plan a Time";
// Where the initialization file keeps the window's bounds.
inline constexpr const char* kPlanTimeSection = "Plan a Time";
inline constexpr const char* kHereHeading = "Here";
inline constexpr const char* kGmtHeading = "GMT";
inline constexpr const char* kAllAtWorkHeading = "All at work";
inline constexpr const char* kAllAtWorkMark = "Yes";
inline constexpr const char* kFixedMark = " (fixed)";
// Under the grid: the shading in words, so that colour is never the only
// sign of it.
inline constexpr const char* kPlanShadingText =
    "White: working hours, 08:00 to 18:00, Monday to Friday.  Yellow: morning 07:00 to "
    "08:00, evening 18:00 to 22:00, and the weekend's day.  Grey: night, 22:00 to "
    "07:00.  \"All at work\": every place but GMT in its working hours.";

// One column's clock.
struct PlanPlace {
  std::string name;
  // The place box it comes from; 0 for the computer's own clock and GMT.
  int box = 0;
  // How its offset goes at any moment: the zone it follows, by Windows'
  // record for each year; else one rule for every year (the computer's
  // clock where its zone is not listed); else `offset` as it stands.
  std::string zone;
  std::optional<ZoneRule> rule;
  int offset = 0;  // minutes ahead of UTC
  // The heading says the offset is kept whatever the date.
  bool fixed = false;
};

enum class DayPart { Work, Awake, Night };

// Working hours 08:00-18:00 Monday to Friday; night 22:00-07:00; the rest
// (morning, evening and the weekend's day) awake. Weekday 0 is Sunday.
DayPart PartOfDay(int weekday, int minuteOfDay);

struct PlanCell {
  std::string text;  // "00:00 +1": the date's difference from the reference's
  DayPart part = DayPart::Night;
  bool operator==(const PlanCell&) const = default;
};

struct PlanRow {
  long long utcMinute = 0;
  int referenceMinute = 0;      // of the day, on the reference's clock
  std::vector<PlanCell> cells;  // one per place
  bool allAtWork = false;
  bool operator==(const PlanRow&) const = default;
};

struct PlanDay {
  std::vector<std::string> headings;  // one per place
  std::vector<PlanRow> rows;
  int selected = -1;  // the row of the chosen time
  std::string date;   // the reference's, "Tue 10 Mar 2026"
  bool operator==(const PlanDay&) const = default;
};

// A date and a time of day on the reference's clock.
struct PlanChoice {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
  bool operator==(const PlanChoice&) const = default;
};

// Minutes ahead of UTC at that minute since 1970.
int PlanOffsetAt(const PlanPlace& place, TimeZoneSource* zones, long long utcMinute);

// The hours of the chosen day on the clock of places[reference], at the
// chosen minute past each: 24 rows, 23 or 25 where that clock changes.
PlanDay PlanTheDay(const std::vector<PlanPlace>& places, size_t reference, const PlanChoice& chosen,
                   bool military, const base::Designators& designators, TimeZoneSource* zones);

// "Tue 10 Mar 2026 15:00 London = 11:00 New York = 00:00 +1 Tokyo": the
// reference first, then the other places in box order (the computer's clock
// and GMT only where one of them is the reference).
std::string PlanRowText(const std::vector<PlanPlace>& places, size_t reference, const PlanDay& day,
                        int row);

// The place's next whole hour after the moment, on its clock.
PlanChoice NextWholeHour(const PlanPlace& place, TimeZoneSource* zones, const base::TimeOfDay& utc);

// The same moment on another clock.
PlanChoice SameMoment(const PlanPlace& from, const PlanChoice& chosen, const PlanPlace& to,
                      TimeZoneSource* zones);

// The columns: `here` (the computer's clock), GMT, then every place whose
// panel shows a time, in box order.
std::vector<PlanPlace> PlanPlaces(const ClocksLogic& clocks, const PlanPlace& here);

}  // namespace worldclock
