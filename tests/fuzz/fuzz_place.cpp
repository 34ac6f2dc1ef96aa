// A place box's text at any UTC time, either mode, either DST state.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "worldclock/place_time.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const base::TimeOfDay utc{in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59)};
  const int dst = in.ConsumeIntegral<int>();
  const bool military = in.ConsumeBool();
  const auto place =
      worldclock::ShowPlaceTime(in.ConsumeRemainingBytesAsString(), dst, military, utc);
  if (place.panelText && place.panelText->size() > 9) __builtin_trap();  // "12:59 PM*" at most
  if (worldclock::OffsetHours != worldclock::kNoOffset &&
      (worldclock::OffsetHours < -11 || worldclock::OffsetHours > 12)) {
    __builtin_trap();
  }
  return 0;
}
