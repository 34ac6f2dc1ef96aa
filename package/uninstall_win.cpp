// Marlinet's uninstall.exe: what Settings > Apps and a package manager run.
//
// The uninstaller proper (uninstall.bin, written by the setup) cannot run
// from the folder it removes, since a running program's file cannot be
// deleted. This small program runs a copy of it from the temporary folder,
// in place of the folder (its "_?=" switch, which comes last), waits for it
// and returns its exit code, so that a caller waiting for uninstall.exe
// learns what happened. Once the uninstaller has removed the program, this
// file moves itself out (a running program's file may be moved, not
// deleted) and the folder goes when nothing of the person's is left in it.
// Its switches (/S) are handed on as given.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

// The command line after the program's own name, as it was given.
std::wstring Arguments() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

bool Silent(const std::wstring& arguments) {
  size_t at = 0;
  while ((at = arguments.find(L"/S", at)) != std::wstring::npos) {
    const bool starts = at == 0 || arguments[at - 1] == L' ';
    const bool ends = at + 2 == arguments.size() || arguments[at + 2] == L' ';
    if (starts && ends) return true;
    at += 2;
  }
  return false;
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  return n > 0 && n <= MAX_PATH ? std::wstring(temp, n) : std::wstring();
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Once it has removed Marlinet, this program moves itself into the
// temporary folder under this name and its process id: a running
// program's file cannot be deleted, not even by itself. Each later
// uninstall removes what earlier ones left, by that exact name alone.
constexpr wchar_t kLeftoverPrefix[] = L"Marlinet-uninstalled-";

bool IsLeftover(const std::wstring& name) {
  const std::wstring prefix = kLeftoverPrefix;
  const std::wstring suffix = L".exe";
  if (name.size() <= prefix.size() + suffix.size()) return false;
  if (_wcsnicmp(name.c_str(), prefix.c_str(), prefix.size()) != 0) return false;
  if (_wcsicmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) != 0) return false;
  for (size_t i = prefix.size(); i < name.size() - suffix.size(); ++i) {
    if (name[i] < L'0' || name[i] > L'9') return false;
  }
  return true;
}

// The search also matches short (8.3) names, so each long name is checked.
void RemoveEarlierLeftovers(const std::wstring& temp) {
  WIN32_FIND_DATAW found;
  const std::wstring pattern = temp + kLeftoverPrefix + L"*.exe";
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    // One still running (a clean-up copy at work) stays until the next time.
    if (IsLeftover(found.cFileName)) DeleteFileW((temp + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// The exit codes the uninstaller proper gives besides its own: 2, as NSIS
// gives for a script that aborted, when it could not even be started.
constexpr DWORD kNotStarted = 2;

// "/cleanup <id> <folder>": a copy of this program in the temporary folder,
// started where uninstall.exe could not move itself away (a temporary
// folder on another drive). Once the process <id> has ended, its file goes,
// and the folder with it if nothing else is left.
int CleanUp(const std::wstring& arguments) {
  const size_t space = arguments.find(L' ', 9);
  if (space == std::wstring::npos) return kNotStarted;
  const DWORD id = static_cast<DWORD>(std::wcstoul(arguments.c_str() + 9, nullptr, 10));
  const std::wstring folder = arguments.substr(space + 1);
  if (HANDLE starter = OpenProcess(SYNCHRONIZE, FALSE, id)) {
    WaitForSingleObject(starter, 30000);
    CloseHandle(starter);
  }
  const std::wstring starterFile = folder + L"\\uninstall.exe";
  for (int tries = 0; tries < 20 && Exists(starterFile); ++tries) {
    if (DeleteFileW(starterFile.c_str())) break;
    Sleep(250);
  }
  RemoveDirectoryW(folder.c_str());
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring given = Arguments();
  if (given.compare(0, 9, L"/cleanup ") == 0) return CleanUp(given);
  const std::wstring self = ModulePath();
  const auto slash = self.find_last_of(L'\\');
  if (slash == std::wstring::npos) return kNotStarted;
  const std::wstring folder = self.substr(0, slash);
  const std::wstring uninstaller = folder + L"\\uninstall.bin";
  const std::wstring temp = TempFolder();
  const bool silent = Silent(Arguments());
  auto say = [&](const wchar_t* text) {
    if (!silent) MessageBoxW(nullptr, text, L"Marlinet", MB_OK | MB_ICONSTOP);
  };
  if (!Exists(uninstaller) || temp.empty()) {
    say(L"Marlinet's uninstaller (uninstall.bin) is missing from its folder.");
    return kNotStarted;
  }

  RemoveEarlierLeftovers(temp);

  // A name of its own, so two uninstalls never share the copy.
  const std::wstring copy =
      temp + L"Marlinet-uninstall-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  if (!CopyFileW(uninstaller.c_str(), copy.c_str(), FALSE)) {
    say(L"Marlinet's uninstaller could not be copied to the temporary folder.");
    return kNotStarted;
  }
  std::wstring line = L"\"" + copy + L"\" " + Arguments();
  while (!line.empty() && line.back() == L' ') line.pop_back();
  line += L" _?=" + folder;
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, temp.c_str(),
                      &start, &process)) {
    DeleteFileW(copy.c_str());
    say(L"Marlinet's uninstaller could not be started.");
    return kNotStarted;
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = kNotStarted;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  DeleteFileW(copy.c_str());

  // The uninstaller removes uninstall.bin last of the program's files, and
  // only when it has removed the program.
  if (code == 0 && !Exists(uninstaller)) {
    const std::wstring away =
        temp + kLeftoverPrefix + std::to_wstring(GetCurrentProcessId()) + L".exe";
    SetCurrentDirectoryW(temp.c_str());
    // A running program's file moves within its drive only. With the
    // temporary folder on another drive, a copy there removes this file
    // once this process has ended.
    if (MoveFileExW(self.c_str(), away.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      RemoveDirectoryW(folder.c_str());
    } else if (CopyFileW(self.c_str(), away.c_str(), FALSE)) {
      std::wstring cleanup =
          L"\"" + away + L"\" /cleanup " + std::to_wstring(GetCurrentProcessId()) + L" " + folder;
      STARTUPINFOW helperStart{};
      helperStart.cb = sizeof helperStart;
      PROCESS_INFORMATION helper{};
      if (CreateProcessW(away.c_str(), cleanup.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         temp.c_str(), &helperStart, &helper)) {
        CloseHandle(helper.hThread);
        CloseHandle(helper.hProcess);
      }
    }
  }
  return static_cast<int>(code);
}
