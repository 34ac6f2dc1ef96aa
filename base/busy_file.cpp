#include "base/busy_file.h"

#include <algorithm>

namespace base {

bool ReplaceWhenFree(ReplacePort& port) {
  // Most holders let go within a few milliseconds; the pauses double from
  // there so a slow scan does not cost a hundred tries.
  constexpr unsigned kFirstPause = 10;
  constexpr unsigned kLongestPause = 250;
  unsigned waited = 0;
  unsigned pause = kFirstPause;
  for (;;) {
    const ReplaceOutcome outcome = port.Replace();
    if (outcome != ReplaceOutcome::kBusy) return outcome == ReplaceOutcome::kDone;
    if (waited >= kBusyPatience) return false;
    const unsigned next = std::min({pause, kLongestPause, kBusyPatience - waited});
    port.Pause(next);
    waited += next;
    pause *= 2;
  }
}

}  // namespace base
