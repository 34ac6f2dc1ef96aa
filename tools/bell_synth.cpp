#include "tools/bell_synth.h"

#include "tools/exact_math.h"

#include <algorithm>
#include <array>
#include <cmath>  // sqrt, fabs and lround only: each exact in IEEE 754
#include <map>
#include <mutex>
#include <random>
#include <tuple>

// A cast bronze bell struck by its clapper, built from published measurements
// of real bells. Sources, cited below by their tags:
//
// [RP87] T. D. Rossing and R. Perrin, "Vibrations of bells", Applied
//        Acoustics 20 (1987) 41-70. Church and carillon bells share one
//        family of modes, told apart by their nodal meridians and circles;
//        handbells (thin, spun, soft clapper) sound differently, so the bell
//        here follows the cast church/carillon family, as a ship's bell is.
// [H24]  W. A. Hibbert, "Manipulating Bell Sounds", hibberts.co.uk, 2024:
//        measured partials of a small cast bronze bell of about 5 cwt:
//        hum 345 Hz, prime 688, tierce 823, quint 1025.5, nominal 1379.5,
//        superquint 2042, octave nominal 2776.5 Hz.
// [H07]  W. A. Hibbert, measured partials of a recording of the Freedom
//        Bell, Berlin (bell-historians list, June 2007): nominal 334.4 Hz,
//        I-7 910.8, I-8 1138.6, I-9 1382.2 Hz.
// [H08]  W. A. Hibbert, "The Quantification of Strike Pitch and Pitch Shifts
//        in Church Bells", PhD thesis, The Open University, 2008: over 2,000
//        bells show one relation between the upper partials of all bronze
//        bells of Western shape, so [H07]'s upper ratios carry over to a
//        small bell.
// [H14]  W. A. Hibbert, D. B. Sharp, S. Taherzadeh and R. Perrin, "Partial
//        Frequencies and Chladni's Law in Church Bells", Open Journal of
//        Acoustics 4 (2014) 70-77: the rim modes, with an antinode at the
//        rim, are the ones the clapper's blow stimulates most; three of the
//        five tuned partials are rim modes.
// [HQ]   W. A. Hibbert, "The musical sound quality of church bells",
//        hibberts.co.uk: the pitch heard lies roughly an octave below the
//        nominal.
// [H22]  W. A. Hibbert, "Identifying Bell Partials", hibberts.co.uk, 2022:
//        the nominal is the mode with 8 nodes around the rim (4 meridians).
// [PC]   W. A. Hibbert, "Analysis of the 'Perrin and Charnley' bell",
//        hibberts.co.uk: when the clapper hits the soundbow the rim-driven
//        partials are prominent.
// [KT]   Keltek Trust, "Sound of Bells - Doublets & Beats": a bell that is
//        not perfectly round splits each partial into a close pair of
//        frequencies, which beat; the nominal and the partials above it are
//        loud and short, the hum, prime and tierce quieter and long; the
//        first quarter second of a strike is dominated by the nominal.
// [STK]  "Strike tone" (quoting Rossing): the strike sound holds many
//        inharmonic partials that die out quickly, giving way to the strike
//        note; the hum lingers longest.
// [HAR]  fourMs/ambiscape wiki, "Case Study Haarlem Damiaatjes", 2026: two
//        small tower bells (hum 475 and 598 Hz) measured in the street: hum
//        T60 about 17 s.
//
// Where the sources give no number for a bell this small (levels, decay
// times, the beat rates of the pairs, the clapper's spread) the values below
// are chosen within what the sources describe, and say so.

// The files are the same byte for byte on every x86-64 machine (their
// SHA-256 sums are kept in resources/bell_sounds.sha256 and checked by the
// tests): the sines, exponentials and powers below are exactmath's, and
// every other step is an exactly rounded operation in a fixed order.

namespace bellsynth {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The rhythm of a ship's bell: the two strikes of a pair close together,
// pairs about a second apart, the odd bell where the next pair would begin.
constexpr double kWithinPair = 0.35;
constexpr double kBetweenPairs = 1.1;
constexpr int kMostStrikes = 8;
// Some sound drivers drop the first 100 to 200 ms of a sound that starts on
// an idle device: the first strike comes after this much silence, so that
// it is never the one cut.
constexpr double kLeadIn = 0.15;

// A strike rings until its hum is 60 dB down (6.9 decay times) and fades out
// over the last part of that, so it ends without a click. [HAR] measured a
// hum T60 near 17 s on a small tower bell; the program waits for the whole
// file, so the rings here are cut to 4.3 s (small) and 5.9 s (large) and the
// longest file stays under the 9.8 s the earlier recordings took.
constexpr double kRingDecays = 6.9;
constexpr double kFadeShare = 0.3;

// The loudest of all sixteen files peaks here; the two sets share one
// loudness, so switching sets changes the note, not the level.
constexpr double kPeak = 0.8912509;  // -1 dBFS

// The partials of a cast bell. Ratios are to the nominal: hum to octave
// nominal from [H24] over its 1379.5 Hz, I-7 to I-9 from [H07] over its
// 334.4 Hz, as [H08] allows.
// Meridians: how often the mode's pattern repeats around the rim ([RP87];
// nominal 4 from [H22]); it sets how the clapper's point shares the strike
// between the two modes of a pair.
// Level at the strike (nominal 1): the rim partials strong ([H14], [PC]),
// taken here to be the hum, tierce, nominal and those above it, with the
// prime and quint weaker; the values are chosen. Decay: share of the hum's decay time;
// the order (hum longest, upper partials shortest) is from [KT] and [STK],
// the values are chosen. Beat: Hz between the pair's two modes on the small
// bell ([KT] describes the pairs; the rates, each different, are chosen
// within 0.5 to 4 Hz). Mix: how far the clapper's usual point lies from the
// pair's modes, as the angle whose tangent is the ratio of the two modes'
// amplitudes (chosen; a perfectly round bell would have 0 and not beat).
struct Partial {
  double ratio;
  int meridians;
  double level;
  double decay;
  double beat;
  double mix;
};
constexpr Partial kPartials[] = {
    {345.0 / 1379.5, 2, 0.45, 1.00, 0.7, 0.40},   // hum
    {688.0 / 1379.5, 2, 0.25, 0.80, 1.1, 0.30},   // prime
    {823.0 / 1379.5, 3, 0.50, 0.70, 2.3, 0.45},   // tierce
    {1025.5 / 1379.5, 3, 0.15, 0.50, 3.1, 0.35},  // quint
    {1.0, 4, 1.00, 0.45, 1.6, 0.40},              // nominal
    {2042.0 / 1379.5, 5, 0.60, 0.28, 2.7, 0.35},  // superquint
    {2776.5 / 1379.5, 6, 0.45, 0.20, 3.6, 0.30},  // octave nominal
    {910.8 / 334.4, 7, 0.30, 0.13, 3.9, 0.30},    // I-7
    {1138.6 / 334.4, 8, 0.20, 0.10, 3.3, 0.30},   // I-8
    {1382.2 / 334.4, 9, 0.14, 0.08, 2.9, 0.30},   // I-9
};
// The clapper's strike: metal on metal, a broadband click that is gone
// within a few milliseconds ([STK]: inharmonic partials that die out
// quickly). Chosen: 2 ms decay, so it is 87 dB down at 20 ms.
constexpr double kClickDecay = 0.002;
constexpr double kClickLevel = 0.8;
constexpr double kClickSeconds = 0.02;

// Strike to strike, the clapper hits with a little more or less force and a
// little off its usual point (chosen): level within +-0.9 dB, harder strikes
// brighter (partial levels times ratio^h, h within +-0.2, so the I-9 moves
// about +-2.5 dB against the nominal), point within +-0.04 rad.
constexpr double kLevelSpreadDb = 0.9;
constexpr double kHardnessSpread = 0.2;
constexpr double kPointSpread = 0.04;

// A draw in [-1, 1] from the generator's raw output: the standard
// distributions differ between libraries, and the files must not.
double Draw(std::mt19937& random) { return random() / 4294967295.0 * 2.0 - 1.0; }

double OnsetOf(int strike) {
  return kLeadIn + (strike / 2) * kBetweenPairs + (strike % 2) * kWithinPair;
}

size_t SampleAt(double seconds) { return static_cast<size_t>(std::lround(seconds * kSampleRate)); }

// One strike's sound, unscaled, as it rings from the moment of the strike.
std::vector<double> Strike(const Bell& bell, std::mt19937& random) {
  const double level = exactmath::Pow(10.0, kLevelSpreadDb * Draw(random) / 20.0);
  const double hardness = kHardnessSpread * Draw(random);
  const double point = kPointSpread * Draw(random);

  const size_t length = SampleAt(bell.humDecay * kRingDecays);
  std::vector<double> out(length, 0.0);

  for (const Partial& p : kPartials) {
    const double tau = bell.humDecay * p.decay;
    const double amplitude = level * p.level * exactmath::Pow(p.ratio, hardness);
    // Where the clapper lands decides how the strike is shared between the
    // pair's two modes; the pair's total stays the same.
    const double angle = p.mix + p.meridians * point;
    const double share[2] = {exactmath::Cos(angle), exactmath::Sin(angle)};
    const double frequency = bell.nominal * p.ratio;
    const double split = p.beat * bell.beats / 2.0;
    const double modes[2] = {frequency - split, frequency + split};
    // Past 120 dB down a mode adds nothing a 16-bit file can hold.
    const size_t audible = std::min(length, SampleAt(tau * exactmath::Log(1e6)));
    for (int m = 0; m < 2; ++m) {
      const double step = 2.0 * kPi * modes[m] / kSampleRate;
      const double stepCos = exactmath::Cos(step), stepSin = exactmath::Sin(step);
      const double fall = exactmath::Exp(-1.0 / (tau * kSampleRate));
      double c = 1.0, s = 0.0, envelope = amplitude * share[m];
      for (size_t i = 0; i < audible; ++i) {
        out[i] += envelope * s;
        const double nc = c * stepCos - s * stepSin;
        s = s * stepCos + c * stepSin;
        c = nc;
        envelope *= fall;
      }
    }
  }

  // The click: a harder strike clicks louder. Every strike draws the same
  // number of values, so each strike of a file is the same in every file.
  const double click = kClickLevel * level * (1.0 + 2.0 * hardness);
  const size_t clickLength = std::min(length, SampleAt(kClickSeconds));
  for (size_t i = 0; i < clickLength; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    out[i] += click * exactmath::Exp(-t / kClickDecay) * Draw(random);
  }

  // A raised-cosine fade, so the ring ends without a click.
  const auto fadeFrom = static_cast<size_t>(length * (1.0 - kFadeShare));
  for (size_t i = fadeFrom; i < length; ++i) {
    out[i] *= 0.5 * (1.0 + exactmath::Cos(kPi * (i - fadeFrom) / double(length - fadeFrom)));
  }
  return out;
}

// The eight strikes of a bell, in order, with the loudness figures its gain
// is worked out from.
struct Rendered {
  std::array<std::vector<double>, kMostStrikes> strikes;
  double peak = 0;  // of the loudest of its files, unscaled
  double rms = 0;   // of the first strike's first half second, unscaled
};

std::vector<double> Mix(const Rendered& set, int count) {
  std::vector<double> mix;
  for (int k = 0; k < count; ++k) {
    const auto& strike = set.strikes[k];
    const size_t start = SampleAt(OnsetOf(k));
    if (mix.size() < start + strike.size()) mix.resize(start + strike.size(), 0.0);
    for (size_t i = 0; i < strike.size(); ++i) mix[start + i] += strike[i];
  }
  return mix;
}

Rendered Render(const Bell& bell) {
  Rendered set;
  std::mt19937 random(bell.seed);
  for (auto& strike : set.strikes) strike = Strike(bell, random);
  for (int count = 1; count <= kMostStrikes; ++count) {
    for (double s : Mix(set, count)) set.peak = std::max(set.peak, std::fabs(s));
  }
  const auto& first = set.strikes[0];
  const size_t half = std::min(first.size(), SampleAt(0.5));
  double sum = 0;
  for (size_t i = 0; i < half; ++i) sum += first[i] * first[i];
  set.rms = std::sqrt(sum / static_cast<double>(half));
  return set;
}

// Rendering a set takes a moment and the files share their strikes, so each
// set is rendered once.
const Rendered& RenderedFor(const Bell& bell) {
  static std::mutex lock;
  static std::map<std::tuple<std::string, double, double, double, uint32_t>, Rendered> cache;
  const std::lock_guard<std::mutex> hold(lock);
  const auto key =
      std::make_tuple(std::string(bell.marker), bell.nominal, bell.humDecay, bell.beats, bell.seed);
  auto found = cache.find(key);
  if (found == cache.end()) found = cache.emplace(key, Render(bell)).first;
  return found->second;
}

// One gain per set: both sets equally loud, the loudest file of either at
// the peak, nothing over it.
double GainFor(const Bell& bell) {
  const Rendered& small = RenderedFor(kSmallBell);
  const Rendered& large = RenderedFor(kLargeBell);
  const double loudness = kPeak * std::min(small.rms / small.peak, large.rms / large.peak);
  const Rendered& set = RenderedFor(bell);
  return std::min(loudness / set.rms, kPeak / set.peak);
}

void Put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<int16_t> Strikes(int count, const Bell& bell) {
  const auto mix = Mix(RenderedFor(bell), std::clamp(count, 0, kMostStrikes));
  const double gain = GainFor(bell) * 32767.0;
  std::vector<int16_t> samples;
  samples.reserve(mix.size());
  for (double s : mix) {
    const long v = std::lround(s * gain);
    samples.push_back(static_cast<int16_t>(std::clamp(v, -32767L, 32767L)));
  }
  return samples;
}

std::string FileName(int count, const Bell& bell) {
  return std::to_string(count / 2) + (count % 2 ? "+1" : "") + bell.marker + "bell.wav";
}

std::string WaveFile(const std::vector<int16_t>& samples) {
  const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  Put(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  Put(out, 16, 4);
  Put(out, 1, 2);  // PCM
  Put(out, 1, 2);  // mono
  Put(out, kSampleRate, 4);
  Put(out, kSampleRate * 2, 4);
  Put(out, 2, 2);
  Put(out, 16, 2);
  out += "data";
  Put(out, dataBytes, 4);
  for (int16_t s : samples) Put(out, static_cast<uint16_t>(s), 2);
  return out;
}

}  // namespace bellsynth
