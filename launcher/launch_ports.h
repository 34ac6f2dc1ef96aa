// What the launch tick needs of the machine: opening a program or document
// through the shell, ending a running process by executable name, and a
// pause. The Win32 layer implements them; tests fake them.
#pragma once

#include <string>

namespace launcher {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens the file with the verb "open", without waiting; what the shell
  // makes of it is not examined.
  virtual void Open(const std::string& file) = 0;
};

class ProcessKiller {
 public:
  virtual ~ProcessKiller() = default;
  // Ends the first running process of that executable name with exit code
  // 0; nothing at all when there is none or it cannot be ended.
  virtual void FileKill(const std::string& exeName) = 0;
};

class Pause {
 public:
  virtual ~Pause() = default;
  virtual void Wait(unsigned milliseconds) = 0;
};

}  // namespace launcher
