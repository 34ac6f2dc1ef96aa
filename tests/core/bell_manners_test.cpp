#include "bells/bell_manners.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace bells {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A RIFF WAVE file: the fmt chunk, any chunks given, then the data chunk
// (whose size may claim more than it holds).
Bytes Wave(int format, int bits, const Bytes& samples, const Bytes& before = {},
           long dataSize = -1) {
  auto le = [](Bytes& b, unsigned v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto tag = [](Bytes& b, const char* t) { b.insert(b.end(), t, t + 4); };
  Bytes body;
  tag(body, "WAVE");
  tag(body, "fmt ");
  le(body, 16, 4);
  le(body, format, 2);
  le(body, 1, 2);  // mono
  le(body, 8000, 4);
  le(body, 8000 * bits / 8, 4);
  le(body, bits / 8, 2);
  le(body, bits, 2);
  body.insert(body.end(), before.begin(), before.end());
  tag(body, "data");
  le(body, dataSize >= 0 ? dataSize : samples.size(), 4);
  body.insert(body.end(), samples.begin(), samples.end());
  Bytes file;
  tag(file, "RIFF");
  le(file, body.size(), 4);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// The same in the extensible form: format tag 0xFFFE, 22 more bytes, and
// the sub-format's GUID whose first two bytes name the format.
Bytes Extensible(int subFormat, const Bytes& samples) {
  Bytes file = Wave(0xFFFE, 16, samples);
  const std::uint8_t more[] = {22,
                               0,
                               16,
                               0,
                               4,
                               0,
                               0,
                               0,  // cbSize, valid bits, channel mask
                               static_cast<std::uint8_t>(subFormat),
                               0,
                               0,
                               0,
                               0,
                               0,
                               0x10,
                               0,
                               0x80,
                               0,
                               0,
                               0xAA,
                               0,
                               0x38,
                               0x9B,
                               0x71};
  file[16] = 40;  // the fmt chunk's size
  file.insert(file.begin() + 36, std::begin(more), std::end(more));
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<std::uint8_t>((file.size() - 8) >> (8 * i));
  return file;
}

Bytes Pcm16(std::initializer_list<int> values) {
  Bytes b;
  for (int v : values) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  }
  return b;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Riff(Bytes b, unsigned size) {
  for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  return b;
}

Bytes Cut(Bytes b, size_t size) {
  b.resize(size);
  return b;
}

TEST(BellManners, ScalesEightAndSixteenBitSamplesAndPassesAnythingElseThrough) {
  // "LIST", 3 bytes of tags and a pad byte, before the samples.
  const Bytes list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  struct Case {
    const char* name;
    Bytes file;
    double volume;
    std::optional<Bytes> heard;  // nothing: played as it stands
  } cases[] = {
      {"8-bit at half, around 128", Wave(1, 8, {0, 128, 255, 64, 200}), 0.5,
       Wave(1, 8, {64, 128, 192, 96, 164})},
      {"16-bit at a quarter", Wave(1, 16, Pcm16({-32768, 1000, 32767, -4, 0})), 0.25,
       Wave(1, 16, Pcm16({-8192, 250, 8192, -1, 0}))},
      {"a LIST chunk of odd size before the data", Wave(1, 16, Pcm16({2000, -2000}), list), 0.5,
       Wave(1, 16, Pcm16({1000, -1000}), list)},
      {"a chunk after the data, the RIFF size overstated",
       Riff(Cat(Wave(1, 8, {28, 228}), {'L', 'I', 'S', 'T', 4, 0, 0, 0, 1, 2, 3, 4}), 9999), 0.5,
       Wave(1, 8, {78, 178})},
      // Its header says 400 bytes of samples (a streaming recorder's, or a
      // cut file): the four there are are scaled, and the sizes say four.
      {"cut short inside the data", Wave(1, 16, Pcm16({2000, -2000}), {}, 400), 0.5,
       Wave(1, 16, Pcm16({1000, -1000}))},
      {"16-bit PCM in the extensible form", Extensible(1, Pcm16({2000, -2000})), 0.5,
       Extensible(1, Pcm16({1000, -1000}))},
      {"floating point in the extensible form", Extensible(3, Pcm16({2000, -2000})), 0.5,
       std::nullopt},
      {"cut short inside the header", Cut(Wave(1, 16, Pcm16({2000})), 30), 0.5, std::nullopt},
      {"24-bit", Wave(1, 24, {1, 2, 3, 4, 5, 6}), 0.5, std::nullopt},
      {"floating point", Wave(3, 32, {0, 0, 128, 63}), 0.5, std::nullopt},
      {"not a wave at all", Bytes{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0.5, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaledWave(c.file, c.volume), c.heard) << c.name;
}

// What the shell answers, and whether a strike sounds with "Quiet During
// Presentations and Full Screen" ticked and not.
TEST(BellManners, QuietOnlyWhileThePersonPresentsOrPlaysFullScreen) {
  struct Row {
    const char* state;
    std::optional<int> answer;
    bool skippedWhenTicked;
  } rows[] = {
      {"call missing (XP)", std::nullopt, false},
      {"locked screen", 1, false},
      {"full-screen program, presentation settings", 2, true},
      {"Direct3D full screen", 3, true},
      {"presentation mode", 4, true},
      {"free", 5, false},
      {"quiet time after a first sign-in", 6, false},
      {"a store app", 7, false},
  };
  for (const Row& r : rows) {
    for (bool ticked : {false, true}) {
      BellManners manners;
      manners.choices.quietWhenPresenting = ticked;
      manners.notificationState = [&] { return r.answer; };
      EXPECT_EQ(manners.PlanStrike({14, 30}, 5).skip, ticked && r.skippedWhenTicked)
          << r.state << (ticked ? ", ticked" : ", not ticked");
    }
  }
}

struct FakeClock : base::LocalClock {
  base::TimeOfDay now;
  base::TimeOfDay Now() override { return now; }
};

struct VolumePlayer : SoundPlayer {
  std::vector<std::string> played;
  void Play(const std::string& name) override { played.push_back(name); }
  void PlayAt(const std::string& name, double volume) override {
    char at[16];
    std::snprintf(at, sizeof at, "@%g", volume);
    played.push_back(name + at);
  }
};

struct AllHours : BellOptionsSource {
  BellOptions options;
  AllHours() { options.hourBoxes.fill(true); }
  BellOptions CurrentBellOptions() const override { return options; }
};

// A strike minute's ticks with the person's choices: what they hear, and at
// what share of the recording's volume ("name" alone is the plain call).
TEST(BellManners, EachStrikeSoundsAsThePersonChose) {
  struct Row {
    const char* name;
    base::TimeOfDay at;
    MannerChoices choices;
    bool earlyRing = false;
    int hourOff = -1;
    bool large = false;
    std::vector<std::string> heard;
  };
  const MannerChoices full, half{50}, halfNight{100, true}, quarterNight{25, true},
      newYear{100, false, false, true}, newYearHalf{50, false, false, true};
  const Row rows[] = {
      {"full by day: the plain call", {14, 30}, full, false, -1, false, {"2+1bell.wav"}},
      {"half by day", {14, 30}, half, false, -1, false, {"2+1bell.wav@0.5"}},
      {"night from 20:00", {20, 0}, halfNight, false, -1, false, {"4bell.wav@0.5"}},
      {"07:30 is still night", {7, 30}, halfNight, false, -1, false, {"3+1bell.wav@0.5"}},
      {"08:00 is day", {8, 0}, halfNight, false, -1, false, {"4bell.wav"}},
      {"19:30 is day", {19, 30}, halfNight, false, -1, false, {"3+1bell.wav"}},
      {"early ring: 19:59 is night", {19, 59}, halfNight, true, -1, false, {"4bell.wav@0.5"}},
      {"early ring: 07:59 is day", {7, 59}, halfNight, true, -1, false, {"4bell.wav"}},
      {"a quarter, halved at night", {2, 0}, quarterNight, false, -1, false, {"2bell.wav@0.125"}},
      {"New Year's midnight",
       {0, 0, 5, 0, 2027, 1, 1},
       newYear,
       false,
       -1,
       false,
       {"4bell.wav", "4bell.wav"}},
      {"New Year's midnight, not ticked",
       {0, 0, 5, 0, 2027, 1, 1},
       full,
       false,
       -1,
       false,
       {"4bell.wav"}},
      {"New Year, early ring at 23:59",
       {23, 59, 5, 0, 2026, 12, 31},
       newYear,
       true,
       -1,
       false,
       {"4bell.wav", "4bell.wav"}},
      {"New Year, large set, at half",
       {0, 0, 5, 0, 2027, 1, 1},
       newYearHalf,
       false,
       -1,
       true,
       {"4Lbell.wav@0.5", "4Lbell.wav@0.5"}},
      {"New Year, midnight's box clear", {0, 0, 5, 0, 2027, 1, 1}, newYear, false, 0, false, {}},
      {"any other midnight", {0, 0, 5, 0, 2027, 1, 2}, newYear, false, -1, false, {"4bell.wav"}},
      {"New Year's noon", {12, 0, 5, 0, 2027, 1, 1}, newYear, false, -1, false, {"4bell.wav"}},
  };
  for (const Row& r : rows) {
    FakeClock clock;
    VolumePlayer player;
    AllHours options;
    options.options.earlyRing = r.earlyRing;
    if (r.hourOff >= 0) options.options.hourBoxes[r.hourOff] = false;
    BellManners manners;
    manners.choices = r.choices;
    BellTick tick(clock, player, options);
    tick.SetManners(&manners);
    if (r.large) tick.ApplySoundSet(SoundSetKind::Large);
    clock.now = r.at;
    for (int i = 0; i < 20; ++i) tick.Tick();
    EXPECT_EQ(player.played, r.heard) << r.name;
  }
}

// Muted, nothing; presenting, a strike is skipped yet struck for the
// latch, and never caught up; Test Bells and the samples are never skipped
// and play at the volume in force when pressed.
TEST(BellManners, SkippedStrikesAreNotCaughtUpAndTestBellsAlwaysPlay) {
  FakeClock clock;
  VolumePlayer player;
  AllHours options;
  BellManners manners;
  manners.choices = {50, true, true, true};
  int state = 2;
  manners.notificationState = [&] { return std::optional<int>(state); };
  BellTick tick(clock, player, options);
  tick.SetManners(&manners);
  clock.now = {21, 0, 2};
  tick.Tick();  // presenting
  state = 5;
  clock.now = {21, 0, 30};
  tick.Tick();  // free again, within the minute
  EXPECT_EQ(player.played, std::vector<std::string>{});
  EXPECT_EQ(tick.LastStrike(), base::MinutesSinceEpoch({21, 0}));
  state = 2;
  tick.TestStrike();
  clock.now = {10, 0, 0};
  tick.PlaySample(SoundSetKind::Large);
  EXPECT_EQ(player.played, (std::vector<std::string>{"2bell.wav@0.25", "0+1Lbell.wav@0.5"}));
  // Muted: New Year's midnight strikes nothing at all.
  BellsSilenced = 1;
  player.played.clear();
  clock.now = {0, 0, 5, 0, 2027, 1, 1};
  tick.Tick();
  BellsSilenced = 0;
  EXPECT_EQ(player.played, std::vector<std::string>{});
}

}  // namespace
}  // namespace bells
