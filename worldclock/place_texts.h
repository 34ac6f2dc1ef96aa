// What the clocks window offers the settings save: the 24 place box texts as
// the user left them.
#pragma once

#include <array>
#include <string>

#include "settings/settings_file.h"

namespace worldclock {

// The place boxes are the settings file's places.
using settings::kPlaceCount;

class PlaceTexts {
 public:
  virtual ~PlaceTexts() = default;
  virtual std::array<std::string, kPlaceCount> Places() const = 0;
};

}  // namespace worldclock
