// The main window built with a fake clock, sound output and files: what it
// does with them, through its real controls and timers.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "bells/Unit1.h"
#include "ui/paths_win.h"
#include "win_test_util.h"

namespace {

struct FixedClock : ui::LocalClock {
  ui::TimeOfDay now{14, 30};
  ui::TimeOfDay Now() override { return now; }
};

struct RecordingPlayer : bells::SoundPlayer {
  std::vector<std::string> played;
  void Play(const std::string& name) override { played.push_back(name); }
};

struct MemoryFiles : ui::TextFiles {
  std::map<std::string, std::string> files;
  std::optional<std::string> ReadAll(const std::string& path) override {
    auto it = files.find(path);
    return it == files.end() ? std::nullopt : std::optional(it->second);
  }
  bool Exists(const std::string& path) override { return files.contains(path); }
  bool ReplaceAll(const std::string& path, const std::string& content) override {
    files[path] = content;
    return true;
  }
  bool MoveAside(const std::string&, const std::string&) override { return true; }
};

TEST(MainWindow, StrikesTheHalfHourFromTheLoadedSettingsWithTheGivenServices) {
  testutil::RecordErrors errors;
  FixedClock clock;
  RecordingPlayer player;
  MemoryFiles files;
  const std::string prefs = ui::ProgramFolder() + "prefs.kvr";
  // Every hour, the large set.
  files.files[prefs] = std::string(24, '1') + "0011\r\nLisbon [+0]\r\n";
  TForm1 form(TForm1Services{clock, player, files});
  form.AfterConstruction();
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_TRUE(form.RadioButton2->Checked());
  // Loading chose "Large Bells", which plays its sample; the tick strikes 14:30.
  ASSERT_TRUE(testutil::PumpUntil([&] { return player.played.size() >= 2; }, 5000));
  EXPECT_EQ(player.played, (std::vector<std::string>{"0+1Lbell.wav", "2+1Lbell.wav"}));
  // The save goes through the same files, the place texts kept.
  form.SaveParameters();
  EXPECT_EQ(files.files[prefs].substr(0, 28), std::string(24, '1') + "0011");
  EXPECT_NE(files.files[prefs].find("\r\nLisbon [+0]\r\n"), std::string::npos);
}

}  // namespace
