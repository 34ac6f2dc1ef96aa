#include "bells/sound_player_win.h"

#include <mmsystem.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "bells/bell_manners.h"
#include "ui/paths_win.h"
#include "ui/text_files_win.h"

namespace bells {

std::string ResolveSoundName(const std::string& programFolder, const std::string& name) {
  std::string inFolder = programFolder + name;
  return ui::FileExists(inFolder) ? inFolder : name;
}

WinSoundPlayer::WinSoundPlayer(HINSTANCE instance, std::string programFolder)
    : instance_(instance), folder_(std::move(programFolder)) {}

void WinSoundPlayer::Play(const std::string& name) {
  // A folder whose name the ANSI code page cannot spell is named by its
  // short name, or else handed over wide (some wave players open the file
  // by its ANSI name even then).
  const std::wstring path = ui::FilePath(ResolveSoundName(folder_, name));
  if (const auto ansi = ui::AnsiPath(path)) {
    using PlayFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    if (auto play = winmm_.Entry<PlayFn>("PlaySoundA")) play(ansi->c_str(), instance_, 0);
  } else {
    using PlayFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    if (auto play = winmm_.Entry<PlayFn>("PlaySoundW")) play(path.c_str(), instance_, 0);
  }
}

void WinSoundPlayer::PlayAt(const std::string& name, double volume) {
  ui::WinTextFiles files;
  const std::optional<std::string> content = files.ReadAll(ResolveSoundName(folder_, name));
  std::optional<std::vector<std::uint8_t>> scaled;
  if (content) scaled = ScaledWave({content->begin(), content->end()}, volume);
  using PlayFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
  auto play = winmm_.Entry<PlayFn>("PlaySoundA");
  if (!scaled || !play) {
    Play(name);
    return;
  }
  // Synchronous, so the image may go when the call returns.
  play(reinterpret_cast<LPCSTR>(scaled->data()), nullptr, SND_MEMORY);
}

}  // namespace bells
