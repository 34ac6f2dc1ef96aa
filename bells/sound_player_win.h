// Bell sounds through the platform's wave player.
#pragma once

#include <windows.h>

#include <string>

#include "bells/bell_tick.h"
#include "ui/library_win.h"

namespace bells {

// The recordings ship beside the executable; a name found there is played from
// there, any other is handed to the platform as it stands (system sound names,
// the working folder).
std::string ResolveSoundName(const std::string& programFolder, const std::string& name);

class WinSoundPlayer final : public SoundPlayer {
 public:
  WinSoundPlayer(HINSTANCE instance, std::string programFolder);
  // Synchronous: returns when the sound has played. With flags 0 the platform
  // plays its default sound for a file it cannot find, and never fails.
  void Play(const std::string& name) override;
  // The file Play would play, read and scaled in memory, still synchronous.
  // Anything but 8- or 16-bit PCM, or a file that cannot be read, is played
  // as Play plays it. Windows' mixer is never touched: the person's level
  // for the program still applies on top.
  void PlayAt(const std::string& name, double volume) override;

 private:
  HINSTANCE instance_;
  std::string folder_;
  // The wave player, loaded at the first sound.
  ui::LazyLibrary winmm_{"winmm.dll"};
};

}  // namespace bells
