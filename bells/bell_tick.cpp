#include "bells/bell_tick.h"

namespace bells {

int BellsSilenced = 0;

namespace {

constexpr SoundSet kSmallSet = {"0+1bell.wav", "1bell.wav", "1+1bell.wav", "2bell.wav",
                                "2+1bell.wav", "3bell.wav", "3+1bell.wav", "4bell.wav"};
constexpr SoundSet kLargeSet = {"0+1Lbell.wav", "1Lbell.wav", "1+1Lbell.wav", "2Lbell.wav",
                                "2+1Lbell.wav", "3Lbell.wav", "3+1Lbell.wav", "4Lbell.wav"};
constexpr int kTestStrikeBells = 4;

}  // namespace

const SoundSet& SoundSetFor(SoundSetKind kind) {
  return kind == SoundSetKind::Large ? kLargeSet : kSmallSet;
}

const char* SampleFor(SoundSetKind kind) { return SoundSetFor(kind)[0]; }

BellTick::BellTick(LocalClock& clock, SoundPlayer& player, BellOptionsSource& options)
    : clock_(clock), player_(player), options_(options), set_(&kSmallSet) {}

void BellTick::Tick() {
  if (BellsSilenced == 1) return;
  const TimeOfDay now = clock_.Now();
  // Most ticks fall in a minute that strikes nothing with the latch already
  // open: nothing to look up, nothing to change.
  if (!latch_ && !IsStrikeMinute(now.minute)) return;
  const BellOptions options = options_.CurrentBellOptions();
  // A tick the hour boxes refuse leaves the latch as it is, so switching an
  // hour off in the middle of a strike minute cannot make it strike twice.
  if (!HourGateAdmits(options.hourBoxes, now.hour, now.minute, options.earlyRing)) return;
  if (!IsStrikeMinute(now.minute)) latch_ = false;
  if (latch_) return;
  const auto count = BellCount(now.hour, now.minute, options.earlyRing, options.dogWatch);
  if (!count) return;
  player_.Play((*set_)[*count - 1]);
  latch_ = true;
}

void BellTick::TestStrike() { player_.Play((*set_)[kTestStrikeBells - 1]); }

void BellTick::PlaySample(SoundSetKind kind) { player_.Play(SampleFor(kind)); }

}  // namespace bells
