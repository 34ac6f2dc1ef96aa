// How the bells behave beyond striking the mark, as the person chooses in
// "Bell Options": a volume of their own (halved at night if they like),
// silence while the person presents, and sixteen bells at New Year. Every
// choice starts off (the volume at "Full"), so the bells sound as they
// always have until one is made.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "base/clock.h"
#include "bells/bell_tick.h"

namespace bells {

// The volumes offered, in percent of the recording.
inline constexpr int kVolumeLevels[] = {100, 75, 50, 25};

struct MannerChoices {
  int volume = 100;  // one of kVolumeLevels
  bool halfAtNight = false;
  bool quietWhenPresenting = false;
  bool sixteenAtNewYear = false;
};

// The first, middle and morning watches, 20:00 up to 08:00: a strike belongs
// to the mark it announces, so with early ring 19:59 is night and 07:59 day.
bool IsNight(const base::TimeOfDay& at);

// The volume in force at that moment, as a fraction of the recording.
double VolumeAt(const MannerChoices& choices, const base::TimeOfDay& at);

// What the shell says about the person at the screen: the values of the
// platform's user notification state (1 not present/locked, 2 busy with a
// full-screen program or presentation settings, 3 a full-screen Direct3D
// program, 4 presentation mode, 5 free, 6 quiet time, 7 a store app).
// Only 2, 3 and 4 mean the person presents or plays; an unknown state never
// silences the bells.
bool PresentingOrFullScreen(std::optional<int> notificationState);

// The choices applied to each strike. `notificationState` asks the platform
// at the moment of the strike; nothing where it cannot tell.
class BellManners final : public StrikeManners {
 public:
  MannerChoices choices;
  std::function<std::optional<int>()> notificationState;

  StrikePlan PlanStrike(const base::TimeOfDay& mark, int count) override;
  double VolumeNow(const base::TimeOfDay& now) override { return VolumeAt(choices, now); }
};

// The recording as a RIFF WAVE file in memory with its PCM samples scaled by
// `volume` (0 to 1): 8-bit samples are unsigned around 128, 16-bit ones
// signed; PCM in the plain or the extensible form. Samples that stop before
// their stated size are scaled as far as they go. Nothing when the file is
// not PCM of those sizes or its header is cut short, so the caller plays it
// as it stands.
std::optional<std::vector<std::uint8_t>> ScaledWave(const std::vector<std::uint8_t>& file,
                                                    double volume);

}  // namespace bells
