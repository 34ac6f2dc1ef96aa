// The main window built with a fake clock, sound output and files: what it
// does with them, through its real controls and timers.
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bells/Unit1.h"
#include "bells/bell_manners.h"
#include "bells/bell_tick.h"
#include "launcher/Unit3.h"
#include "launcher/launch_options_win.h"
#include "settings/options_menu_win.h"
#include "tests/common/launch_fakes.h"
#include "tests/common/memory_files.h"
#include "ui/application_win.h"
#include "ui/paths_win.h"
#include "win_test_util.h"

namespace {

struct FixedClock : base::LocalClock {
  base::TimeOfDay now{14, 30};
  int forgotten = 0;
  int reads = 0;
  base::TimeOfDay Now() override {
    ++reads;
    return now;
  }
  void TimeSettingsChanged() override { ++forgotten; }
};

struct RecordingPlayer : bells::SoundPlayer {
  std::vector<std::string> played;
  std::function<void()> onPlay;
  void Play(const std::string& name) override {
    played.push_back(name);
    if (onPlay) onPlay();
  }
};

using testutil::MemoryFiles;

// The launch side: what it was asked to do, in order.
struct LaunchRecorder : testutil::InlineLaunches, launcher::LaunchListWindow {
  const std::vector<std::string>& LaunchLines() const override { return lines; }
  std::vector<std::string> lines{"[1430][C:\\x\\Log.exe]"};
  void EditModal() override {}
  std::vector<unsigned> stops;  // how long each stop waits
  void Stop(unsigned waitMs) override { stops.push_back(waitMs); }
};

// What a main window is built with, the errors it reports and its settings
// file's name.
struct Rig {
  testutil::RecordErrors errors;
  FixedClock clock;
  RecordingPlayer player;
  MemoryFiles files;
  LaunchRecorder launch;
  const std::string prefs = ui::ProgramFolder() + "prefs.kvr";
  TForm1Services Services() { return TForm1Services{clock, player, files, launch}; }
  // The form loaded as the program loads it, with the recorder as its list.
  void Load(TForm1& form) {
    form.SetLaunchList(&launch);
    form.AfterConstruction();
  }
};

TEST(MainWindow, StrikesAndLaunchesWithTheGivenServices) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  // Every hour, the large set.
  files.files[prefs] = std::string(24, '1') + "0011\r\nLisbon [+0]\r\n";
  TForm1 form(rig.Services());
  rig.Load(form);
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
  // Asleep from 14:30 to 14:33, woken: the minutes asleep are not caught up
  // but told as slept through, the minute at hand runs.
  launch.lines = {"[1431][C:\\x\\a.exe]", "[1432][C:\\x\\b.exe]", "[1433][C:\\x\\c.exe]"};
  launch.calls.clear();
  clock.now = {14, 33};
  SendMessageA(form.Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  form.Timer2->SetInterval(50);
  ASSERT_TRUE(testutil::PumpUntil([&] { return launch.calls.size() >= 5; }, 3000));
  EXPECT_EQ(launch.calls,
            (std::vector<std::string>{"asleep C:\\x\\a.exe", "asleep C:\\x\\b.exe", "kill c.exe",
                                      "pause 1000", "open C:\\x\\c.exe"}));
  // 15:00, and the 3-second bell tick comes before the timers aimed at the
  // minute: the entry is handed over before six bells hold the thread.
  form.Timer2->SetInterval(60000);
  launch.lines = {"[1500][C:\\x\\d.exe]"};
  launch.calls.clear();
  std::vector<std::string> launchedAtStrike{"none"};
  player.onPlay = [&] { launchedAtStrike = launch.calls; };
  clock.now = {15, 0};
  form.Timer1->SetInterval(50);
  ASSERT_TRUE(testutil::PumpUntil([&] { return player.played.back() == "3Lbell.wav"; }, 3000));
  player.onPlay = nullptr;
  EXPECT_EQ(launchedAtStrike,
            (std::vector<std::string>{"kill d.exe", "pause 1000", "open C:\\x\\d.exe"}));
  // Windows ends the session: no strike and no launch begins after it,
  // whichever timer calls the ticks.
  SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(form.Timer1->Enabled());
  EXPECT_FALSE(form.Timer2->Enabled());
  EXPECT_EQ(launch.stops, std::vector<unsigned>{3000});
  launch.lines = {"[1530][C:\\x\\e.exe]"};
  launch.calls.clear();
  const size_t played = player.played.size();
  clock.now = {15, 30};
  // Timers running again stand for any other timer that calls the ticks.
  form.Timer1->SetEnabled(true);
  form.Timer1->SetInterval(50);
  form.Timer2->SetEnabled(true);
  form.Timer2->SetInterval(50);
  testutil::PumpUntil([] { return false; }, 500);
  EXPECT_EQ(player.played.size(), played);
  EXPECT_TRUE(launch.calls.empty());
}

// Windows ends the session as Restart Manager does for an installer: asked
// first, then told, while the program's loop runs.
HWND gEnding = nullptr;
LRESULT gQueried = 0;
void CALLBACK EndTheSession(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  gQueried = SendMessageA(gEnding, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
  SendMessageA(gEnding, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
}
bool gLoopStuck = false;
void CALLBACK LoopStuck(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  gLoopStuck = true;
  ui::Application::Instance().Terminate();
}

TEST(MainWindow, TheSessionsEndKeepsTheFormStateNotTheSettingsAndEndsTheProgram) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  files.files[prefs] = std::string(24, '1') + "0001\r\n";
  testutil::TempFolder folder;
  ui::Application& app = ui::Application::Instance();
  TForm1* form = app.CreateForm<TForm1>(rig.Services());
  form->SetFilePath(folder.Path() + "Marlinet.ini");
  form->SetLaunchList(&launch);
  ASSERT_TRUE(testutil::PumpUntil([&] { return launch.calls.size() >= 3; }));
  form->MuteBells1->Click();
  form->HourBoxes[0]->SetChecked(false);  // shown, never saved with "OK"
  gEnding = form->Handle();
  SetTimer(nullptr, 0, 100, &EndTheSession);
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 8000, &LoopStuck);
  app.Run();  // returns only when the loop ends
  KillTimer(nullptr, watchdog);
  EXPECT_FALSE(gLoopStuck) << "the program went on running after the session's end";
  EXPECT_EQ(gQueried, TRUE);
  EXPECT_EQ(launch.stops, std::vector<unsigned>{3000});
  EXPECT_EQ(files.files[prefs], std::string(24, '1') + "0001\r\n");
  const std::string ini = testutil::ReadFile(folder.Path() + "Marlinet.ini");
  EXPECT_NE(ini.find("MuteBells1.Checked=TRUE"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LastMinute=2000-01-01 14:30"), std::string::npos) << ini;
  app.DestroyForms();
  EXPECT_TRUE(errors.messages.empty());
}

// An upgrade at 14:30:20 ends the copy that opened 14:30's entry at
// 14:30:01 and starts the new one: the entry is not opened a second time.
TEST(MainWindow, AStartWithinTheMinuteAnEndedCopyHandledOpensNothingAgain) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  testutil::TempFolder folder;
  const std::string ini = folder.Path() + "Marlinet.ini";
  files.files[prefs] = std::string(24, '1') + "0001\r\n";
  launch.lines = {"[1430][C:\\x\\Log.exe]", "[1431][C:\\x\\Next.exe]"};
  clock.now = {14, 30, 1, 0, 2026, 12, 8};
  {
    TForm1 first(rig.Services());
    first.SetFilePath(ini);
    rig.Load(first);
    ASSERT_TRUE(testutil::PumpUntil([&] { return launch.calls.size() >= 3; }));
    first.Quit1->Click();
    first.BeforeDestruction();  // the orderly end keeps the form state
  }
  ui::Application::Instance().SetEnding(false);
  launch.calls.clear();
  clock.now = {14, 30, 20, 0, 2026, 12, 8};
  TForm1 second(rig.Services());
  second.SetFilePath(ini);
  rig.Load(second);
  // Read and taken away: a crash from here on leaves no record behind.
  EXPECT_EQ(testutil::ReadFile(ini).find("LastMinute"), std::string::npos);
  testutil::PumpFor(1600);  // past the first launch tick
  EXPECT_TRUE(launch.calls.empty()) << launch.calls.front();
  // The next minute opens as ever; nothing before this start is caught up.
  clock.now = {14, 31, 0, 30, 2026, 12, 8};
  second.Timer2->SetInterval(50);
  ASSERT_TRUE(testutil::PumpUntil([&] { return launch.calls.size() >= 3; }));
  EXPECT_EQ(launch.calls,
            (std::vector<std::string>{"kill Next.exe", "pause 1000", "open C:\\x\\Next.exe"}));
  // A copy started the day after, in the same minute of the day, is a first start.
  second.BeforeDestruction();
  launch.calls.clear();
  clock.now = {14, 31, 20, 0, 2026, 12, 9};
  TForm1 third(rig.Services());
  third.SetFilePath(ini);
  rig.Load(third);
  ASSERT_TRUE(testutil::PumpUntil([&] { return launch.calls.size() >= 3; }));
  EXPECT_EQ(launch.calls.back(), "open C:\\x\\Next.exe");
  EXPECT_TRUE(errors.messages.empty());
}

// "Launch Options" in the tray menu: its switches kept in [Options] the
// moment they change, a failed launch as a balloon in a record of its own,
// and the main window's own state untouched by them.
TEST(MainWindow, LaunchOptionsShowAFailureAsABalloonAndLeaveTheFormStateAlone) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  files.files[prefs] = std::string(24, '1') + "0001\r\n";
  testutil::TempFolder folder;
  const std::string ini = folder.Path() + "Marlinet.ini";
  const std::string log = folder.Path() + "launch.log";
  TForm1 form(rig.Services());
  form.SetFilePath(ini);
  rig.Load(form);
  struct Sent {
    DWORD message, size, flags, infoFlags;
    HWND window;
    UINT id;
    std::wstring title, text;
  };
  std::vector<Sent> sent;
  form.TrayIcon1->notifyWide = [&](DWORD m, NOTIFYICONDATAW* d) {
    sent.push_back(
        {m, d->cbSize, d->uFlags, d->dwInfoFlags, d->hWnd, d->uID, d->szInfoTitle, d->szInfo});
    return Shell_NotifyIconW(m, d);
  };
  settings::StateFileStore store(form);
  settings::OptionsMenu options(*form.PopupMenu1);
  launcher::LaunchOptions launchOptions(options, store, *form.TrayIcon1, log);
  ui::MenuItem* submenu = form.PopupMenu1->Items().back();
  ASSERT_EQ(submenu->Caption(), "Launch Options");
  const auto entry = [&](size_t i) { return submenu->Submenu().at(i); };
  EXPECT_FALSE(entry(0).checked);
  EXPECT_FALSE(entry(2).enabled);  // no log yet

  launcher::LaunchOutcome failed;
  const std::string line = "[1430][C:\\x\\gone.exe]";
  failed.launch = {line, launcher::ParseLaunchLine(line), 1430};
  failed.open = {2, "The system cannot find the file specified"};
  failed.launch.lastOfTick = true;
  launchOptions.Told(failed);
  EXPECT_TRUE(sent.empty());  // unticked: silent

  entry(0).onClick();  // "Tell Me When a Launch Fails"
  options.Refresh();
  EXPECT_TRUE(entry(0).checked);
  EXPECT_NE(testutil::ReadFile(ini).find("TellLaunchFailures=1"), std::string::npos);
  launchOptions.Told(failed);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].message, DWORD(NIM_MODIFY));
  EXPECT_EQ(sent[0].size, 936u);
  EXPECT_EQ(sent[0].flags, DWORD(NIF_INFO));
  // A warning, held through the quiet time after a first sign-in (Wine, like
  // every Windows these tests meet, is Windows 7 or later).
  EXPECT_EQ(sent[0].infoFlags, DWORD(NIIF_WARNING | 0x80 /* NIIF_RESPECT_QUIET_TIME */));
  EXPECT_EQ(sent[0].window, form.TrayIcon1->MessageWindow());
  EXPECT_EQ(sent[0].id, 0u);
  EXPECT_EQ(sent[0].title, L"Launch failed");
  EXPECT_EQ(sent[0].text, L"14:30 C:\\x\\gone.exe: The system cannot find the file specified");
  EXPECT_TRUE(form.TrayIcon1->Added());

  // A click on the balloon, as the shell tells it: the log's way in.
  int clicks = 0;
  form.TrayIcon1->OnBalloonClick = [&] { ++clicks; };
  SendMessageA(form.TrayIcon1->MessageWindow(), widgets::kTrayCallbackMessage, 0,
               NIN_BALLOONUSERCLICK);
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks == 1; }, 2000));
  testutil::WriteFile(log, "x\r\n");
  options.Refresh();
  EXPECT_TRUE(entry(2).enabled);

  form.BeforeDestruction();
  // Bounds and the 34 check marks: nothing of the options.
  const std::string state = testutil::ReadFile(ini);
  const size_t from = state.find("[Form1]");
  ASSERT_NE(from, std::string::npos) << state;
  const size_t to = state.find("\n[", from);
  const std::string section = state.substr(from, to == std::string::npos ? to : to - from);
  size_t keys = 0;
  for (size_t at = section.find('='); at != std::string::npos; at = section.find('=', at + 1))
    ++keys;
  EXPECT_EQ(keys, 4u + 34u) << section;
  EXPECT_NE(state.find("[Options]"), std::string::npos);
  EXPECT_TRUE(errors.messages.empty());
}

// Quit at 10:00:20 after the 10:00 strike, a new start at 10:00:21 (an
// upgrade, a quick restart): 10:00 is not struck a second time; 10:30 is.
TEST(MainWindow, AStartWithinTheMinuteAnEndedCopyStruckStrikesNothingAgain) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  testutil::TempFolder folder;
  const std::string ini = folder.Path() + "Marlinet.ini";
  files.files[prefs] = std::string(24, '1') + "0001\r\n";
  clock.now = {10, 0, 0, 40, 2026, 12, 8};
  {
    TForm1 first(rig.Services());
    first.SetFilePath(ini);
    rig.Load(first);
    first.Timer1->SetInterval(50);
    ASSERT_TRUE(testutil::PumpUntil([&] { return !player.played.empty(); }));
    clock.now.second = 20;
    first.Quit1->Click();
    first.BeforeDestruction();
  }
  ui::Application::Instance().SetEnding(false);
  EXPECT_EQ(player.played, std::vector<std::string>{"2bell.wav"});
  EXPECT_NE(testutil::ReadFile(ini).find("LastStrike=2026-12-08 10:00"), std::string::npos);
  player.played.clear();
  clock.now = {10, 0, 21, 0, 2026, 12, 8};
  TForm1 second(rig.Services());
  second.SetFilePath(ini);
  rig.Load(second);
  second.Timer1->SetInterval(50);
  testutil::PumpFor(600);
  EXPECT_EQ(player.played, std::vector<std::string>{});
  clock.now = {10, 30, 0, 30, 2026, 12, 8};
  ASSERT_TRUE(testutil::PumpUntil([&] { return !player.played.empty(); }));
  EXPECT_EQ(player.played, std::vector<std::string>{"2+1bell.wav"});
  EXPECT_TRUE(errors.messages.empty());
}

// The editor closes as a person closes it, once its modal loop runs.
TForm3* gEditor = nullptr;
const char* gWay = nullptr;
void CALLBACK CloseEditor(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (std::string(gWay) == "OK") {
    gEditor->SpeedButton2->Click();
  } else if (std::string(gWay) == "Cancel") {
    gEditor->SpeedButton1->Click();
  } else {
    SetFocus(gEditor->Memo3->Handle());
    PostMessageA(gEditor->Memo3->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(gEditor->Memo3->Handle(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
  }
}

void CALLBACK EditorStuck(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  gEditor->modalResult = ui::mrCancel;
  ADD_FAILURE() << gWay << " did not close the editor";
}

TEST(MainWindow, TheLaunchEditorClosedAnyWayLeavesMutedBellsSilent) {
  for (const char* way : {"OK", "Cancel", "Escape"}) {
    testutil::RecordErrors errors;
    FixedClock clock;  // 14:30: a strike is due
    RecordingPlayer player;
    MemoryFiles files;
    files.files[ui::ProgramFolder() + "prefs.kvr"] = std::string(24, '1') + "0000\r\n";
    files.files[ui::ProgramFolder() + "proc.kvr"] = "[0700][x]\r\n";
    LaunchRecorder launch;
    TForm1 form(TForm1Services{clock, player, files, launch});
    TForm3 editor(TForm3Services{files, &form});
    form.SetLaunchList(&editor);
    form.AfterConstruction();
    editor.AfterConstruction();
    form.MuteBells1->Click();
    ASSERT_TRUE(form.MuteBells1->Checked());
    form.Show();
    gEditor = &editor;
    gWay = way;
    SetTimer(nullptr, 0, 300, &CloseEditor);
    // A watchdog: an editor that did not close fails the row, not the run.
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, &EditorStuck);
    form.SpeedButton2->Click();  // "Processes": returns once the editor is closed
    KillTimer(nullptr, watchdog);
    EXPECT_FALSE(IsWindowVisible(editor.Handle())) << way;
    EXPECT_TRUE(form.MuteBells1->Checked()) << way;
    EXPECT_EQ(bells::BellsSilenced, 1) << way;
    // A bell tick comes every three seconds: 14:30 stays silent.
    testutil::PumpFor(3500);
    EXPECT_TRUE(player.played.empty()) << way << ": " << player.played.front();
    EXPECT_TRUE(errors.messages.empty()) << way;
    form.Hide();
  }
  bells::BellsSilenced = 0;
}

// "Large Bells" chosen and the program quit without "OK": the choice is
// saved but was never put in force.
TEST(MainWindow, LargeBellsChosenThenQuitStrikesSmallAndStartsLargeNextTime) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  clock.now = {14, 29};
  files.files[prefs] = std::string(24, '1') + "0000\r\n";
  launch.lines.clear();
  {
    TForm1 form(rig.Services());
    rig.Load(form);
    form.Show();
    SendMessageA(form.RadioButton2->Handle(), BM_CLICK, 0, 0);  // its sample
    clock.now = {14, 30};
    ASSERT_TRUE(testutil::PumpUntil([&] { return player.played.size() >= 2; }, 5000));
    EXPECT_EQ(player.played, (std::vector<std::string>{"0+1Lbell.wav", "2+1bell.wav"}));
    form.Quit1->Click();
  }
  EXPECT_EQ(files.files[prefs].substr(26, 1), "1");
  player.played.clear();
  clock.now = {15, 0};
  TForm1 again(rig.Services());
  rig.Load(again);
  EXPECT_TRUE(again.RadioButton2->Checked());
  // Loading plays the large sample; 15:00, six bells, strikes from the
  // large set.
  ASSERT_TRUE(testutil::PumpUntil([&] { return player.played.size() >= 2; }, 5000));
  EXPECT_EQ(player.played, (std::vector<std::string>{"0+1Lbell.wav", "3Lbell.wav"}));
  EXPECT_TRUE(errors.messages.empty());
}

// A prefs.kvr box at start, ticks coming while it waits, before ship's time
// (10:00 at sea, 14:30 on the computer's clock) and a half volume are
// attached: nothing strikes on the computer's clock; ship's time strikes,
// at the volume chosen.
TEST(MainWindow, ABoxAtStartStrikesNothingBeforeShipsTimeAndTheBellOptions) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  struct : base::UtcClock {
    base::TimeOfDay NowUtc() override { return {4, 15, 30}; }
  } utc;
  struct : bells::SoundPlayer {
    std::vector<std::string> played;
    void Play(const std::string& name) override { played.push_back(name); }
    void PlayAt(const std::string& name, double volume) override {
      played.push_back(name + "@" + std::to_string(int(volume * 100)));
    }
  } heard;
  std::vector<std::string> boxes;
  std::vector<std::string> heardDuringBox{"none"};
  ui::Application::Instance().onException = [&](const std::string& m) {
    boxes.push_back(m);
    testutil::PumpFor(3500);  // past a bell tick
    heardDuringBox = heard.played;
  };
  TForm1 form(TForm1Services{clock, heard, files, launch, &utc, true});
  rig.Load(form);  // no prefs.kvr: the box
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(heardDuringBox, std::vector<std::string>{});
  form.FollowShipsTime([](const base::TimeOfDay&) { return std::optional<int>(5 * 60 + 45); });
  bells::BellManners manners;
  manners.choices.volume = 50;
  form.SetBellManners(&manners);
  form.ReleaseBells();
  ASSERT_TRUE(testutil::PumpUntil([&] { return !heard.played.empty(); }, 4000));
  EXPECT_EQ(heard.played, std::vector<std::string>{"2bell.wav@50"});
}

// Once the launch list is gone at the end, a box keeping the program a while,
// the launch tick's aim waits for the next minute: it does not come back at
// once, over and over.
TEST(MainWindow, WithoutTheListTheLaunchAimWaitsForTheNextMinute) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  files.files[prefs] = std::string(24, '1') + "0001\r\n";
  TForm1 form(rig.Services());
  rig.Load(form);
  ASSERT_TRUE(testutil::PumpUntil([&] { return launch.calls.size() >= 3; }));
  form.SetLaunchList(nullptr);
  clock.now = {14, 31};  // a minute no tick has read
  SendMessageA(form.Handle(), WM_TIMECHANGE, 0, 0);
  testutil::PumpFor(200);
  clock.reads = 0;
  testutil::PumpFor(1000);
  EXPECT_LT(clock.reads, 10);
  EXPECT_TRUE(errors.messages.empty());
}

// Another start's quit request, as the setup sends it through "/quit": it
// is refused while a box is open, and otherwise saves what the window shows
// and ends as "Quit" does. Answers: 2 ending, 3 refused, 4 quitting.
TEST(MainWindow, QuitRequestSavesAsQuitDoesButNotOverABox) {
  Rig rig;
  auto& [errors, clock, player, files, launch, prefs] = rig;
  files.files[prefs] = std::string(24, '1') + "0001\r\nLisbon [+0]\r\n";
  TForm1 form(rig.Services());
  rig.Load(form);
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
