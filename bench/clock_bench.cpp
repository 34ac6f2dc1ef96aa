// What the digital clock's face costs: the cells a tick draws, over a
// simulated hour of 450 ms ticks, and the work of one full drawing or one
// idle tick repeated a given number of times (for an instruction counter).
//
//   clock_bench cells                 the table of cells per tick
//   clock_bench full|idle <times>     repeat one drawing's decisions
#include <cstdio>
#include <cstdlib>
#include <string>

#include "widgets/digital_clock_core.h"

namespace {

using widgets::ClockOptions;

base::TimeOfDay At(long ms) {
  const long s = ms / 1000;
  return {static_cast<int>(s / 3600 % 24), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)};
}

// Every 450 ms from 12:00:00.2 for an hour: cells per tick within a minute,
// and at a new minute.
void Cells(const char* name, const ClockOptions& o) {
  widgets::LastDrawn last{0, 0, 0};
  long within = 0, withinTicks = 0, minuteCells = 0, minutes = 0;
  for (long ms = 12 * 3600 * 1000L + 200; ms < 13 * 3600 * 1000L; ms += 450) {
    const base::TimeOfDay t = At(ms);
    const auto face = widgets::FormatClock(t, o);
    const long n = static_cast<long>(widgets::CellsToRedraw(face, o, t, last, false).size());
    if (t.minute != last.minute) {
      minuteCells += n;
      ++minutes;
    } else {
      within += n;
      ++withinTicks;
    }
    last = {t.hour % 12, t.minute, t.second};
  }
  std::printf("| %-26s | %9.3f | %9.3f |\n", name, double(within) / withinTicks,
              double(minuteCells) / minutes);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "cells";
  if (what == "cells") {
    std::printf(
        "| face                       | cells per tick within a minute | at a new minute |\n");
    std::printf("|---|---|---|\n");
    Cells("hh:mm (the home clock)", {false, false, true});
    Cells("h:mm AM/PM", {false, true, false});
    Cells("hh:mm:ss", {true, false, true});
    return 0;
  }
  const long times = argc > 2 ? std::atol(argv[2]) : 0;
  const ClockOptions o{false, false, true};
  widgets::LastDrawn last{0, 10, 0};
  long cells = 0;
  for (long i = 0; i < times; ++i) {
    const base::TimeOfDay t{12, 10, static_cast<int>(i % 60)};
    const bool full = what == "full";
    if (!full && widgets::NeedsFullRepaint(t, last)) continue;
    const auto face = widgets::FormatClock(t, o);
    const auto layout = widgets::LayoutCells(2, 2, 98, 22, face.cells, 7, 13, 0);
    cells += static_cast<long>(widgets::CellsToRedraw(face, o, t, last, full).size()) +
             (layout.left & 0);
    last = {t.hour % 12, t.minute, t.second};
  }
  std::printf("%ld cells\n", cells);
  return 0;
}
