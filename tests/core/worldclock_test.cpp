#include <gtest/gtest.h>

#include <string>

#include "worldclock/place_time.h"

namespace worldclock {
namespace {

struct RecordingView : PlaceTimeView {
  std::string panel = "before";
  unsigned long color = 0;
  std::string warning;
  int homeMode = -1;  // -1 untouched, else military 0/1
  void SetBoxColor(unsigned long c) override { color = c; }
  void SetPanelText(const std::string& t) override { panel = t; }
  void FractionWarning(const std::string& m) override { warning = m; }
  void SetHomeClockMilitary(bool military) override { homeMode = military; }
};

constexpr unsigned long kTan = kNormalBoxColour, kRed = kInvalidBoxColour;

TEST(PlaceTime, EdgeCases) {
  struct Case {
    const char* box;
    bool military;
    int dst;
    ui::TimeOfDay utc;
    const char* panel;  // "before" where the panel keeps its text
    unsigned long color;
    bool warned;
  } cases[] = {
      {"India [5.5]", false, 0, {14, 5}, "7:35 PM", kTan, false},
      {"India [5.5]", true, 0, {14, 5}, "19: 35", kTan, false},
      {"Orvanta [-6]", false, 0, {14, 5}, "8:05 AM", kTan, false},
      {"Orvanta [-6]", false, 1, {14, 5}, "9:05 AM*", kTan, false},
      {"[12]", false, 0, {14, 5}, "2:05 AM", kTan, false},
      {"[12]", false, 1, {14, 5}, "3:05 AM*", kTan, false},
      {"[-11]", false, 0, {14, 5}, "3:05 AM", kTan, false},
      {"[0]", false, 0, {14, 5}, "2:05 PM", kTan, false},
      {"[0.5]", false, 0, {14, 5}, "2:35 PM", kTan, false},
      {"[0.25]", false, 0, {14, 5}, "2:20 PM", kTan, false},
      {"[0.75]", false, 0, {14, 5}, "2:50 PM", kTan, false},
      {"[-3.5]", false, 0, {14, 5}, "10:35 AM", kTan, false},
      {"[-0.5]", false, 0, {14, 5}, "1:35 PM", kTan, false},
      {"[-3.5]", false, 1, {14, 5}, "11:35 AM*", kTan, false},
      {"[13]", false, 0, {14, 5}, "00: 00", kRed, false},
      {"[-12]", false, 0, {14, 5}, "00: 00", kRed, false},
      {"[]", false, 0, {14, 5}, "00: 00", kRed, false},
      {"[x]", false, 0, {14, 5}, "00: 00", kRed, false},
      {"[5 ]", false, 0, {14, 5}, "00: 00", kRed, false},
      {"[.5]", false, 0, {14, 5}, "00: 00", kRed, false},
      {"[-.5]", false, 0, {14, 5}, "00: 00", kRed, false},
      {"5] back [6", false, 0, {14, 5}, "00: 00", kRed, false},
      {"[ 5]", false, 0, {14, 5}, "7:05 PM", kTan, false},
      {"[+5]", false, 0, {14, 5}, "7:05 PM", kTan, false},
      {"[5.]", false, 0, {14, 5}, "7:05 PM", kTan, false},
      {"[5.50]", false, 0, {14, 5}, "before", kTan, true},
      {"[5.0]", false, 0, {14, 5}, "before", kTan, true},
      {"India [5.3]", false, 0, {14, 5}, "before", kTan, true},
      {"St. Louis [-6]", false, 0, {14, 5}, "8:05 AM", kTan, false},
      {"Pier 7 [5] no.2", false, 0, {14, 5}, "7:05 PM", kTan, false},
      {"[0]", false, 0, {0, 5}, "12:05 AM", kTan, false},
      {"[0]", true, 0, {0, 5}, "00: 05", kTan, false},
      {"[0]", false, 0, {12, 0}, "12:00 PM", kTan, false},
      {"[0]", true, 0, {12, 0}, "12: 00", kTan, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.box) + (c.military ? " military" : "") + (c.dst ? " dst" : ""));
    RecordingView view;
    FractionError = 0;
    ShowPlaceTime(c.box, c.dst, c.military, c.utc, view);
    EXPECT_EQ(view.panel, c.panel);
    EXPECT_EQ(view.color, c.color);
    EXPECT_EQ(FractionError, c.warned ? 1 : 0);
    if (c.warned) {
      EXPECT_EQ(view.warning,
                "Decimal value must be .25, .5, or .75 in - '" + std::string(c.box) + "'");
    }
    // Only a shown time sets the home clock's mode; a red box keeps 99.
    const bool shown = !c.warned && c.color == kTan;
    EXPECT_EQ(view.homeMode, shown ? int(c.military) : -1);
    if (c.color == kRed) {
      EXPECT_EQ(OffsetHours, kNoOffset);
    }
  }
}

TEST(PlaceTime, GmtPanelTexts) {
  struct Case {
    ui::TimeOfDay utc;
    const char* twelve;
    const char* military;
  } cases[] = {
      {{0, 5}, "12: 05 AM", "00: 05"},
      {{9, 5}, "9: 05 AM", "09: 05"},
      {{12, 30}, "12: 30 PM", "12: 30"},
      {{15, 5}, "3: 05 PM", "15: 05"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GmtText(c.utc, false), c.twelve);
    EXPECT_EQ(GmtText(c.utc, true), c.military);
  }
}

}  // namespace
}  // namespace worldclock
