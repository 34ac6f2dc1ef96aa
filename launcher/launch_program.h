// A file field that opens with '"' names a program and its arguments:
// ["C:\Tools\backup.exe" --full D:\]. No Windows file name holds a '"', so
// no field written before this form meant anything else by it; every other
// field is opened as it stands.
#pragma once

#include <string>
#include <string_view>

namespace launcher {

struct ProgramParts {
  std::string program;    // what the shell opens
  std::string arguments;  // handed to it as written, quotes and all; empty for none
  // Where it starts: the program's own folder, environment names and all;
  // empty where the program names no folder, and for a field as it stands.
  std::string folder;
  // What a running copy is known by: the program's file name, never the
  // arguments.
  std::string exeName;
  bool quoted = false;        // the field names a program and its arguments
  bool quoteMissing = false;  // it opens with '"' that nothing closes: never opened
};

// The program is what lies between the field's first '"' and the next; the
// arguments are the rest, less the blanks at both ends.
ProgramParts SplitProgramField(std::string_view field);

}  // namespace launcher
