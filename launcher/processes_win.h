// The machine's side of the launcher: ending a running process by its
// executable name, opening files through the shell, and the worker thread
// that does both away from the bells.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "launcher/launch_log.h"
#include "launcher/launch_ports.h"
#include "ui/library_win.h"

namespace launcher {

// Finds the process enumeration in the already loaded "kernel32.dll" once
// and remembers it; false where the system lacks it (the lookup then finds
// nothing, and launching works as before).
bool BindToolhelp();

// The first running process of this session whose executable name equals
// `name` (letter case A to Z and surrounding blanks aside) and that can be
// opened for termination; never this program's own process. Null when there
// is none. The caller closes it; `id` receives its process id.
HANDLE FindProcessHandle(const std::string& name, DWORD* id = nullptr);

// Ends that process with exit code 0 and gives its id; nothing otherwise.
std::optional<unsigned long> FileKill(const std::string& name);

// Whether a process of this session other than this program has that
// executable name, whether or not it could be ended.
bool ProcessRunning(const std::string& name);

class WinProcessKiller final : public ProcessKiller {
 public:
  std::optional<unsigned long> FileKill(const std::string& exeName) override {
    return launcher::FileKill(exeName);
  }
  bool Running(const std::string& exeName) override { return ProcessRunning(exeName); }
};

// "open" with no owner window, shown normally, and no error box of the
// shell's own: a failure is given back. Parameters and a working folder
// only where the entry names a program and its arguments. No owner: a
// prompt of the shell owned by one of the program's windows would disable
// it and join the two threads' input. The shell may hand a document to COM
// handlers on the calling thread: COM is set up there at the first opening
// and ended with this object, on that thread.
class WinShell final : public Shell {
 public:
  WinShell() = default;
  WinShell(const WinShell&) = delete;
  WinShell& operator=(const WinShell&) = delete;
  OpenResult Open(const std::string& file, const std::string& parameters,
                  const std::string& folder) override;
  bool IsOwnProgram(const std::string& file) override;

 private:
  ui::ComApartment com_;
};

// What the shell is asked for an entry's file; an empty `parameters` or
// `folder` is none at all.
SHELLEXECUTEINFOA OpenRequest(const char* file, const char* parameters = "",
                              const char* folder = "");

// The text with each %name% of the environment replaced by its value, as
// the shell does in a file name; a name not set stays as written.
std::string WithEnvironmentNames(const std::string& text);

// The local date and time for the launch log.
Stamp NowStamp();

// Waits for `handle` (none: only the time) until `milliseconds` have passed,
// handing on the thread's window messages meanwhile: a thread in a
// single-threaded apartment that stops dispatching hangs every program that
// broadcasts to it with SendMessage. True when the handle was signalled.
bool WaitDispatching(HANDLE handle, DWORD milliseconds);

// Waits for `handle` until `milliseconds` have passed, answering only the
// messages other threads send to this thread's windows: posted ones (a
// timer, a click) stay queued for the message loop. True when signalled.
bool WaitAnsweringSent(HANDLE handle, DWORD milliseconds);

class WinPause final : public Pause {
 public:
  void Wait(unsigned milliseconds) override { WaitDispatching(nullptr, milliseconds); }
};

// The system's tick count: it counts the time asleep and ignores every
// setting of the clock.
class WinRunClock final : public RunClock {
 public:
  std::uint32_t ElapsedMs() override { return GetTickCount(); }
};

class WinFileProbe final : public FileProbe {
 public:
  bool FileExists(const std::string& path) override;
};

// What the worker runs the entries with; made and ended on the worker
// thread, since the shell sets up COM on the thread that uses it.
struct WorkerParts {
  std::shared_ptr<ProcessKiller> killer;
  std::shared_ptr<Pause> pause;
  std::shared_ptr<Shell> shell;
  std::shared_ptr<RunClock> clock;
};

// Runs the due entries on one worker thread, batch after batch in the order
// the ticks handed them over, while the bells and the clocks go on. What
// happened to each entry, and when, is handed to `done` on the owner
// window's thread.
// The thread starts with the first batch; the owner is set before it.
class WinLaunchRunner final : public LaunchRunner {
 public:
  using Done = std::function<void(const LaunchOutcome&, const Stamp&)>;
  using MakeParts = std::function<WorkerParts()>;
  // Without `makeParts`, the machine's own.
  explicit WinLaunchRunner(MakeParts makeParts = nullptr);
  ~WinLaunchRunner() override;
  WinLaunchRunner(const WinLaunchRunner&) = delete;
  WinLaunchRunner& operator=(const WinLaunchRunner&) = delete;

  void SetOwner(HWND owner, Done done);
  // After a stop, the entries are told at once as not run.
  void Start(std::vector<DueLaunch> due) override;
  // No entry starts after this; the one under way is waited for, at most
  // `wait` ms, and told as held if it is not done by then; the entries never
  // reached are told as not run. Then `done` hears, on this thread, all it
  // was not told yet: once the message loop has ended, nothing else will.
  // While it waits, this thread answers what is sent to its windows: the
  // open under way may be waiting on one of them.
  void Stop() { Stop(kQuitStopWait); }
  void Stop(unsigned wait) override;

 private:
  struct Shared;
  struct Mailbox;
  Shared* shared_;
  std::shared_ptr<Mailbox> mailbox_;
  bool stopped_ = false;
};

}  // namespace launcher
