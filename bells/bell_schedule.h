// Watch-bell arithmetic: which moments the hour boxes admit and how many bells
// each strike minute announces. Pure rules; the bell tick supplies the time.
#pragma once

#include <array>
#include <optional>

#include "base/clock.h"

namespace bells {

using base::kHoursPerDay;

// One box per hour of the day, index 0 for "0000" up to 23 for "2300".
using HourBoxes = std::array<bool, kHoursPerDay>;

struct BellOptions {
  HourBoxes hourBoxes{};
  bool earlyRing = false;
  bool dogWatch = false;
};

// The hour's own box admits every minute of it; with early ring the next
// hour's box also admits minute 59, so a strike for a whole hour can sound
// early even when the hour before it is switched off.
bool HourGateAdmits(const HourBoxes& boxes, int hour, int minute, bool earlyRing);

bool IsStrikeMinute(int minute);

// Bells struck at hour:00 and hour:30 (hour 0-23).
int OnTheHourCount(int hour, bool dogWatch);
int HalfHourCount(int hour, bool dogWatch);

// The bells to strike at hour:minute, or none when the minute announces
// nothing under the chosen early-ring setting.
std::optional<int> BellCount(int hour, int minute, bool earlyRing, bool dogWatch);

// Milliseconds from `now` until base::kAimPastMinuteMs past the first
// moment of the next minute, after now's own, that strikes under the early-ring
// setting. The hour boxes and the mute may change before then, so they are
// not consulted: the tick that runs there decides, as every tick does.
int MsToNextStrike(const base::TimeOfDay& now, bool earlyRing);

}  // namespace bells
