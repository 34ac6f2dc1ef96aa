// A small program for the tests to start, end and start again: it notes each
// start on a line of "<its own path>.log" (the tick count, then the wall
// clock in ms since 1970, as this process reads it) and then waits until it
// is ended (ten minutes at the most).
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/common/wall_clock_win.h"

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (FILE* log = std::fopen((std::string(path) + ".log").c_str(), "a")) {
    std::fprintf(log, "started %lu %llu\n", GetTickCount(), testutil::WallClockMs());
    std::fclose(log);
  }
  Sleep(10 * 60 * 1000);
  return 3;
}
