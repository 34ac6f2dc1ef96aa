#include "bells/sound_player_win.h"

#include <mmsystem.h>

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
  PlaySoundA(ResolveSoundName(folder_, name).c_str(), instance_, 0);
}

}  // namespace bells
