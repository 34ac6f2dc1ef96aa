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

#include <map>
#include <vector>

#include "worldclock/clocks_logic.h"

namespace worldclock {
namespace {

struct FakeWindow : ClocksView {
  std::map<int, std::string> boxes, panels;
  std::string gmt;
  bool military = false, ok = true, reset = false;
  int saves = 0, warnings = 0;
  std::string BoxText(int b) const override { return boxes.count(b) ? boxes.at(b) : ""; }
  void SetBoxText(int b, const std::string& t) override { boxes[b] = t; }
  void SetBoxColor(int, unsigned long) override {}
  std::string PanelText(int p) const override { return panels.count(p) ? panels.at(p) : ""; }
  void SetPanelText(int p, const std::string& t) override { panels[p] = t; }
  void SetGmtText(const std::string& t) override { gmt = t; }
  bool Military() const override { return military; }
  void SetHomeClockMilitary(bool) override {}
  void SetButtons(bool o, bool r) override { ok = o, reset = r; }
  void FractionWarning(const std::string&) override { ++warnings; }
  void SaveSettings() override { ++saves; }
};

TEST(ClocksWindow, RunningEditingResetAndMilitary) {
  FakeWindow w;
  ClocksLogic clocks(w);
  settings::FlagsLine flags(std::string(28, '1') +
                            "1");  // box 2 on DST; box 1's place is past the end
  clocks.Create(flags, {"flags", "", "Lisbon [0]", "no brackets"}, {14, 5});
  EXPECT_EQ(w.panels[2], "3:05 PM*");
  EXPECT_EQ(w.panels[3], "");
  EXPECT_EQ(clocks.Dst(1), 0);

  clocks.Tick({14, 6});  // a new UTC minute: GMT and the places
  EXPECT_EQ(w.gmt, "2: 06 PM");
  EXPECT_EQ(w.panels[2], "3:06 PM*");
  w.gmt.clear();
  clocks.Tick({14, 6});  // the same minute: nothing
  EXPECT_EQ(w.gmt, "");

  clocks.BoxChanged();  // window not active: typing by the program, nothing
  EXPECT_EQ(clocks.EditingClocks, 0);
  clocks.FormActive = 1;
  w.boxes[2] = "Lisbon [1]";
  clocks.BoxChanged();
  EXPECT_EQ(clocks.EditingClocks, 1);
  EXPECT_FALSE(w.ok);
  EXPECT_TRUE(w.reset);
  clocks.Tick({14, 7});  // frozen while editing
  EXPECT_EQ(w.panels[2], "3:06 PM*");

  w.boxes[4] = "Nowhere [5.3]";
  EXPECT_FALSE(clocks.Reset({14, 7}));  // a rejected fraction: nothing saved, still editing
  EXPECT_EQ(w.saves, 0);
  EXPECT_EQ(w.warnings, 1);
  EXPECT_EQ(clocks.EditingClocks, 1);
  EXPECT_EQ(w.panels[2], "4:07 PM*");  // but the places were recomputed
  w.boxes[4] = "Nowhere [5.5]";
  EXPECT_TRUE(clocks.Reset({14, 7}));
  EXPECT_EQ(w.saves, 1);
  EXPECT_EQ(clocks.EditingClocks, 0);
  EXPECT_EQ(clocks.LastUtcMinute, ClocksLogic::kNoMinute);
  EXPECT_TRUE(w.ok);
  EXPECT_FALSE(w.reset);

  clocks.MilitaryClicked();  // swaps the buttons without freezing
  w.military = true;
  EXPECT_FALSE(w.ok);
  clocks.Tick({14, 8});
  EXPECT_EQ(w.gmt, "14: 08");
  EXPECT_EQ(w.panels[2], "16: 08*");

  // DST on the pressed panel, kept in the flags line by OK: box 1 at 52.
  clocks.PanelPressed(1);
  clocks.ChooseDst(1);
  clocks.PanelPressed(2);
  clocks.ChooseDst(0);
  settings::FlagsLine out;
  clocks.Ok(out);
  EXPECT_TRUE(out.Get(52));
  EXPECT_FALSE(out.Get(29));
  EXPECT_EQ(out.Text().size(), 54u);
}

TEST(ClocksWindow, DstFlagPositionsInTheFlagsLine) {
  for (int box = 2; box <= 24; ++box) EXPECT_EQ(DstPosition(box), 27 + box);
  EXPECT_EQ(DstPosition(1), 52);
  FakeWindow w;
  ClocksLogic clocks(w);
  std::string line(54, '0');
  for (int box : {1, 2, 24}) line[DstPosition(box) - 1] = '1';
  clocks.Create(settings::FlagsLine(line), {}, {0, 0});
  for (int box = 1; box <= 24; ++box) {
    EXPECT_EQ(clocks.Dst(box), box == 1 || box == 2 || box == 24 ? 1 : 0) << box;
  }
  settings::FlagsLine out(std::string(28, '1'));
  clocks.Ok(out);
  EXPECT_EQ(out.Text(), std::string(28, '1') + "1" + std::string(21, '0') + "11");
}

}  // namespace
}  // namespace worldclock
