// What the launch tick needs of the machine: opening a program or document
// through the shell, and finding and ending running processes by executable
// name. The Win32 layer implements them; tests fake them.
#pragma once

#include <string>
#include <vector>

namespace launcher {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens the file with the verb "open"; false when the shell refused.
  virtual bool Open(const std::string& file) = 0;
};

struct RunningProcess {
  unsigned long id = 0;
  std::string exeName;  // the executable's file name, as the process list gives it
};

class Processes {
 public:
  virtual ~Processes() = default;
  virtual std::vector<RunningProcess> List() = 0;
  // False when the process could not be opened or ended.
  virtual bool Terminate(unsigned long id) = 0;
};

}  // namespace launcher
