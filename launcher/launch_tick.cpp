#include "launcher/launch_tick.h"

#include <algorithm>
#include <cstdio>

#include "base/error.h"
#include "base/int_convert.h"
#include "base/minute_record.h"
#include "launcher/launch_options.h"

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

std::string LaunchRecordText(long long minute) { return base::MinuteRecordText(minute); }

std::optional<long long> ParseLaunchRecord(const std::string& text) {
  return base::ParseMinuteRecord(text);
}

size_t RunLaunches(const std::vector<DueLaunch>& due, const RunPorts& ports, RunControl* control) {
  size_t handled = 0;
  for (const DueLaunch& launch : due) {
    if (control && control->Stopping()) break;
    if (control) control->Starting(launch);
    LaunchOutcome outcome;
    outcome.launch = launch;
    // Unsigned: right across the counter's wrap.
    const std::uint32_t waited = ports.clock.ElapsedMs() - launch.handedAt;
    const long long late = launch.age + waited / 1000;
    if (!launch.entry.days) {
      // Never run, asleep or awake: the person learns why each time.
      outcome.daysUnread = true;
    } else if (launch.entry.quoteMissing) {
      outcome.quoteMissing = true;
    } else if (launch.slept) {
      outcome.slept = true;
    } else if (launch.jumped) {
      outcome.jumped = true;
    } else if (ports.shell.IsOwnProgram(launch.entry.program)) {
      // Ending this very program would leave a dead icon and open nothing.
      outcome.own = true;
    } else if (launch.missed != Missed::No) {
      // Run late, however late: but never at the cost of a program the
      // person may have been working in for hours.
      if (ports.killer.Running(launch.entry.exeName)) {
        outcome.alreadyRunning = true;
      } else {
        outcome.open =
            ports.shell.Open(launch.entry.program, launch.entry.arguments, launch.entry.folder);
      }
    } else if (late > kStaleMinutes * 60) {
      // Rounded up: ten minutes and a second is more than ten.
      outcome.lateMinutes = static_cast<int>((late + 59) / 60);
    } else {
      outcome.ended = ports.killer.FileKill(launch.entry.exeName);
      ports.pause.Wait(kKillPause);
      outcome.open =
          ports.shell.Open(launch.entry.program, launch.entry.arguments, launch.entry.folder);
    }
    ++handled;
    if (control) control->Done(outcome);
  }
  return handled;
}

LaunchTick::LaunchTick(base::LocalClock& clock, LaunchRunner& runner)
    : clock_(clock), runner_(runner) {}

std::optional<long long> LaunchTick::Record(bool switchOn) const {
  std::optional<long long> record;
  if (!switchOn || freshStart_) {
    // Switched off now, or since the last tick: the time off is not owed.
    record = base::MinutesSinceEpoch(clock_.Now());
  } else {
    // Ended before its first tick: the earlier copy's gap goes on.
    record = lastHandled_ ? lastHandled_ : restored_;
  }
  // An entry the end cut off is owed: the record stops before its minute.
  if (owed_ && (!record || *record >= *owed_)) record = *owed_ - 1;
  return record;
}

void LaunchTick::Told(const LaunchOutcome& outcome) {
  if (!outcome.ending) return;
  if (!owed_ || outcome.launch.minute < *owed_) owed_ = outcome.launch.minute;
}

void LaunchTick::Suspending() {
  sleepHeard_ = true;
  sleepMinute_ = base::MinutesSinceEpoch(clock_.Now());
}

void LaunchTick::Resumed() {
  // Told of the sleep before it: the tick after it knows already.
  if (sleepHeard_ || !lastHandled_) return;
  const long long now = base::MinutesSinceEpoch(clock_.Now());
  // Told of the waking alone, before the overdue tick: that tick is the
  // first after a sleep, as if told of the sleep itself. If a tick has read
  // this minute already, it came first and ran as a late tick; the ticks
  // after it catch up as ever.
  if (lastRead_ != now) {
    sleepHeard_ = true;
    sleepMinute_ = *lastRead_;
  }
}

int LaunchTick::MsToNextAim() {
  const base::TimeOfDay now = clock_.Now();
  if (lastRead_ && *lastRead_ != base::MinutesSinceEpoch(now)) return 0;
  return MsToNextMinute(now);
}

bool LaunchTick::SleptSinceLastTick(long long minute) {
  const bool slept = sleepHeard_ && minute != sleepMinute_;
  if (slept) sleepHeard_ = false;
  return slept || SleptByTheClocks();
}

bool LaunchTick::SleptByTheClocks() {
  bool slept = false;
  const std::optional<long long> asleep = clock_.AsleepMs();
  if (asleep && asleepMs_ && *asleep - *asleepMs_ > kSleptMs) slept = true;
  asleepMs_ = asleep;
  return slept;
}

bool LaunchTick::MovedForwardByTheClocks(const base::TimeOfDay& now) {
  const long long wall =
      base::MinutesSinceEpoch(now) * 60000 + now.second * 1000LL + now.millisecond;
  const std::optional<long long> elapsed = clock_.ElapsedMs();
  const bool moved = elapsed && elapsedAt_ && wall - wallAt_ - (*elapsed - *elapsedAt_) > kMovedMs;
  elapsedAt_ = elapsed;
  wallAt_ = wall;
  return moved;
}

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
  const base::TimeOfDay now = clock_.Now();
  const long long minute = base::MinutesSinceEpoch(now);
  const bool slept = SleptSinceLastTick(minute);
  const bool movedForward = MovedForwardByTheClocks(now);
  lastRead_ = minute;
  if (!switchOn) {
    freshStart_ = true;
    offRead_ = minute;
    return std::nullopt;
  }
  // The clock went back across the minute an earlier copy handled as it
  // ended (daylight saving's end, a time sync): those minutes were handled.
  if (!lastHandled_ && restored_ && *restored_ >= minute &&
      *restored_ - minute <= kSetBackMinutes) {
    lastHandled_ = restored_;
  }
  // Asleep: only the minute of waking runs; the minutes slept through are
  // told (a day of them at most, each entry once), or run late once where
  // the person chose so.
  const bool wokeOn = slept && lastHandled_ && minute > *lastHandled_;
  const bool runMissed = runMissedOnce && runMissedOnce();
  std::vector<long long> gap;
  Missed gapKind = Missed::No;
  long long jumpedFrom = 0;
  if (wokeOn) {
    // Switched on again since the last minute handled: the time the
    // switch was seen off is not owed, asleep or not.
    const long long from =
        freshStart_ && offRead_ ? std::max(*lastHandled_, *offRead_) : *lastHandled_;
    gap = GapMinutes(from, minute);
    gapKind = Missed::Asleep;
  } else if (movedForward && lastHandled_ && !freshStart_ &&
             minute - *lastHandled_ > kCatchUpMinutes + 1) {
    // Awake, and the clock stepped forward (daylight saving's start, a time
    // sync, a hand change): the minutes it passed over, a minute that never
    // was on the local clock among them, are told, or run late once.
    gap = GapMinutes(*lastHandled_, minute);
    gapKind = Missed::ClockForward;
    jumpedFrom = *lastHandled_;
  } else if (runMissed && !lastHandled_ && !freshStart_ && restored_ && restoredCounts_ &&
             *restored_ < minute) {
    // The first tick since an earlier copy ended in an orderly way.
    gap = GapMinutes(*restored_, minute);
    gapKind = Missed::NotRunning;
  }
  const std::vector<long long> minutes =
      wokeOn ? std::vector<long long>{minute} : MinutesToHandle(minute);
  if (minutes.empty()) {
    if (!lastHandled_) lastHandled_ = minute;
    return std::nullopt;
  }
  lastHandled_ = minute;
  freshStart_ = false;
  std::vector<int> times, gapTimes;
  for (long long m : minutes) times.push_back(TimeValue(m));
  for (long long m : gap) gapTimes.push_back(TimeValue(m));

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
      if (!due.empty()) {
        due.back().lastOfTick = true;
        runner_.Start(std::move(due));
      }
      // Told once: a box that came every minute for the same line would
      // pile up while the user is away.
      if (reportedLine_ == i && reportedList_ == lines) return std::nullopt;
      reportedLine_ = i;
      reportedList_ = lines;
      throw;
    }
    // A gap is a day at most: each time stands in it once, and an entry
    // missed several times runs once.
    const auto at = std::find(times.begin(), times.end(), time);
    const auto gapAt =
        at != times.end() ? gapTimes.end() : std::find(gapTimes.begin(), gapTimes.end(), time);
    if (at == times.end() && gapAt == gapTimes.end()) continue;
    const long long dueMinute =
        at != times.end() ? minutes[at - times.begin()] : gap[gapAt - gapTimes.begin()];
    LaunchEntry entry = ParseLaunchLine(lines[i]);
    if (CheckDay(entry, base::FromMinutesSinceEpoch(dueMinute)) == DayCheck::NotItsDay) continue;
    due.push_back({lines[i], std::move(entry), time});
    DueLaunch& launch = due.back();
    launch.minute = dueMinute;
    launch.tickMinute = minute;
    if (at != times.end()) {
      launch.caughtUp = dueMinute != minute;
      launch.age = (minute - dueMinute) * 60 + now.second;
    } else if (runMissed) {
      launch.missed = gapKind;
      launch.jumpedFrom = jumpedFrom;
    } else if (gapKind == Missed::ClockForward) {
      launch.jumped = true;
      launch.jumpedFrom = jumpedFrom;
    } else {
      launch.slept = true;
    }
  }
  if (!due.empty()) {
    due.back().lastOfTick = true;
    runner_.Start(std::move(due));
  }
  return kRunningInterval;
}

}  // namespace launcher
