// Texts the application object derives: its title and its error box text.
#pragma once

#include <string>

namespace base {

// The title is the executable's name without folder and without everything
// from its first "." on, every character but the first in lower case
// ("C:\\Ships\\ABC.EXE" gives "Abc"). The name must already be in the ANSI code
// page; lower-casing follows Windows-1252.
std::string TitleFromExecutablePath(const std::string& path);

// Messages ending in a letter or digit (anything sorting after ".") get a full
// stop; those ending in punctuation are left as they are.
std::string WithFullStop(const std::string& message);

// The name of the mutex that keeps one copy of the program per folder: the
// same for every spelling of one folder (letter case, "/" or "\\", a final
// separator or none), short enough for any system, with no "\\" in it.
std::string InstanceMutexName(const std::string& folder);

// Whether the command line (without the program's own name) holds the quit
// switch, "/quit" or "-quit" in any letter case, as one word of its own.
bool AsksToQuit(const std::string& commandLine);

}  // namespace base
