// Finds the program's windows from another process on the same Wine desktop
// and reads or presses them the way a person would see and press them.
//
//   driver list
//   driver balloons                        the text of each tip or balloon the shell shows,
//                                          one a line (its line breaks as \n)
//   driver wait <class> <title> [ms]       a visible top-level window appears
//   driver wait-gone <class> [ms]          no window of that class is left
//   driver exists <class>                  exit 0 when one exists (visible or not)
//   driver visible <class> <title>         exit 0 when one is visible
//   driver count <title>                   visible top-level windows with the title
//   driver box-text <title>                the message of a message box
//   driver box-ok <title>                  presses its OK button
//   driver press <title> <caption> [class] presses a control of the program's window (or
//                                          of a window of that class, the setup's #32770)
//   driver checked <title> <caption> [class]  prints 1 or 0
//   driver close <title>                   the close box of the program's window
//   driver rect <class> <title>            left top width height of a visible window
//   driver dump <class> <title>            every control of a window, one a line:
//                                          class|left,top,width,height|enabled|visible|
//                                          background|text colour|text
//                                          (rectangles in the parent's client area,
//                                          colours as the program holds them, line breaks
//                                          in texts as \n)
//   driver set-text <title> <text> [old]   the text of the window's first edit box, or of
//                                          the one that holds `old` ("\n" in the text
//                                          stands for a line break)
//   driver icon-sizes <exe>                the sizes of the images in the exe's first icon
//   driver client <class> <title>          x y width height of a window's client area
//                                          on the screen, hidden or not
//   driver show <class> <title>            shows a window, hidden or not, in front
//   driver owner <title>                   the title of the window's owner
//   driver other-window [s]                another program's window in front (s seconds)
//   driver play <file>                     plays a wave file to its end; prints the wall
//                                          clock (ms since 1970) just before the call
//   driver manifest <exe>                  the exe's application manifest, as stored
//   driver quit-all                        closes every copy's main window, as its close box
//   driver foreground                      class|title of the foreground window
//   driver count-class <class>             top-level windows of the class, hidden ones too
//   driver hold <path> [s] [read]          opens the file without sharing (with "read":
//                                          opened to read, shared for reading only, as a
//                                          scanner holds it), prints "held", and keeps it
//                                          until killed (at most s seconds)
//   driver run <command line>              runs it as given (no shell) and exits with its
//                                          exit code
//   driver parent <exe name>               the exe name of the process that started the
//                                          first process of that name, or "(ended)"
//   driver end-session <title>             the log-off messages to the program's main window
//   driver drop-icon                       the shell forgets the program's tray icon
//   driver taskbar-created                 tells every window the shell has (re)started
//   driver time-change                     tells every window the clock was set
//   driver close-tray                      WM_CLOSE to the tray icon's window
//   driver start-to-icon <exe> [ms]        starts the program in its own folder and prints
//                                          the milliseconds until the shell shows one more
//                                          notification icon (the program holds the
//                                          driver's output open: send it to a file)
//   driver close-class <class>             WM_CLOSE to every top-level window of the class
//   driver menus                           left top width height of each open popup menu,
//                                          the last opened first
//   driver end-named <exe name>            ends every process of this Wine session so named
#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/common/wall_clock_win.h"

namespace {

constexpr const char* kFormClass = "TMarlinetForm";
constexpr const char* kTrayClass = "TMarlinetTrayWindow";

// Sends and waits, so the effect is done when the driver returns; a command
// that opens a box in the program returns once the time is up.
void SendAndWait(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0, UINT ms = 3000) {
  SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, ms, nullptr);
}

std::string Text(HWND hwnd) {
  char buffer[1024] = {};
  // Across processes only WM_GETTEXT reads an edit's or a static's text.
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

std::string ClassOf(HWND hwnd) {
  char buffer[256] = {};
  GetClassNameA(hwnd, buffer, sizeof buffer);
  return buffer;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> TopLevel() {
  std::vector<HWND> all;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND FindVisible(const std::string& cls, const std::string& title) {
  for (HWND h : TopLevel()) {
    if (IsWindowVisible(h) && (cls == "*" || ClassOf(h) == cls) && Text(h) == title) return h;
  }
  return nullptr;
}

HWND FindDescendant(HWND parent, const std::string& caption) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (Text(c) == caption) return c;
    if (HWND inner = FindDescendant(c, caption)) return inner;
  }
  return nullptr;
}

// The colours the program's own windows answer with; "-" from any other.
std::string ColourOf(HWND hwnd, WPARAM which) {
  constexpr UINT kQueryColorMessage = WM_APP + 0x4D0;
  DWORD_PTR colour = 0;
  if (!SendMessageTimeoutA(hwnd, kQueryColorMessage, which, 0, SMTO_ABORTIFHUNG, 2000, &colour)) {
    return "-";
  }
  char text[16];
  std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(colour));
  return text;
}

void Dump(HWND parent) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    std::string text;
    for (char ch : Text(c)) {
      if (ch == '\n')
        text += "\\n";
      else if (ch != '\r')
        text += ch;
    }
    std::printf("%s|%ld,%ld,%ld,%ld|%d|%d|%s|%s|%s\n", ClassOf(c).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top, IsWindowEnabled(c) ? 1 : 0,
                (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) ? 1 : 0, ColourOf(c, 0).c_str(),
                ColourOf(c, 1).c_str(), text.c_str());
    Dump(c);
  }
}

BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  *reinterpret_cast<LPSTR*>(found) = name;
  return FALSE;
}

bool Poll(int ms, const auto& done) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (!done()) {
    if (static_cast<LONG>(GetTickCount() - end) > 0) return false;
    Sleep(50);
  }
  return true;
}

// The notification icons the shell shows. Its notification area keeps one
// tooltip window for each icon it shows.
int ShellIconCount() {
  DWORD shell = 0;
  if (HWND tray = FindWindowA("Shell_TrayWnd", nullptr)) GetWindowThreadProcessId(tray, &shell);
  int n = 0;
  for (HWND h : TopLevel()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    n += owner == shell && ClassOf(h) == "tooltips_class32";
  }
  return n;
}

int Fail(const char* what) {
  std::fprintf(stderr, "driver: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> a(argv + 1, argv + argc);
  if (a.empty()) return Fail("no command");
  // Sizes as the program's windows have them: a process unaware of the
  // display scale would be told 96-DPI figures.
  using SetProcessDpiAwareFn = BOOL(WINAPI*)();
  if (auto aware = reinterpret_cast<SetProcessDpiAwareFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")))) {
    aware();
  }
  const std::string& cmd = a[0];
  auto arg = [&](size_t i, const char* fallback = nullptr) -> std::string {
    if (i < a.size()) return a[i];
    if (fallback) return fallback;
    std::fprintf(stderr, "driver: %s needs more arguments\n", cmd.c_str());
    std::exit(2);
  };

  if (cmd == "balloons") {
    for (HWND h : TopLevel()) {
      if (!IsWindowVisible(h) || ClassOf(h) != "tooltips_class32") continue;
      std::string text = Text(h);
      for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.replace(at, 1, "\\n");
      std::printf("%s\n", text.c_str());
    }
    return 0;
  }
  if (cmd == "list") {
    for (HWND h : TopLevel()) {
      if (IsWindowVisible(h)) std::printf("%s|%s\n", ClassOf(h).c_str(), Text(h).c_str());
    }
    return 0;
  }
  if (cmd == "wait") {
    const int ms = std::atoi(arg(3, "10000").c_str());
    return Poll(ms, [&] { return FindVisible(arg(1), arg(2)) != nullptr; }) ? 0 : Fail("timed out");
  }
  if (cmd == "wait-gone") {
    const int ms = std::atoi(arg(2, "10000").c_str());
    return Poll(ms, [&] { return FindWindowA(arg(1).c_str(), nullptr) == nullptr; })
               ? 0
               : Fail("still there");
  }
  if (cmd == "exists") return FindWindowA(arg(1).c_str(), nullptr) ? 0 : 1;
  if (cmd == "visible") return FindVisible(arg(1), arg(2)) ? 0 : 1;
  if (cmd == "count") {
    int n = 0;
    for (HWND h : TopLevel()) n += IsWindowVisible(h) && Text(h) == arg(1);
    std::printf("%d\n", n);
    return 0;
  }
  if (cmd == "box-text" || cmd == "box-ok") {
    HWND box = FindVisible("#32770", arg(1));
    if (!box) return Fail("no message box");
    if (cmd == "box-ok") {
      HWND ok = GetDlgItem(box, IDOK);
      if (!ok) ok = FindDescendant(box, "OK");
      if (!ok) return Fail("no OK button");
      SendAndWait(ok, BM_CLICK);
      return 0;
    }
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (ClassOf(c) == "Static" && !Text(c).empty()) std::printf("%s\n", Text(c).c_str());
    }
    return 0;
  }
  if (cmd == "press" || cmd == "checked") {
    HWND form = FindVisible(arg(3, kFormClass), arg(1));
    if (!form) return Fail("no such window");
    HWND control = FindDescendant(form, arg(2));
    if (!control) return Fail("no such control");
    if (cmd == "checked") {
      std::printf("%d\n", SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
      return 0;
    }
    SendAndWait(control, BM_CLICK);
    return 0;
  }
  if (cmd == "close") {
    HWND form = FindVisible(kFormClass, arg(1));
    if (!form) return Fail("no such window");
    SendAndWait(form, WM_SYSCOMMAND, SC_CLOSE);
    return 0;
  }
  if (cmd == "rect") {
    HWND w = FindVisible(arg(1), arg(2));
    if (!w) return Fail("no such window");
    RECT r;
    GetWindowRect(w, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (cmd == "quit-all") {
    for (HWND h : TopLevel()) {
      if (ClassOf(h) == kFormClass && Text(h) == "Marlinet") PostMessageA(h, WM_CLOSE, 0, 0);
    }
    return 0;
  }
  if (cmd == "set-text") {
    HWND form = FindVisible(kFormClass, arg(1));
    if (!form) return Fail("no such window");
    HWND edit = FindWindowExA(form, nullptr, "Edit", nullptr);
    if (a.size() > 3) {
      while (edit && Text(edit) != a[3]) edit = FindWindowExA(form, edit, "Edit", nullptr);
    }
    if (!edit) return Fail("no edit box");
    std::string text;
    const std::string given = arg(2);
    for (size_t i = 0; i < given.size(); ++i) {
      if (given[i] == '\\' && i + 1 < given.size() && given[i + 1] == 'n') {
        text += "\r\n";
        ++i;
      } else {
        text += given[i];
      }
    }
    SendAndWait(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
  }
  if (cmd == "icon-sizes") {
    HMODULE exe = LoadLibraryExA(arg(1).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!exe) return Fail("cannot load the exe");
    // The first icon group is the one Explorer shows.
    LPSTR first = nullptr;
    EnumResourceNamesA(exe, RT_GROUP_ICON, FirstName, reinterpret_cast<LONG_PTR>(&first));
    HRSRC info = first ? FindResourceA(exe, first, RT_GROUP_ICON) : nullptr;
    const auto* group =
        info ? static_cast<const BYTE*>(LockResource(LoadResource(exe, info))) : nullptr;
    if (!group) return Fail("no icon");
    // A directory of 6 bytes, then 14 a picture: width first (0 for 256).
    const int count = group[4] | (group[5] << 8);
    for (int i = 0; i < count; ++i) {
      const int width = group[6 + 14 * i];
      std::printf("%s%d", i ? " " : "", width ? width : 256);
    }
    std::printf("\n");
    return 0;
  }
  if (cmd == "client") {
    HWND w = FindWindowA(arg(1).c_str(), arg(2).c_str());
    if (!w) return Fail("no such window");
    RECT r;
    GetClientRect(w, &r);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
    return 0;
  }
  if (cmd == "show") {
    HWND w = FindWindowA(arg(1).c_str(), arg(2).c_str());
    if (!w) return Fail("no such window");
    ShowWindow(w, SW_SHOWNORMAL);
    SetForegroundWindow(w);
    return 0;
  }
  if (cmd == "manifest") {
    HMODULE exe = LoadLibraryExA(arg(1).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!exe) return Fail("cannot load the exe");
    // Resource 1 of type 24 (RT_MANIFEST): what the loader reads at start.
    HRSRC info = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const void* text = info ? LockResource(LoadResource(exe, info)) : nullptr;
    if (!text) return Fail("no manifest");
    std::fwrite(text, 1, SizeofResource(exe, info), stdout);
    return 0;
  }
  if (cmd == "dump") {
    HWND w = FindWindowA(arg(1).c_str(), arg(2).c_str());
    if (!w) return Fail("no such window");
    Dump(w);
    return 0;
  }
  if (cmd == "foreground") {
    HWND w = GetForegroundWindow();
    std::printf("%s|%s\n", w ? ClassOf(w).c_str() : "", w ? Text(w).c_str() : "");
    return 0;
  }
  if (cmd == "owner") {
    HWND w = FindWindowA(kFormClass, arg(1).c_str());
    if (!w) return Fail("no such window");
    HWND owner = GetWindow(w, GW_OWNER);
    std::printf("%s\n", owner ? Text(owner).c_str() : "");
    return 0;
  }
  if (cmd == "other-window") {
    // Another program's window, in front, for that many seconds.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MarlinetOtherProgram";
    RegisterClassA(&wc);
    HWND w =
        CreateWindowExA(0, wc.lpszClassName, "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 500, 400, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(w);
    std::printf("front\n");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(arg(1, "60").c_str())) * 1000;
    MSG msg;
    while (GetTickCount() < end) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(10);
    }
    return 0;
  }
  if (cmd == "count-class") {
    int n = 0;
    for (HWND h : TopLevel()) n += ClassOf(h) == arg(1);
    std::printf("%d\n", n);
    return 0;
  }
  if (cmd == "hold") {
    const bool shared = arg(3, "") == "read";
    HANDLE file = CreateFileA(arg(1).c_str(), shared ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                              shared ? FILE_SHARE_READ : 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("cannot open the file");
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(std::atoi(arg(2, "300").c_str())) * 1000);
    CloseHandle(file);
    return 0;
  }
  if (cmd == "run") {
    std::string line = arg(1);
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                        &process)) {
      return Fail("cannot start it");
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
  }
  if (cmd == "parent") {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return Fail("no process list");
    std::vector<PROCESSENTRY32> processes;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
      processes.push_back(entry);
    }
    CloseHandle(snapshot);
    for (const auto& child : processes) {
      if (lstrcmpiA(child.szExeFile, arg(1).c_str()) != 0) continue;
      for (const auto& parent : processes) {
        if (parent.th32ProcessID == child.th32ParentProcessID) {
          std::printf("%s\n", parent.szExeFile);
          return 0;
        }
      }
      std::printf("(ended)\n");
      return 0;
    }
    return Fail("no such process");
  }
  if (cmd == "end-session") {
    HWND form = FindWindowA(kFormClass, arg(1).c_str());
    if (!form) return Fail("no such window");
    SendAndWait(form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendAndWait(form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    return 0;
  }
  if (cmd == "drop-icon" || cmd == "close-tray") {
    HWND tray = FindWindowA(kTrayClass, nullptr);
    if (!tray) return Fail("no tray window");
    if (cmd == "close-tray") {
      SendAndWait(tray, WM_CLOSE);
      return 0;
    }
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = tray;
    record.uID = 0;
    return Shell_NotifyIconA(NIM_DELETE, &record) ? 0 : Fail("the shell had no such icon");
  }
  if (cmd == "start-to-icon") {
    const std::string exe = arg(1);
    const std::string folder = exe.substr(0, exe.find_last_of("\\/") + 1);
    const int before = ShellIconCount();
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = "\"" + exe + "\"";
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
      return Fail("cannot start the program");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(arg(2, "30000").c_str()));
    while (ShellIconCount() <= before) {
      if (static_cast<LONG>(GetTickCount() - end) > 0) return Fail("no icon appeared");
      Sleep(2);
    }
    QueryPerformanceCounter(&now);
    std::printf("%.1f\n",
                1000.0 * double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    return 0;
  }
  if (cmd == "play") {
    // When the request left this process, on the clock a sound capture is
    // timed with: what follows is the sound path's own delay.
    std::printf("%llu\n", testutil::WallClockMs());
    std::fflush(stdout);
    return PlaySoundA(arg(1).c_str(), nullptr, SND_FILENAME | SND_SYNC) ? 0 : Fail("not played");
  }
  if (cmd == "shown-tip") {
    // The shell's tooltip shown now, where it stands, then its whole text.
    DWORD shell = 0;
    if (HWND tray = FindWindowA("Shell_TrayWnd", nullptr)) GetWindowThreadProcessId(tray, &shell);
    for (HWND h : TopLevel()) {
      DWORD owner = 0;
      GetWindowThreadProcessId(h, &owner);
      if (owner != shell || !IsWindowVisible(h) || ClassOf(h) != "tooltips_class32") continue;
      RECT r;
      GetWindowRect(h, &r);
      std::printf("%ld %ld %ld %ld\n%s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                  Text(h).c_str());
      return 0;
    }
    return Fail("no tip is shown");
  }
  if (cmd == "menus") {
    // Another process cannot read a menu's items under Wine, but it can see
    // where the menu's window stands.
    for (HWND h : TopLevel()) {
      if (!IsWindowVisible(h) || ClassOf(h) != "#32768") continue;
      RECT r;
      GetWindowRect(h, &r);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return 0;
  }
  if (cmd == "close-class") {
    for (HWND h : TopLevel()) {
      if (ClassOf(h) == arg(1)) PostMessageA(h, WM_CLOSE, 0, 0);
    }
    return 0;
  }
  if (cmd == "taskbar-created") {
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 3000, nullptr);
    return 0;
  }
  if (cmd == "time-change") {
    // What Windows tells every top-level window when the clock is set.
    SendMessageTimeoutA(HWND_BROADCAST, WM_TIMECHANGE, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr);
    return 0;
  }
  if (cmd == "end-named") {
    // Ends every process of this Wine session that runs the named exe: a
    // test's own helpers, and none of another session's.
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (all == INVALID_HANDLE_VALUE) return Fail("no process list");
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL more = Process32First(all, &e); more; more = Process32Next(all, &e)) {
      if (lstrcmpiA(e.szExeFile, arg(1).c_str()) != 0) continue;
      if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, e.th32ProcessID)) {
        TerminateProcess(p, 1);
        CloseHandle(p);
      }
    }
    CloseHandle(all);
    return 0;
  }
  return Fail("unknown command");
}
