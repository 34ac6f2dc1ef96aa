// Where the program lives: every file it reads or writes sits beside it.
#pragma once

#include <string>

namespace ui {

std::string ExecutablePath();
// The executable's folder with its trailing backslash.
std::string ProgramFolder();
bool FileExists(const std::string& path);

}  // namespace ui
