// The recordings as a listener hears them: the right number of strikes, in
// pairs, no click where a strike's ring ends, and the sound of a struck bell.
#include "tools/bell_synth.h"

#include "bells/bell_tick.h"
#include "tools/exact_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <string>
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

constexpr double kPi = 3.14159265358979323846;

// A Hann-windowed look at one frequency: how strongly it sounds in the
// window that starts at `from`.
std::complex<double> Tone(const std::vector<int16_t>& s, size_t from, size_t n, double hz) {
  std::complex<double> sum = 0, turn = 1;
  const auto step = std::polar(1.0, -2 * kPi * hz / kSampleRate);
  for (size_t i = 0; i < n && from + i < s.size(); ++i, turn *= step) {
    sum += (0.5 - 0.5 * std::cos(2 * kPi * i / n)) * s[from + i] * turn;
  }
  return sum;
}

double Db(double power) { return 10 * std::log10(power + 1e-9); }

double RmsDb(const std::vector<int16_t>& s, size_t from, size_t n) {
  double sum = 0;
  for (size_t i = from; i < from + n && i < s.size(); ++i) sum += double(s[i]) * s[i];
  return Db(sum / n);
}

// Power above `lowHz` in the window, summed over the window's frequency bins.
double PowerAbove(const std::vector<int16_t>& s, size_t from, size_t n, double lowHz) {
  double sum = 0;
  for (size_t bin = static_cast<size_t>(std::ceil(lowHz * n / kSampleRate)); bin <= n / 2; ++bin) {
    sum += std::norm(Tone(s, from, n, double(bin) * kSampleRate / n));
  }
  return sum;
}

// The sample at which each strike begins: its click, the first sample
// whose step from the one before is half the sharpest step near the onset.
std::vector<size_t> Onsets(const std::vector<int16_t>& s) {
  std::vector<size_t> onsets;
  for (double t : StrikeTimes(s)) {
    const size_t from = static_cast<size_t>(std::max(0.0, t - 0.035) * kSampleRate);
    const size_t to = std::min(s.size(), static_cast<size_t>((t + 0.035) * kSampleRate));
    int sharpest = 0;
    for (size_t i = from + 1; i < to; ++i) sharpest = std::max(sharpest, std::abs(s[i] - s[i - 1]));
    size_t i = from + 1;
    while (i < to && 2 * std::abs(s[i] - s[i - 1]) < sharpest) ++i;
    onsets.push_back(i - 1);
  }
  return onsets;
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

TEST(BellSounds, StruckLikeACastBronzeBell) {
  // What a listener hears of either bell, measured as a listener would: by
  // the strikes heard, not by the generator's figures.
  constexpr double kLongestToday = 9.8;  // s the program waited for the longest file
  constexpr double kHigh = 5000;         // Hz: where the clapper's click and the bright start live
  constexpr size_t k20ms = kSampleRate / 50;
  int loudest = 0;
  std::vector<double> strikeLevel;  // each set's first strike, over its first half second
  std::vector<double> pitch, fall;  // each set's strongest partial, and how fast it dies
  for (const Bell& bell : {kSmallBell, kLargeBell}) {
    SCOPED_TRACE(std::string("bell \"") + bell.marker + "\"");

    // No file keeps the program waiting longer than before, and a strike is
    // as loud in one file as in any other.
    std::vector<double> firstStrike;
    for (int count = 1; count <= 8; ++count) {
      const auto s = Strikes(count, bell);
      EXPECT_LE(double(s.size()) / kSampleRate, kLongestToday) << count;
      for (int16_t v : s) loudest = std::max(loudest, std::abs(int(v)));
      firstStrike.push_back(RmsDb(s, Onsets(s).at(0), kSampleRate * 3 / 10));
    }
    const auto [quietest, loudestFirst] =
        std::minmax_element(firstStrike.begin(), firstStrike.end());
    EXPECT_LT(*loudestFirst - *quietest, 0.5) << "one strike, louder in one file than another";
    const auto single = Strikes(1, bell);
    const size_t at = Onsets(single).at(0);
    strikeLevel.push_back(RmsDb(single, at, kSampleRate / 2));

    // Each strike starts bright, with a click and high partials that are
    // gone 200 ms later; the strikes differ to the ear (their bright starts
    // spread over 1 dB or more), yet are plainly the same bell (within 6 dB).
    const auto eight = Strikes(8, bell);
    const auto onsets = Onsets(eight);
    ASSERT_EQ(onsets.size(), 8u);
    std::vector<double> starts;
    for (size_t k = 0; k < onsets.size(); ++k) {
      const double start = Db(PowerAbove(eight, onsets[k], k20ms, kHigh));
      const double later = Db(PowerAbove(eight, onsets[k] + kSampleRate / 5, k20ms, kHigh));
      EXPECT_GE(start - later, 15.0) << "strike " << k;
      starts.push_back(start);
      // The ship's bell rhythm: the pair close, the pairs a second apart.
      if (k == 0) continue;
      const double gap = double(onsets[k] - onsets[k - (k % 2 ? 1 : 2)]) / kSampleRate;
      if (k % 2 == 1) {
        EXPECT_GE(gap, 0.30) << "strike " << k;
        EXPECT_LE(gap, 0.40) << "strike " << k;
      } else {
        EXPECT_GE(gap, 0.9) << "pair at strike " << k;
        EXPECT_LE(gap, 1.3) << "pair at strike " << k;
      }
    }
    const auto [dullest, brightest] = std::minmax_element(starts.begin(), starts.end());
    EXPECT_GE(*brightest - *dullest, 1.0) << "every strike the same";
    EXPECT_LE(*brightest - *dullest, 6.0);
    // The odd bell comes where the next pair would have.
    const auto seven = Onsets(Strikes(7, bell));
    ASSERT_EQ(seven.size(), 7u);
    EXPECT_NEAR(double(seven[6] - seven[4]), double(seven[4] - seven[2]), 0.02 * kSampleRate);

    // Warble: the strongest partial swells and fades as it dies away, at a
    // slow beat. Its level every 5 ms, from 50 ms on until 30 dB down, with
    // the decay (a straight line in dB) taken out.
    double strongest = 0, most = 0;
    for (double hz = 100; hz < 5000; hz += 4) {
      const double power = std::norm(Tone(single, at + k20ms, kSampleRate / 5, hz));
      if (power > most) most = power, strongest = hz;
    }
    std::vector<double> t, level;
    for (size_t from = at + kSampleRate / 20; from + kSampleRate / 25 < single.size();
         from += kSampleRate / 200) {
      const double db = Db(std::norm(Tone(single, from, kSampleRate / 25, strongest)));
      if (!level.empty() && db < level.front() - 30) break;
      t.push_back(double(from - at) / kSampleRate);
      level.push_back(db);
    }
    ASSERT_GT(t.size(), 20u);
    const double n = double(t.size());
    double st = 0, sl = 0, stt = 0, stl = 0;
    for (size_t i = 0; i < t.size(); ++i)
      st += t[i], sl += level[i], stt += t[i] * t[i], stl += t[i] * level[i];
    const double slope = (n * stl - st * sl) / (n * stt - st * st);
    const double offset = (sl - slope * st) / n;
    double low = 1e9, high = -1e9;
    int crossings = 0;
    for (size_t i = 0; i < t.size(); ++i) {
      const double rest = level[i] - (offset + slope * t[i]);
      low = std::min(low, rest), high = std::max(high, rest);
      if (i > 0 && (rest > 0) != (level[i - 1] - (offset + slope * t[i - 1]) > 0)) ++crossings;
    }
    const double beat = crossings / (2 * (t.back() - t.front()));
    EXPECT_LT(slope, 0) << strongest << " Hz";
    EXPECT_GE(high - low, 3.0) << strongest << " Hz";
    EXPECT_GE(beat, 0.5) << strongest << " Hz";
    EXPECT_LE(beat, 4.0) << strongest << " Hz";
    pitch.push_back(strongest);
    fall.push_back(slope);
  }
  // The large bell sounds lower (by more than a fifth) and rings longer.
  EXPECT_LT(pitch[1], pitch[0] / 1.5);
  EXPECT_GT(fall[1], fall[0]);
  // The loudest file peaks at about -1 dBFS, unclipped; both sets alike loud.
  const double peak = 20 * std::log10(loudest / 32768.0);
  EXPECT_GE(peak, -1.5);
  EXPECT_LE(peak, -0.5);
  ASSERT_EQ(strikeLevel.size(), 2u);
  EXPECT_LE(std::fabs(strikeLevel[0] - strikeLevel[1]), 3.0);
}

// The machine-independent functions the sounds are made with, against values
// known to every digit: each within a few units in the last place.
TEST(BellSounds, ExactMathGivesTheKnownValues) {
  const double e = 2.718281828459045235;
  const struct {
    const char* what;
    double got, expected;
  } rows[] = {
      {"sin pi/6", exactmath::Sin(kPi / 6), 0.5},
      {"sin 5pi/6", exactmath::Sin(5 * kPi / 6), 0.5},
      {"sin -pi/4", exactmath::Sin(-kPi / 4), -0.70710678118654752440},
      {"sin 3pi/2", exactmath::Sin(3 * kPi / 2), -1.0},
      {"sin 7pi/3", exactmath::Sin(7 * kPi / 3), 0.86602540378443864676},
      {"cos pi/3", exactmath::Cos(kPi / 3), 0.5},
      {"cos pi", exactmath::Cos(kPi), -1.0},
      {"cos 2pi/3", exactmath::Cos(2 * kPi / 3), -0.5},
      {"cos 0", exactmath::Cos(0), 1.0},
      {"exp 1", exactmath::Exp(1), e},
      {"exp -10", exactmath::Exp(-10), 4.5399929762484851536e-5},
      {"exp ln 2", exactmath::Exp(0.69314718055994530942), 2.0},
      {"exp 0", exactmath::Exp(0), 1.0},
      {"log e", exactmath::Log(e), 1.0},
      {"log 1e6", exactmath::Log(1e6), 13.815510557964274104},
      {"log 0.25", exactmath::Log(0.25), -1.3862943611198906188},
      {"log 1", exactmath::Log(1), 0.0},
      {"10^0.5", exactmath::Pow(10, 0.5), 3.1622776601683793320},
      {"10^-0.045", exactmath::Pow(10, -0.045), 0.90157113760595688589},
      {"4^-0.5", exactmath::Pow(4, -0.5), 0.5},
  };
  for (const auto& row : rows) {
    EXPECT_NEAR(row.got, row.expected, 4e-16 * std::max(1.0, std::fabs(row.expected))) << row.what;
  }
}

}  // namespace
}  // namespace bellsynth
