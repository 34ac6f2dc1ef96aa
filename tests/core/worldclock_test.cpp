#include <gtest/gtest.h>

#include <string>

#include "worldclock/place_time.h"

namespace worldclock {
namespace {

constexpr unsigned long kTan = kNormalBoxColour, kRed = kInvalidBoxColour;

TEST(PlaceTime, EdgeCases) {
  struct Case {
    const char* box;
    bool military;
    int dst;
    base::TimeOfDay utc;
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
    FractionError = 0;
    const PlaceTime place = ShowPlaceTime(c.box, c.dst, c.military, c.utc);
    EXPECT_EQ(place.panelText.value_or("before"), c.panel);
    EXPECT_EQ(place.boxColor, c.color);
    EXPECT_EQ(FractionError, c.warned ? 1 : 0);
    if (c.warned) {
      EXPECT_EQ(place.warning.value_or(""),
                "Decimal value must be .25, .5, or .75 in - '" + std::string(c.box) + "'");
    }
    // Only a shown time sets the home clock's mode; a red box keeps 99.
    const bool shown = !c.warned && c.color == kTan;
    EXPECT_EQ(place.homeClockMilitary ? int(*place.homeClockMilitary) : -1,
              shown ? int(c.military) : -1);
    if (c.color == kRed) {
      EXPECT_EQ(OffsetHours, kNoOffset);
    }
  }
}

TEST(PlaceTime, GmtPanelTexts) {
  // The locale's designators, in its code page (Greek here); "AM" and "PM"
  // for both where either is missing (nullopt: no form in the code page).
  const auto greek = base::PickDesignators("\xf0.\xec.", "\xec.\xec.");
  struct Case {
    base::TimeOfDay utc;
    const char* twelve;
    const char* military;
    base::Designators pair{};
  } cases[] = {
      {{0, 5}, "12: 05 AM", "00: 05"},
      {{9, 5}, "9: 05 AM", "09: 05"},
      {{12, 30}, "12: 30 PM", "12: 30"},
      {{15, 5}, "3: 05 PM", "15: 05"},
      {{0, 5}, "12: 05 \xf0.\xec.", "00: 05", greek},
      {{15, 5}, "3: 05 \xec.\xec.", "15: 05", greek},
      {{15, 5}, "3: 05 PM", "15: 05", base::PickDesignators("\xf0.\xec.", std::nullopt)},
      {{15, 5}, "3: 05 PM", "15: 05", base::PickDesignators("", "nm.")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GmtText(c.utc, false, c.pair), c.twelve);
    EXPECT_EQ(GmtText(c.utc, true, c.pair), c.military);
  }
  EXPECT_EQ(PlaceTimeText(15 * 60 + 5, false, true, greek), "3:05 \xec.\xec.*");
}

}  // namespace
}  // namespace worldclock

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "tests/common/zone_fakes.h"
#include "worldclock/clocks_logic.h"

namespace worldclock {
namespace {

struct FakeWindow : ClocksView {
  std::map<int, std::string> boxes, panels;
  std::string gmt;
  bool military = false, ok = true, reset = false;
  int saves = 0, warnings = 0;
  std::function<void()> whileWarning;  // what happens while a warning is open
  std::string BoxText(int b) const override { return boxes.count(b) ? boxes.at(b) : ""; }
  void SetBoxText(int b, const std::string& t) override { boxes[b] = t; }
  void SetBoxColor(int, unsigned long) override {}
  std::string PanelText(int p) const override { return panels.count(p) ? panels.at(p) : ""; }
  void SetPanelText(int p, const std::string& t) override { panels[p] = t; }
  void SetGmtText(const std::string& t) override { gmt = t; }
  bool Military() const override { return military; }
  void SetHomeClockMilitary(bool) override {}
  void SetButtons(bool o, bool r) override { ok = o, reset = r; }
  void FractionWarning(const std::string&) override {
    ++warnings;
    if (auto during = std::exchange(whileWarning, nullptr)) during();
  }
  std::map<int, std::string> saved;  // the boxes as the last save wrote them
  void SaveSettings() override { ++saves, saved = boxes; }
  int shipsMark = 0, shipsMoves = 0;
  void MarkShipsTime(int panel) override { shipsMark = panel; }
  void ShipsTimeMoved() override { ++shipsMoves; }
};

// The form state's values, section/key.
struct Ini : settings::ProfileStore {
  std::map<std::string, std::string> values;
  std::string ReadString(const std::string& s, const std::string& k,
                         const std::string& d) override {
    return values.count(s + "/" + k) ? values[s + "/" + k] : d;
  }
  bool WriteString(const std::string& s, const std::string& k, const std::string& v) override {
    values[s + "/" + k] = v;
    return true;
  }
  bool RemoveKey(const std::string& s, const std::string& k) override {
    values.erase(s + "/" + k);
    return true;
  }
  std::string Path() const override { return "Marlinet.ini"; }
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
  clocks.SetDesignators({"vm.", "nm."});  // the regional settings changed
  clocks.Tick({14, 6});                   // at once, in the same minute
  EXPECT_EQ(w.panels[2], "3:06 nm.*");
  clocks.SetDesignators({});
  clocks.Tick({14, 6});
  w.gmt.clear();
  clocks.Tick({14, 6});  // the same minute: nothing
  EXPECT_EQ(w.gmt, "");
  clocks.Tick({15, 6});  // the clock moved by exactly an hour: at once
  EXPECT_EQ(w.gmt, "3: 06 PM");
  EXPECT_EQ(w.panels[2], "4:06 PM*");
  clocks.Tick({14, 6});  // and back
  EXPECT_EQ(w.panels[2], "3:06 PM*");

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
  settings::FlagsLine memory;
  EXPECT_FALSE(clocks.Reset({14, 7}, memory));  // a rejected fraction: nothing saved, still editing
  EXPECT_EQ(w.saves, 0);
  EXPECT_EQ(w.warnings, 1);
  EXPECT_EQ(clocks.EditingClocks, 1);
  EXPECT_EQ(w.panels[2], "4:07 PM*");           // but the places were recomputed
  EXPECT_FALSE(clocks.Reset({14, 7}, memory));  // asked again: warned again
  EXPECT_EQ(w.warnings, 2);
  w.boxes[4] = "Nowhere [5.5]";
  EXPECT_TRUE(clocks.Reset({14, 7}, memory));
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

// The flags line and the place texts as the main window writes them, read
// back by the next start's clocks window: DST choices survive a Reset then
// any later save, beside the main window's own flags.
TEST(ClocksWindow, DstChoicesSurviveResetAndTheMainWindowsSave) {
  struct SavingWindow : FakeWindow {
    settings::FlagsLine* flags = nullptr;
    std::vector<std::string> file;
    std::array<std::string, kPlaceCount> Places() const {
      std::array<std::string, kPlaceCount> p;
      for (int n = 1; n <= kPlaceCount; ++n) p[n - 1] = BoxText(n);
      return p;
    }
    void SaveSettings() override { file = settings::SettingsLines(*flags, Places()); }
  };
  settings::ControlFlags controls;
  controls.hours.fill(true);
  controls.launchSwitch = true;
  settings::FlagsLine memory;
  settings::WriteControlFlags(controls, memory);
  SavingWindow w;
  w.flags = &memory;
  ClocksLogic clocks(w);
  std::vector<std::string> text(1 + kPlaceCount, "Somewhere [1]");
  text[0] = memory.Text();
  clocks.Create(memory, text, {14, 5});
  clocks.FormActive = 1;
  for (int box : {1, 2, 13, 24}) {
    clocks.PanelPressed(box);
    clocks.ChooseDst(1);
  }
  ASSERT_TRUE(clocks.Reset({14, 5}, memory));
  const std::vector<std::string> afterReset = w.file;
  // Later the main window saves by itself: its options over the same line.
  settings::WriteControlFlags(controls, memory);
  w.SaveSettings();
  for (const auto& file : {afterReset, w.file}) {
    FakeWindow next;
    ClocksLogic restarted(next);
    restarted.Create(settings::FlagsLine(file[0]), file, {14, 5});
    for (int box = 1; box <= kPlaceCount; ++box) {
      const bool dst = box == 1 || box == 2 || box == 13 || box == 24;
      EXPECT_EQ(restarted.Dst(box), dst ? 1 : 0) << box;
      EXPECT_EQ(next.panels[box], dst ? "4:05 PM*" : "3:05 PM") << box;
    }
    const settings::ControlFlags read = settings::ReadControlFlags(settings::FlagsLine(file[0]));
    EXPECT_EQ(read.hours, controls.hours);
    EXPECT_TRUE(read.launchSwitch);
    EXPECT_FALSE(read.largeBells);
    EXPECT_EQ(file[0].size(), 54u);
  }
}

// A box whose fraction is rejected, stored by the main window's save, as the
// minutes go by.
TEST(ClocksWindow, AStoredBadFractionWarnsOncePerText) {
  struct Step {
    const char* what;
    std::function<void(FakeWindow&, ClocksLogic&)> act;
    int warnings;  // shown by this step
  };
  FakeWindow w;
  ClocksLogic clocks(w);
  int minute = 5;
  auto tick = [&minute](FakeWindow&, ClocksLogic& c) { c.Tick({14, ++minute}); };
  const std::vector<std::string> stored = {"flags", "Frac [5.45]", "Lisbon [0]"};
  auto load = [&stored](FakeWindow&, ClocksLogic& c) { c.Create({}, stored, {14, 5}); };
  const Step steps[] = {
      {"start", load, 1},
      {"the next minute", tick, 0},
      {"the minute after", tick, 0},
      {"the clock jumps an hour",
       [](FakeWindow&, ClocksLogic& c) {
         c.Tick({15, 7});
       },
       0},
      {"typed anew, the same text",
       [](FakeWindow& v, ClocksLogic& c) {
         v.boxes[1] = "Frac [5.4]";
         c.BoxChanged(1);
         v.boxes[1] = "Frac [5.45]";
         c.BoxChanged(1);
       },
       0},
      {"then the next minute", tick, 1},
      {"and the one after", tick, 0},
      {"another text, without a notice",
       [](FakeWindow& v, ClocksLogic&) { v.boxes[1] = "F [1.1]"; }, 0},
      {"its minute", tick, 1},
      {"loaded anew", load, 1},
      {"the next minute", tick, 0},
  };
  for (const auto& s : steps) {
    const int before = w.warnings;
    s.act(w, clocks);
    EXPECT_EQ(w.warnings - before, s.warnings) << s.what;
  }
  EXPECT_EQ(w.panels[2], "2:11 PM");  // the other places went on
}

// A warning from a tick holds the ticks back; Reset can open a second one
// over it, and closing that one must not let the next minute stack a third.
TEST(ClocksWindow, OpenWarningsAreCounted) {
  FakeWindow w;
  ClocksLogic clocks(w);
  clocks.Create({}, {"flags", "Frac [5.45]"}, {14, 5});  // warned at start
  w.boxes[2] = "Other [2.2]";                            // in the window, unsaved
  settings::FlagsLine memory;
  w.whileWarning = [&] {  // in the 14:06 warning: Reset, then its box closes
    EXPECT_EQ(clocks.WarningsOpen(), 1);
    w.whileWarning = [&] { EXPECT_EQ(clocks.WarningsOpen(), 2); };
    EXPECT_FALSE(clocks.Reset({14, 6}, memory));
    EXPECT_EQ(clocks.WarningsOpen(), 1);
    clocks.Tick({14, 7});  // the first is still open: nothing
    EXPECT_EQ(w.gmt, "2: 06 PM");
  };
  w.boxes[1] = "Frac [5.46]";
  clocks.Tick({14, 6});
  EXPECT_EQ(w.warnings, 1 + 1 + 2);  // the tick's, then Reset's two
  EXPECT_EQ(clocks.WarningsOpen(), 0);
}

// A place that follows a zone, as the person sees it: its menu, its time
// and "*" from minute to minute, the file that keeps the choice, and the
// ways following ends.
TEST(ClocksWindow, APlaceFollowsItsZoneUntilItsOffsetOrTheZoneGoes) {
  Ini ini;
  testutil::FakeZones zones;
  settings::FlagsLine flags;
  FakeWindow w;
  ClocksLogic clocks(w);
  clocks.UseTimeZones(zones, ini, flags);
  const base::TimeOfDay march{10, 0, 0, 0, 2026, 3, 11}, april{10, 0, 0, 0, 2026, 4, 1};
  clocks.Create(flags, {"flags", "Berlin [1]", "New York [-5]", "Nowhere [13]"}, march);
  clocks.FormActive = 1;
  auto captions = [&](int box) {
    std::string all;
    for (const ZoneMenuItem& i : clocks.ZoneMenu(box, march)) {
      all += std::string(i.separatorBefore ? "|" : "") + (i.checked ? "v " : "") +
             (i.enabled ? "" : "(off) ") + i.caption + ";";
    }
    return all;
  };
  // Lord Howe's half hour and the other offsets stay out; "&" shows as itself.
  EXPECT_EQ(captions(1),
            "v None;|(UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna;"
            "(UTC+01:00) Brussels, Copenhagen, Madrid, Paris;(UTC+01:00) West Central Africa;");
  EXPECT_EQ(captions(2), "v None;|(UTC-05:00) Eastern Time (US && Canada);");
  EXPECT_EQ(captions(3), "v None;|(off) No time zone has this offset;");

  clocks.PanelPressed(1);
  clocks.ChooseZone("W. Europe Standard Time", march);
  EXPECT_EQ(ini.values["Time Zones/Box1"], "W. Europe Standard Time");  // kept at once
  EXPECT_EQ(clocks.EditingClocks, 1);
  ASSERT_TRUE(clocks.Reset(march, flags));
  EXPECT_EQ(w.panels[1], "11:00 AM");
  EXPECT_EQ(captions(1),
            "None;|v (UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna;"
            "(UTC+01:00) Brussels, Copenhagen, Madrid, Paris;(UTC+01:00) West Central Africa;"
            "|(off) Clocks go forward on 29 Mar 2026 at 02:00;");
  const int saves = w.saves;
  clocks.Tick(april);  // the clock moved on: no click, no editing, no save
  EXPECT_EQ(w.panels[1], "12:00 PM*");
  EXPECT_TRUE(flags.Get(settings::DstPosition(1)));
  EXPECT_EQ(clocks.EditingClocks, 0);
  EXPECT_EQ(w.saves, saves);

  // Another offset typed: following ends at Reset, not before; the flag stays.
  w.boxes[1] = "Berlin [2]";
  clocks.BoxChanged(1);
  EXPECT_EQ(clocks.Following(1), "W. Europe Standard Time");
  ASSERT_TRUE(clocks.Reset(april, flags));
  EXPECT_EQ(clocks.Following(1), "");
  EXPECT_EQ(ini.values.count("Time Zones/Box1"), 0u);
  EXPECT_EQ(w.panels[1], "1:00 PM*");

  // A zone Windows drops: following ends at the next minute, the flag as it was.
  clocks.PanelPressed(2);
  clocks.ChooseZone("Eastern Standard Time", april);
  ASSERT_TRUE(clocks.Reset(april, flags));
  EXPECT_EQ(w.panels[2], "6:00 AM*");
  zones.Remove("Eastern Standard Time");
  clocks.Tick({10, 1, 0, 0, 2026, 4, 1});
  EXPECT_EQ(clocks.Following(2), "");
  EXPECT_EQ(ini.values.count("Time Zones/Box2"), 0u);
  EXPECT_EQ(w.panels[2], "6:01 AM*");
}

// A followed zone whose offset moves from one year to the next: the box
// takes the zone's new offset (its name kept), the flag the zone's
// daylight saving, and the place goes on following. Each row starts the
// window at `from` and lets the minutes run to `to`.
TEST(ClocksWindow, AFollowedPlaceTakesItsZonesNewOffset) {
  testutil::FakeZones zones;
  struct Case {
    const char* key;
    const char* box;
    base::TimeOfDay from, to;  // UTC
    const char* boxThen;
    const char* timeThen;  // the civil time there
    // The person edits from `from` on, and Resets at `to`.
    bool editing = false;
  } cases[] = {
      // Amman stays on +3 when 2022's daylight saving would have ended.
      {"Jordan Standard Time",
       "Amman [2]",
       {12, 0, 0, 0, 2022, 12, 1},
       {22, 30, 0, 0, 2022, 12, 31},
       "Amman [3]",
       "1:30 AM"},
      // Nuuk's record moves to -2 at the new year.
      {"Greenland Standard Time",
       "Nuuk [-3]",
       {12, 0, 0, 0, 2023, 12, 1},
       {3, 30, 0, 0, 2024, 1, 1},
       "Nuuk [-2]",
       "1:30 AM"},
      // Volgograd's 2018 record: +3 as a "daylight" time behind +4 ...
      {"Volgograd Standard Time",
       "Volgograd [3]",
       {12, 0, 0, 0, 2017, 12, 1},
       {12, 0, 0, 0, 2018, 3, 15},
       "Volgograd [3]",
       "3:00 PM"},
      // ... then +4 from 28 October.
      {"Volgograd Standard Time",
       "Volgograd [3]",
       {12, 0, 0, 0, 2017, 12, 1},
       {12, 0, 0, 0, 2018, 11, 1},
       "Volgograd [4]",
       "4:00 PM"},
      // Started again more than a year after the move: still following.
      {"Jordan Standard Time",
       "Amman [2]",
       {12, 0, 0, 0, 2024, 3, 1},
       {12, 1, 0, 0, 2024, 3, 1},
       "Amman [3]",
       "3:01 PM"},
      {"Greenland Standard Time",
       "Nuuk [-3]",
       {12, 0, 0, 0, 2025, 2, 1},
       {12, 1, 0, 0, 2025, 2, 1},
       "Nuuk [-2]",
       "10:01 AM"},
      // The zone moved while the person was editing: Reset shows and saves it.
      {"Jordan Standard Time",
       "Amman [2]",
       {12, 0, 0, 0, 2022, 12, 1},
       {22, 30, 0, 0, 2022, 12, 31},
       "Amman [3]",
       "1:30 AM",
       true},
      // Samoa (+13) under [-11]: +14 on its daylight saving, in January.
      {"Samoa Standard Time",
       "Apia [-11]",
       {10, 0, 0, 0, 2019, 12, 1},
       {10, 0, 0, 0, 2020, 1, 15},
       "Apia [-11]",
       "12:00 AM*"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    Ini ini;
    ini.values["Time Zones/Box1"] = c.key;
    settings::FlagsLine flags;
    FakeWindow w;
    ClocksLogic clocks(w);
    clocks.UseTimeZones(zones, ini, flags);
    clocks.Create(flags, {"flags", c.box}, c.from);
    clocks.FormActive = 1;  // the window open: the program's new text is no typing
    if (c.editing) clocks.BoxChanged();
    // Once a day, as the minutes would have gone by.
    for (long long m = base::MinutesSinceEpoch(c.from) + base::kMinutesPerDay;
         m < base::MinutesSinceEpoch(c.to); m += base::kMinutesPerDay) {
      clocks.Tick(base::FromMinutesSinceEpoch(m));
    }
    if (c.editing) {
      ASSERT_TRUE(clocks.Reset(c.to, flags));
      EXPECT_EQ(w.saved[1], c.boxThen);
    } else {
      clocks.Tick(c.to);
    }
    EXPECT_EQ(w.boxes[1], c.boxThen);
    EXPECT_EQ(w.panels[1], c.timeThen);
    EXPECT_EQ(clocks.EditingClocks, 0);
    ASSERT_TRUE(clocks.Reset(c.to, flags));
    EXPECT_EQ(clocks.Following(1), c.key);
    EXPECT_EQ(ini.values["Time Zones/Box1"], c.key);
  }
  // Zones east of +12:45 are offered under the box's offset a day away.
  FakeWindow w;
  ClocksLogic clocks(w);
  Ini ini;
  settings::FlagsLine flags;
  clocks.UseTimeZones(zones, ini, flags);
  const base::TimeOfDay july{10, 0, 0, 0, 2026, 7, 1};
  clocks.Create(flags, {"flags", "Apia [-11]", "Kiritimati [-10]"}, july);
  auto listed = [&](int box) {
    std::string all;
    for (const ZoneMenuItem& i : clocks.ZoneMenu(box, july)) all += i.caption + ";";
    return all;
  };
  EXPECT_EQ(listed(1), "None;(UTC+13:00) Samoa;(UTC+13:00) Nuku'alofa;");
  EXPECT_EQ(listed(2), "None;(UTC+14:00) Kiritimati Island;");
}

}  // namespace
}  // namespace worldclock

namespace worldclock {
namespace {

// The bells follow the time the chosen place's panel shows, and nothing
// while it shows none; the choice is kept at once.
TEST(ClocksWindow, ShipsTimeIsTheTimeTheChosenPanelShows) {
  Ini ini;
  ini.values["Ship's Time/Place"] = "1";
  settings::FlagsLine flags;
  FakeWindow w;
  ClocksLogic clocks(w);
  clocks.KeepShipsTimeIn(ini);
  const base::TimeOfDay utc{14, 45};
  clocks.Create(flags, {"flags", "Kathmandu [5.75]", "Nowhere [13]"}, utc);
  clocks.FormActive = 1;
  EXPECT_EQ(w.shipsMark, 1);
  EXPECT_EQ(clocks.ShipsOffset(), 345);
  struct Step {
    const char* what;
    std::function<void()> act;
    std::optional<int> offset;  // minutes east of UTC the bells then follow
    const char* kept;           // Marlinet.ini's choice
  } steps[] = {
      {"DS Time, then Reset", [&] { clocks.PanelPressed(1), clocks.ChooseDst(1); }, 405, "1"},
      {"a rejected fraction: the panel keeps its time", [&] { w.boxes[1] = "Kathmandu [5.3]"; },
       405, "1"},
      {"no brackets: no time shown", [&] { w.boxes[1] = "Kathmandu"; }, std::nullopt, "1"},
      {"shown again", [&] { w.boxes[1] = "Kathmandu [5.75]"; }, 405, "1"},
      {"a red box chosen instead", [&] { clocks.PanelPressed(2), clocks.ChooseShipsTime(); },
       std::nullopt, "2"},
      {"chosen again: the computer's clock", [&] { clocks.ChooseShipsTime(); }, std::nullopt, ""},
  };
  for (const Step& step : steps) {
    const int moves = w.shipsMoves;
    const std::optional<int> before = clocks.ShipsOffset();
    step.act();
    clocks.Reset(utc, flags);
    EXPECT_EQ(clocks.ShipsOffset(), step.offset) << step.what;
    EXPECT_EQ(ini.ReadString("Ship's Time", "Place", ""), step.kept) << step.what;
    EXPECT_EQ(w.shipsMark, std::atoi(step.kept)) << step.what;
    // Every move of the time the bells follow is told, for a new aim.
    if (before != step.offset) {
      EXPECT_GT(w.shipsMoves, moves) << step.what;
    }
  }
  // A place that follows its zone changes with it at the very minute, before
  // the window's own tick shows it: the strike aimed at 03:00 in Berlin on
  // the morning the clocks go forward reads 03:00.
  testutil::FakeZones zones;
  Ini zoned;
  zoned.values["Ship's Time/Place"] = "1";
  zoned.values["Time Zones/Box1"] = "W. Europe Standard Time";
  ClocksLogic berlin(w);
  berlin.UseTimeZones(zones, zoned, flags);
  berlin.KeepShipsTimeIn(zoned);
  berlin.Create(flags, {"flags", "Berlin [1]"}, {0, 59, 0, 0, 2026, 3, 29});
  EXPECT_EQ(berlin.ShipsOffsetAt({0, 59, 30, 0, 2026, 3, 29}), 60);
  EXPECT_EQ(berlin.ShipsOffsetAt({1, 0, 0, 25, 2026, 3, 29}), 120);
  // A hand-edited choice that names no place is none.
  ini.values["Ship's Time/Place"] = "25";
  ClocksLogic again(w);
  again.KeepShipsTimeIn(ini);
  again.Create(flags, {"flags", "Kathmandu [5.75]"}, utc);
  EXPECT_EQ(again.ShipsPlace(), 0);
}

}  // namespace
}  // namespace worldclock

#include "worldclock/tray_tip.h"

namespace worldclock {
namespace {

// The tray tip as the person reads it, from the places as their panels show
// them. Box texts by number; `chosen` the boxes ticked "Show in Tray Tip".
TEST(PlacesInTheTrayTip, OneALineAndWhatFits) {
  testutil::FakeZones zones;
  const base::TimeOfDay july{14, 5, 0, 0, 2026, 7, 1};
  auto numbered = [](int n, const std::string& name) {
    std::vector<std::pair<int, std::string>> boxes;
    for (int i = 1; i <= n; ++i)
      boxes.push_back({i, "Place Number 0" + std::to_string(i) + " [1]"});
    boxes.push_back({n + 1, name + " [1]"});
    return boxes;
  };
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::string>> boxes;
    std::vector<int> chosen;
    base::TimeOfDay utc;
    int localOffset;  // the computer's clock, minutes ahead of UTC
    bool military;
    const char* tip;
    // Boxes typed into afterwards, while the panels stay as they were.
    std::vector<std::pair<int, std::string>> typed = {};
  } cases[] = {
      {"names, in box order",
       {{1, "Greenwich [0]"}, {2, "  New York   [-5]"}, {5, "Auckland [12]"}},
       {5, 1, 2},
       july,
       0,
       false,
       "Greenwich 2:05 PM\nNew York 9:05 AM\nAuckland 2:05 AM +1 day"},
      {"24 hours",
       {{1, "Greenwich [0]"}, {2, "New York [-5]"}, {5, "Auckland [12]"}},
       {1, 2, 5},
       july,
       0,
       true,
       "Greenwich 14: 05\nNew York 09: 05\nAuckland 02: 05 +1 day"},
      {"the day before, seen from Sydney's morning",
       {{1, "Honolulu [-10]"}, {2, "Greenwich [0]"}},
       {1, 2},
       {2, 30, 0, 0, 2026, 7, 1},
       600,
       false,
       "Honolulu 4:30 PM -1 day\nGreenwich 2:30 AM"},
      {"quarter hours, and a place with no name",
       {{3, "Kathmandu [5.75]"}, {4, " [5.5]"}},
       {3, 4},
       july,
       60,
       false,
       "Kathmandu 7:50 PM\n[5.5] 7:35 PM"},
      {"a red box, a box with no brackets and one not chosen are left out",
       {{1, "Nowhere [13]"}, {2, "Berlin [1]"}, {3, "Paris [1]"}, {4, "Home"}},
       {1, 2, 4},
       july,
       0,
       false,
       "Berlin 3:05 PM"},
      {"a tip of exactly 127 characters",
       numbered(4, "Twenty Three Char Place"),
       {1, 2, 3, 4, 5},
       july,
       0,
       false,
       "Place Number 01 3:05 PM\nPlace Number 02 3:05 PM\nPlace Number 03 3:05 PM\n"
       "Place Number 04 3:05 PM\nTwenty Three Char Place 3:05 PM"},
      {"one character more",
       numbered(4, "Twenty Three Char Places"),
       {1, 2, 3, 4, 5},
       july,
       0,
       false,
       "Place Number 01 3:05 PM\nPlace Number 02 3:05 PM\nPlace Number 03 3:05 PM\n"
       "Place Number 04 3:05 PM\n..."},
      {"no room for the dots after the fifth line",
       [&numbered] {
         auto boxes = numbered(4, "Twenty Three Char Place");
         boxes.push_back({6, "Lima [-5]"});
         return boxes;
       }(),
       {1, 2, 3, 4, 5, 6},
       july,
       0,
       false,
       "Place Number 01 3:05 PM\nPlace Number 02 3:05 PM\nPlace Number 03 3:05 PM\n"
       "Place Number 04 3:05 PM\n..."},
      {"nothing chosen", {{1, "Greenwich [0]"}}, {}, july, 0, false, ""},
      {"while editing: the places as their panels still show them",
       {{1, "Greenwich [0]"}, {2, "Berlin [1]"}, {3, "Lima [-5]"}},
       {1, 2, 3},
       july,
       0,
       false,
       "Greenwich 2:05 PM\nBerlin 3:05 PM\nLima 9:05 AM",
       {{1, ""}, {2, "Tokyo [9]"}, {3, "Lima"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeWindow w;
    w.military = c.military;
    ClocksLogic clocks(w);
    std::vector<std::string> text(1 + kPlaceCount);
    for (const auto& [box, t] : c.boxes) text[box] = t;
    clocks.Create({}, text, c.utc);
    clocks.FormActive = 1;
    for (const auto& [box, t] : c.typed) {
      w.boxes[box] = t;
      clocks.BoxChanged(box);
    }
    Ini ini;
    for (int box : c.chosen) ini.values["Tray Tip/Box" + std::to_string(box)] = "1";
    TrayTip tip(&ini);
    const std::string shown = tip.Text(clocks, c.utc, c.localOffset);
    EXPECT_EQ(shown, c.tip);
    EXPECT_LE(shown.size(), kTrayTipLength);
  }

  // A zone followed under the offset a day away dates by its own: Samoa
  // (+13) under [-11] is a day ahead of Greenwich, not a day behind.
  Ini ini;
  ini.values["Time Zones/Box1"] = "Samoa Standard Time";
  settings::FlagsLine flags;
  FakeWindow w;
  ClocksLogic clocks(w);
  clocks.UseTimeZones(zones, ini, flags);
  const base::TimeOfDay noon{12, 0, 0, 0, 2026, 7, 1};
  clocks.Create(flags, {"flags", "Apia [-11]"}, noon);
  TrayTip tip(&ini);
  tip.Toggle(1);
  EXPECT_EQ(ini.values["Tray Tip/Box1"], "1");  // kept at once
  EXPECT_EQ(tip.Text(clocks, noon, 0), "Apia 1:00 AM +1 day");
  tip.Toggle(1);
  EXPECT_EQ(ini.values.count("Tray Tip/Box1"), 0u);
  EXPECT_EQ(tip.Text(clocks, noon, 0), "");
}

}  // namespace
}  // namespace worldclock
