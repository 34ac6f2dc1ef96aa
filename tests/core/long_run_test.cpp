// A week of ticks, simulated: jitter, a computer asleep for hours, the clock
// moved back and forward an hour, and daylight-saving changes. Each tick's
// outcome is checked against the rule as the user sees it: a strike minute
// is struck once, at its first admitted tick after an admitted tick in a
// minute that strikes nothing, and nothing missed is caught up.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bells/bell_tick.h"
#include "launcher/launch_tick.h"
#include "tests/common/launch_fakes.h"
#include "worldclock/clocks_logic.h"

namespace {

constexpr long kDay = 24 * 3600;

// Wall-clock seconds since the start of the week, as the machine shows them.
struct SimulatedClock : base::LocalClock {
  long seconds = 0;
  base::TimeOfDay Now() override {
    const long s = ((seconds % kDay) + kDay) % kDay;
    // The week lies in one January.
    const int day = 1 + static_cast<int>((seconds - s) / kDay);
    return {static_cast<int>(s / 3600),
            static_cast<int>(s / 60 % 60),
            static_cast<int>(s % 60),
            0,
            2000,
            1,
            day};
  }
};

// The ticks of a week: every `period` ms with jitter, a night asleep, and
// the clock stepped back and forward an hour (as a daylight-saving change or
// a person would).
std::vector<long> WeekOfTicks(long periodMs, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> jitter(-periodMs / 10, periodMs / 5);
  std::vector<long> wall;
  long realMs = 0, shift = 0;
  while (realMs < 7 * kDay * 1000) {
    realMs += periodMs + jitter(random);
    const long day = realMs / 1000 / kDay, inDay = realMs / 1000 % kDay;
    if (day == 2 && inDay > 1 * 3600 && inDay < 6 * 3600) continue;  // asleep
    if (day == 3 && inDay >= 2 * 3600 && shift == 0) shift = -3600;  // back an hour
    if (day == 5 && inDay >= 2 * 3600) shift = 0;                    // forward again
    wall.push_back(realMs / 1000 + shift);
  }
  return wall;
}

TEST(LongRun, EveryAdmittedStrikeMinuteIsStruckOnceAndNothingIsCaughtUp) {
  struct Player : bells::SoundPlayer {
    int plays = 0;
    void Play(const std::string&) override { ++plays; }
  };
  struct Options : bells::BellOptionsSource {
    bells::BellOptions o;
    bells::BellOptions CurrentBellOptions() const override { return o; }
  };
  for (const bool earlyRing : {false, true}) {
    SimulatedClock clock;
    Player player;
    Options options;
    for (int h = 0; h < 24; ++h) options.o.hourBoxes[h] = h >= 7 && h <= 20;  // quiet nights
    options.o.earlyRing = earlyRing;
    bells::BellTick tick(clock, player, options);
    // As a person hears it: each minute lived (a run of ticks reading the
    // same minute) that is admitted, unsilenced and has bells strikes once,
    // unless it directly follows a minute that struck (an early strike's
    // own minute after it).
    int strikes = 0, lastMinute = -1;
    bool struckThisMinute = false, struckTheMinuteBefore = false;
    for (long wall : WeekOfTicks(3000, 7)) {
      clock.seconds = wall;
      const base::TimeOfDay now = clock.Now();
      const int minute = now.hour * 60 + now.minute;
      if (minute != lastMinute) {
        struckTheMinuteBefore = struckThisMinute && minute == (lastMinute + 1) % (24 * 60);
        struckThisMinute = false;
        lastMinute = minute;
      }
      // Muted for half an hour on the fourth day, unmuted within 10:30.
      const long inWeek = wall % (7 * kDay);
      bells::BellsSilenced = inWeek >= 3 * kDay + 10 * 3600 + 30 && inWeek < 3 * kDay + 37830;
      const bool due =
          !bells::BellsSilenced && !struckThisMinute && !struckTheMinuteBefore &&
          bells::HourGateAdmits(options.o.hourBoxes, now.hour, now.minute, earlyRing) &&
          bells::BellCount(now.hour, now.minute, earlyRing, false).has_value();
      const int played = player.plays;
      tick.Tick();
      ASSERT_EQ(player.plays - played, due ? 1 : 0) << wall;
      struckThisMinute |= due;
      strikes += due;
    }
    bells::BellsSilenced = 0;
    // 28 strikes a day from 07:00 to 20:30, or 29 from 06:59 to 20:59; the
    // clock moves only at night, and the mute takes the early 10:29.
    EXPECT_EQ(strikes, earlyRing ? 7 * 29 - 1 : 7 * 28);
  }
}

TEST(LongRun, EachEntryOpensOnceADayThoughTicksDriftAndTheClockMoves) {
  SimulatedClock clock;
  testutil::InlineLaunches ports;
  launcher::LaunchTick tick(clock, ports);
  const std::vector<std::string> list = {"[0000][a]", "[0130][b]", "[0730][c]", "[0730][d]",
                                         "~[1200][e]"};
  for (long wall : WeekOfTicks(60000, 11)) {
    clock.seconds = wall;
    tick.Tick(true, list);
  }
  // The first tick and the last read a midnight: eight midnights. 01:30 is
  // lived twice on the fourth day (opened once), and not at all on the
  // third (asleep) and the sixth (the clock moved forward over it).
  std::map<std::string, int> opens;
  for (const std::string& call : ports.calls)
    if (call.starts_with("open ")) ++opens[call.substr(5)];
  EXPECT_EQ(opens, (std::map<std::string, int>{{"a", 8}, {"b", 5}, {"c", 7}, {"d", 7}}));
}

TEST(LongRun, ThePlacesChangeOncePerUtcMinute) {
  struct Window : worldclock::ClocksView {
    int gmtWrites = 0;
    std::string BoxText(int box) const override { return box == 1 ? "Lisbon [0]" : ""; }
    void SetBoxText(int, const std::string&) override {}
    void SetBoxColor(int, unsigned long) override {}
    std::string PanelText(int) const override { return ""; }
    void SetPanelText(int, const std::string&) override {}
    void SetGmtText(const std::string&) override { ++gmtWrites; }
    bool Military() const override { return false; }
    void SetHomeClockMilitary(bool) override {}
    void SetButtons(bool, bool) override {}
    void FractionWarning(const std::string&) override {}
    void SaveSettings() override {}
  };
  Window window;
  worldclock::ClocksLogic logic(window);
  SimulatedClock clock;
  int minutes = 0;
  int last = -1;
  const auto ticks = WeekOfTicks(450, 3);
  for (size_t i = 0; i < ticks.size() && ticks[i] < kDay; ++i) {  // a day at 450 ms
    clock.seconds = ticks[i];
    const base::TimeOfDay now = clock.Now();
    logic.Tick(now);
    minutes += now.minute != last;
    last = now.minute;
  }
  EXPECT_EQ(window.gmtWrites, minutes);
}

}  // namespace
