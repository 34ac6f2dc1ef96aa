// A small program for the tests to start, end and start again: it notes each
// start on a line of "<its own path>.log" (the tick count, then the wall
// clock in ms since 1970, as this process reads it) and then waits until it
// is ended (ten minutes at the most).
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (FILE* log = std::fopen((std::string(path) + ".log").c_str(), "a")) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    std::fprintf(log, "started %lu %llu\n", GetTickCount(),
                 (ticks - 116444736000000000ULL) / 10000);
    std::fclose(log);
  }
  Sleep(10 * 60 * 1000);
  return 3;
}
