#include "launcher/processes_win.h"

#include <objbase.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include "launcher/launch_list.h"
#include "launcher/system_folder.h"
#include "ui/handle_win.h"

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

HANDLE FindProcessHandle(const std::string& name) {
  // Closed however the walk ends.
  ui::KernelHandle snapshot(Snapshot());
  if (!snapshot.Valid()) return nullptr;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = FirstProcess(snapshot.Get(), &entry); more;
       more = NextProcess(snapshot.Get(), &entry)) {
    if (SameExeName(entry.szExeFile, name)) {
      return OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
    }
  }
  return nullptr;
}

void FileKill(const std::string& name) {
  ui::KernelHandle process(FindProcessHandle(name));
  if (process.Valid()) TerminateProcess(process.Get(), 0);
}

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

void WinShell::Open(const std::string& file) {
  StartCom();
  ShellExecuteA(owner_, "open", OpenedPath(file).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace launcher
