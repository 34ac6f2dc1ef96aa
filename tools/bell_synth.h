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
  double fundamental;  // Hz
  double decay;        // seconds for the strongest partial to fall by 1/e
};

inline constexpr Bell kSmallBell{"", 1180.0, 0.55};
inline constexpr Bell kLargeBell{"L", 620.0, 0.9};

// The strikes for a count of 1 to 8 bells: pairs, then a single one when the
// count is odd. 16-bit mono samples at kSampleRate.
std::vector<int16_t> Strikes(int count, const Bell& bell);

// "0+1bell.wav" ... "4bell.wav", with "L" before "bell" for the large bell.
std::string FileName(int count, const Bell& bell);

// A whole PCM wave file.
std::string WaveFile(const std::vector<int16_t>& samples);

}  // namespace bellsynth
