// Ending a running program by its executable name, against real processes.
#include "launcher/processes_win.h"

#include <gtest/gtest.h>

#include "ui/handle_win.h"
#include "ui/paths_win.h"

namespace launcher {
namespace {

struct Child {
  PROCESS_INFORMATION info{};
  explicit Child(const std::string& exe) {
    STARTUPINFOA start{};
    start.cb = sizeof start;
    std::string command = "\"" + exe + "\"";
    started = CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &start, &info) != FALSE;
  }
  ~Child() {
    if (!started) return;
    TerminateProcess(info.hProcess, 9);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  bool Running() const { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    WaitForSingleObject(info.hProcess, 5000);
    DWORD code = 99;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
  bool started = false;
};

TEST(Processes, FileKillEndsTheFirstInstanceByNameWithExitCodeZero) {
  ASSERT_TRUE(BindToolhelp());
  const std::string waiter = ui::ProgramFolder() + "waiter.exe";
  Child first(waiter), second(waiter);
  ASSERT_TRUE(first.started && second.started);
  Sleep(300);
  EXPECT_EQ(FindProcessHandle("no-such-program.exe"), nullptr);
  {
    ui::KernelHandle found(FindProcessHandle(" \tWAITER.exe "));
    EXPECT_TRUE(found.Valid());
  }
  FileKill("  Waiter.EXE");
  // Exactly one of the two ended, and with exit code 0.
  Sleep(500);
  EXPECT_NE(first.Running(), second.Running());
  EXPECT_EQ((first.Running() ? second : first).ExitCode(), 0u);
}

}  // namespace
}  // namespace launcher
