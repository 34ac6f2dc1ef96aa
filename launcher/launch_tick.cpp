#include "launcher/launch_tick.h"

#include <algorithm>

#include "base/error.h"
#include "base/int_convert.h"

namespace launcher {
namespace {

// The usual field, four decimal digits, read at once; any other as the
// toolkit reads a number.
int DueTime(const std::string& field) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (field.size() != 4 || !std::all_of(field.begin(), field.end(), digit)) {
    return base::StrToInt(field);
  }
  return ((field[0] - '0') * 10 + field[1] - '0') * 100 + (field[2] - '0') * 10 + field[3] - '0';
}

int TimeValue(int minuteOfDay) { return minuteOfDay / 60 * 100 + minuteOfDay % 60; }

}  // namespace

void RunLaunches(const std::vector<DueLaunch>& due, ProcessKiller& killer, Pause& pause,
                 Shell& shell, const OutcomeSink& each) {
  for (const DueLaunch& launch : due) {
    LaunchOutcome outcome;
    outcome.launch = launch;
    // Ending this very program would leave a dead icon and open nothing.
    if (shell.IsOwnProgram(launch.entry.file)) {
      outcome.own = true;
    } else {
      outcome.ended = killer.FileKill(launch.entry.exeName);
      pause.Wait(kKillPause);
      outcome.open = shell.Open(launch.entry.file);
    }
    if (each) each(outcome);
  }
}

LaunchTick::LaunchTick(base::LocalClock& clock, LaunchRunner& runner)
    : clock_(clock), runner_(runner) {}

std::vector<int> LaunchTick::TimesToHandle(int now) const {
  if (!lastHandled_) return {TimeValue(now)};
  const int ahead = (now - *lastHandled_ + base::kMinutesPerDay) % base::kMinutesPerDay;
  if (ahead == 0 || ahead >= base::kMinutesPerDay - kSetBackMinutes) return {};
  if (ahead > kCatchUpMinutes + 1) return {TimeValue(now)};
  std::vector<int> times;
  for (int m = 1; m <= ahead; ++m)
    times.push_back(TimeValue((*lastHandled_ + m) % base::kMinutesPerDay));
  return times;
}

std::optional<unsigned> LaunchTick::Tick(bool switchOn, const std::vector<std::string>& lines) {
  if (!switchOn) return std::nullopt;
  const base::TimeOfDay now = clock_.Now();
  const int minute = now.hour * 60 + now.minute;
  const std::vector<int> times = TimesToHandle(minute);
  if (times.empty()) return std::nullopt;
  lastHandled_ = minute;
  const int current = times.back();

  std::vector<DueLaunch> due;
  for (size_t i = 0; i < lines.size(); ++i) {
    // Only the time field is read of a line that is not due: a short
    // string, no allocation.
    if (IsDisabledLine(lines[i])) continue;
    int time = 0;
    try {
      time = DueTime(TimeField(lines[i]));
    } catch (const base::ConvertError&) {
      // The entries above the bad line are started all the same.
      if (!due.empty()) runner_.Start(std::move(due));
      // Told once: a box that came every minute for the same line would
      // pile up while the user is away.
      if (reportedLine_ == i && reportedList_ == lines) return std::nullopt;
      reportedLine_ = i;
      reportedList_ = lines;
      throw;
    }
    if (std::find(times.begin(), times.end(), time) == times.end()) continue;
    due.push_back({lines[i], ParseLaunchLine(lines[i]), time, time != current});
  }
  if (!due.empty()) runner_.Start(std::move(due));
  return kRunningInterval;
}

}  // namespace launcher
