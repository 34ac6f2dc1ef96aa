// The digital clock's face over any time and any properties.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "widgets/digital_clock_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  widgets::ClockOptions o{in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool()};
  const base::TimeOfDay t{in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59),
                          in.ConsumeIntegralInRange(0, 59)};
  const widgets::LastDrawn last{in.ConsumeIntegralInRange(0, 11), in.ConsumeIntegralInRange(0, 59),
                                in.ConsumeIntegralInRange(0, 59)};
  const auto face = widgets::FormatClock(t, o);
  if (face.cells < 4 || static_cast<size_t>(face.cells) > face.text.size()) __builtin_trap();
  for (int cell : widgets::CellsToRedraw(face, o, t, last, in.ConsumeBool())) {
    if (cell < 1 || cell > face.cells) __builtin_trap();
  }
  widgets::LayoutCells(in.ConsumeIntegral<int16_t>(), in.ConsumeIntegral<int16_t>(),
                       in.ConsumeIntegral<int16_t>(), in.ConsumeIntegral<int16_t>(), face.cells,
                       in.ConsumeIntegralInRange(0, 200), in.ConsumeIntegralInRange(0, 200),
                       in.ConsumeIntegralInRange(0, 400));
  widgets::Alarm alarm{in.ConsumeBool(), in.ConsumeIntegralInRange(0, 23),
                       in.ConsumeIntegralInRange(0, 59), in.ConsumeIntegralInRange(0, 59),
                       in.ConsumeBool()};
  widgets::CheckAlarm(alarm, t);
  return 0;
}
