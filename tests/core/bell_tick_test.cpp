#include "bells/bell_tick.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bells {
namespace {

struct FakeClock : LocalClock {
  TimeOfDay now;
  TimeOfDay Now() override { return now; }
};

struct RecordingPlayer : SoundPlayer {
  std::vector<std::string> played;
  void Play(const std::string& name) override { played.push_back(name); }
};

struct FakeOptions : BellOptionsSource {
  BellOptions options;
  FakeOptions() { options.hourBoxes.fill(true); }
  BellOptions CurrentBellOptions() override { return options; }
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

TEST_F(BellTickTest, TicksEndedBySilenceOrByTheHourGateLeaveTheLatchAlone) {
  ASSERT_EQ(Minute(8, 0), Played{"4bell.wav"});
  ASSERT_TRUE(tick.Latched());

  BellsSilenced = 1;
  EXPECT_EQ(Minute(8, 1), Played{});
  EXPECT_TRUE(tick.Latched());  // ended at the first step: not cleared
  BellsSilenced = 0;

  options.options.hourBoxes[8] = false;
  EXPECT_EQ(Minute(8, 2), Played{});
  EXPECT_TRUE(tick.Latched());  // refused by the gate: not cleared
  options.options.hourBoxes[8] = true;

  // The latch still set from 08:00 keeps 08:30 silent.
  EXPECT_EQ(Minute(8, 30), Played{});
  EXPECT_EQ(Minute(8, 31), Played{});
  EXPECT_FALSE(tick.Latched());
  EXPECT_EQ(Minute(9, 0), Played{"1bell.wav"});
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
