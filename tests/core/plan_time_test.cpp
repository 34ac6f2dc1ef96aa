// Plan a Time against the world's clocks: each expected time is the one a
// clock at the place showed (or will show) at that moment.
#include "worldclock/plan_time.h"

#include <gtest/gtest.h>

#include "tests/common/zone_fakes.h"

namespace worldclock {
namespace {

using Places = std::vector<PlanPlace>;

PlanPlace Zone(const char* name, int box, const char* key, int boxOffset) {
  return {name, box, key, std::nullopt, boxOffset, false};
}
PlanPlace Fixed(const char* name, int box, int offset) {
  return {name, box, "", std::nullopt, offset, true};
}

// The computer in Berlin, London the reference.
const PlanPlace kHere = Zone("Here", 0, "W. Europe Standard Time", 60);
const PlanPlace kGmt{"GMT", 0, "", std::nullopt, 0, false};
const PlanPlace kLondon = Zone("London", 1, "GMT Standard Time", 0);
const PlanPlace kNewYork = Zone("New York", 2, "Eastern Standard Time", -300);
const PlanPlace kTokyo = Zone("Tokyo", 3, "Tokyo Standard Time", 540);
const PlanPlace kFixed = Fixed("Kathmandu", 4, 345);
const PlanPlace kAmman = Zone("Amman", 5, "Jordan Standard Time", 180);
const PlanPlace kApia = Zone("Apia", 6, "Samoa Standard Time", -660);

std::vector<std::string> Texts(const PlanRow& row) {
  std::vector<std::string> texts;
  for (const PlanCell& cell : row.cells) texts.push_back(cell.text);
  return texts;
}

TEST(PlanTime, EveryPlacesTimeAtTheChosenHour) {
  testutil::FakeZones zones;
  struct Case {
    const char* what;
    Places places;
    PlanChoice chosen;  // on London's clock
    bool military;
    std::vector<std::string> cells;
    std::string copied;
  } cases[] = {
      // New York went to summer time on 8 March 2026, London and Berlin
      // not until the 29th.
      {"after New York's change",
       {kHere, kGmt, kLondon, kNewYork, kTokyo, kFixed},
       {2026, 3, 10, 15, 0},
       true,
       {"16:00", "15:00", "15:00", "11:00", "00:00 +1", "20:45"},
       "Tue 10 Mar 2026 15:00 London = 11:00 New York = 00:00 +1 Tokyo = 20:45 Kathmandu"},
      {"before it",
       {kHere, kGmt, kLondon, kNewYork, kTokyo, kFixed},
       {2026, 3, 3, 15, 0},
       true,
       {"16:00", "15:00", "15:00", "10:00", "00:00 +1", "20:45"},
       "Tue 3 Mar 2026 15:00 London = 10:00 New York = 00:00 +1 Tokyo = 20:45 Kathmandu"},
      {"twelve-hour",
       {kLondon, kNewYork, kTokyo},
       {2026, 3, 10, 15, 30},
       false,
       {"3:30 PM", "11:30 AM", "12:30 AM +1"},
       "Tue 10 Mar 2026 3:30 PM London = 11:30 AM New York = 12:30 AM +1 Tokyo"},
      // Amman went to +3 in February 2022 and stayed there; Windows' record
      // for 2023 gives +3 as its standard time.
      {"Amman, January 2022",
       {kLondon, kAmman},
       {2022, 1, 10, 12, 0},
       true,
       {"12:00", "14:00"},
       "Mon 10 Jan 2022 12:00 London = 14:00 Amman"},
      {"Amman, the year's last hour",
       {kLondon, kAmman},
       {2022, 12, 31, 23, 0},
       true,
       {"23:00", "02:00 +1"},
       "Sat 31 Dec 2022 23:00 London = 02:00 +1 Amman"},
      {"Amman, January 2023",
       {kLondon, kAmman},
       {2023, 1, 10, 12, 0},
       true,
       {"12:00", "15:00"},
       "Tue 10 Jan 2023 12:00 London = 15:00 Amman"},
      // Samoa keeps +13, its box the -11 a day away: it is the next morning
      // there.
      {"Apia",
       {kLondon, kApia},
       {2026, 3, 10, 15, 0},
       true,
       {"15:00", "04:00 +1"},
       "Tue 10 Mar 2026 15:00 London = 04:00 +1 Apia"},
  };
  for (const Case& c : cases) {
    const size_t london = c.places[0].box == 0 ? 2 : 0;
    const PlanDay day = PlanTheDay(c.places, london, c.chosen, c.military, {}, &zones);
    ASSERT_EQ(day.rows.size(), 24u) << c.what;
    ASSERT_EQ(day.selected, c.chosen.hour) << c.what;
    EXPECT_EQ(Texts(day.rows[day.selected]), c.cells) << c.what;
    EXPECT_EQ(PlanRowText(c.places, london, day, day.selected), c.copied) << c.what;
  }
}

TEST(PlanTime, AReferenceThatChangesItsClocksHasA23Or25HourDay) {
  testutil::FakeZones zones;
  const Places places{kLondon, kNewYork};
  struct Case {
    PlanChoice chosen;
    size_t rows;
    std::vector<std::string> firstThree;  // London, New York
  } cases[] = {
      // 01:00 GMT became 02:00 BST on 29 March 2026; New York was on EDT.
      {{2026, 3, 29, 9, 0}, 23u, {"00:00", "20:00 -1", "02:00", "21:00 -1", "03:00", "22:00 -1"}},
      // 02:00 BST became 01:00 GMT on 25 October 2026: 01:00 twice.
      {{2026, 10, 25, 9, 0}, 25u, {"00:00", "19:00 -1", "01:00", "20:00 -1", "01:00", "21:00 -1"}},
  };
  for (const Case& c : cases) {
    const PlanDay day = PlanTheDay(places, 0, c.chosen, true, {}, &zones);
    ASSERT_EQ(day.rows.size(), c.rows);
    std::vector<std::string> first;
    for (int i = 0; i < 3; ++i) {
      for (const std::string& t : Texts(day.rows[i])) first.push_back(t);
    }
    EXPECT_EQ(first, c.firstThree);
    EXPECT_EQ(day.rows.back().cells[0].text, "23:00");
    EXPECT_EQ(day.rows[day.selected].cells[0].text, "09:00");
  }
}

TEST(PlanTime, ShadingAndAllAtWork) {
  testutil::FakeZones zones;
  using P = DayPart;
  // Berlin, GMT, London, New York: all at work from New York's 08:00 to
  // Berlin's 17:00, which is London's 12:00 to 16:00 after New York's change
  // and 13:00 to 16:00 before it. Saturday's working hours are nobody's.
  struct Case {
    PlanChoice chosen;
    std::vector<int> allAtWork;   // London's hours
    std::vector<DayPart> atNine;  // London 09:00
  } cases[] = {
      {{2026, 3, 10, 9, 0}, {12, 13, 14, 15, 16}, {P::Work, P::Work, P::Work, P::Night}},
      {{2026, 3, 3, 9, 0}, {13, 14, 15, 16}, {P::Work, P::Work, P::Work, P::Night}},
      {{2026, 3, 14, 9, 0}, {}, {P::Awake, P::Awake, P::Awake, P::Night}},
      {{2026, 3, 10, 9, 0}, {}, {}},  // with Tokyo, at midnight and later
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    Places places{kHere, kGmt, kLondon, kNewYork};
    if (i == 3) places.push_back(kTokyo);
    const PlanDay day = PlanTheDay(places, 2, c.chosen, true, {}, &zones);
    std::vector<int> hours;
    for (const PlanRow& row : day.rows) {
      if (row.allAtWork) hours.push_back(row.referenceMinute / 60);
    }
    EXPECT_EQ(hours, c.allAtWork) << i;
    if (c.atNine.empty()) continue;
    std::vector<DayPart> parts;
    for (const PlanCell& cell : day.rows[9].cells) parts.push_back(cell.part);
    EXPECT_EQ(parts, c.atNine) << i;
  }
  // The edges of the three parts, a Monday and a Sunday.
  EXPECT_EQ(PartOfDay(1, 7 * 60 - 1), P::Night);
  EXPECT_EQ(PartOfDay(1, 7 * 60), P::Awake);
  EXPECT_EQ(PartOfDay(1, 8 * 60), P::Work);
  EXPECT_EQ(PartOfDay(1, 18 * 60 - 1), P::Work);
  EXPECT_EQ(PartOfDay(1, 18 * 60), P::Awake);
  EXPECT_EQ(PartOfDay(1, 22 * 60), P::Night);
  EXPECT_EQ(PartOfDay(0, 12 * 60), P::Awake);
}

TEST(PlanTime, StartsAtThePlacesNextWholeHourAndKeepsTheMomentOnAnotherClock) {
  testutil::FakeZones zones;
  const base::TimeOfDay utc{14, 23, 10, 0, 2026, 3, 10};
  EXPECT_EQ(NextWholeHour(kLondon, &zones, utc), (PlanChoice{2026, 3, 10, 15, 0}));
  EXPECT_EQ(NextWholeHour(kTokyo, &zones, utc), (PlanChoice{2026, 3, 11, 0, 0}));
  EXPECT_EQ(NextWholeHour(kFixed, &zones, utc), (PlanChoice{2026, 3, 10, 21, 0}));
  // The first 01:00 of London's 25 October is 00:00 UTC, 20:00 in New York.
  EXPECT_EQ(SameMoment(kLondon, {2026, 10, 25, 1, 0}, kNewYork, &zones),
            (PlanChoice{2026, 10, 24, 20, 0}));
  EXPECT_EQ(SameMoment(kLondon, {2026, 3, 10, 15, 0}, kTokyo, &zones),
            (PlanChoice{2026, 3, 11, 0, 0}));
}

}  // namespace
}  // namespace worldclock
