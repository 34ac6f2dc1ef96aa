// A week of ticks, simulated: jitter, a computer asleep for hours, the clock
// moved back and forward an hour, and daylight-saving changes. Each tick's
// outcome is checked against the rule as the user sees it: a strike minute
// is struck once, at its first admitted tick after an admitted tick in a
// minute that strikes nothing, and nothing missed is caught up.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "bells/bell_tick.h"
#include "launcher/launch_tick.h"
#include "worldclock/clocks_logic.h"

namespace {

constexpr long kDay = 24 * 3600;

// Wall-clock seconds since the start of the week, as the machine shows them.
struct SimulatedClock : ui::LocalClock {
  long seconds = 0;
  ui::TimeOfDay Now() override {
    const long s = ((seconds % kDay) + kDay) % kDay;
    return {static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)};
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
    if (day == 3 && inDay == 2 * 3600) shift = -3600;                // back an hour
    if (day == 5 && inDay == 2 * 3600) shift = 0;                    // forward again
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
    bells::BellOptions CurrentBellOptions() override { return o; }
  };
  for (const bool earlyRing : {false, true}) {
    SimulatedClock clock;
    Player player;
    Options options;
    options.o.hourBoxes.fill(true);
    options.o.hourBoxes[3] = false;  // one hour off
    options.o.earlyRing = earlyRing;
    bells::BellsSilenced = 0;
    bells::BellTick tick(clock, player, options);
    int strikes = 0;
    bool struckSinceAQuietMinute = false;
    for (long wall : WeekOfTicks(3000, 7)) {
      clock.seconds = wall;
      const ui::TimeOfDay now = clock.Now();
      const int played = player.plays;
      tick.Tick();
      bool due = false;
      if (bells::HourGateAdmits(options.o.hourBoxes, now.hour, now.minute, earlyRing)) {
        if (!bells::IsStrikeMinute(now.minute)) struckSinceAQuietMinute = false;
        due = !struckSinceAQuietMinute &&
              bells::BellCount(now.hour, now.minute, earlyRing, false).has_value();
        struckSinceAQuietMinute |= due;
      }
      ASSERT_EQ(player.plays - played, due ? 1 : 0) << wall;
      strikes += due;
    }
    // A week has 336 half hours; an hour off, a night asleep and an hour
    // lived twice move the count, but only so far.
    EXPECT_GT(strikes, 300);
    EXPECT_LT(strikes, 336);
  }
}

TEST(LongRun, EachDueEntryRunsOncePerMatchingTick) {
  struct Ports : launcher::ProcessKiller, launcher::Pause, launcher::Shell {
    int opens = 0;
    void FileKill(const std::string&) override {}
    void Wait(unsigned) override {}
    void Open(const std::string&) override { ++opens; }
  };
  SimulatedClock clock;
  Ports ports;
  launcher::LaunchTick tick(clock, ports, ports, ports);
  const std::vector<std::string> list = {"[0000][a]", "[0730][b]", "[0730][c]", "~[1200][d]"};
  int opens = 0;
  for (long wall : WeekOfTicks(60000, 11)) {
    clock.seconds = wall;
    const ui::TimeOfDay now = clock.Now();
    const int before = ports.opens;
    tick.Tick(true, list);
    const int due = (now.hour == 0 && now.minute == 0) + 2 * (now.hour == 7 && now.minute == 30);
    ASSERT_EQ(ports.opens - before, due) << wall;
    opens += due;
  }
  EXPECT_GT(opens, 10);  // the entries came due, a few times over the week
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
    const ui::TimeOfDay now = clock.Now();
    logic.Tick(now);
    minutes += now.minute != last;
    last = now.minute;
  }
  EXPECT_EQ(window.gmtWrites, minutes);
}

}  // namespace
