#include "tools/bell_synth.h"

#include <algorithm>
#include <cmath>

namespace bellsynth {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kWithinPair = 0.32;  // seconds between the two strikes of a pair
constexpr double kBetweenPairs = 1.0;
constexpr double kTail = 7.0;       // a strike rings for this many decay times
constexpr double kFadeShare = 0.3;  // and fades out over the last part of it
// Some sound drivers drop the first 100 to 200 ms of a sound that starts on
// an idle device: the first strike comes after this much silence, so that
// it is never the one cut.
constexpr double kLeadIn = 0.15;

// Partials of a struck bell: hum, prime, tierce, quint, nominal and above.
struct Partial {
  double ratio, level, decayScale;
};
constexpr Partial kPartials[] = {{0.5, 0.35, 1.6},  {1.0, 1.0, 1.0},  {1.19, 0.45, 0.7},
                                 {1.5, 0.30, 0.6},  {2.0, 0.55, 0.5}, {2.51, 0.25, 0.35},
                                 {3.01, 0.15, 0.25}};

void AddStrike(std::vector<double>& out, double at, const Bell& bell) {
  const auto start = static_cast<size_t>(at * kSampleRate);
  const auto length = static_cast<size_t>(bell.decay * kTail * kSampleRate);
  const auto fadeFrom = static_cast<size_t>(length * (1.0 - kFadeShare));
  if (out.size() < start + length) out.resize(start + length, 0.0);
  for (size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double attack = std::min(1.0, t / 0.002);
    // A raised-cosine fade, so the strike ends without a click.
    const double fade =
        i < fadeFrom ? 1.0
                     : 0.5 * (1.0 + std::cos(kPi * (i - fadeFrom) / double(length - fadeFrom)));
    double v = 0.0;
    for (const auto& p : kPartials) {
      v += p.level * std::exp(-t / (bell.decay * p.decayScale)) *
           std::sin(2.0 * kPi * bell.fundamental * p.ratio * t);
    }
    out[start + i] += attack * fade * v;
  }
}

void Put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::vector<int16_t> Strikes(int count, const Bell& bell) {
  std::vector<double> mix;
  double at = kLeadIn;
  for (int p = 0; p < count / 2; ++p, at += kBetweenPairs) {
    AddStrike(mix, at, bell);
    AddStrike(mix, at + kWithinPair, bell);
  }
  if (count % 2 == 1) AddStrike(mix, at, bell);
  double peak = 1e-9;
  for (double s : mix) peak = std::max(peak, std::fabs(s));
  std::vector<int16_t> samples;
  samples.reserve(mix.size());
  for (double s : mix) samples.push_back(static_cast<int16_t>(std::lround(s / peak * 26000)));
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
