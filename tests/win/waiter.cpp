// A small program for the tests to start, end and start again: it notes each
// start on a line of "<its own path>.log" and then waits until it is ended
// (ten minutes at the most).
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (FILE* log = std::fopen((std::string(path) + ".log").c_str(), "a")) {
    std::fprintf(log, "started %lu\n", GetTickCount());
    std::fclose(log);
  }
  Sleep(10 * 60 * 1000);
  return 3;
}
