// The machine's side of the launcher: ending a running process by its
// executable name, opening files through the shell, and the worker thread
// that does both away from the bells.
#pragma once

#include <windows.h>

#include <functional>
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

class WinProcessKiller final : public ProcessKiller {
 public:
  std::optional<unsigned long> FileKill(const std::string& exeName) override {
    return launcher::FileKill(exeName);
  }
};

// "open" with the owner window, no parameters and no folder, shown normally,
// and no error box of the shell's own: a failure is given back. The shell
// may hand a document to COM handlers on the calling thread: COM is set up
// there at the first opening and ended with this object, on that thread.
class WinShell final : public Shell {
 public:
  explicit WinShell(HWND owner) : owner_(owner) {}
  ~WinShell() override;
  WinShell(const WinShell&) = delete;
  WinShell& operator=(const WinShell&) = delete;
  OpenResult Open(const std::string& file) override;
  bool IsOwnProgram(const std::string& file) override;

 private:
  void StartCom();

  HWND owner_;
  ui::LazyLibrary ole_{"ole32.dll"};
  bool comTried_ = false;
  bool comStarted_ = false;
};

// The local date and time for the launch log.
Stamp NowStamp();

class WinPause final : public Pause {
 public:
  void Wait(unsigned milliseconds) override { Sleep(milliseconds); }
};

// Runs the due entries on one worker thread, batch after batch in the order
// the ticks handed them over, while the bells and the clocks go on. What
// happened to each entry, and when, is handed to `done` on the owner
// window's thread.
// The thread starts with the first batch; the owner is set before it.
class WinLaunchRunner final : public LaunchRunner {
 public:
  using Done = std::function<void(const LaunchOutcome&, const Stamp&)>;
  WinLaunchRunner();
  ~WinLaunchRunner() override;
  WinLaunchRunner(const WinLaunchRunner&) = delete;
  WinLaunchRunner& operator=(const WinLaunchRunner&) = delete;

  void SetOwner(HWND owner, Done done);
  void Start(std::vector<DueLaunch> due) override;

 private:
  struct Shared;
  Shared* shared_;
};

}  // namespace launcher
