// The main window built with a fake clock, sound output and files: what it
// does with them, through its real controls and timers.
#include <gtest/gtest.h>

#include <future>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bells/Unit1.h"
#include "tests/common/launch_fakes.h"
#include "tests/common/memory_files.h"
#include "ui/application_win.h"
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

// Another start's quit request, as the setup sends it through "/quit": it
// is refused while a box is open, and otherwise saves what the window shows
// and ends as "Quit" does. Answers: 2 ending, 3 refused, 4 quitting.
TEST(MainWindow, QuitRequestSavesAsQuitDoesButNotOverABox) {
  testutil::RecordErrors errors;
  FixedClock clock;
  RecordingPlayer player;
  MemoryFiles files;
  const std::string prefs = ui::ProgramFolder() + "prefs.kvr";
  files.files[prefs] = std::string(24, '1') + "0001\r\nLisbon [+0]\r\n";
  LaunchRecorder launch;
  TForm1 form(TForm1Services{clock, player, files, launch});
  form.SetLaunchList(&launch);
  form.AfterConstruction();
  ui::Application& app = ui::Application::Instance();
  ASSERT_TRUE(app.ClaimProgramFolder());
  app.onQuitRequest = [&form] { form.Quit1->Click(); };
  HWND instance = FindWindowExA(HWND_MESSAGE, nullptr, "TMarlinetInstance", nullptr);
  ASSERT_NE(instance, nullptr);
  auto askToQuit = [instance] {
    auto asked = std::async(std::launch::async, [instance] {
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(instance, RegisterWindowMessageA("Marlinet.Quit"), 0, 0, SMTO_ABORTIFHUNG,
                          5000, &answer);
      return answer;
    });
    testutil::PumpUntil(
        [&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 6000);
    return asked.get();
  };
  // The person unticks 0000 and leaves the window open.
  form.HourBoxes[0]->SetChecked(false);
  DWORD_PTR duringBox = 0;
  app.onMessage = [&](const std::string&, const std::string&, UINT) {
    duringBox = askToQuit();
    return IDOK;
  };
  app.MessageDialog("A box of the program's own", "Marlinet", MB_OK);
  app.onMessage = nullptr;
  EXPECT_EQ(duringBox, 3u);
  testutil::PumpFor(300);
  EXPECT_EQ(files.files[prefs].substr(0, 28), std::string(24, '1') + "0001") << "saved over a box";

  EXPECT_EQ(askToQuit(), 4u);
  ASSERT_TRUE(testutil::PumpUntil([&] { return files.files[prefs][0] == '0'; }));
  EXPECT_EQ(files.files[prefs].substr(0, 28), "0" + std::string(23, '1') + "0001");
  EXPECT_NE(files.files[prefs].find("\r\nLisbon [+0]\r\n"), std::string::npos);
  EXPECT_EQ(askToQuit(), 2u) << "a copy that is ending says so";
  EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
