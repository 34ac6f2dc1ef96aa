// A small program for the tests to start with arguments: it notes on lines
// of "<its own path>.log" its process id, each argument it received, and
// the folder it was started in, then waits until it is ended (ten minutes
// at the most).
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  if (FILE* log = std::fopen((std::string(path) + ".log").c_str(), "ab")) {
    std::fprintf(log, "started %lu\n", GetCurrentProcessId());
    for (int i = 1; i < argc; ++i) std::fprintf(log, "argument %s\n", argv[i]);
    std::fprintf(log, "folder %s\n", folder);
    std::fclose(log);
  }
  Sleep(10 * 60 * 1000);
  return 3;
}
