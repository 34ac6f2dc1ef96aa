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
// skipped; after a longer gap (sleep, the clock moved forward) they are
// told, or run late once, and not run in their turn.
inline constexpr int kCatchUpMinutes = 5;
// A clock set back by up to an hour (daylight saving's end, a correction)
// does not open again what its minutes already opened.
inline constexpr int kSetBackMinutes = 60;
// An entry reached later than this after its minute began (its open waited
// behind another that waited on a person) is not run: ending the program a
// person has been working in for hours helps nobody.
inline constexpr int kStaleMinutes = 10;
// Between two ticks the elapsed count, which goes on through a sleep, and
// the interrupt time, which does not, part by a few milliseconds at most;
// by more than this only when the computer slept.
inline constexpr long long kSleptMs = 30000;
// The local clock ran ahead of the elapsed count between two ticks by more
// than this: it was moved forward (daylight saving's start, a time sync, a
// hand change), not merely read late.
inline constexpr long long kMovedMs = 60000;

// Milliseconds from `now` until just past the next minute's first moment,
// where the aimed launch tick comes, so that an entry opens at its minute's
// first second and not at whatever second the program started at.
constexpr int MsToNextMinute(const base::TimeOfDay& now) {
  return static_cast<int>(base::MsToAimedTick(now, 1));
}

// The launch record an orderly end leaves for the next start, and back:
// "2026-12-08 09:00". Nothing for a text that is not such a minute.
std::string LaunchRecordText(long long minute);
std::optional<long long> ParseLaunchRecord(const std::string& text);

struct RunPorts {
  ProcessKiller& killer;
  Pause& pause;
  Shell& shell;
  RunClock& clock;
};

// Who runs the entries hears of each, and may end the run between two.
class RunControl {
 public:
  virtual ~RunControl() = default;
  // Asked before each entry; an entry's end, pause and open are never split.
  virtual bool Stopping() { return false; }
  virtual void Starting(const DueLaunch&) {}
  virtual void Done(const LaunchOutcome& outcome) = 0;
};

// Each entry's end, pause and open, in list order; what the runner does.
// Gives how many entries were handled: fewer than all when told to stop.
size_t RunLaunches(const std::vector<DueLaunch>& due, const RunPorts& ports,
                   RunControl* control = nullptr);

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
  // Ticks with the switch off run nothing, and the first tick after them
  // runs only its own minute: the user switched off to skip what fell due.
  // The first tick after a sleep runs only its own minute too; the entries
  // of the minutes slept through go to the runner marked as slept through,
  // or, while missed launches run once, as missed. So do those of the time
  // since the restored record at the first tick after a start, and those
  // of the minutes a clock stepping forward passed over (marked jumped).
  std::optional<unsigned> Tick(bool switchOn, const std::vector<std::string>& lines);
  // The computer is about to sleep: the first tick in a later minute is
  // the first after it, whatever message comes first on waking. (A tick in
  // the same minute may yet come before the computer sleeps.)
  void Suspending();
  // The computer woke from sleep: the time asleep is not caught up. Told
  // before or after the overdue tick, and whenever the tick after it comes.
  void Resumed();
  // Milliseconds from now to the next aimed tick: none at all while a
  // minute has come that no tick has read yet (the clock was set, or the
  // aim is made anew just as a minute begins), so no minute is passed over.
  int MsToNextAim();
  // What an orderly end leaves for the next copy, on one line with its
  // date: the last minute handled; while switched off, the end's own
  // minute, since time spent switched off is never caught up.
  std::optional<long long> Record(bool switchOn) const;
  // What became of an entry: one the end cut off is owed, so the record
  // stays before its minute and a later start runs it late, if ticked.
  void Told(const LaunchOutcome& outcome);
  // Whether the minutes of a gap (asleep, or no copy running since the
  // restored record) run late, once; unset, they do not.
  std::function<bool()> runMissedOnce;
  // An earlier copy of the program ended having handled `minute`: a start
  // within that same minute, or up to an hour before it (the clock went
  // back since), does not open those minutes' entries again. Missed
  // launches are run from it only when it `counts` (it could be taken away,
  // so a crash later cannot leave it to be read again).
  void Restore(long long minute, bool counts = true) {
    restored_ = minute;
    restoredCounts_ = counts;
  }
  // The line of the last time field reported, as written.
  std::string ReportedLine() const {
    return reportedLine_ && *reportedLine_ < reportedList_.size() ? reportedList_[*reportedLine_]
                                                                  : std::string();
  }

 private:
  // The dated minutes this tick handles, oldest first; none when its minute
  // was handled already.
  std::vector<long long> MinutesToHandle(long long now) const;
  // Whether the computer slept since the last tick, which reads `minute`;
  // reads and resets the signs of it.
  bool SleptSinceLastTick(long long minute);
  // The elapsed count and the interrupt time parted since the last tick.
  bool SleptByTheClocks();
  // The local clock moved forward since the last tick, by the elapsed count.
  bool MovedForwardByTheClocks(const base::TimeOfDay& now);

  base::LocalClock& clock_;
  LaunchRunner& runner_;
  // The last minute handled, with its date: a day's gap is not a clock set
  // back, and the same minute a day later is another minute.
  std::optional<long long> lastHandled_;
  // Switched off: nothing before the next tick's minute is caught up.
  bool freshStart_ = false;
  // The minute the last tick read, handled or not.
  std::optional<long long> lastRead_;
  // The minute of the last tick that found the switch off.
  std::optional<long long> offRead_;
  // The earliest minute of an entry the end cut off.
  std::optional<long long> owed_;
  bool restoredCounts_ = true;
  // Sleep told of, and the time asleep at the last tick, where known.
  bool sleepHeard_ = false;
  long long sleepMinute_ = 0;  // when it was heard
  std::optional<long long> asleepMs_;
  // The elapsed count and the local clock, in milliseconds, at the last tick.
  std::optional<long long> elapsedAt_;
  long long wallAt_ = 0;
  std::optional<long long> restored_;
  // The list and the line index of the last reported bad time field.
  std::vector<std::string> reportedList_;
  std::optional<size_t> reportedLine_;
};

}  // namespace launcher
