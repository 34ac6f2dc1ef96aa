#include "bells/bell_tick.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bells/ships_time.h"
#include "launcher/launch_tick.h"
#include "tests/common/launch_fakes.h"
#include "tests/common/time_of_day.h"

namespace bells {
namespace {

struct FakeClock : LocalClock {
  TimeOfDay now;
  std::optional<long long> elapsedMs;  // the running count, where one is given
  TimeOfDay Now() override { return now; }
  std::optional<long long> ElapsedMs() override { return elapsedMs; }
};

struct RecordingPlayer : SoundPlayer {
  std::vector<std::string> played;
  void Play(const std::string& name) override { played.push_back(name); }
};

struct FakeOptions : BellOptionsSource {
  BellOptions options;
  FakeOptions() { options.hourBoxes.fill(true); }
  BellOptions CurrentBellOptions() const override { return options; }
};

class BellTickTest : public testing::Test {
 protected:
  void SetUp() override { BellsSilenced = 0; }
  void TearDown() override { BellsSilenced = 0; }

  // Runs the twenty ticks of one minute and returns what they played.
  std::vector<std::string> Minute(int hour, int minute, int ticks = 20) {
    clock.now = {hour, minute};
    player.played.clear();
    for (int i = 0; i < ticks; ++i) tick.Tick();
    return player.played;
  }

  FakeClock clock;
  RecordingPlayer player;
  FakeOptions options;
  BellTick tick{clock, player, options};
};

using Played = std::vector<std::string>;

TEST_F(BellTickTest, StrikeMinutesStrikeOnceAndTheLatchClearsAMinuteLater) {
  struct Step {
    int hour, minute;
    Played played;
  };
  const Step steps[] = {
      {14, 0, {"2bell.wav"}}, {14, 1, {}},  {14, 29, {}},           {14, 30, {"2+1bell.wav"}},
      {14, 31, {}},           {14, 59, {}}, {15, 0, {"3bell.wav"}},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(Minute(s.hour, s.minute), s.played) << s.hour << ":" << s.minute;
  }
}

TEST_F(BellTickTest, EarlyRingStrikesAMinuteBeforeAndNotAgainOnTime) {
  options.options.earlyRing = true;
  struct Step {
    int hour, minute;
    Played played;
    bool latchAfter;
  };
  const Step steps[] = {
      {9, 29, {"1+1bell.wav"}, true},  {9, 30, {}, true},  {9, 31, {}, false},
      {9, 59, {"2bell.wav"}, true},    {10, 0, {}, true},  {10, 1, {}, false},
      {18, 29, {"2+1bell.wav"}, true}, {18, 30, {}, true},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(Minute(s.hour, s.minute), s.played) << s.hour << ":" << s.minute;
    EXPECT_EQ(tick.Latched(), s.latchAfter) << s.hour << ":" << s.minute;
  }
}

// Whole stretches of a day, a tick every three seconds, with the bells
// silenced (muted, or the launch list editor open) or the computer asleep
// for a while. What a person on board hears, written out by hand.
TEST_F(BellTickTest, EveryStrikeAfterANightAMuteTheEditorOrSleepSounds) {
  struct Span {
    int from, to;  // seconds of the day, from inclusive, to exclusive
  };
  struct Case {
    const char* name;
    int firstHour, lastHour;  // the hour boxes set, inclusive
    bool earlyRing;
    Span run;  // may run past midnight into the next day
    std::vector<Span> silenced, asleep;
    Played heard;  // "HH:MM file"
  };
  constexpr int H = 3600, M = 60, D = 24 * H;
  const Case cases[] = {
      {"night hours off",
       7,
       20,
       false,
       {20 * H, D + 7 * H + 31 * M},
       {},
       {},
       {"20:00 4bell.wav", "20:30 0+1bell.wav", "07:00 3bell.wav", "07:30 3+1bell.wav"}},
      {"night hours off, early ring",
       7,
       20,
       true,
       {19 * H + 59 * M, D + 7 * H + 31 * M},
       {},
       {},
       {"19:59 4bell.wav", "20:29 0+1bell.wav", "20:59 1bell.wav", "06:59 3bell.wav",
        "07:29 3+1bell.wav"}},
      {"muted from just after 10:00 into 10:30",
       0,
       23,
       false,
       {10 * H, 11 * H + M},
       {{10 * H + 30, 10 * H + 30 * M + 30}},
       {},
       {"10:00 2bell.wav", "10:30 2+1bell.wav", "11:00 3bell.wav"}},
      {"early ring, muted from 10:00 into 10:59",
       0,
       23,
       true,
       {9 * H + 59 * M, 11 * H + 30 * M},
       {{10 * H, 10 * H + 59 * M + 20}},
       {},
       {"09:59 2bell.wav", "10:59 3bell.wav", "11:29 3+1bell.wav"}},
      {"editor open from just after 14:00 to 14:29",
       0,
       23,
       false,
       {14 * H, 15 * H + M},
       {{14 * H + 20, 14 * H + 29 * M + 45}},
       {},
       {"14:00 2bell.wav", "14:30 2+1bell.wav", "15:00 3bell.wav"}},
      {"editor open across 14:30",
       0,
       23,
       false,
       {14 * H, 15 * H + M},
       {{14 * H + 20, 14 * H + 31 * M}},
       {},
       {"14:00 2bell.wav", "15:00 3bell.wav"}},
      {"asleep from 01:00 to 06:00",
       0,
       23,
       false,
       {30 * M, 6 * H + 31 * M},
       {},
       {{H + 10, 6 * H + 5}},
       {"00:30 0+1bell.wav", "01:00 1bell.wav", "06:00 2bell.wav", "06:30 2+1bell.wav"}},
  };
  const auto within = [](const std::vector<Span>& spans, int t) {
    for (const Span& s : spans) {
      if (t >= s.from && t < s.to) return true;
    }
    return false;
  };
  for (const Case& c : cases) {
    BellTick fresh(clock, player, options);
    for (int h = 0; h < 24; ++h) options.options.hourBoxes[h] = h >= c.firstHour && h <= c.lastHour;
    options.options.earlyRing = c.earlyRing;
    player.played.clear();
    Played heard;
    for (int t = c.run.from; t < c.run.to; t += 3) {
      if (within(c.asleep, t)) continue;
      BellsSilenced = within(c.silenced, t) ? 1 : 0;
      const int s = t % D;
      clock.now = {s / H, s / M % 60, s % 60};
      const size_t before = player.played.size();
      fresh.Tick();
      if (player.played.size() > before) {
        char at[8];
        std::snprintf(at, sizeof at, "%02d:%02d ", clock.now.hour, clock.now.minute);
        heard.push_back(at + player.played.back());
      }
    }
    EXPECT_EQ(heard, c.heard) << c.name;
  }
}

TEST_F(BellTickTest, TheAimedTickComesJustAfterTheNextStrikeMinuteBegins) {
  struct Case {
    const char* name;
    TimeOfDay from;  // when the tick is aimed
    bool earlyRing, dogWatch;
    int boxOff;                // an hour switched off, or -1
    int markHour, markMinute;  // the mark a person expects the bells at
    Played heard;              // what the aimed tick strikes there
  };
  const Case cases[] = {
      {"mid-watch", {14, 17, 30, 0}, false, false, -1, 14, 30, {"2+1bell.wav"}},
      {"a hair before the mark", {14, 29, 59, 990}, false, false, -1, 14, 30, {"2+1bell.wav"}},
      {"just after a strike", {14, 30, 0, 40}, false, false, -1, 15, 0, {"3bell.wav"}},
      {"early ring", {14, 17, 30, 0}, true, false, -1, 14, 29, {"2+1bell.wav"}},
      {"early ring, after its half hour", {14, 29, 0, 30}, true, false, -1, 14, 59, {"3bell.wav"}},
      {"dog watch", {18, 10, 0, 0}, false, true, -1, 18, 30, {"0+1bell.wav"}},
      {"dog watch, early ring", {18, 45, 12, 500}, true, true, -1, 18, 59, {"1bell.wav"}},
      // The aim does not skip a switched-off hour: the box may be set again
      // before the mark, and the tick there decides.
      {"hour switched off", {2, 10, 0, 0}, false, false, 2, 2, 30, {}},
      {"to midnight", {23, 45, 10, 500}, false, false, -1, 0, 0, {"4bell.wav"}},
      {"early ring, to midnight", {23, 31, 0, 0}, true, false, -1, 23, 59, {"4bell.wav"}},
      // Aimed at 15:30 from 15:05, then the clock is put back to 14:20: aimed
      // again from there, it comes at 14:30, not at 14:45.
      {"the clock put back", {14, 20, 0, 0}, false, false, -1, 14, 30, {"2+1bell.wav"}},
  };
  for (const Case& c : cases) {
    BellTick fresh(clock, player, options);
    options.options.hourBoxes.fill(true);
    if (c.boxOff >= 0) options.options.hourBoxes[c.boxOff] = false;
    options.options.earlyRing = c.earlyRing;
    options.options.dogWatch = c.dogWatch;
    const TimeOfDay at =
        testutil::AtMsOfDay(testutil::MsOfDay(c.from) + MsToNextStrike(c.from, c.earlyRing));
    // On the mark's minute, less than a tenth of a second into it.
    EXPECT_EQ(at.hour, c.markHour) << c.name;
    EXPECT_EQ(at.minute, c.markMinute) << c.name;
    EXPECT_EQ(at.second, 0) << c.name;
    EXPECT_LT(at.millisecond, 100) << c.name;
    clock.now = at;
    player.played.clear();
    fresh.Tick();
    EXPECT_EQ(player.played, c.heard) << c.name;
  }
}

// The clock is set, or the time zone changes, just as 14:30 begins, before
// either tick has read the new minute: aimed anew there, neither the strike
// nor the 14:30 entry may wait for the next mark.
TEST_F(BellTickTest, AimedAnewAsAStrikeMinuteBeginsNeitherTickPassesItOver) {
  struct Case {
    int ms;  // into 14:30 when the aims are made anew
    bool earlyRing;
  } cases[] = {{0, false}, {10, false}, {30, false}, {10, true}};
  const std::vector<std::string> list = {"[1429][a]", "[1430][b]"};
  for (const Case& c : cases) {
    testutil::InlineLaunches launches;
    launcher::LaunchTick launchTick(clock, launches);
    BellTick bells(clock, player, options);
    options.options.earlyRing = c.earlyRing;
    clock.now = {14, 29, 57, 0};
    launchTick.Tick(true, list);
    bells.Tick();
    player.played.clear();
    launches.calls.clear();
    clock.now = {14, 30, 0, c.ms};
    // Each aimed tick comes at once: 14:30 strikes (early ring: 14:30 is
    // silent, its strike came at 14:29) and 14:30's entry opens.
    const long long strikeAim = bells.MsToNextAim(c.earlyRing);
    // Early ring: 14:59:00.025, from 14:30:00.010.
    EXPECT_EQ(strikeAim, c.earlyRing ? 29 * 60000 + 15 : 0) << c.ms;
    EXPECT_EQ(launchTick.MsToNextAim(), 0) << c.ms;
    launchTick.Tick(true, list);
    bells.Tick();
    EXPECT_EQ(player.played, c.earlyRing ? Played{} : Played{"2+1bell.wav"}) << c.ms;
    EXPECT_EQ(launches.calls, (std::vector<std::string>{"kill b", "pause 1000", "open b"})) << c.ms;
    // Both read now: aimed at 14:31's start and the next strike, 14:59 or 15:00.
    const TimeOfDay nextStrike =
        testutil::AtMsOfDay(testutil::MsOfDay(clock.now) + bells.MsToNextAim(c.earlyRing));
    EXPECT_EQ(nextStrike.hour * 100 + nextStrike.minute, c.earlyRing ? 1459 : 1500) << c.ms;
    const TimeOfDay nextLaunch =
        testutil::AtMsOfDay(testutil::MsOfDay(clock.now) + launchTick.MsToNextAim());
    EXPECT_EQ(nextLaunch.hour * 100 + nextLaunch.minute, 1431) << c.ms;
  }
}

// Ship's time: the bells follow a place's offset (daylight saving in it)
// while the computer's own clock says something else.
TEST_F(BellTickTest, OnShipsTimeEveryRuleFollowsThePlacesClock) {
  struct FakeUtc : base::UtcClock {
    TimeOfDay now;
    TimeOfDay NowUtc() override { return now; }
  };
  struct Case {
    const char* name;
    std::optional<int> offset;  // minutes east of UTC, as the place's panel shows it
    TimeOfDay utc;
    bool earlyRing = false, dogWatch = false;
    int hourOff = -1;  // an hour box switched off
    Played heard;
  } cases[] = {
      {"[5.75] at 20:15 there", 345, {14, 30}, {}, {}, -1, {}},
      {"[5.75] at 20:30 there: the first watch's first bell",
       345,
       {14, 45},
       {},
       {},
       -1,
       {"0+1bell.wav"}},
      {"[5.75], early ring: 20:29 there", 345, {14, 44}, true, {}, -1, {"0+1bell.wav"}},
      {"[5.75], 20:00 there switched off", 345, {14, 45}, {}, {}, 20, {}},
      {"[-5] on DST at 18:30 there", -240, {22, 30}, {}, {}, -1, {"2+1bell.wav"}},
      {"[-5] on DST at 18:30 there, RN dog watch", -240, {22, 30}, {}, true, -1, {"0+1bell.wav"}},
      {"[10] at midnight there, the next day",
       600,
       {14, 0, 0, 0, 2026, 12, 31},
       {},
       {},
       -1,
       {"4bell.wav"}},
      {"[-3.5] at 23:30 there, the day before",
       -210,
       {3, 0, 0, 0, 2027, 1, 1},
       {},
       {},
       -1,
       {"3+1bell.wav"}},
      {"no time shown: the computer's 14:30", std::nullopt, {9, 0}, {}, {}, -1, {"2+1bell.wav"}},
  };
  for (const Case& c : cases) {
    FakeUtc utc;
    utc.now = c.utc;
    clock.now = {14, 30};  // the computer's own
    BellClock ship(clock, &utc);
    ship.shipsOffset = [&c](const TimeOfDay&) { return c.offset; };
    options.options.hourBoxes.fill(true);
    if (c.hourOff >= 0) options.options.hourBoxes[c.hourOff] = false;
    options.options.earlyRing = c.earlyRing;
    options.options.dogWatch = c.dogWatch;
    BellTick bells(ship, player, options);
    player.played.clear();
    for (int i = 0; i < 20; ++i) bells.Tick();
    EXPECT_EQ(player.played, c.heard) << c.name;
  }
}

// The clock the bells follow moved by hand (ship's time put back, a clock
// set): the running count goes on regardless. What a person on board hears
// at each reading, a few ticks each.
TEST_F(BellTickTest, AHandChangeNeverStrikesTwiceWithinAMinuteYetTheRepeatedHalfHourStrikes) {
  struct Step {
    TimeOfDay at;
    long long elapsedS;  // the running count, seconds
    Played heard;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"put back 30 min at 10:30:20",
       {{{10, 30, 0}, 0, {"2+1bell.wav"}},
        {{10, 0, 20}, 20, {}},  // was 4 bells, 20 s after the 5
        {{10, 0, 50}, 50, {}},
        {{10, 1, 0}, 60, {}},
        {{10, 30, 0}, 1800, {"2+1bell.wav"}}}},
      {"retarded an hour at night, at 02:00:30",
       {{{2, 0, 0}, 0, {"2bell.wav"}},
        {{1, 0, 30}, 30, {}},
        {{1, 1, 0}, 60, {}},
        {{1, 30, 0}, 1800, {"1+1bell.wav"}},
        {{2, 0, 0}, 3600, {"2bell.wav"}}}},
      {"set forward to the next half hour a minute after a strike",
       {{{10, 0, 0}, 0, {"2bell.wav"}}, {{10, 30, 0}, 61, {"2+1bell.wav"}}}},
      {"the running count begun again (49.7 days on XP)",
       {{{10, 0, 0}, 4294960, {"2bell.wav"}}, {{10, 30, 0}, 5, {"2+1bell.wav"}}}},
  };
  for (const Case& c : cases) {
    BellTick fresh(clock, player, options);
    for (const Step& step : c.steps) {
      clock.now = step.at;
      player.played.clear();
      for (int i = 0; i < 3; ++i) {
        clock.elapsedMs = (step.elapsedS + 3 * i) * 1000;
        fresh.Tick();
      }
      EXPECT_EQ(player.played, step.heard)
          << c.name << " at " << step.at.hour << ":" << step.at.minute;
    }
  }
}

// Ended at 10:00:25 after ship's time was put back from 10:30:20: the
// silenced 10:00 is kept, so a start at 10:00:30 does not strike it.
TEST_F(BellTickTest, AMinuteSilencedAfterAHandChangeIsKeptForTheNextStart) {
  BellTick first(clock, player, options);
  clock.now = {10, 30, 0, 0, 2026, 12, 8};
  clock.elapsedMs = 0;
  first.Tick();
  clock.now = {10, 0, 20, 0, 2026, 12, 8};
  clock.elapsedMs = 20000;
  first.Tick();
  ASSERT_TRUE(first.LastStrike());
  BellTick second(clock, player, options);
  second.Restore(*first.LastStrike());
  player.played.clear();
  clock.now = {10, 0, 30, 0, 2026, 12, 8};
  second.Tick();
  EXPECT_EQ(player.played, Played{});
}

// The copy before this one ended having struck "2026-12-08 10:00": only a
// start still within that minute keeps quiet.
TEST_F(BellTickTest, AStrikeKeptFromTheRunBeforeSilencesOnlyItsOwnMinute) {
  struct Case {
    const char* name;
    std::vector<TimeOfDay> ticks;
    Played heard;
    // Held from the first tick (a box at start) and let go before this one.
    size_t releasedAt = 0;
  } cases[] = {
      {"started at 10:00:21", {{10, 0, 21, 0, 2026, 12, 8}, {10, 0, 40, 0, 2026, 12, 8}}, {}},
      {"started at 09:59:50, the clock put back",
       {{9, 59, 50, 0, 2026, 12, 8}, {10, 0, 1, 0, 2026, 12, 8}},
       {"2bell.wav"}},
      {"started the next day at 10:00:21", {{10, 0, 21, 0, 2026, 12, 9}}, {"2bell.wav"}},
      {"started at 10:00:25 behind a box until 10:02:10: the record outlives the box",
       {{10, 0, 25, 0, 2026, 12, 8}, {10, 0, 28, 0, 2026, 12, 8}, {10, 2, 10, 0, 2026, 12, 8}},
       {},
       2},
      {"behind a box from 10:29:50 to 10:31:10: 10:30 strikes late, once",
       {{10, 29, 50, 0, 2026, 12, 8},
        {10, 30, 5, 0, 2026, 12, 8},
        {10, 31, 10, 0, 2026, 12, 8},
        {10, 31, 13, 0, 2026, 12, 8}},
       {"2+1bell.wav"},
       2},
  };
  const std::optional<long long> kept = ParseStrikeRecord("2026-12-08 10:00");
  ASSERT_TRUE(kept);
  for (const Case& c : cases) {
    BellTick fresh(clock, player, options);
    fresh.Restore(*kept);
    player.played.clear();
    const auto running = [](const TimeOfDay& t) {
      return (t.hour * 3600LL + t.minute * 60 + t.second) * 1000;
    };
    if (c.releasedAt) {
      clock.elapsedMs = running(c.ticks[0]);
      fresh.Hold();
    }
    for (size_t i = 0; i < c.ticks.size(); ++i) {
      clock.now = c.ticks[i];
      if (c.releasedAt) clock.elapsedMs = running(c.ticks[i]);
      if (c.releasedAt && i == c.releasedAt) fresh.Release();
      fresh.Tick();
    }
    clock.elapsedMs.reset();
    EXPECT_EQ(player.played, c.heard) << c.name;
  }
  EXPECT_FALSE(ParseStrikeRecord("2026-04-31 10:00"));
}

TEST_F(BellTickTest, SilencedStrikesNothingAndSetsNoLatchButTheTestStrikePlays) {
  BellsSilenced = 1;
  EXPECT_EQ(Minute(12, 0), Played{});
  EXPECT_FALSE(tick.Latched());
  tick.TestStrike();
  EXPECT_EQ(player.played, Played{"2bell.wav"});
  tick.ApplySoundSet(SoundSetKind::Large);
  player.played.clear();
  tick.TestStrike();
  EXPECT_EQ(player.played, Played{"2Lbell.wav"});
  EXPECT_FALSE(tick.Latched());
  // Unsilenced within the same minute, the strike is still due.
  BellsSilenced = 0;
  EXPECT_EQ(Minute(12, 0), Played{"4Lbell.wav"});
}

TEST_F(BellTickTest, TheSoundSetChangesOnlyWhenApplied) {
  tick.PlaySample(SoundSetKind::Large);  // choosing the large bells plays its sample...
  EXPECT_EQ(player.played, Played{"0+1Lbell.wav"});
  EXPECT_EQ(Minute(16, 30), Played{"0+1bell.wav"});  // ...but the tick keeps the small set
  tick.ApplySoundSet(SoundSetKind::Large);
  EXPECT_EQ(Minute(16, 31), Played{});
  EXPECT_EQ(Minute(17, 0), Played{"1Lbell.wav"});
  tick.PlaySample(SoundSetKind::Small);
  EXPECT_EQ(player.played, (Played{"1Lbell.wav", "0+1bell.wav"}));
}

TEST_F(BellTickTest, DogWatchEvening) {
  options.options.dogWatch = true;
  EXPECT_EQ(Minute(18, 30), Played{"0+1bell.wav"});
  EXPECT_EQ(Minute(18, 31), Played{});
  EXPECT_EQ(Minute(19, 0), Played{"1bell.wav"});
  EXPECT_EQ(Minute(19, 1), Played{});
  EXPECT_EQ(Minute(19, 30), Played{"1+1bell.wav"});
}

}  // namespace
}  // namespace bells
