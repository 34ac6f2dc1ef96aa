// What the launcher needs of the machine: opening a program or document
// through the shell, ending a running process by executable name, a pause,
// and someone to run the due entries away from the user-interface thread.
// The Win32 layer implements them; tests fake them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launch_list.h"

namespace launcher {

// What the shell made of an open: 0 and no text when the file was opened.
struct OpenResult {
  unsigned long error = 0;
  std::string text;  // the shell's own short words for the error
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens the file with the verb "open", without waiting for the program;
  // `parameters` and `folder` (where it starts), when not empty, are handed
  // on as the shell's parameters and working folder.
  virtual OpenResult Open(const std::string& file, const std::string& parameters,
                          const std::string& folder) = 0;
  // Whether the file is this program's own executable, which no entry may
  // end or start again.
  virtual bool IsOwnProgram(const std::string& file) = 0;
};

class ProcessKiller {
 public:
  virtual ~ProcessKiller() = default;
  // Ends the first running process of that executable name with exit code
  // 0, and gives its id; nothing at all when there is none or it cannot be
  // ended.
  virtual std::optional<unsigned long> FileKill(const std::string& exeName) = 0;
  // Whether a process of that executable name runs, ending nothing.
  virtual bool Running(const std::string& exeName) = 0;
};

class Pause {
 public:
  virtual ~Pause() = default;
  virtual void Wait(unsigned milliseconds) = 0;
};

// Time as it passes, in milliseconds from any start, wrapping to 0 after
// 2^32: it goes on while the computer sleeps and takes no notice when the
// clock is set or daylight saving begins or ends, so that how late an entry
// is reached is measured, not read off a clock that may have moved. Only
// differences mean anything, taken in 32-bit unsigned arithmetic.
class RunClock {
 public:
  virtual ~RunClock() = default;
  virtual std::uint32_t ElapsedMs() = 0;
};

// Whether a file exists, as the program itself sees the path.
class FileProbe {
 public:
  virtual ~FileProbe() = default;
  virtual bool FileExists(const std::string& path) = 0;
};

// Why an entry runs late, once, after a gap: its minute passed while the
// computer slept, while Marlinet was not running, or the clock moved
// forward over it.
enum class Missed { No, Asleep, NotRunning, ClockForward };

// One entry the tick found due.
struct DueLaunch {
  std::string line;  // as written in the list
  LaunchEntry entry;
  int time = 0;           // the minute it was due at, hour x 100 + minute
  bool caughtUp = false;  // a late tick had skipped its minute
  // Seconds from the start of its minute to the tick that found it due,
  // and the runner's elapsed time when the tick handed it over: the two
  // together tell how late the entry is when its turn comes.
  long long age = 0;
  std::uint32_t handedAt = 0;
  bool slept = false;  // its minute passed while the computer slept: told, not run
  // The minute it was due at, with its date: the day a day list is read for.
  long long minute = 0;
  // Run late, once, after a gap: no one's program is ended for it, and
  // however late it is reached it runs.
  Missed missed = Missed::No;
  // The minute of the tick that handed it over, with its date.
  long long tickMinute = 0;
  // The clock moved forward over its minute, from this minute (with its
  // date) to `tickMinute`: told, not run, unless it runs late as missed.
  bool jumped = false;
  long long jumpedFrom = 0;
  // The last entry its tick handed over: that minute's entries are all
  // handled once this one is.
  bool lastOfTick = false;
};

// What happened to one entry.
struct LaunchOutcome {
  DueLaunch launch;
  bool own = false;                    // named this program: nothing was done
  bool slept = false;                  // the computer slept through its minute: nothing was done
  bool jumped = false;                 // the clock moved forward over its minute: nothing was done
  bool daysUnread = false;             // its day list could not be read: nothing was done
  bool quoteMissing = false;           // its program's closing quote is missing: nothing was done
  std::optional<int> lateMinutes;      // reached too late: nothing was done
  bool ending = false;                 // the program ended first: nothing was done
  bool held = false;                   // still waiting on the shell as the program ended
  bool alreadyRunning = false;         // run late, but a program of its name runs: nothing was done
  std::optional<unsigned long> ended;  // the id of the process ended
  OpenResult open;
};

// Runs the due entries of a tick: the launches wait on the shell (an
// elevation prompt, an unreachable network path), so they do not run on the
// thread that strikes the bells.
class LaunchRunner {
 public:
  virtual ~LaunchRunner() = default;
  // Stamps each entry's `handedAt` with its own elapsed time.
  virtual void Start(std::vector<DueLaunch> due) = 0;
  // No entry is started after this; the one under way is waited for, at
  // most `waitMs`, and every entry is accounted for in the outcomes.
  virtual void Stop(unsigned waitMs) { (void)waitMs; }
};

// How long the end of the program waits for an entry under way: an open can
// wait on the shell. "Quit" can afford it; the end of the Windows session
// cannot, since a program that keeps Windows waiting about five seconds for
// its answer may be ended there and then, and its log lines with it.
inline constexpr unsigned kQuitStopWait = 10000;
inline constexpr unsigned kSessionEndStopWait = 3000;

}  // namespace launcher
