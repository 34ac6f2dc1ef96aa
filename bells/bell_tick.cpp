#include "bells/bell_tick.h"

#include <cstdio>
#include <utility>

#include "base/minute_record.h"

namespace bells {

int BellsSilenced = 0;

namespace {

constexpr SoundSet kSmallSet = {"0+1bell.wav", "1bell.wav", "1+1bell.wav", "2bell.wav",
                                "2+1bell.wav", "3bell.wav", "3+1bell.wav", "4bell.wav"};
constexpr SoundSet kLargeSet = {"0+1Lbell.wav", "1Lbell.wav", "1+1Lbell.wav", "2Lbell.wav",
                                "2+1Lbell.wav", "3Lbell.wav", "3+1Lbell.wav", "4Lbell.wav"};
constexpr int kTestStrikeBells = 4;
// However the clock the bells follow is moved, two strikes never come closer
// than this: a hand change within a strike minute would strike twice.
constexpr long long kLeastMsBetweenStrikes = 60000;

}  // namespace

const SoundSet& SoundSetFor(SoundSetKind kind) {
  return kind == SoundSetKind::Large ? kLargeSet : kSmallSet;
}

const char* SampleFor(SoundSetKind kind) { return SoundSetFor(kind)[0]; }

std::string StrikeRecordText(long long minute) { return base::MinuteRecordText(minute); }

std::optional<long long> ParseStrikeRecord(const std::string& text) {
  return base::ParseMinuteRecord(text);
}

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

void BellTick::Hold() {
  if (held_) return;
  held_ = true;
  heldAtMs_ = clock_.ElapsedMs();
}

void BellTick::Release() {
  if (!held_) return;
  held_ = false;
  const std::optional<long long> elapsed = clock_.ElapsedMs();
  if (!heldAtMs_ || !elapsed || *elapsed < *heldAtMs_) return;
  // When the hold began, on the clock the bells follow now.
  const TimeOfDay now = clock_.Now();
  const long long nowMs =
      base::MinutesSinceEpoch(now) * 60000 + now.second * 1000LL + now.millisecond;
  const long long startMs = nowMs - (*elapsed - *heldAtMs_);
  heldFrom_ = startMs >= 0 ? startMs / 60000 : (startMs - 59999) / 60000;
}

bool BellTick::StrikePassedMark(long long from, long long minute, std::optional<long long> struck) {
  if (BellsSilenced == 1) return false;
  const BellOptions options = options_.CurrentBellOptions();
  // A day at most: a longer hold has no mark worth striking late.
  for (long long m = minute - 1; m >= from && m > minute - base::kMinutesPerDay; --m) {
    const TimeOfDay t = base::FromMinutesSinceEpoch(m);
    if (!IsStrikeMinute(t.minute)) continue;
    if (!HourGateAdmits(options.hourBoxes, t.hour, t.minute, options.earlyRing)) return false;
    const auto count = BellCount(t.hour, t.minute, options.earlyRing, options.dogWatch);
    if (!count) continue;  // the minute after an early strike
    // Struck by the copy before, or that minute's early strike.
    if (struck && (m == *struck || m == *struck + 1)) return false;
    const TimeOfDay mark = options.earlyRing ? base::FromMinutesSinceEpoch(m + 1) : t;
    const StrikePlan plan = manners_ ? manners_->PlanStrike(mark, *count) : StrikePlan{};
    if (!plan.skip) {
      lastSoundedMs_ = clock_.ElapsedMs();
      for (int i = 0; i < plan.plays; ++i) Sound((*set_)[*count - 1], plan.volume);
    }
    latch_ = lastStrike_ = m;
    return true;
  }
  return false;
}

void BellTick::Tick() {
  if (held_) return;
  const TimeOfDay now = clock_.Now();
  const long long minute = base::MinutesSinceEpoch(now);
  lastRead_ = minute;
  // The copy before this one struck this minute (or, early, the one before).
  if (restored_ && (minute == *restored_ || minute == *restored_ + 1)) latch_ = restored_;
  const std::optional<long long> restored = std::exchange(restored_, std::nullopt);
  if (const std::optional<long long> from = std::exchange(heldFrom_, std::nullopt)) {
    // A strike minute at hand strikes in its turn below.
    if (!IsStrikeMinute(now.minute) && StrikePassedMark(*from, minute, restored)) return;
  }
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
  if (latch_ && (minute == *latch_ || minute == *latch_ + 1)) return;
  const BellOptions options = options_.CurrentBellOptions();
  if (!HourGateAdmits(options.hourBoxes, now.hour, now.minute, options.earlyRing)) return;
  const auto count = BellCount(now.hour, now.minute, options.earlyRing, options.dogWatch);
  if (!count) return;
  // A clock put back within a minute of a strike (ship's time moved by
  // hand) repeats a half hour just struck: that minute stays silent, and
  // the half hour strikes when it comes round again.
  const std::optional<long long> elapsed = clock_.ElapsedMs();
  // A count that went back (another count after a wrap) says nothing. The
  // minute silenced is kept as struck, so a quick restart keeps it too.
  if (elapsed && lastSoundedMs_ && *elapsed >= *lastSoundedMs_ &&
      *elapsed - *lastSoundedMs_ < kLeastMsBetweenStrikes) {
    latch_ = lastStrike_ = minute;
    return;
  }
  const base::TimeOfDay mark = options.earlyRing ? base::FromMinutesSinceEpoch(minute + 1) : now;
  const StrikePlan plan = manners_ ? manners_->PlanStrike(mark, *count) : StrikePlan{};
  if (!plan.skip) {
    lastSoundedMs_ = elapsed;
    for (int i = 0; i < plan.plays; ++i) Sound((*set_)[*count - 1], plan.volume);
  }
  latch_ = lastStrike_ = minute;
}

void BellTick::Sound(const char* name, double volume) {
  // At the recording's own volume the call is the one it always was.
  if (volume >= 1.0) {
    player_.Play(name);
  } else {
    player_.PlayAt(name, volume);
  }
}

// Never skipped and never a strike, but at the volume in force, so the
// person hears what they chose.
void BellTick::TestStrike() {
  Sound((*set_)[kTestStrikeBells - 1], manners_ ? manners_->VolumeNow(clock_.Now()) : 1.0);
}

void BellTick::PlaySample(SoundSetKind kind) {
  Sound(SampleFor(kind), manners_ ? manners_->VolumeNow(clock_.Now()) : 1.0);
}

}  // namespace bells
