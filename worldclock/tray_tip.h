// World times at a glance: the chosen places' times in the tray icon's
// tooltip, one a line, and which places are chosen.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "base/clock.h"
#include "settings/persistent_properties.h"
#include "worldclock/clocks_logic.h"

namespace worldclock {

// Where the initialization file keeps the chosen places: "Box3=1".
inline constexpr const char* kTrayTipSection = "Tray Tip";
inline constexpr const char* kTrayTipCaption = "Show in Tray Tip";
// What a tray tip holds, without its terminating zero.
inline constexpr size_t kTrayTipLength = 127;

// A place's name as the tip and the plans give it: the box's text before its
// "[", trimmed, or its brackets and what stands between them where that is
// empty.
std::string PlaceName(const std::string& boxText);

// The tip for these places, in this order: "Auckland 2:05 AM +1 day". The
// day mark counts the place's
// date against the computer's. Lines past the tip's length are left out and
// "..." ends it then ("…" is missing from some code pages).
std::string TrayTipText(const std::vector<ShownPlace>& places, const base::TimeOfDay& utc,
                        int localOffset);

class TrayTip {
 public:
  // The choices are kept in `store` at once; without it they last the run.
  explicit TrayTip(settings::ProfileStore* store);

  bool Chosen(int box) const { return chosen_[box - 1]; }
  bool AnyChosen() const;
  // Throws when the new choice cannot be kept.
  void Toggle(int box);
  // The tip for the places as their panels show them now; empty while none
  // is chosen or none of those shows a time. `localOffset`: the computer's
  // clock's minutes ahead of UTC.
  std::string Text(const ClocksLogic& clocks, const base::TimeOfDay& utc, int localOffset) const;

 private:
  settings::ProfileStore* store_;
  std::array<bool, kPlaceCount> chosen_{};
};

}  // namespace worldclock
