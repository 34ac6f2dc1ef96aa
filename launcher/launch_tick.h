// The launch tick: once a minute, every entry of the launch list whose time
// field is the current local time is started, after the running program of
// the same executable name has been ended.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "launcher/launch_list.h"
#include "launcher/launch_ports.h"

namespace launcher {

inline constexpr unsigned kFirstInterval = 1000;
inline constexpr unsigned kRunningInterval = 60000;
inline constexpr unsigned kKillPause = 1000;
// A tick at most this many minutes late still handles the minutes it
// skipped; after a longer gap (sleep, the clock moved forward) nothing is
// caught up.
inline constexpr int kCatchUpMinutes = 5;
// A clock set back by up to an hour (daylight saving's end, a correction)
// does not open again what its minutes already opened.
inline constexpr int kSetBackMinutes = 60;

// Each entry's end, pause and open, in list order; what the runner does.
// `each` hears what happened to an entry as soon as it is done.
using OutcomeSink = std::function<void(const LaunchOutcome&)>;
void RunLaunches(const std::vector<DueLaunch>& due, ProcessKiller& killer, Pause& pause,
                 Shell& shell, const OutcomeSink& each = nullptr);

class LaunchTick {
 public:
  LaunchTick(base::LocalClock& clock, LaunchRunner& runner);

  // One tick over the list as it stands: the due entries go to the runner.
  // Returns the timer's new interval once the whole list was gone through
  // with the switch on; nothing otherwise. Each minute is handled once,
  // however many ticks read it. A time field that is not a number throws
  // base::ConvertError and ends the tick there (the entries above it are
  // started); the same line of the same list is reported once and
  // afterwards ends the tick silently, until the list changes.
  std::optional<unsigned> Tick(bool switchOn, const std::vector<std::string>& lines);
  // The line of the last time field reported, as written.
  std::string ReportedLine() const {
    return reportedLine_ && *reportedLine_ < reportedList_.size() ? reportedList_[*reportedLine_]
                                                                  : std::string();
  }

 private:
  // The times (hour x 100 + minute) this tick handles, oldest first; none
  // when its minute was handled already.
  std::vector<int> TimesToHandle(int now) const;

  base::LocalClock& clock_;
  LaunchRunner& runner_;
  std::optional<int> lastHandled_;  // minute of the day
  // The list and the line index of the last reported bad time field.
  std::vector<std::string> reportedList_;
  std::optional<size_t> reportedLine_;
};

}  // namespace launcher
