#include "bells/bell_manners.h"

#include <algorithm>
#include <cmath>

namespace bells {

namespace {

constexpr int kNightFrom = 20 * 60;  // the first watch begins
constexpr int kDayFrom = 8 * 60;     // the morning watch ends

// The platform's user notification states that mean the person presents
// or plays full screen.
constexpr int kBusy = 2;
constexpr int kDirect3DFullScreen = 3;
constexpr int kPresentationMode = 4;

constexpr int kEightBells = 8;

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// KSDATAFORMAT_SUBTYPE_PCM after its first two bytes:
// 00000001-0000-0010-8000-00AA00389B71, little-endian as stored.
constexpr std::uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                             0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint32_t Le32(const std::vector<std::uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
bool Tag(const std::vector<std::uint8_t>& b, size_t at, const char* tag) {
  return std::equal(tag, tag + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

bool IsNight(const base::TimeOfDay& at) {
  const int minute = at.hour * 60 + at.minute;
  return minute >= kNightFrom || minute < kDayFrom;
}

double VolumeAt(const MannerChoices& choices, const base::TimeOfDay& at) {
  const double volume = choices.volume / 100.0;
  return choices.halfAtNight && IsNight(at) ? volume / 2 : volume;
}

bool PresentingOrFullScreen(std::optional<int> state) {
  return state && (*state == kBusy || *state == kDirect3DFullScreen || *state == kPresentationMode);
}

StrikePlan BellManners::PlanStrike(const base::TimeOfDay& mark, int count) {
  StrikePlan plan;
  if (choices.quietWhenPresenting && notificationState &&
      PresentingOrFullScreen(notificationState())) {
    plan.skip = true;
    return plan;
  }
  plan.volume = VolumeAt(choices, mark);
  // Eight for the old year and eight for the new.
  if (choices.sixteenAtNewYear && count == kEightBells && mark.month == 1 && mark.day == 1 &&
      mark.hour == 0 && mark.minute == 0) {
    plan.plays = 2;
  }
  return plan;
}

std::optional<std::vector<std::uint8_t>> ScaledWave(const std::vector<std::uint8_t>& file,
                                                    double volume) {
  if (file.size() < 12 || !Tag(file, 0, "RIFF") || !Tag(file, 8, "WAVE")) return std::nullopt;
  int bits = 0;
  bool pcm = false;
  // Chunks in any order (a LIST of tags may come first); each odd size is
  // followed by a pad byte.
  size_t blockAlign = 1;
  for (size_t at = 12; at + 8 <= file.size();) {
    std::uint32_t size = Le32(file, at + 4);
    const size_t body = at + 8;
    if (size > file.size() - body) {
      // Samples cut short (a streaming recorder's header, a cut file) are
      // the ones there are, in whole frames; any other chunk cut short
      // leaves nothing to play.
      if (!Tag(file, at, "data")) return std::nullopt;
      size = static_cast<std::uint32_t>((file.size() - body) / blockAlign * blockAlign);
    }
    if (Tag(file, at, "fmt ")) {
      if (size < 16) return std::nullopt;
      const std::uint16_t format = Le16(file, body);
      pcm = format == kFormatPcm;
      // The extensible form names its format in the first two bytes of its
      // sub-format, the rest of which is the same for every such format.
      if (format == kFormatExtensible && size >= 40) {
        pcm = Le16(file, body + 24) == kFormatPcm &&
              std::equal(kSubFormatTail, kSubFormatTail + 14,
                         file.begin() + static_cast<std::ptrdiff_t>(body + 26));
      }
      bits = Le16(file, body + 14);
      blockAlign = std::max<size_t>(1, Le16(file, body + 12));
    } else if (Tag(file, at, "data")) {
      if (!pcm || (bits != 8 && bits != 16)) return std::nullopt;
      // The player trusts the sizes it is given: the image ends with the
      // samples, and says so.
      const size_t end = std::min(file.size(), body + size + (size & 1));
      std::vector<std::uint8_t> scaled(file.begin(),
                                       file.begin() + static_cast<std::ptrdiff_t>(end));
      for (int i = 0; i < 4; ++i) {
        scaled[4 + i] = static_cast<std::uint8_t>((end - 8) >> (8 * i));
        scaled[at + 4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
      }
      if (bits == 8) {
        for (size_t i = body; i < body + size; ++i) {
          const long s = std::lround((file[i] - 128) * volume) + 128;
          scaled[i] = static_cast<std::uint8_t>(std::clamp(s, 0L, 255L));
        }
      } else {
        for (size_t i = body; i + 1 < body + size; i += 2) {
          const auto sample = static_cast<std::int16_t>(Le16(file, i));
          const long s = std::clamp(std::lround(sample * volume), -32768L, 32767L);
          scaled[i] = static_cast<std::uint8_t>(s & 0xFF);
          scaled[i + 1] = static_cast<std::uint8_t>((s >> 8) & 0xFF);
        }
      }
      return scaled;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

}  // namespace bells
