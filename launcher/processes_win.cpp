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
  return ThroughSysnative(file, n && n < MAX_PATH ? std::string(windows, n) : std::string());
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

std::optional<unsigned long> FileKill(const std::string& name) {
  DWORD id = 0;
  ui::KernelHandle process(FindProcessHandle(name, &id));
  if (process.Valid() && TerminateProcess(process.Get(), 0)) return id;
  return std::nullopt;
}

Stamp NowStamp() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// --- The shell ---------------------------------------------------------------

void WinShell::StartCom() {
  if (comTried_) return;
  comTried_ = true;
  using InitFn = HRESULT(WINAPI*)(void*, DWORD);
  if (auto init = ole_.Entry<InitFn>("CoInitializeEx")) {
    comStarted_ = SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }
}

WinShell::~WinShell() {
  using EndFn = void(WINAPI*)();
  if (!comStarted_) return;
  if (auto end = ole_.Entry<EndFn>("CoUninitialize")) end();
}

OpenResult WinShell::Open(const std::string& file) {
  StartCom();
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner_;
  info.lpVerb = "open";
  const std::string opened = OpenedPath(file);
  info.lpFile = opened.c_str();
  info.nShow = SW_SHOWNORMAL;
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

// What the user-interface thread and the worker share: the batches waiting,
// and whether the worker is to end. Freed by whichever of the two lets go of
// it last, since a worker held up in the shell may outlive the runner.
struct WinLaunchRunner::Shared {
  CRITICAL_SECTION lock;
  HANDLE wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread = nullptr;
  LONG holders = 1;
  std::deque<std::vector<DueLaunch>> batches;
  bool stop = false;
  HWND owner = nullptr;
  Done done;

  Shared() { InitializeCriticalSection(&lock); }
  ~Shared() {
    DeleteCriticalSection(&lock);
    CloseHandle(wake);
    if (thread) CloseHandle(thread);
  }
  void Release() {
    if (InterlockedDecrement(&holders) == 0) delete this;
  }

  // Runs the batches in order until told to end, or, `untilEmpty`, until
  // none is left; what happened to each entry goes to the owner window.
  void Work(bool untilEmpty) {
    WinProcessKiller killer;
    WinPause pause;
    WinShell shell(owner);
    for (;;) {
      EnterCriticalSection(&lock);
      const bool ending = stop;
      std::vector<DueLaunch> batch;
      if (!ending && !batches.empty()) {
        batch = std::move(batches.front());
        batches.pop_front();
      }
      LeaveCriticalSection(&lock);
      if (ending || (batch.empty() && untilEmpty)) return;
      if (batch.empty()) {
        WaitForSingleObject(wake, INFINITE);
        continue;
      }
      RunLaunches(batch, killer, pause, shell, [this](const LaunchOutcome& outcome) {
        if (!done) return;
        ui::PostCall(owner, [done = done, outcome, at = NowStamp()] { done(outcome, at); });
      });
    }
  }

  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<Shared*>(param);
    self->Work(false);
    self->Release();
    return 0;
  }
};

WinLaunchRunner::WinLaunchRunner() : shared_(new Shared) {}

void WinLaunchRunner::SetOwner(HWND owner, Done done) {
  shared_->owner = owner;
  shared_->done = std::move(done);
}

void WinLaunchRunner::Start(std::vector<DueLaunch> due) {
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

WinLaunchRunner::~WinLaunchRunner() {
  EnterCriticalSection(&shared_->lock);
  shared_->stop = true;
  LeaveCriticalSection(&shared_->lock);
  SetEvent(shared_->wake);
  // An entry still waiting on the shell does not hold up the program's end.
  if (shared_->thread) WaitForSingleObject(shared_->thread, 2000);
  shared_->Release();
}

}  // namespace launcher
