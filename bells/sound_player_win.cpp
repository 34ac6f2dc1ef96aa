#include "bells/sound_player_win.h"

#include <utility>

#include "ui/paths_win.h"

namespace bells {

std::string ResolveSoundName(const std::string& programFolder, const std::string& name) {
  std::string inFolder = programFolder + name;
  return ui::FileExists(inFolder) ? inFolder : name;
}

WinSoundPlayer::WinSoundPlayer(HINSTANCE instance, std::string programFolder)
    : instance_(instance), folder_(std::move(programFolder)) {}

void WinSoundPlayer::Play(const std::string& name) {
  // The wide entry, so a recording beside the program is found in a folder
  // whose name the ANSI code page cannot spell.
  using PlayFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
  if (auto play = winmm_.Entry<PlayFn>("PlaySoundW")) {
    play(ui::FilePath(ResolveSoundName(folder_, name)).c_str(), instance_, 0);
  }
}

}  // namespace bells
