// Synthesised bell strikes: the recordings the program plays, made at build
// time rather than shipped as binaries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bellsynth {

inline constexpr int kSampleRate = 22050;

struct Bell {
  const char* marker;  // "" for the small bell, "L" for the large one
  double nominal;      // Hz: the strongest partial; the note heard is about an octave below
  double humDecay;     // seconds for the hum, the longest-ringing partial, to fall by 1/e
  double beats;        // the pairs' beat rates, against the small bell's
  uint32_t seed;       // of the clapper's strike-to-strike variation
};

// A ship's bell and a bell about twice its size: as a bell's frequencies go
// about as one over its size (Rossing and Perrin, "Vibrations of bells",
// 1987), the larger sounds about an octave lower, and it rings longer.
inline constexpr Bell kSmallBell{"", 2360.0, 0.62, 1.0, 1852u};
inline constexpr Bell kLargeBell{"L", 1240.0, 0.85, 0.75, 1805u};

// The strikes for a count of 1 to 8 bells: pairs, then a single one when the
// count is odd. 16-bit mono samples at kSampleRate.
std::vector<int16_t> Strikes(int count, const Bell& bell);

// "0+1bell.wav" ... "4bell.wav", with "L" before "bell" for the large bell.
std::string FileName(int count, const Bell& bell);

// A whole PCM wave file.
std::string WaveFile(const std::vector<int16_t>& samples);

}  // namespace bellsynth
