// Program entry. Until the options window exists, a hidden window runs the
// bell tick with every hour box set, no early ring, no dog watch and the small
// set, so the half hours already strike.
#include <windows.h>

#include "bells/bell_tick.h"
#include "bells/sound_player_win.h"
#include "ui/paths_win.h"

namespace {

constexpr UINT_PTR kBellTimer = 1;
constexpr UINT kBellInterval = 3000;

class AllHoursOptions final : public bells::BellOptionsSource {
 public:
  bells::BellOptions CurrentBellOptions() override {
    bells::BellOptions o;
    o.hourBoxes.fill(true);
    return o;
  }
};

bells::BellTick* g_tick = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kBellTimer && g_tick) {
    g_tick->Tick();
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  bells::WinLocalClock clock;
  bells::WinSoundPlayer player(instance, ui::ProgramFolder());
  AllHoursOptions options;
  bells::BellTick tick(clock, player, options);
  g_tick = &tick;

  WNDCLASSA wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = instance;
  wc.lpszClassName = "MarlinetBellHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, wc.lpszClassName, "Marlinet", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  if (!host) return 1;
  SetTimer(host, kBellTimer, kBellInterval, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  g_tick = nullptr;
  return 0;
}
