// The launch tick: once a minute, every entry of the launch list whose time
// field is the current local time is started, after the running program of
// the same executable name has been ended.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "launcher/launch_list.h"
#include "launcher/launch_ports.h"
#include "ui/clock.h"

namespace launcher {

inline constexpr unsigned kFirstInterval = 1000;
inline constexpr unsigned kRunningInterval = 60000;
inline constexpr unsigned kKillPause = 1000;

class LaunchTick {
 public:
  LaunchTick(ui::LocalClock& clock, ProcessKiller& killer, Pause& pause, Shell& shell);

  // One tick over the list as it stands. Returns the timer's new interval
  // once the whole list was gone through with the switch on; nothing
  // otherwise. A time field that is not a number throws ui::ConvertError and
  // ends the tick there; the same line of the same list is reported once and
  // afterwards ends the tick silently, until the list changes.
  std::optional<unsigned> Tick(bool switchOn, const std::vector<std::string>& lines);

 private:
  ui::LocalClock& clock_;
  ProcessKiller& killer_;
  Pause& pause_;
  Shell& shell_;
  // The list and the line index of the last reported bad time field.
  std::vector<std::string> reportedList_;
  std::optional<size_t> reportedLine_;
};

}  // namespace launcher
