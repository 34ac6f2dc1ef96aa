// What the launcher needs of the machine: opening a program or document
// through the shell, ending a running process by executable name, a pause,
// and someone to run the due entries away from the user-interface thread.
// The Win32 layer implements them; tests fake them.
#pragma once

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
  // Opens the file with the verb "open", without waiting for the program.
  virtual OpenResult Open(const std::string& file) = 0;
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
};

class Pause {
 public:
  virtual ~Pause() = default;
  virtual void Wait(unsigned milliseconds) = 0;
};

// The local date and time where the entries run, as seconds on one line
// (base::MinutesSinceEpoch x 60 plus the second), so that an entry can tell
// how long after its minute it is reached.
class RunClock {
 public:
  virtual ~RunClock() = default;
  virtual long long SecondsNow() = 0;
};

// Whether a file exists, as the program itself sees the path.
class FileProbe {
 public:
  virtual ~FileProbe() = default;
  virtual bool FileExists(const std::string& path) = 0;
};

// One entry the tick found due.
struct DueLaunch {
  std::string line;  // as written in the list
  LaunchEntry entry;
  int time = 0;           // the minute it was due at, hour x 100 + minute
  bool caughtUp = false;  // a late tick had skipped its minute
  long long minute = 0;   // that minute with its date (base::MinutesSinceEpoch)
};

// What happened to one entry.
struct LaunchOutcome {
  DueLaunch launch;
  bool own = false;                    // named this program: nothing was done
  std::optional<int> lateMinutes;      // reached too late: nothing was done
  bool ending = false;                 // the program ended first: nothing was done
  bool held = false;                   // still waiting on the shell as the program ended
  std::optional<unsigned long> ended;  // the id of the process ended
  OpenResult open;
};

// Runs the due entries of a tick: the launches wait on the shell (an
// elevation prompt, an unreachable network path), so they do not run on the
// thread that strikes the bells.
class LaunchRunner {
 public:
  virtual ~LaunchRunner() = default;
  virtual void Start(std::vector<DueLaunch> due) = 0;
  // No entry is started after this; the one under way is finished.
  virtual void Stop() {}
};

}  // namespace launcher
