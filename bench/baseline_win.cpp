// The lightest program that waits the way Marlinet waits: one icon in the
// notification area and the same three timers (3000 ms; 1000 ms, then 60000
// ms from the first tick on; 450 ms) with empty handlers, and a hidden window
// the size of the clocks window with its 26 time panels, whose texts the
// 450 ms tick sets once a minute (shown by the benchmark for the run with
// the clocks window shown). The benchmark measures Marlinet against it.
// Built as Marlinet is: GUI, i386, static. WM_CLOSE to its window ends it and
// takes the icon away.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
enum : UINT_PTR { kBellTimer = 1, kLaunchTimer = 2, kClockTimer = 3 };

NOTIFYICONDATAA icon{};
bool launchRunning = false;

constexpr int kPanels = 26;
HWND panels[kPanels];
HWND clocks = nullptr;
int shownMinute = -1;
HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));

LRESULT CALLBACK ClocksProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CTLCOLORSTATIC) {
    SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 0));
    SetBkColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 255));
    return reinterpret_cast<LRESULT>(blue);
  }
  return DefWindowProcA(window, msg, wp, lp);
}

// The home time, GMT and 24 places in their rows of four, as the clocks
// window has them.
void MakeClocksWindow(HINSTANCE instance) {
  WNDCLASSA type{};
  type.lpfnWndProc = ClocksProc;
  type.hInstance = instance;
  type.hbrBackground = CreateSolidBrush(RGB(224, 208, 168));
  type.lpszClassName = "MarlinetBaselineClocks";
  RegisterClassA(&type);
  RECT r{0, 0, 414, 348};
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&r, style, FALSE);
  clocks = CreateWindowExA(0, type.lpszClassName, "Clocks", style, 100, 100, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  for (int n = 0; n < kPanels; ++n) {
    const int c = (n - 2) % 4, row = (n - 2) / 4;
    const RECT at = n == 0   ? RECT{52, 17, 98, 22}
                    : n == 1 ? RECT{260, 17, 98, 22}
                             : RECT{2 + 104 * c, 44 + 48 * row, 98, 22};
    panels[n] =
        CreateWindowExA(WS_EX_STATICEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_CENTER, at.left,
                        at.top, at.right, at.bottom, clocks, nullptr, instance, nullptr);
  }
}

void ShowTimes() {
  SYSTEMTIME utc;
  GetSystemTime(&utc);
  if (utc.wMinute == shownMinute) return;
  shownMinute = utc.wMinute;
  for (int n = 0; n < kPanels; ++n) {
    char text[16];
    const int hour = (utc.wHour + n) % 24;
    wsprintfA(text, "%d:%02d %s", hour % 12 == 0 ? 12 : hour % 12, utc.wMinute,
              hour < 12 ? "AM" : "PM");
    SetWindowTextA(panels[n], text);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kClockTimer) ShowTimes();
      if (wp == kLaunchTimer && !launchRunning) {
        launchRunning = true;
        SetTimer(window, kLaunchTimer, 60000, nullptr);
      }
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &icon);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA type{};
  type.lpfnWndProc = WindowProc;
  type.hInstance = instance;
  type.lpszClassName = "MarlinetBaseline";
  if (!RegisterClassA(&type)) return 1;
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, type.lpszClassName, "Baseline", WS_POPUP, 0, 0, 0,
                                0, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  MakeClocksWindow(instance);
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = window;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = kTrayMessage;
  icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  lstrcpyA(icon.szTip, "Baseline");
  Shell_NotifyIconA(NIM_ADD, &icon);
  SetTimer(window, kBellTimer, 3000, nullptr);
  SetTimer(window, kLaunchTimer, 1000, nullptr);
  SetTimer(window, kClockTimer, 450, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
