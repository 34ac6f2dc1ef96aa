#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "bells/sound_player_win.h"
#include "ui/paths_win.h"

namespace bells {
namespace {

// A silent, valid wave file: 0.1 s of 8 kHz 8-bit mono.
void WriteSilentWave(const std::string& path) {
  std::ofstream f(path, std::ios::binary);
  const unsigned samples = 800;
  auto u32 = [&](unsigned v) { f.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](unsigned short v) { f.write(reinterpret_cast<const char*>(&v), 2); };
  f.write("RIFF", 4);
  u32(36 + samples);
  f.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(1);
  u32(8000);
  u32(8000);
  u16(1);
  u16(8);
  f.write("data", 4);
  u32(samples);
  for (unsigned i = 0; i < samples; ++i) f.put(char(0x80));
}

TEST(SoundPlayer, ResolvesNamesFoundBesideTheProgramAndPassesOthersThrough) {
  const std::string folder = ui::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  ASSERT_EQ(folder.back(), '\\');
  const std::string name = "marlinet-test-present.wav";
  WriteSilentWave(folder + name);
  EXPECT_EQ(ResolveSoundName(folder, name), folder + name);
  EXPECT_EQ(ResolveSoundName(folder, "marlinet-test-missing.wav"), "marlinet-test-missing.wav");
  // A folder of that name is not a sound file.
  CreateDirectoryA((folder + "marlinet-test-dir.wav").c_str(), nullptr);
  EXPECT_EQ(ResolveSoundName(folder, "marlinet-test-dir.wav"), "marlinet-test-dir.wav");
  RemoveDirectoryA((folder + "marlinet-test-dir.wav").c_str());
  DeleteFileA((folder + name).c_str());
}

TEST(SoundPlayer, PlaysPresentAndMissingFilesWithoutFailing) {
  const std::string folder = ui::ProgramFolder();
  const std::string name = "marlinet-test-play.wav";
  WriteSilentWave(folder + name);
  WinSoundPlayer player(GetModuleHandleA(nullptr), folder);
  const auto start = std::chrono::steady_clock::now();
  player.Play(name);
  player.Play("marlinet-no-such-bell.wav");
  // Both return: a missing recording never hangs or throws out of the tick.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  DeleteFileA((folder + name).c_str());
}

}  // namespace
}  // namespace bells
