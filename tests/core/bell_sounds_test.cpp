// The recordings as a listener hears them: the right number of strikes, in
// pairs, and no click where a strike's ring ends.
#include "tools/bell_synth.h"

#include "bells/bell_tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace bellsynth {
namespace {

// Onsets: 30 ms windows (long enough to smooth the beating of the partials)
// whose energy jumps well above the window before.
std::vector<double> StrikeTimes(const std::vector<int16_t>& s) {
  constexpr size_t kWindow = kSampleRate * 3 / 100;
  constexpr double kSeconds = 0.03;
  std::vector<double> energy;
  for (size_t i = 0; i + kWindow <= s.size(); i += kWindow) {
    double e = 0;
    for (size_t j = i; j < i + kWindow; ++j) e += double(s[j]) * s[j];
    energy.push_back(e / kWindow);
  }
  std::vector<double> times;
  for (size_t w = 1; w < energy.size(); ++w) {
    if (energy[w] > 1.0e6 && energy[w] > 1.45 * energy[w - 1]) {
      const double t = w * kSeconds;
      if (times.empty() || t - times.back() > 0.15) times.push_back(t);
    }
  }
  return times;
}

TEST(BellSounds, EachCountStrikesThatManyTimesInPairs) {
  for (const Bell& bell : {kSmallBell, kLargeBell}) {
    for (int count = 1; count <= 8; ++count) {
      SCOPED_TRACE(FileName(count, bell));
      const auto samples = Strikes(count, bell);
      // What a driver may drop as it wakes up is silence, not a strike.
      const auto leadIn = samples.begin() + kSampleRate * 15 / 100;
      EXPECT_TRUE(std::all_of(samples.begin(), leadIn, [](int16_t v) { return v == 0; }));
      const auto times = StrikeTimes(samples);
      ASSERT_EQ(static_cast<int>(times.size()), count);
      // The two strikes of a pair are close; pairs are well apart.
      for (size_t i = 1; i < times.size(); ++i) {
        const double gap = times[i] - times[i - 1];
        if (i % 2 == 1) {
          EXPECT_LT(gap, 0.5) << "strike " << i;
        } else {
          EXPECT_GT(gap, 0.5) << "strike " << i;
        }
      }
    }
  }
}

TEST(BellSounds, ThePlayerAsksForTheFilesTheGeneratorWrites) {
  // Two sources that must agree: the program's sound sets and the names the
  // build gives the recordings.
  const struct {
    bells::SoundSetKind kind;
    const Bell& bell;
  } sets[] = {{bells::SoundSetKind::Small, kSmallBell}, {bells::SoundSetKind::Large, kLargeBell}};
  for (const auto& set : sets) {
    for (int count = 1; count <= 8; ++count) {
      EXPECT_EQ(bells::SoundSetFor(set.kind)[count - 1], FileName(count, set.bell));
    }
    EXPECT_EQ(bells::SampleFor(set.kind), FileName(1, set.bell));
  }
}

TEST(BellSounds, EachRingDiesAwayBeforeItEnds) {
  // A ring cut off while still sounding clicks. Every strike ends the same
  // way, so a single strike's last 20 ms tell: next to silent.
  for (const Bell& bell : {kSmallBell, kLargeBell}) {
    const auto s = Strikes(1, bell);
    constexpr size_t kTailSamples = kSampleRate / 50;
    ASSERT_GT(s.size(), kTailSamples);
    double sum = 0;
    for (size_t i = s.size() - kTailSamples; i < s.size(); ++i) sum += double(s[i]) * s[i];
    EXPECT_LT(std::sqrt(sum / kTailSamples), 20.0) << bell.marker;
  }
}

}  // namespace
}  // namespace bellsynth
