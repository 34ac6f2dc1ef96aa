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
};

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

  // The set changes only here; choosing a radio button alone does not.
  void ApplySoundSet(SoundSetKind kind) { set_ = &SoundSetFor(kind); }
  const SoundSet& CurrentSet() const { return *set_; }

  // Ignore silence, hour boxes and latch, and leave the latch alone.
  void TestStrike();
  void PlaySample(SoundSetKind kind);

  bool Latched() const { return latch_.has_value(); }

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
  // The minute of the day of the last strike, until a minute that strikes
  // nothing.
  std::optional<int> latch_;
  // The minute the last tick read, with its date.
  std::optional<long long> lastRead_;
};

}  // namespace bells
