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

int TimeValue(long long minute) {
  const int inDay = static_cast<int>((minute % base::kMinutesPerDay + base::kMinutesPerDay) %
                                     base::kMinutesPerDay);
  return inDay / 60 * 100 + inDay % 60;
}

}  // namespace

size_t RunLaunches(const std::vector<DueLaunch>& due, const RunPorts& ports, RunControl* control) {
  size_t handled = 0;
  for (const DueLaunch& launch : due) {
    if (control && control->Stopping()) break;
    if (control) control->Starting(launch);
    LaunchOutcome outcome;
    outcome.launch = launch;
    const long long late = ports.clock.SecondsNow() - launch.minute * 60;
    // Ending this very program would leave a dead icon and open nothing.
    if (ports.shell.IsOwnProgram(launch.entry.file)) {
      outcome.own = true;
    } else if (late > kStaleMinutes * 60) {
      outcome.lateMinutes = static_cast<int>(late / 60);
    } else {
      outcome.ended = ports.killer.FileKill(launch.entry.exeName);
      ports.pause.Wait(kKillPause);
      outcome.open = ports.shell.Open(launch.entry.file);
    }
    ++handled;
    if (control) control->Done(outcome);
  }
  return handled;
}

LaunchTick::LaunchTick(base::LocalClock& clock, LaunchRunner& runner)
    : clock_(clock), runner_(runner) {}

std::vector<long long> LaunchTick::MinutesToHandle(long long now) const {
  if (!lastHandled_) return {now};
  const long long ahead = now - *lastHandled_;
  // Set back by up to an hour: those minutes were handled once already.
  if (ahead <= 0 && ahead >= -kSetBackMinutes) return {};
  // A longer step either way is a gap (asleep, the clock moved): only the
  // minute at hand.
  if (freshStart_ || ahead < 0 || ahead > kCatchUpMinutes + 1) return {now};
  std::vector<long long> minutes;
  for (long long m = *lastHandled_ + 1; m <= now; ++m) minutes.push_back(m);
  return minutes;
}

std::optional<unsigned> LaunchTick::Tick(bool switchOn, const std::vector<std::string>& lines) {
  const long long minute = base::MinutesSinceEpoch(clock_.Now());
  if (!switchOn) {
    freshStart_ = true;
    return std::nullopt;
  }
  const std::vector<long long> minutes = MinutesToHandle(minute);
  if (minutes.empty()) return std::nullopt;
  lastHandled_ = minute;
  freshStart_ = false;
  std::vector<int> times;
  for (long long m : minutes) times.push_back(TimeValue(m));

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
    const auto at = std::find(times.begin(), times.end(), time);
    if (at == times.end()) continue;
    const long long dueMinute = minutes[at - times.begin()];
    due.push_back({lines[i], ParseLaunchLine(lines[i]), time, dueMinute != minute, dueMinute});
  }
  if (!due.empty()) runner_.Start(std::move(due));
  return kRunningInterval;
}

}  // namespace launcher
