// What the clocks window offers the settings save: the 24 place box texts as
// the user left them.
#pragma once

#include <array>
#include <string>

namespace worldclock {

inline constexpr int kPlaceBoxes = 24;

class PlaceTexts {
 public:
  virtual ~PlaceTexts() = default;
  virtual std::array<std::string, kPlaceBoxes> Places() const = 0;
};

}  // namespace worldclock
