#include "worldclock/zone_rules.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/common/zone_fakes.h"

namespace worldclock {
namespace {

std::string ChangeText(const std::optional<ZoneChange>& c) {
  if (!c) return "none";
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d %s", c->local.year, c->local.month,
                c->local.day, c->local.hour, c->local.minute, c->toDaylight ? "forward" : "back");
  return text;
}

// Each row a moment in UTC and what a person there sees: daylight-saving
// time or not, the clocks' next change as they read there just before it,
// and the standard offset a place box must give to follow the zone. The
// answers are the published civil times of those places.
TEST(ZoneRules, InForceNextChangeAndOffset) {
  testutil::FakeZones zones;
  constexpr int kNone = 9999;
  struct Case {
    const char* key;
    base::TimeOfDay utc;  // {h, m, s, ms, y, mo, d}
    bool daylight;
    const char* next;  // "" where the row does not look
    int offset;        // kNone: not to be followed
  } cases[] = {
      // Berlin: the last Sunday of March 02:00 and of October 03:00. March
      // 2026 has five Sundays, October 2026 four: "last" is the 29th and 25th.
      {"W. Europe Standard Time",
       {10, 0, 0, 0, 2026, 3, 11},
       false,
       "2026-03-29 02:00 forward",
       60},
      {"W. Europe Standard Time",
       {0, 59, 30, 0, 2026, 3, 29},
       false,
       "2026-03-29 02:00 forward",
       60},
      {"W. Europe Standard Time", {1, 0, 0, 0, 2026, 3, 29}, true, "2026-10-25 03:00 back", 60},
      {"W. Europe Standard Time", {0, 59, 0, 0, 2026, 10, 25}, true, "", 60},
      {"W. Europe Standard Time",
       {1, 0, 0, 0, 2026, 10, 25},
       false,
       "2027-03-28 02:00 forward",
       60},
      // Sydney: daylight saving across the new year.
      {"AUS Eastern Standard Time", {12, 0, 0, 0, 2026, 1, 1}, true, "2026-04-05 03:00 back", 600},
      {"AUS Eastern Standard Time", {15, 59, 0, 0, 2026, 4, 4}, true, "", 600},
      {"AUS Eastern Standard Time",
       {16, 0, 0, 0, 2026, 4, 4},
       false,
       "2026-10-04 02:00 forward",
       600},
      {"AUS Eastern Standard Time", {15, 59, 0, 0, 2026, 10, 3}, false, "", 600},
      {"AUS Eastern Standard Time", {16, 0, 0, 0, 2026, 10, 3}, true, "", 600},
      // Already 2027 there: the new year's rule, and its change.
      {"AUS Eastern Standard Time",
       {14, 30, 0, 0, 2026, 12, 31},
       true,
       "2027-04-04 03:00 back",
       600},
      // New York's rule changed in 2007: April's first Sunday and October's
      // last until 2006, March's second and November's first from 2007.
      {"Eastern Standard Time",
       {12, 0, 0, 0, 2006, 3, 12},
       false,
       "2006-04-02 02:00 forward",
       -300},
      {"Eastern Standard Time", {6, 59, 0, 0, 2006, 4, 2}, false, "", -300},
      {"Eastern Standard Time", {7, 0, 0, 0, 2006, 4, 2}, true, "2006-10-29 02:00 back", -300},
      {"Eastern Standard Time",
       {6, 59, 0, 0, 2007, 3, 11},
       false,
       "2007-03-11 02:00 forward",
       -300},
      {"Eastern Standard Time", {7, 0, 0, 0, 2007, 3, 11}, true, "2007-11-04 02:00 back", -300},
      {"Eastern Standard Time", {5, 59, 0, 0, 2007, 11, 4}, true, "", -300},
      {"Eastern Standard Time", {6, 0, 0, 0, 2007, 11, 4}, false, "", -300},
      // Santiago changes at midnight (23:59:59.999 in the records): from
      // daylight on the night of Saturday 4 April 2026, to it on 5 September.
      {"Pacific SA Standard Time", {2, 59, 30, 0, 2026, 4, 5}, true, "2026-04-05 00:00 back", -240},
      {"Pacific SA Standard Time",
       {3, 0, 0, 0, 2026, 4, 5},
       false,
       "2026-09-06 00:00 forward",
       -240},
      {"Pacific SA Standard Time", {3, 59, 30, 0, 2026, 9, 6}, false, "", -240},
      {"Pacific SA Standard Time", {4, 0, 0, 0, 2026, 9, 6}, true, "", -240},
      // Tokyo keeps no daylight saving; India's offset has a half hour.
      {"Tokyo Standard Time", {12, 0, 0, 0, 2026, 7, 1}, false, "none", 540},
      {"India Standard Time", {12, 0, 0, 0, 2026, 7, 1}, false, "none", 330},
      // Lord Howe Island goes forward half an hour: a place's "DS Time"
      // cannot show it.
      {"Lord Howe Standard Time", {12, 0, 0, 0, 2026, 1, 1}, true, "", kNone},
      // Amman in late 2021: the 2022 record's "1 January 00:00" changes
      // nothing; the clocks next go forward at midnight on 24 February.
      {"Jordan Standard Time", {12, 0, 0, 0, 2021, 11, 15}, false, "2022-02-25 00:00 forward", 120},
      // Kept at +3 from the end of 2022: no change is left to name.
      {"Jordan Standard Time", {12, 0, 0, 0, 2022, 11, 15}, true, "none", 120},
      // Volgograd goes from +3 to +4 on 28 October 2018 by a "daylight" time
      // that is the earlier one: the clocks gain an hour.
      {"Volgograd Standard Time",
       {12, 0, 0, 0, 2018, 7, 1},
       true,
       "2018-10-28 02:00 forward",
       kNone},
      // Fiji's 2020 dates are 2020's alone: July 2021 is standard time.
      {"Fiji Standard Time", {12, 0, 0, 0, 2021, 7, 1}, false, "none", 720},
      // Volgograd's +4 of 2020 holds until 2021's own midnight at +3, an
      // hour after +4's: at 00:30 on +4 the new year's record is not yet
      // in force, and the clocks go back at 01:00.
      {"Volgograd Standard Time",
       {20, 30, 0, 0, 2020, 12, 31},
       false,
       "2021-01-01 01:00 back",
       240},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.utc.year) + "-" +
                 std::to_string(c.utc.month) + "-" + std::to_string(c.utc.day) + " " +
                 std::to_string(c.utc.hour) + ":" + std::to_string(c.utc.minute));
    EXPECT_EQ(DaylightInForce(zones, c.key, c.utc), std::optional<bool>(c.daylight));
    if (*c.next) {
      EXPECT_EQ(ChangeText(NextChange(zones, c.key, c.utc)), c.next);
    }
    const auto offset = FollowableOffset(zones, c.key, c.utc);
    EXPECT_EQ(offset.value_or(kNone), c.offset);
  }
  // A zone Windows does not list.
  EXPECT_EQ(DaylightInForce(zones, "Atlantis Standard Time", {12, 0, 0, 0, 2026, 7, 1}),
            std::nullopt);
}

}  // namespace
}  // namespace worldclock
