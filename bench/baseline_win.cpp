// The lightest program that waits the way Marlinet waits: one icon in the
// notification area and the same three timers (3000 ms; 1000 ms, then 60000
// ms from the first tick on; 450 ms) with empty handlers. The benchmark
// measures Marlinet against it. Built as Marlinet is: GUI, i386, static.
// WM_CLOSE to its window ends it and takes the icon away.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
enum : UINT_PTR { kBellTimer = 1, kLaunchTimer = 2, kClockTimer = 3 };

NOTIFYICONDATAA icon{};
bool launchRunning = false;

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
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
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, type.lpszClassName, "Baseline", WS_POPUP, 0, 0,
                                0, 0, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
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
