#include "bells/bell_schedule.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace bells {
namespace {

HourBoxes Only(std::initializer_list<int> hours) {
  HourBoxes b{};
  for (int h : hours) b[h] = true;
  return b;
}

HourBoxes AllBut(const std::vector<int>& hours) {
  HourBoxes b;
  b.fill(true);
  for (int h : hours) b[h] = false;
  return b;
}

// The watch-bell day as a sailor reads it: the time announced, the bells for
// both customs, the box that admits it on time, and with early ring the
// minute it sounds and the boxes that admit that minute.
struct DayRow {
  int hour, minute;
  int bells, dogBells;
  int box;
  int earlyHour, earlyMinute;
  std::vector<int> earlyBoxes;
};

const std::vector<DayRow> kDay = {
    {0, 0, 8, 8, 0, 23, 59, {23, 0}},    {0, 30, 1, 1, 0, 0, 29, {0}},
    {1, 0, 2, 2, 1, 0, 59, {0, 1}},      {1, 30, 3, 3, 1, 1, 29, {1}},
    {2, 0, 4, 4, 2, 1, 59, {1, 2}},      {2, 30, 5, 5, 2, 2, 29, {2}},
    {3, 0, 6, 6, 3, 2, 59, {2, 3}},      {3, 30, 7, 7, 3, 3, 29, {3}},
    {4, 0, 8, 8, 4, 3, 59, {3, 4}},      {4, 30, 1, 1, 4, 4, 29, {4}},
    {5, 0, 2, 2, 5, 4, 59, {4, 5}},      {5, 30, 3, 3, 5, 5, 29, {5}},
    {6, 0, 4, 4, 6, 5, 59, {5, 6}},      {6, 30, 5, 5, 6, 6, 29, {6}},
    {7, 0, 6, 6, 7, 6, 59, {6, 7}},      {7, 30, 7, 7, 7, 7, 29, {7}},
    {8, 0, 8, 8, 8, 7, 59, {7, 8}},      {8, 30, 1, 1, 8, 8, 29, {8}},
    {9, 0, 2, 2, 9, 8, 59, {8, 9}},      {9, 30, 3, 3, 9, 9, 29, {9}},
    {10, 0, 4, 4, 10, 9, 59, {9, 10}},   {10, 30, 5, 5, 10, 10, 29, {10}},
    {11, 0, 6, 6, 11, 10, 59, {10, 11}}, {11, 30, 7, 7, 11, 11, 29, {11}},
    {12, 0, 8, 8, 12, 11, 59, {11, 12}}, {12, 30, 1, 1, 12, 12, 29, {12}},
    {13, 0, 2, 2, 13, 12, 59, {12, 13}}, {13, 30, 3, 3, 13, 13, 29, {13}},
    {14, 0, 4, 4, 14, 13, 59, {13, 14}}, {14, 30, 5, 5, 14, 14, 29, {14}},
    {15, 0, 6, 6, 15, 14, 59, {14, 15}}, {15, 30, 7, 7, 15, 15, 29, {15}},
    {16, 0, 8, 8, 16, 15, 59, {15, 16}}, {16, 30, 1, 1, 16, 16, 29, {16}},
    {17, 0, 2, 2, 17, 16, 59, {16, 17}}, {17, 30, 3, 3, 17, 17, 29, {17}},
    {18, 0, 4, 4, 18, 17, 59, {17, 18}}, {18, 30, 5, 1, 18, 18, 29, {18}},
    {19, 0, 6, 2, 19, 18, 59, {18, 19}}, {19, 30, 7, 3, 19, 19, 29, {19}},
    {20, 0, 8, 8, 20, 19, 59, {19, 20}}, {20, 30, 1, 1, 20, 20, 29, {20}},
    {21, 0, 2, 2, 21, 20, 59, {20, 21}}, {21, 30, 3, 3, 21, 21, 29, {21}},
    {22, 0, 4, 4, 22, 21, 59, {21, 22}}, {22, 30, 5, 5, 22, 22, 29, {22}},
    {23, 0, 6, 6, 23, 22, 59, {22, 23}}, {23, 30, 7, 7, 23, 23, 29, {23}},
};

TEST(BellSchedule, WholeDayForBothCustomsAndBothEarlyRingSettings) {
  ASSERT_EQ(kDay.size(), 48u);
  for (const auto& r : kDay) {
    SCOPED_TRACE(testing::Message() << r.hour << ":" << r.minute);
    for (bool dog : {false, true}) {
      const int expected = dog ? r.dogBells : r.bells;
      // On time, early ring clear.
      EXPECT_EQ(BellCount(r.hour, r.minute, false, dog), expected);
      EXPECT_EQ(BellCount(r.earlyHour, r.earlyMinute, false, dog), std::nullopt);
      // One minute early, early ring set; the on-time minute is then silent.
      EXPECT_EQ(BellCount(r.earlyHour, r.earlyMinute, true, dog), expected);
      EXPECT_EQ(BellCount(r.hour, r.minute, true, dog), std::nullopt);
    }
    EXPECT_TRUE(HourGateAdmits(Only({r.box}), r.hour, r.minute, false));
    EXPECT_FALSE(HourGateAdmits(AllBut({r.box}), r.hour, r.minute, false));
    for (int box : r.earlyBoxes) {
      EXPECT_TRUE(HourGateAdmits(Only({box}), r.earlyHour, r.earlyMinute, true)) << box;
    }
    EXPECT_FALSE(HourGateAdmits(AllBut(r.earlyBoxes), r.earlyHour, r.earlyMinute, true));
  }
}

TEST(BellSchedule, HourGateAroundMidnightAndBeforeAClearBox) {
  struct Case {
    HourBoxes boxes;
    int hour, minute;
    bool earlyRing, admitted;
  };
  const Case cases[] = {
      // "2300" clear, "0000" set: only the early strike for midnight gets in.
      {Only({0}), 23, 59, true, true},
      {Only({0}), 23, 29, true, false},
      {Only({0}), 23, 59, false, false},
      {Only({0}), 0, 0, false, true},
      {Only({23}), 0, 0, false, false},
      {Only({23}), 23, 59, true, true},
      // "0800" set, "0900" clear.
      {Only({8}), 8, 29, true, true},
      {Only({8}), 8, 59, true, true},
      {Only({8}), 9, 0, true, false},
      {Only({8}), 9, 29, true, false},
      // "0900" clear: its own half hours never pass, whatever its neighbours hold.
      {AllBut({9}), 9, 0, false, false},
      {AllBut({9}), 9, 30, false, false},
      {AllBut({9}), 9, 59, true, true},
      // Every box clear.
      {HourBoxes{}, 11, 59, true, false},
      {HourBoxes{}, 12, 0, false, false},
      // Hours outside the day admit nothing.
      {AllBut({}), 24, 0, false, false},
      {AllBut({}), -1, 0, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HourGateAdmits(c.boxes, c.hour, c.minute, c.earlyRing), c.admitted)
        << c.hour << ":" << c.minute << " early=" << c.earlyRing;
  }
}

TEST(BellSchedule, MinutesThatAnnounceNothing) {
  for (int m = 0; m < 60; ++m) {
    const bool onTime = m == 0 || m == 30;
    const bool early = m == 29 || m == 59;
    EXPECT_EQ(BellCount(14, m, false, false).has_value(), onTime) << m;
    EXPECT_EQ(BellCount(14, m, true, false).has_value(), early) << m;
  }
}

}  // namespace
}  // namespace bells
