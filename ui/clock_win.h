// The system's clocks.
#pragma once

#include "ui/clock.h"

namespace ui {

class WinLocalClock final : public LocalClock {
 public:
  TimeOfDay Now() override;
};

class WinUtcClock final : public UtcClock {
 public:
  TimeOfDay NowUtc() override;
};

}  // namespace ui
