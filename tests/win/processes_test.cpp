// Ending a running program by its executable name, against real processes.
#include "launcher/processes_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "launcher/launch_tick.h"
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

// The text of a file, empty while there is none.
std::string FileText(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

// How many times `part` stands in `text`.
size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

bool WaitLong(const std::function<bool()>& done) {
  for (int i = 0; i < 300 && !done(); ++i) Sleep(100);
  return done();
}

// An entry names a program and two arguments, one holding a blank: the
// program gets them as written and starts in its own folder. The same
// program named again, by environment names, with other arguments, ends
// the running copy by its file name and starts anew.
TEST(Processes, AQuotedProgramGetsItsArgumentsStartsInItsFolderAndIsEndedByName) {
  const std::string folder = ui::ProgramFolder() + "arg test";
  const std::string program = folder + "\\showargs.exe", log = program + ".log";
  CreateDirectoryA(folder.c_str(), nullptr);
  while (FileKill("showargs.exe")) Sleep(200);
  ASSERT_TRUE(CopyFileA((ui::ProgramFolder() + "showargs.exe").c_str(), program.c_str(), FALSE));
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("MARLINET_ARG_TEST", folder.c_str());

  WinProcessKiller killer;
  WinPause pause;
  WinShell shell;
  WinRunClock clock;
  struct Told : RunControl {
    std::vector<LaunchOutcome> outcomes;
    void Done(const LaunchOutcome& o) override { outcomes.push_back(o); }
  } told;
  const auto run = [&](const std::string& line) {
    DueLaunch due{line, ParseLaunchLine(line), 600};
    due.handedAt = clock.ElapsedMs();
    RunLaunches({due}, {killer, pause, shell, clock}, &told);
  };

  run("[0600][\"" + program + "\" one \"two three\"]");
  ASSERT_TRUE(WaitLong([&] { return Count(FileText(log), "folder ") == 1; })) << FileText(log);
  DWORD first = 0;
  ASSERT_EQ(std::sscanf(FileText(log).c_str(), "started %lu", &first), 1);
  ui::KernelHandle firstCopy(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, first));
  ASSERT_TRUE(firstCopy.Valid());

  run("[0600][\"%MARLINET_ARG_TEST%\\showargs.exe\" again \"%MARLINET_ARG_TEST%\"]");
  ASSERT_TRUE(WaitLong([&] { return Count(FileText(log), "folder ") == 2; })) << FileText(log);
  DWORD second = 0;
  const std::string text = FileText(log);
  std::sscanf(text.c_str() + text.rfind("started "), "started %lu", &second);
  EXPECT_EQ(text, "started " + std::to_string(first) +
                      "\nargument one\nargument two three\nfolder " + folder + "\nstarted " +
                      std::to_string(second) + "\nargument again\nargument " + folder +
                      "\nfolder " + folder + "\n");
  ASSERT_EQ(told.outcomes.size(), 2u);
  EXPECT_EQ(told.outcomes[0].ended, std::nullopt);
  EXPECT_EQ(told.outcomes[0].open.error, 0u) << told.outcomes[0].open.text;
  EXPECT_EQ(told.outcomes[1].ended, std::optional<unsigned long>(first));
  EXPECT_EQ(WaitForSingleObject(firstCopy.Get(), 5000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(firstCopy.Get(), &code);
  EXPECT_EQ(code, 0u);

  while (FileKill("showargs.exe")) Sleep(200);
  Sleep(300);
  DeleteFileA(program.c_str());
  DeleteFileA(log.c_str());
  RemoveDirectoryA(folder.c_str());
}

// The worker's parts: each step recorded; an open of "held" waits until it
// is released, as an open waiting on a person would.
struct Steps final : ProcessKiller, Pause, Shell, RunClock {
  CRITICAL_SECTION lock;
  std::vector<std::string> calls;
  HWND answerer = nullptr;  // a window of the thread that ends the runner
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Steps() { InitializeCriticalSection(&lock); }
  ~Steps() override {
    CloseHandle(release);
    DeleteCriticalSection(&lock);
  }
  void Record(const std::string& call) {
    EnterCriticalSection(&lock);
    calls.push_back(call);
    LeaveCriticalSection(&lock);
  }
  bool Saw(const std::string& call) {
    EnterCriticalSection(&lock);
    const bool saw = std::find(calls.begin(), calls.end(), call) != calls.end();
    LeaveCriticalSection(&lock);
    return saw;
  }
  std::optional<unsigned long> FileKill(const std::string& name) override {
    Record("kill " + name);
    return std::nullopt;
  }
  bool Running(const std::string& name) override {
    Record("running? " + name);
    return false;
  }
  void Wait(unsigned ms) override { Record("pause " + std::to_string(ms)); }
  OpenResult Open(const std::string& file, const std::string&, const std::string&) override {
    Record("open " + file);
    if (file == "held") WaitForSingleObject(release, 10000);
    // As the shell's own conversation with the program's windows would.
    DWORD_PTR answer = 0;
    if (file == "sends" &&
        !SendMessageTimeoutA(answerer, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer)) {
      return {1460, "timed out"};
    }
    return {};
  }
  bool IsOwnProgram(const std::string&) override { return false; }
  std::uint32_t ElapsedMs() override { return GetTickCount(); }
};

// Handed over `age` seconds after its minute began.
DueLaunch Due(const std::string& line, long long age = 5) {
  return {line, ParseLaunchLine(line), 600, false, age};
}

std::string Told(const LaunchOutcome& o) {
  const std::string file = o.launch.entry.file;
  if (o.lateMinutes) return file + " late " + std::to_string(*o.lateMinutes);
  if (o.ending) return file + " ending";
  if (o.held) return file + " held";
  return file + (o.open.error ? " failed" : " opened");
}

DWORD WINAPI AnswerLater(void* release) {
  Sleep(300);
  SetEvent(static_cast<HANDLE>(release));
  return 0;
}

struct Paused {
  HWND window = nullptr;
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

DWORD WINAPI PauseWithAWindow(void* param) {
  auto* p = static_cast<Paused*>(param);
  p->window =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetEvent(p->ready);
  WinPause().Wait(3000);
  DestroyWindow(p->window);
  return 0;
}

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
  return done();
}

TEST(LaunchWorker, RunsInOrderSkipsTheStaleAndNeverSplitsAnEntryWhenStopped) {
  auto steps = std::make_shared<Steps>();
  const auto parts = [steps] { return WorkerParts{steps, steps, steps, steps}; };
  std::vector<std::string> told;
  const auto tell = [&told](const LaunchOutcome& o, const Stamp&) { told.push_back(Told(o)); };
  {
    WinLaunchRunner runner(parts);
    runner.SetOwner(nullptr, tell);
    runner.Start({Due("[0600][a]"), Due("[0600][b]")});
    runner.Start({Due("[0550][stale]", 601)});  // ten minutes and a second behind
    runner.Start({Due("[0600][held]"), Due("[0600][c]")});
    ASSERT_TRUE(WaitFor([&] { return steps->Saw("open held"); }));
    // "Quit" while the open waits; it is answered a moment later.
    HANDLE answer = CreateThread(nullptr, 0, &AnswerLater, steps->release, 0, nullptr);
    runner.Stop(5000);
    WaitForSingleObject(answer, 5000);
    CloseHandle(answer);
    EXPECT_EQ(steps->calls,
              (std::vector<std::string>{"kill a", "pause 1000", "open a", "kill b", "pause 1000",
                                        "open b", "kill held", "pause 1000", "open held"}));
    EXPECT_EQ(told, (std::vector<std::string>{"a opened", "b opened", "stale late 11",
                                              "held opened", "c ending"}));
  }
  // Held longer than the end waits: told as held, the rest of its batch as
  // not run, and nothing after it runs; a tick after the end is told too.
  ResetEvent(steps->release);
  steps->calls.clear();
  told.clear();
  {
    WinLaunchRunner runner(parts);
    runner.SetOwner(nullptr, tell);
    runner.Start({Due("[0600][held]"), Due("[0600][d]")});
    ASSERT_TRUE(WaitFor([&] { return steps->Saw("open held"); }));
    runner.Stop(200);
    runner.Start({Due("[0601][e]")});
    EXPECT_EQ(told, (std::vector<std::string>{"held held", "d ending", "e ending"}));
    SetEvent(steps->release);
    Sleep(200);
    EXPECT_FALSE(steps->Saw("kill d"));
  }
  // An open that waits on a window of the ending thread is answered while
  // the end waits, and finishes.
  steps->answerer =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  told.clear();
  WinLaunchRunner runner(parts);
  runner.SetOwner(nullptr, tell);
  runner.Start({Due("[0600][sends]"), Due("[0600][f]")});
  ASSERT_TRUE(WaitFor([&] { return steps->Saw("open sends"); }));
  runner.Stop(1000);
  EXPECT_EQ(told, (std::vector<std::string>{"sends opened", "f ending"}));
  DestroyWindow(steps->answerer);
}

// The worker's waits hand on messages sent to its windows: a program that
// broadcasts with SendMessage is not held up by it.
TEST(LaunchWorker, APauseAnswersMessagesSentFromAnotherThread) {
  Paused paused;
  HANDLE thread = CreateThread(nullptr, 0, &PauseWithAWindow, &paused, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(paused.ready, 5000), WAIT_OBJECT_0);
  ASSERT_NE(paused.window, nullptr);
  DWORD_PTR answer = 0;
  const DWORD before = GetTickCount();
  EXPECT_NE(SendMessageTimeoutA(paused.window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer), 0);
  EXPECT_LT(GetTickCount() - before, 1000u);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  CloseHandle(paused.ready);
  // The shell is asked to finish the open before it returns, with no owner
  // window, to expand %windir%, and to show no box of its own.
  const SHELLEXECUTEINFOA request = OpenRequest("%windir%\\notepad.exe");
  EXPECT_EQ(request.fMask, ULONG(SEE_MASK_NOASYNC | SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI));
  EXPECT_EQ(request.hwnd, nullptr);
  EXPECT_STREQ(request.lpVerb, "open");
  EXPECT_EQ(request.nShow, SW_SHOWNORMAL);
}

}  // namespace
}  // namespace launcher
