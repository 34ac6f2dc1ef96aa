// The main window: every bell option, the tray icon with its menu, the bell
// tick and the launch tick. It is never shown at start; the tray icon is the
// way in.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/text_files.h"
#include "bells/bell_tick.h"
#include "bells/ships_time.h"
#include "launcher/launch_list.h"
#include "launcher/launch_log.h"
#include "launcher/launch_tick.h"
#include "settings/persistent_form_win.h"
#include "settings/settings_file.h"
#include "settings/settings_host.h"
#include "ui/controls_win.h"
#include "ui/menu_win.h"
#include "ui/timer_win.h"
#include "widgets/hover_label_win.h"
#include "widgets/tray_icon_win.h"
#include "worldclock/place_texts.h"

// What the main window is given rather than makes: the clock, the sound
// output and file access (real in the program, fakes in tests).
struct TForm1Services {
  base::LocalClock &clock;
  bells::SoundPlayer &player;
  base::TextFiles &files;
  // Runs the due launch entries away from the bells.
  launcher::LaunchRunner &launches;
  // UTC, for the bells on ship's time; without it they keep local time.
  base::UtcClock *utc = nullptr;
  // The bells wait for ReleaseBells(): the start's boxes may show before
  // ship's time and the bell options are attached.
  bool bellsHeldAtStart = false;
};

class TForm1 : public settings::TPersistentForm,
               public settings::SettingsHost,
               private bells::BellOptionsSource {
 public:
  explicit TForm1(const TForm1Services &services);
  ~TForm1() override;

  // Where the settings save takes the place texts from; until it is set,
  // they go back as they were loaded.
  void SetPlaceTexts(const worldclock::PlaceTexts *places) { places_ = places; }
  // The launch list editor; until it exists the launch tick does nothing.
  void SetLaunchList(launcher::LaunchListWindow *list) { launchList_ = list; }
  // Whether the launches missed in a gap run late, once.
  void RunMissedLaunches(std::function<bool()> ticked) {
    launchTick_.runMissedOnce = std::move(ticked);
  }
  // Writes what happened to a launch entry, and when, to the launch log.
  void LogLaunch(const launcher::LaunchOutcome &outcome, const launcher::Stamp &at);
  // What "Clocks" shows.
  std::function<void()> showClocks;
  // Ship's time: the bells follow the offset this gives (minutes from UTC)
  // while it gives one, the computer's clock otherwise. The launches keep
  // the computer's clock.
  void FollowShipsTime(std::function<std::optional<int>(const base::TimeOfDay &utc)> offset);
  // The person's bell options, asked before each strike, Test Bells and the
  // samples; none: the bells sound as recorded.
  void SetBellManners(bells::StrikeManners *manners) { bellTick_.SetManners(manners); }
  // Ship's time was chosen, given back, or moved (a new offset, daylight
  // saving): a clock change, as a set clock is.
  void ShipsTimeChanged();
  // Ship's time and the bell options are attached: the bells strike from
  // now, a mark that passed while they were held late and once. Held again
  // before either is taken away at the end, they strike no more.
  void ReleaseBells();
  void HoldBells() { bellTick_.Hold(); }

  // Loads, applies or saves the settings file; the mode text is matched
  // exactly and any other text does nothing. File errors are thrown.
  void InitializeParameters(const std::string &mode);

  // What the other windows read of the main window.
  const std::vector<std::string> &SettingsText() const override { return settingsText_; }
  settings::FlagsLine &Flags() override { return flags_; }
  void SaveParameters() override { InitializeParameters("ParmUpdate"); }

  // Layout names. GroupBox1 holds the instructions and the bell table,
  // GroupBox3 the hours (GroupBox4 AM, GroupBox5 PM); Label6 and HoverLabel3
  // are the name plate in Panel2; Image1/2 the bells beside the customs,
  // Image3/4 the tray's plain and crossed-out bell.
  ui::GroupBox *GroupBox1, *GroupBox3, *GroupBox4, *GroupBox5;
  ui::Label *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
  widgets::THoverLabel *HoverLabel3;
  ui::Image *Image1, *Image2, *Image3, *Image4;
  std::array<ui::CheckBox *, bells::kHoursPerDay> HourBoxes{};  // CheckBox0 ... CheckBox23
  ui::CheckBox *CheckBox24;  // "Use dog watch:": the evening's count follows the RN custom
  ui::CheckBox *CheckBox25;  // "On/Off": the launch list is run
  ui::CheckBox *CheckBox27;  // "Ring 1 min before hour and": early ring
  ui::RadioButton *RadioButton1, *RadioButton2;  // "Small Bells", "Large Bells"
  ui::Panel *Panel1, *Panel2;                    // early ring's frame; the name plate
  ui::SpeedButton *SpeedButton1;                 // "OK": save the options and hide
  ui::SpeedButton *SpeedButton2;                 // "Processes": the launch list editor
  widgets::TTrayIcon *TrayIcon1;
  ui::Timer *Timer1;  // the bell tick, every 3 s
  ui::Timer *Timer2;  // the launch tick: 1 s until the list has been run, then 60 s
  // The same two ticks again, each aimed just past the moment its work
  // falls due, so a strike starts on the mark and an entry in its minute's
  // first second. Timer1 and Timer2 stay as the safety net.
  ui::AimedTimer *Timer3;  // the bell tick, at the next strike minute
  ui::AimedTimer *Timer4;  // the launch tick, at the next minute
  ui::PopupMenu *PopupMenu1;
  ui::MenuItem *Quit1, *TestBells1, *Parameters1, *MuteBells1, *Clocks1;

 private:
  void BuildTrayIcon();
  void BuildLayout(const ui::Icon &bell);
  void BuildMenuAndTimers();

  void FormCreate();
  void FormPaint();
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void Timer4Timer();
  // Aimed afresh from the clock as it reads now.
  void AimStrike();
  void AimLaunch();
  // After a clock set, a new zone or a sleep: what is due runs first (the
  // launches, then the bells), and only then are the ticks aimed anew, so
  // a change that comes as a minute begins never passes that minute over.
  // Posted, never run inside a sent message: a strike holds the thread.
  void RunDueThenAim();
  void TrayIcon1Click();
  void TrayIcon1DblClick();
  void Quit1Click();
  void TestBells1Click();
  void Parameters1Click();
  void MuteBells1Click();
  void Clocks1Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void RadioButton1Click();
  void RadioButton2Click();

  // The check mark, the menu picture, the tray icon and the bell silence
  // always change together.
  void ShowMuteState(bool muted);
  // The bells strike again unless muted.
  void BellsFollowMute();
  bells::BellOptions CurrentBellOptions() const override;
  // A clock set or a new time zone reaches the bells and the launches at
  // once, not a minute later.
  void SystemChange(UINT msg, WPARAM wp, LPARAM lp) override;
  // Waking from sleep, and the end of the session.
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // The last minute the launches accounted for and the last strike's, for
  // the next start.
  void SaveMoreState(settings::ProfileStore &store) override;
  settings::ControlFlags ReadControls() const;
  void ApplyControls(const settings::ControlFlags &flags);

  base::LocalClock &clock_;
  bells::BellClock bellClock_;
  bells::BellTick bellTick_;
  settings::SettingsFile settingsFile_;
  const worldclock::PlaceTexts *places_ = nullptr;
  launcher::LaunchRunner &launches_;
  launcher::LaunchTick launchTick_;
  launcher::LaunchLog launchLog_;
  launcher::LaunchListWindow *launchList_ = nullptr;
  // Windows is ending the session: whatever timer calls the ticks, no bell
  // strikes and no entry runs.
  bool sessionEnding_ = false;
  long long launchAimMinute_ = -1;  // the minute Timer4 is aimed at, on one line
  // Sleep and waking told where the power broadcasts may not come (modern
  // standby), from Windows 8 on.
  void *suspendNotice_ = nullptr;
  settings::FlagsLine flags_;
  // The settings text buffer: the file's lines as last loaded or written. A
  // plain list, since an edit control would cut a line at a stray NUL byte.
  std::vector<std::string> settingsText_;
};

// The one main window of the program.
extern TForm1 *Form1;
