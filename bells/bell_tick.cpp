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

int BellTick::MsToNextAim(bool earlyRing) {
  const TimeOfDay now = clock_.Now();
  if (lastRead_ && *lastRead_ != base::MinutesSinceEpoch(now) &&
      BellCount(now.hour, now.minute, earlyRing, false)) {
    return 0;
  }
  return MsToNextStrike(now, earlyRing);
}

void BellTick::Tick() {
  const TimeOfDay now = clock_.Now();
  lastRead_ = base::MinutesSinceEpoch(now);
  // Any tick in a minute that strikes nothing opens the latch, whether the
  // bells are silenced or the hour is switched off: a night, a mute or the
  // open launch list editor never carries a strike's latch into the next
  // strike minute. Nothing else to do in such a minute.
  if (!IsStrikeMinute(now.minute)) {
    latch_.reset();
    return;
  }
  if (BellsSilenced == 1) return;
  // The latch keeps a strike minute from striking twice, and the minute
  // after an early strike (29 then 30, 59 then 0) silent. Any other strike
  // minute strikes, even with no tick between (the computer asleep). Looked
  // at before the options, so the ticks after a strike read no controls.
  const int minuteOfDay = now.hour * 60 + now.minute;
  if (latch_ && (minuteOfDay == *latch_ || minuteOfDay == (*latch_ + 1) % base::kMinutesPerDay))
    return;
  const BellOptions options = options_.CurrentBellOptions();
  if (!HourGateAdmits(options.hourBoxes, now.hour, now.minute, options.earlyRing)) return;
  const auto count = BellCount(now.hour, now.minute, options.earlyRing, options.dogWatch);
  if (!count) return;
  player_.Play((*set_)[*count - 1]);
  latch_ = minuteOfDay;
}

void BellTick::TestStrike() { player_.Play((*set_)[kTestStrikeBells - 1]); }

void BellTick::PlaySample(SoundSetKind kind) { player_.Play(SampleFor(kind)); }

}  // namespace bells
