// The machine's side of the launch tick: ending a running process by its
// executable name, opening files through the shell, and the pause.
#pragma once

#include <windows.h>

#include <string>

#include "launcher/launch_ports.h"
#include "ui/library_win.h"

namespace launcher {

// Finds the process enumeration in the already loaded "kernel32.dll" once
// and remembers it; false where the system lacks it (the lookup then finds
// nothing, and launching works as before).
bool BindToolhelp();

// The first running process whose executable name equals `name` (letter
// case A to Z and surrounding blanks aside), opened for termination; null
// when there is none or it cannot be opened. The caller closes it.
HANDLE FindProcessHandle(const std::string& name);

// Ends that process with exit code 0; reports nothing in any case.
void FileKill(const std::string& name);

class WinProcessKiller final : public ProcessKiller {
 public:
  void FileKill(const std::string& exeName) override { launcher::FileKill(exeName); }
};

// "open" with the owner window, no parameters and no folder, shown normally.
// The shell may hand a document to COM handlers on this thread: COM is set
// up at the first opening, so its libraries are not loaded before a launch
// needs them, and ended with this object.
class WinShell final : public Shell {
 public:
  WinShell() = default;
  ~WinShell() override;
  void SetOwner(HWND owner) { owner_ = owner; }
  void Open(const std::string& file) override;

 private:
  void StartCom();

  HWND owner_ = nullptr;
  ui::LazyLibrary ole_{"ole32.dll"};
  bool comTried_ = false;
  bool comStarted_ = false;
};

class WinPause final : public Pause {
 public:
  void Wait(unsigned milliseconds) override { Sleep(milliseconds); }
};

}  // namespace launcher
