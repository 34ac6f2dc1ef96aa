// The main window built with a fake clock, sound output and files: what it
// does with them, through its real controls and timers.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bells/Unit1.h"
#include "tests/common/launch_fakes.h"
#include "tests/common/memory_files.h"
#include "ui/paths_win.h"
#include "win_test_util.h"

namespace {

struct FixedClock : base::LocalClock {
  base::TimeOfDay now{14, 30};
  int forgotten = 0;
  base::TimeOfDay Now() override { return now; }
  void TimeSettingsChanged() override { ++forgotten; }
};

struct RecordingPlayer : bells::SoundPlayer {
  std::vector<std::string> played;
  void Play(const std::string& name) override { played.push_back(name); }
};

using testutil::MemoryFiles;

// The launch side: what it was asked to do, in order.
struct LaunchRecorder : testutil::InlineLaunches, launcher::LaunchListWindow {
  const std::vector<std::string>& LaunchLines() const override { return lines; }
  std::vector<std::string> lines{"[1430][C:\\x\\Log.exe]"};
  void EditModal() override {}
};

TEST(MainWindow, StrikesAndLaunchesWithTheGivenServices) {
  testutil::RecordErrors errors;
  FixedClock clock;
  RecordingPlayer player;
  MemoryFiles files;
  const std::string prefs = ui::ProgramFolder() + "prefs.kvr";
  // Every hour, the large set.
  files.files[prefs] = std::string(24, '1') + "0011\r\nLisbon [+0]\r\n";
  LaunchRecorder launch;
  TForm1 form(TForm1Services{clock, player, files, launch});
  form.SetLaunchList(&launch);
  form.AfterConstruction();
  EXPECT_TRUE(errors.messages.empty());
  EXPECT_TRUE(form.RadioButton2->Checked());
  // Loading chose "Large Bells", which plays its sample; the tick strikes 14:30.
  ASSERT_TRUE(testutil::PumpUntil([&] { return player.played.size() >= 2; }, 5000));
  EXPECT_EQ(player.played, (std::vector<std::string>{"0+1Lbell.wav", "2+1Lbell.wav"}));
  // The launch tick's first run, a second after creation.
  ASSERT_TRUE(testutil::PumpUntil([&] { return launch.calls.size() >= 3; }, 3000));
  EXPECT_EQ(launch.calls,
            (std::vector<std::string>{"kill Log.exe", "pause 1000", "open C:\\x\\Log.exe"}));
  EXPECT_EQ(form.Timer2->Interval(), 60000u);
  // The save goes through the same files, the place texts kept.
  form.SaveParameters();
  EXPECT_EQ(files.files[prefs].substr(0, 28), std::string(24, '1') + "0011");
  EXPECT_NE(files.files[prefs].find("\r\nLisbon [+0]\r\n"), std::string::npos);
  // A clock set, and a new time zone, as the system tells its windows.
  SendMessageA(form.Handle(), WM_TIMECHANGE, 0, 0);
  SendMessageA(form.Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(clock.forgotten, 2);
}

}  // namespace
