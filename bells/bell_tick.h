// The bell tick: reads the time and the options, consults the schedule, and
// plays one sound per strike minute. The clock, the options and the sound
// output are interfaces so the tick can be driven minute by minute in tests.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "base/clock.h"
#include "bells/bell_schedule.h"

namespace bells {

// Program-wide bell silence: 1 while muted or while the launch list editor is
// open. The tick only reads it.
extern int BellsSilenced;

using base::LocalClock;
using base::TimeOfDay;

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays the named file to its end; a file that cannot be played is not an
  // error the caller has to handle.
  virtual void Play(const std::string& name) = 0;
  // The same at a fraction of the recording's volume (below 1). A player
  // that cannot scale a recording plays it as it stands.
  virtual void PlayAt(const std::string& name, double volume) {
    (void)volume;
    Play(name);
  }
};

// How one strike is to sound, as the person's bell options have it.
struct StrikePlan {
  bool skip = false;    // not sounded, yet struck for the latch
  int plays = 1;        // the file, this many times, one straight after the other
  double volume = 1.0;  // of the recording's own
};

class StrikeManners {
 public:
  virtual ~StrikeManners() = default;
  // `mark` is the time the strike announces (a minute on with early ring).
  virtual StrikePlan PlanStrike(const TimeOfDay& mark, int count) = 0;
  // For Test Bells and the samples, by the time they are pressed.
  virtual double VolumeNow(const TimeOfDay& now) = 0;
};

// The last strike's minute on the bells' clock, as kept between runs:
// "YYYY-MM-DD HH:MM". Parsing gives nothing for any other text.
std::string StrikeRecordText(long long minute);
std::optional<long long> ParseStrikeRecord(const std::string& text);

class BellOptionsSource {
 public:
  virtual ~BellOptionsSource() = default;
  virtual BellOptions CurrentBellOptions() const = 0;
};

enum class SoundSetKind { Small, Large };

// File names indexed by bell count - 1.
using SoundSet = std::array<const char*, 8>;
const SoundSet& SoundSetFor(SoundSetKind kind);

// The single-strike sample each sound-set radio button plays when chosen.
const char* SampleFor(SoundSetKind kind);

class BellTick {
 public:
  BellTick(LocalClock& clock, SoundPlayer& player, BellOptionsSource& options);

  void Tick();

  // Asked before every strike, Test Bells and the samples; none: every
  // strike sounds at the recording's own volume.
  void SetManners(StrikeManners* manners) { manners_ = manners; }

  // The set changes only here; choosing a radio button alone does not.
  void ApplySoundSet(SoundSetKind kind) { set_ = &SoundSetFor(kind); }
  const SoundSet& CurrentSet() const { return *set_; }

  // Ignore silence, hour boxes and latch, and leave the latch alone.
  void TestStrike();
  void PlaySample(SoundSetKind kind);

  bool Latched() const { return latch_.has_value(); }
  // The minute of the last strike (sounded or skipped), for the next run;
  // a copy started within that minute does not strike it again.
  std::optional<long long> LastStrike() const { return lastStrike_; }
  // Known at start; the first tick, on the clock the bells follow by then,
  // decides whether it is still that minute.
  void Restore(long long minute) { restored_ = lastStrike_ = minute; }

  // While held, a tick does nothing at all: the start's boxes may show
  // before the clock and the manners the bells follow are attached, and the
  // end's after they are taken away. Let go, the next tick strikes the last
  // mark that passed during the hold, late and once, unless it was struck
  // (the restored record); then goes on as ever.
  void Hold();
  void Release();

  // Milliseconds from now to the next aimed tick: none at all while a
  // strike minute has come that no tick has read yet (the clock was set, or
  // the aim is made anew just as the minute begins), so its strike is never
  // left to the three-second tick.
  int MsToNextAim(bool earlyRing);

 private:
  LocalClock& clock_;
  SoundPlayer& player_;
  BellOptionsSource& options_;
  const SoundSet* set_;
  void Sound(const char* name, double volume);

  StrikeManners* manners_ = nullptr;
  // The minute of the last strike, on one line with its date, until a
  // minute that strikes nothing.
  std::optional<long long> latch_;
  std::optional<long long> lastStrike_;
  std::optional<long long> restored_;
  // When the last strike sounded by the computer's running count, which no
  // clock set or ship's time moves.
  std::optional<long long> lastSoundedMs_;
  // The minute the last tick read, with its date.
  std::optional<long long> lastRead_;
  // Strikes the last mark from `from` up to the minute before `minute`;
  // whether one was struck.
  bool StrikePassedMark(long long from, long long minute, std::optional<long long> struck);
  bool held_ = false;
  std::optional<long long> heldAtMs_;  // the running count when the hold began
  std::optional<long long> heldFrom_;  // the hold's first minute, on this clock
};

}  // namespace bells
