// Synthesises the sixteen bell recordings the program plays: for each count
// of 1 to 8 bells, the strikes in pairs with a single one for an odd count,
// once with a small bell and once with a large one. Written as 16-bit mono
// PCM wave files so every platform player takes them.
//
//   make_bells <output folder>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Bell {
  const char* marker;  // "" for the small bell, "L" for the large one
  double fundamental;  // Hz
  double decay;        // seconds for the hum to fall by 1/e
};

// Partials of a struck bell: hum, prime, tierce, quint, nominal and above.
struct Partial {
  double ratio;
  double level;
  double decayScale;
};
constexpr Partial kPartials[] = {{0.5, 0.35, 1.6},  {1.0, 1.0, 1.0},  {1.19, 0.45, 0.7},
                                 {1.5, 0.30, 0.6},  {2.0, 0.55, 0.5}, {2.51, 0.25, 0.35},
                                 {3.01, 0.15, 0.25}};

void AddStrike(std::vector<double>& out, double at, const Bell& bell) {
  const auto start = static_cast<size_t>(at * kRate);
  const auto length = static_cast<size_t>(bell.decay * 4.0 * kRate);
  if (out.size() < start + length) out.resize(start + length, 0.0);
  for (size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double attack = std::min(1.0, t / 0.002);
    double v = 0.0;
    for (const auto& p : kPartials) {
      v += p.level * std::exp(-t / (bell.decay * p.decayScale)) *
           std::sin(2.0 * kPi * bell.fundamental * p.ratio * t);
    }
    out[start + i] += attack * v;
  }
}

void Put16(std::ofstream& f, uint16_t v) { f.put(char(v & 0xFF)).put(char(v >> 8)); }
void Put32(std::ofstream& f, uint32_t v) {
  Put16(f, uint16_t(v & 0xFFFF));
  Put16(f, uint16_t(v >> 16));
}

bool WriteWave(const std::string& path, const std::vector<double>& samples) {
  double peak = 1e-9;
  for (double s : samples) peak = std::max(peak, std::fabs(s));
  std::ofstream f(path, std::ios::binary);
  if (!f) return false;
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  f.write("RIFF", 4);
  Put32(f, 36 + dataBytes);
  f.write("WAVEfmt ", 8);
  Put32(f, 16);
  Put16(f, 1);  // PCM
  Put16(f, 1);  // mono
  Put32(f, kRate);
  Put32(f, kRate * 2);
  Put16(f, 2);
  Put16(f, 16);
  f.write("data", 4);
  Put32(f, dataBytes);
  for (double s : samples) Put16(f, static_cast<uint16_t>(static_cast<int16_t>(s / peak * 26000)));
  return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bells <output folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const Bell bells[] = {{"", 1180.0, 0.55}, {"L", 620.0, 0.9}};
  constexpr double kWithinPair = 0.32;
  constexpr double kBetweenPairs = 1.0;
  for (const auto& bell : bells) {
    for (int count = 1; count <= 8; ++count) {
      const int pairs = count / 2;
      const bool single = count % 2 == 1;
      std::vector<double> samples;
      double at = 0.05;
      for (int p = 0; p < pairs; ++p, at += kBetweenPairs) {
        AddStrike(samples, at, bell);
        AddStrike(samples, at + kWithinPair, bell);
      }
      if (single) AddStrike(samples, at, bell);
      const std::string name =
          std::to_string(pairs) + (single ? "+1" : "") + bell.marker + "bell.wav";
      if (!WriteWave(folder + "/" + name, samples)) {
        std::fprintf(stderr, "make_bells: cannot write %s/%s\n", folder.c_str(), name.c_str());
        return 1;
      }
    }
  }
  return 0;
}
