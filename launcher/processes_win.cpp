#include "launcher/processes_win.h"

#include <objbase.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <deque>

#include "launcher/launch_list.h"
#include "launcher/launch_tick.h"
#include "launcher/system_folder.h"
#include "ui/handle_win.h"
#include "ui/paths_win.h"
#include "ui/window_win.h"

namespace launcher {
namespace {

// The 8-bit record, as the first systems that had it define it.
static_assert(sizeof(PROCESSENTRY32) == 296);

using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

struct Toolhelp {
  HMODULE kernel = nullptr;
  SnapshotFn snapshot = nullptr;
  WalkFn first = nullptr;
  WalkFn next = nullptr;
};

Toolhelp& Bound() {
  static Toolhelp toolhelp;
  return toolhelp;
}

HANDLE Snapshot() { return BindToolhelp() ? Bound().snapshot(TH32CS_SNAPPROCESS, 0) : nullptr; }
BOOL FirstProcess(HANDLE snapshot, PROCESSENTRY32* entry) {
  return BindToolhelp() && Bound().first ? Bound().first(snapshot, entry) : FALSE;
}
BOOL NextProcess(HANDLE snapshot, PROCESSENTRY32* entry) {
  return BindToolhelp() && Bound().next ? Bound().next(snapshot, entry) : FALSE;
}

// Another user's programs (fast user switching, a remote session) are not
// this user's to end. Where the session cannot be told, the process counts
// as ours, as on systems without sessions.
bool InOurSession(DWORD processId) {
  static const auto sessionOf = ui::LibraryEntry<BOOL(WINAPI*)(DWORD, DWORD*)>(
      GetModuleHandleA("kernel32.dll"), "ProcessIdToSessionId");
  if (!sessionOf) return true;
  static DWORD ours = [] {
    DWORD session = 0;
    return sessionOf(GetCurrentProcessId(), &session) ? session : DWORD(-1);
  }();
  DWORD session = 0;
  return ours == DWORD(-1) || !sessionOf(processId, &session) || session == ours;
}

// The shell's words for an error, on one line and without the full stop.
std::string ErrorText(DWORD error) {
  char text[256] = "";
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, text, sizeof text, nullptr);
  std::string s(text, n);
  while (!s.empty() &&
         (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '.')) {
    s.pop_back();
  }
  for (char& c : s) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return s;
}

// What the shell is asked to open: under WOW64 a System32 path goes through
// Sysnative, or it would reach the 32-bit copies in SysWOW64.
std::string OpenedPath(const std::string& file) {
  static const bool wow64 = [] {
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64 =
        ui::LibraryEntry<IsWow64Fn>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL under = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &under) && under;
  }();
  if (!wow64) return file;
  char windows[MAX_PATH];
  const UINT n = GetSystemWindowsDirectoryA(windows, MAX_PATH);
  WinFileProbe probe;
  return ThroughSysnative(file, n && n < MAX_PATH ? std::string(windows, n) : std::string(), probe);
}

}  // namespace

bool BindToolhelp() {
  Toolhelp& t = Bound();
  if (!t.kernel) {
    t.kernel = GetModuleHandleA("kernel32.dll");
    if (t.kernel) {
      t.snapshot = ui::LibraryEntry<SnapshotFn>(t.kernel, "CreateToolhelp32Snapshot");
      t.first = ui::LibraryEntry<WalkFn>(t.kernel, "Process32First");
      t.next = ui::LibraryEntry<WalkFn>(t.kernel, "Process32Next");
    }
  }
  return t.kernel && t.snapshot;
}

HANDLE FindProcessHandle(const std::string& name, DWORD* id) {
  // Closed however the walk ends.
  ui::KernelHandle snapshot(Snapshot());
  if (!snapshot.Valid()) return nullptr;
  const DWORD self = GetCurrentProcessId();
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = FirstProcess(snapshot.Get(), &entry); more;
       more = NextProcess(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == self || !SameExeName(entry.szExeFile, name) ||
        !InOurSession(entry.th32ProcessID)) {
      continue;
    }
    // One that cannot be opened (another user's, a protected one) is passed
    // over for the next of the same name.
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
      if (id) *id = entry.th32ProcessID;
      return process;
    }
  }
  return nullptr;
}

bool ProcessRunning(const std::string& name) {
  ui::KernelHandle snapshot(Snapshot());
  if (!snapshot.Valid()) return false;
  const DWORD self = GetCurrentProcessId();
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = FirstProcess(snapshot.Get(), &entry); more;
       more = NextProcess(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID != self && SameExeName(entry.szExeFile, name) &&
        InOurSession(entry.th32ProcessID)) {
      return true;
    }
  }
  return false;
}

std::optional<unsigned long> FileKill(const std::string& name) {
  DWORD id = 0;
  ui::KernelHandle process(FindProcessHandle(name, &id));
  if (process.Valid() && TerminateProcess(process.Get(), 0)) return id;
  return std::nullopt;
}

bool WinFileProbe::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WaitDispatching(HANDLE handle, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    // Unsigned arithmetic: right across the counter's wrap.
    const DWORD spent = GetTickCount() - start;
    if (milliseconds != INFINITE && spent >= milliseconds) return false;
    const DWORD count = handle ? 1 : 0;
    const DWORD result = MsgWaitForMultipleObjectsEx(
        count, &handle, milliseconds == INFINITE ? INFINITE : milliseconds - spent, QS_ALLINPUT,
        MWMO_INPUTAVAILABLE);
    if (handle && result == WAIT_OBJECT_0) return true;
    if (result == WAIT_OBJECT_0 + count) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      continue;
    }
    if (result == WAIT_FAILED) {
      // Not to spin: the wait goes on without the messages.
      if (handle)
        return WaitForSingleObject(handle,
                                   milliseconds == INFINITE ? INFINITE : milliseconds - spent) ==
               WAIT_OBJECT_0;
      Sleep(milliseconds - spent);
      return false;
    }
    // Timed out; the loop tells.
  }
}

bool WaitAnsweringSent(HANDLE handle, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  const DWORD count = handle ? 1 : 0;
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= milliseconds) return false;
    const DWORD result =
        MsgWaitForMultipleObjects(count, &handle, FALSE, milliseconds - spent, QS_SENDMESSAGE);
    if (handle && result == WAIT_OBJECT_0) return true;
    if (result == WAIT_OBJECT_0 + count) {
      // Looking is enough: the sent messages are answered on the way, and
      // nothing posted is taken from the queue.
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      continue;
    }
    if (result == WAIT_FAILED) {
      const DWORD rest = milliseconds - (GetTickCount() - start);
      if (!handle) {
        Sleep(rest <= milliseconds ? rest : 0);
        return false;
      }
      return WaitForSingleObject(handle, rest <= milliseconds ? rest : 0) == WAIT_OBJECT_0;
    }
  }
}

// The pause where there is no worker and the entries run on the thread of
// the windows: dispatching there would run bell ticks and "Quit" inside
// the launch tick.
class PlainPause final : public Pause {
 public:
  void Wait(unsigned milliseconds) override { Sleep(milliseconds); }
};

Stamp NowStamp() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// --- The shell ---------------------------------------------------------------

SHELLEXECUTEINFOA OpenRequest(const char* file, const char* parameters, const char* folder) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  // The open is finished before the call returns (the worker may end right
  // after it); %windir% and the like are the shell's to expand in the file
  // and the folder, not in the parameters.
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | SEE_MASK_DOENVSUBST;
  info.hwnd = nullptr;
  info.lpVerb = "open";
  info.lpFile = file;
  info.lpParameters = *parameters ? parameters : nullptr;
  info.lpDirectory = *folder ? folder : nullptr;
  info.nShow = SW_SHOWNORMAL;
  return info;
}

std::string WithEnvironmentNames(const std::string& text) {
  if (text.find('%') == std::string::npos) return text;
  // The ANSI call may ask for one character more than it writes.
  std::string expanded(text.size() + 64, '\0');
  for (int tries = 0; tries < 3; ++tries) {
    const DWORD n =
        ExpandEnvironmentStringsA(text.c_str(), expanded.data(), DWORD(expanded.size()));
    if (n == 0) return text;
    if (n <= expanded.size()) {
      expanded.resize(lstrlenA(expanded.c_str()));
      return expanded;
    }
    expanded.assign(n + 1, '\0');
  }
  return text;
}

OpenResult WinShell::Open(const std::string& file, const std::string& parameters,
                          const std::string& folder) {
  com_.Start();
  const std::string opened = OpenedPath(file);
  const std::string expanded = WithEnvironmentNames(parameters);
  SHELLEXECUTEINFOA info = OpenRequest(opened.c_str(), expanded.c_str(), folder.c_str());
  if (ShellExecuteExA(&info)) return {};
  const DWORD error = GetLastError();
  return {error, ErrorText(error)};
}

bool WinShell::IsOwnProgram(const std::string& file) {
  const std::string own = ui::ExecutablePath();
  const auto ownSlash = own.find_last_of('\\');
  const auto slash = file.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  if (!SameExeName(name, own.substr(ownSlash + 1))) return false;
  // A bare name is looked for beside the program first.
  if (slash == std::string::npos) return true;
  char full[MAX_PATH];
  const DWORD n = GetFullPathNameA(file.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH && lstrcmpiA(full, own.c_str()) == 0;
}

// --- The worker ----------------------------------------------------------------

// What the worker has to tell the owner window, in order. Shared with the
// posted messages, which may come after the runner is gone.
struct WinLaunchRunner::Mailbox {
  CRITICAL_SECTION lock;
  std::deque<std::pair<LaunchOutcome, Stamp>> waiting;
  HWND owner = nullptr;
  Done done;

  Mailbox() { InitializeCriticalSection(&lock); }
  ~Mailbox() { DeleteCriticalSection(&lock); }

  static void Post(const std::shared_ptr<Mailbox>& box, LaunchOutcome outcome) {
    EnterCriticalSection(&box->lock);
    box->waiting.emplace_back(std::move(outcome), NowStamp());
    LeaveCriticalSection(&box->lock);
    if (box->owner) ui::PostCall(box->owner, [box] { box->Deliver(); });
  }
  // On the owner's thread.
  void Deliver() {
    for (;;) {
      EnterCriticalSection(&lock);
      if (waiting.empty()) {
        LeaveCriticalSection(&lock);
        return;
      }
      auto [outcome, at] = std::move(waiting.front());
      waiting.pop_front();
      LeaveCriticalSection(&lock);
      if (done) done(outcome, at);
    }
  }
};

// What the user-interface thread and the worker share: the batches waiting,
// the batch under way, and whether the worker is to end. Freed by whichever
// of the two lets go of it last, since a worker held up in the shell may
// outlive the runner. Each outcome is told by exactly one of the two: the
// worker, until the program's end gives up waiting for it; the end after.
struct WinLaunchRunner::Shared : RunControl {
  CRITICAL_SECTION lock;
  HANDLE wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread = nullptr;
  LONG holders = 1;
  std::deque<std::vector<DueLaunch>> batches;
  std::optional<DueLaunch> current;  // under way
  std::deque<DueLaunch> rest;        // of the batch under way, not begun
  bool stop = false;
  bool abandoned = false;  // the end stopped waiting: the worker tells nothing more
  MakeParts makeParts;
  std::shared_ptr<Mailbox> mailbox;

  Shared() { InitializeCriticalSection(&lock); }
  ~Shared() {
    DeleteCriticalSection(&lock);
    CloseHandle(wake);
    if (thread) CloseHandle(thread);
  }
  void Release() {
    if (InterlockedDecrement(&holders) == 0) delete this;
  }

  bool Stopping() override {
    EnterCriticalSection(&lock);
    const bool stopping = stop;
    LeaveCriticalSection(&lock);
    return stopping;
  }
  void Starting(const DueLaunch& launch) override {
    EnterCriticalSection(&lock);
    current = launch;
    if (!rest.empty()) rest.pop_front();
    LeaveCriticalSection(&lock);
  }
  // Under the lock: the end sees the entry either under way or told.
  void Done(const LaunchOutcome& outcome) override {
    EnterCriticalSection(&lock);
    current.reset();
    if (!abandoned) Mailbox::Post(mailbox, outcome);
    LeaveCriticalSection(&lock);
  }

  // Runs the batches in order until told to end, or, `untilEmpty`, until
  // none is left.
  void Work(bool untilEmpty) {
    WorkerParts parts;
    if (makeParts) {
      parts = makeParts();
    } else {
      std::shared_ptr<Pause> pause;
      if (untilEmpty) {
        pause = std::make_shared<PlainPause>();
      } else {
        pause = std::make_shared<WinPause>();
      }
      parts = {std::make_shared<WinProcessKiller>(), pause, std::make_shared<WinShell>(),
               std::make_shared<WinRunClock>()};
    }
    const RunPorts ports{*parts.killer, *parts.pause, *parts.shell, *parts.clock};
    for (;;) {
      EnterCriticalSection(&lock);
      const bool ending = stop;
      std::vector<DueLaunch> batch;
      if (!ending && !batches.empty()) {
        batch = std::move(batches.front());
        batches.pop_front();
        rest.assign(batch.begin(), batch.end());
      }
      LeaveCriticalSection(&lock);
      if (ending || (batch.empty() && untilEmpty)) return;
      if (batch.empty()) {
        WaitDispatching(wake, INFINITE);
        continue;
      }
      RunLaunches(batch, ports, this);
      // Stopped between two entries: the rest are told as not run.
      EnterCriticalSection(&lock);
      if (!abandoned) {
        for (const DueLaunch& launch : rest) Mailbox::Post(mailbox, Ending(launch));
      }
      rest.clear();
      LeaveCriticalSection(&lock);
    }
  }

  static LaunchOutcome Ending(const DueLaunch& launch) {
    LaunchOutcome outcome;
    outcome.launch = launch;
    outcome.ending = true;
    return outcome;
  }

  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<Shared*>(param);
    self->Work(false);
    self->Release();
    return 0;
  }
};

WinLaunchRunner::WinLaunchRunner(MakeParts makeParts)
    : shared_(new Shared), mailbox_(std::make_shared<Mailbox>()) {
  shared_->makeParts = std::move(makeParts);
  shared_->mailbox = mailbox_;
}

void WinLaunchRunner::SetOwner(HWND owner, Done done) {
  mailbox_->owner = owner;
  mailbox_->done = std::move(done);
}

void WinLaunchRunner::Start(std::vector<DueLaunch> due) {
  if (stopped_) {
    for (const DueLaunch& launch : due) Mailbox::Post(mailbox_, Shared::Ending(launch));
    mailbox_->Deliver();
    return;
  }
  const DWORD now = GetTickCount();
  for (DueLaunch& launch : due) launch.handedAt = now;
  if (!shared_->thread) {
    shared_->holders = 2;  // the worker holds it too
    shared_->thread = CreateThread(nullptr, 0, &Shared::Run, shared_, 0, nullptr);
    if (!shared_->thread) shared_->holders = 1;
  }
  EnterCriticalSection(&shared_->lock);
  shared_->batches.push_back(std::move(due));
  LeaveCriticalSection(&shared_->lock);
  if (shared_->thread) {
    SetEvent(shared_->wake);
  } else {
    // No thread to be had: the launches run here, as they did before there
    // was a worker.
    shared_->Work(true);
  }
}

void WinLaunchRunner::Stop(unsigned wait) {
  if (stopped_) return;
  stopped_ = true;
  EnterCriticalSection(&shared_->lock);
  shared_->stop = true;
  std::deque<std::vector<DueLaunch>> never = std::move(shared_->batches);
  shared_->batches.clear();
  LeaveCriticalSection(&shared_->lock);
  SetEvent(shared_->wake);
  // The entry under way is finished, its end and open together; one held
  // up in the shell longer than that does not hold up the program's end.
  if (shared_->thread && !WaitAnsweringSent(shared_->thread, wait)) {
    EnterCriticalSection(&shared_->lock);
    shared_->abandoned = true;
    const std::optional<DueLaunch> held = shared_->current;
    const std::deque<DueLaunch> rest = std::move(shared_->rest);
    shared_->rest.clear();
    LeaveCriticalSection(&shared_->lock);
    if (held) {
      LaunchOutcome outcome;
      outcome.launch = *held;
      outcome.held = true;
      Mailbox::Post(mailbox_, outcome);
    }
    for (const DueLaunch& launch : rest) Mailbox::Post(mailbox_, Shared::Ending(launch));
  }
  for (const auto& batch : never) {
    for (const DueLaunch& launch : batch) Mailbox::Post(mailbox_, Shared::Ending(launch));
  }
  mailbox_->Deliver();
}

WinLaunchRunner::~WinLaunchRunner() {
  Stop(kQuitStopWait);
  shared_->Release();
}

}  // namespace launcher
