#include "bells/Unit1.h"

#include <cstdio>
#include <optional>
#include <stdexcept>

#include "base/error.h"
#include "launcher/processes_win.h"
#include "resources/resource_ids.h"
#include "ui/application_win.h"
#include "ui/dpi_win.h"
#include "ui/library_win.h"
#include "ui/paths_win.h"

TForm1* Form1 = nullptr;

namespace {

using ui::Rect;

using base::kPanelColour;
using base::kWindowColour;
const ui::FontSpec kSansNavy{"MS Sans Serif", 8, ui::clNavy};
const ui::FontSpec kSansBlue{"MS Sans Serif", 8, ui::clBlue};
const ui::FontSpec kCourierNavy{"Courier New", 8, ui::clNavy};

// Where the form state keeps the last minute the launches handled.
const char* const kLaunchSection = "Launch";
const char* const kLastMinuteKey = "LastMinute";
// And the minute of the last strike, on the bells' clock.
const char* const kBellsSection = "Bells";
const char* const kLastStrikeKey = "LastStrike";

// Windows 8 and later; DEVICE_NOTIFY_WINDOW_HANDLE is 0.
using RegisterSuspendResume = void*(WINAPI*)(HANDLE, DWORD);
using UnregisterSuspendResume = BOOL(WINAPI*)(void*);
HMODULE User32() { return GetModuleHandleA("user32.dll"); }

const char* const kInstructions =
    "  When you begin to hear the bell rings, start counting at either 1, 5, or 9 am (or pm) "
    "for each set of 2 bells.\r\n"
    "Example: It is sometime in mid-afternoon and you hear:  Ding-Ding  Ding-Ding\r\n"
    "Since you know what portion of the day you are in (mid-afternoon), you would start your "
    "count at 1:\r\n"
    "Ding-Ding  1, Ding-Ding  2 = 2 pm.\r\n"
    "If you were to hear Ding-Ding  1, Ding-Ding  2, Ding = 2:30 pm (one ding = + 1/2 hour).\r\n"
    "There is one exception to this.  12:30, 4:30, and 8:30 am (or pm) = Ding (1 bell).";

const char* const kBellTable =
    "Time (am/pm): 12:30   1   1:30   2    2:30    3    3:30    4\r\n"
    "               4:30   5   5:30   6    6:30    7    7:30    8\r\n"
    "               8:30   9   9:30   10   10:30   11   11:30   12";

// The pictures are part of the program: one that is missing is a broken
// build, reported at start rather than shown as a blank.
[[noreturn]] void MissingResource(int id) {
  throw std::runtime_error("Cannot load resource " + std::to_string(id));
}

// The hidden images hold the two bells at the system's DPI; the tray icon
// and the menu draw their own for the monitor they are on.
HICON LoadTrayIcon(int id) {
  HICON icon = ui::LoadIconAtSize(id, ui::IconSize(true, ui::SystemDpi()));
  if (!icon) MissingResource(id);
  return icon;
}

}  // namespace

TForm1::TForm1(const TForm1Services& services)
    : TPersistentForm("Form1", "TForm1"),
      clock_(services.clock),
      bellClock_(services.clock, services.utc),
      bellTick_(bellClock_, services.player, *this),
      settingsFile_(services.files, ui::ProgramFolder() + settings::kSettingsFileName),
      launches_(services.launches),
      launchTick_(services.clock, services.launches),
      launchLog_(services.files, ui::ProgramFolder() + launcher::kLaunchLogName) {
  Form1 = this;
  if (services.bellsHeldAtStart) bellTick_.Hold();
  SetBackColor(kWindowColour);
  SetFont(kSansNavy);
  SetCaption("Marlinet");
  SetBorder(ui::BorderStyle::Single, {true, false, false});
  SetClientSize(536, 410);
  // The icon is what a user waits for at start: it goes to the notification
  // area before the options window's controls are made.
  BuildTrayIcon();
  BuildLayout(ui::Icon(LoadTrayIcon(IDI_BELL)));
  BuildMenuAndTimers();
  OnCreate = [this] { FormCreate(); };
  OnPaint = [this] { FormPaint(); };
}

TForm1::~TForm1() {
  if (!suspendNotice_) return;
  if (auto unreg = ui::LibraryEntry<UnregisterSuspendResume>(User32(),
                                                             "UnregisterSuspendResumeNotification"))
    unreg(suspendNotice_);
}

void TForm1::BuildTrayIcon() {
  TrayIcon1 = Create<widgets::TTrayIcon>("TrayIcon1");
  TrayIcon1->SetIconResource(IDI_BELL);
  TrayIcon1->OnClick = [this](widgets::MouseButton, widgets::ShiftState, int, int) {
    TrayIcon1Click();
  };
  TrayIcon1->OnDblClick = [this] { TrayIcon1DblClick(); };
}

void TForm1::BuildLayout(const ui::Icon& bell) {
  const ui::Icon muted(LoadTrayIcon(IDI_BELL_MUTED));
  SetIconResource(IDI_BELL);
  using A = ui::ControlArgs;

  GroupBox1 = Create<ui::GroupBox>(A{.parent = this,
                                     .name = "GroupBox1",
                                     .rect = {6, 2, 523, 248},
                                     .caption = " Instructions ",
                                     .font = kSansBlue});
  Label1 = Create<ui::Label>(A{.parent = GroupBox1,
                               .name = "Label1",
                               .rect = {8, 16, 497, 78},
                               .caption = kInstructions,
                               .font = kSansNavy});
  Label2 = Create<ui::Label>(A{.parent = GroupBox1,
                               .name = "Label2",
                               .rect = {48, 104, 427, 42},
                               .caption = kBellTable,
                               .font = kCourierNavy});
  Image1 = Create<ui::Image>(A{
      .parent = GroupBox1, .name = "Image1", .rect = {30, 148, 15, 16}, .iconResource = IDI_BELL});
  Label9 = Create<ui::Label>(A{.parent = GroupBox1,
                               .name = "Label9",
                               .rect = {49, 149, 0, 0},
                               .caption = "USN Bells:",
                               .font = kCourierNavy});
  Label8 = Create<ui::Label>(A{.parent = GroupBox1,
                               .name = "Label8",
                               .rect = {146, 149, 0, 0},
                               .caption = "  1     2   2+1    4    4+1     6    6+1     8",
                               .font = kCourierNavy});
  CheckBox24 = Create<ui::CheckBox>(A{.parent = GroupBox1,
                                      .name = "CheckBox24",
                                      .rect = {31, 178, 114, 17},
                                      .caption = "Use dog watch:",
                                      .font = kCourierNavy,
                                      .tabStop = false});
  Label4 = Create<ui::Label>(A{.parent = GroupBox1,
                               .name = "Label4",
                               .rect = {154, 179, 0, 0},
                               .caption = "1630  1700  1730  1800  1830  1900  1930  2000",
                               .font = kCourierNavy});
  Image2 = Create<ui::Image>(A{
      .parent = GroupBox1, .name = "Image2", .rect = {30, 195, 15, 16}, .iconResource = IDI_BELL});
  Label5 = Create<ui::Label>(A{.parent = GroupBox1,
                               .name = "Label5",
                               .rect = {48, 196, 0, 0},
                               .caption = "RN Bells:",
                               .font = kCourierNavy});
  Label7 = Create<ui::Label>(A{.parent = GroupBox1,
                               .name = "Label7",
                               .rect = {154, 196, 0, 0},
                               .caption = "  1     2    2+1    4     1     2    2+1    8",
                               .font = kCourierNavy});
  RadioButton1 = Create<ui::RadioButton>(A{.parent = GroupBox1,
                                           .name = "RadioButton1",
                                           .rect = {31, 224, 71, 17},
                                           .caption = "Small Bells",
                                           .font = kSansNavy,
                                           .color = kWindowColour,
                                           .checked = true});
  RadioButton2 = Create<ui::RadioButton>(A{.parent = GroupBox1,
                                           .name = "RadioButton2",
                                           .rect = {107, 224, 73, 17},
                                           .caption = "Large Bells",
                                           .font = kSansNavy,
                                           .color = kWindowColour});
  RadioButton1->OnClick = [this] { RadioButton1Click(); };
  RadioButton2->OnClick = [this] { RadioButton2Click(); };

  GroupBox3 = Create<ui::GroupBox>(A{.parent = this,
                                     .name = "GroupBox3",
                                     .rect = {6, 252, 523, 130},
                                     .caption = " Hours of Operation ",
                                     .font = kSansBlue});
  GroupBox4 = Create<ui::GroupBox>(A{.parent = GroupBox3,
                                     .name = "GroupBox4",
                                     .rect = {7, 16, 160, 106},
                                     .caption = " AM ",
                                     .font = kSansBlue});
  GroupBox5 = Create<ui::GroupBox>(A{.parent = GroupBox3,
                                     .name = "GroupBox5",
                                     .rect = {175, 16, 160, 106},
                                     .caption = " PM ",
                                     .font = kSansBlue});
  // Three to a row, the group's hours in order.
  constexpr int kColumns[] = {10, 60, 110};
  constexpr int kRows[] = {14, 38, 62, 85};
  for (int hour = 0; hour < bells::kHoursPerDay; ++hour) {
    const int slot = hour % 12;
    char caption[8];
    std::snprintf(caption, sizeof caption, "%02d00", hour);
    HourBoxes[hour] = Create<ui::CheckBox>(A{.parent = hour < 12 ? GroupBox4 : GroupBox5,
                                             .name = "CheckBox" + std::to_string(hour),
                                             .rect = {kColumns[slot % 3], kRows[slot / 3], 45, 17},
                                             .caption = caption,
                                             .font = kSansNavy,
                                             .checked = true});
  }
  Panel1 = Create<ui::Panel>(A{.parent = GroupBox3,
                               .name = "Panel1",
                               .rect = {343, 21, 173, 101},
                               .color = kWindowColour,
                               .bevelInner = ui::Bevel::Raised,
                               .bevelOuter = ui::Bevel::Lowered});
  CheckBox27 = Create<ui::CheckBox>(A{.parent = Panel1,
                                      .name = "CheckBox27",
                                      .rect = {10, 7, 158, 17},
                                      .caption = "Ring 1 min before hour and",
                                      .font = kSansNavy});
  Label3 = Create<ui::Label>(A{.parent = Panel1,
                               .name = "Label3",
                               .rect = {28, 23, 0, 0},
                               .caption = "half hour.",
                               .font = kSansNavy});
  Panel2 = Create<ui::Panel>(A{.parent = Panel1,
                               .name = "Panel2",
                               .rect = {5, 40, 163, 56},
                               .color = kPanelColour,
                               .bevelInner = ui::Bevel::Lowered,
                               .bevelOuter = ui::Bevel::Raised});
  Label6 = Create<ui::Label>(A{.parent = Panel2,
                               .name = "Label6",
                               .rect = {53, 12, 0, 0},
                               .caption = "Marlinet",
                               .font = kSansNavy});
  HoverLabel3 = Create<widgets::THoverLabel>(
      A{.parent = Panel2,
        .name = "HoverLabel3",
        .rect = {29, 28, 0, 0},
        .caption = "Orvanta Software",
        .font = ui::FontSpec{"MS Sans Serif", 8, ui::clBlue, false, -11},
        .color = kPanelColour});
  HoverLabel3->SetShadowSize(0);

  SpeedButton2 = Create<ui::SpeedButton>(A{.parent = this,
                                           .name = "SpeedButton2",
                                           .rect = {6, 385, 76, 24},
                                           .caption = "Processes",
                                           .font = kSansNavy,
                                           .visible = false});
  CheckBox25 = Create<ui::CheckBox>(A{.parent = this,
                                      .name = "CheckBox25",
                                      .rect = {86, 389, 55, 17},
                                      .caption = "On/Off",
                                      .font = kSansNavy,
                                      .checked = true});
  SpeedButton1 = Create<ui::SpeedButton>(A{.parent = this,
                                           .name = "SpeedButton1",
                                           .rect = {230, 385, 76, 24},
                                           .caption = "OK",
                                           .font = kSansNavy});
  SpeedButton2->OnClick = [this] { SpeedButton2Click(); };
  SpeedButton1->OnClick = [this] { SpeedButton1Click(); };

  // The two tray pictures, kept where the tray icon takes them from.
  Image3 = Create<ui::Image>(A{.parent = this,
                               .name = "Image3",
                               .rect = {0, 0, 32, 32},
                               .visible = false,
                               .icon = bell.Handle()});
  Image4 = Create<ui::Image>(A{.parent = this,
                               .name = "Image4",
                               .rect = {0, 0, 32, 32},
                               .visible = false,
                               .icon = muted.Handle()});
}

void TForm1::BuildMenuAndTimers() {
  Timer1 = Create<ui::Timer>("Timer1", 3000u);
  Timer1->SetOnTimer([this] { Timer1Timer(); });
  Timer2 = Create<ui::Timer>("Timer2", 0u);
  Timer2->SetOnTimer([this] { Timer2Timer(); });
  Timer3 = Create<ui::AimedTimer>("Timer3");
  Timer3->SetOnTimer([this] { Timer3Timer(); });
  Timer4 = Create<ui::AimedTimer>("Timer4");
  Timer4->SetOnTimer([this] { Timer4Timer(); });
  // Early ring moves the strike minutes.
  CheckBox27->OnClick = [this] { AimStrike(); };

  PopupMenu1 = Create<ui::PopupMenu>("PopupMenu1");
  auto item = [this](const char* name, const char* caption, int picture,
                     void (TForm1::*handler)()) {
    ui::MenuItem* m = Create<ui::MenuItem>(PopupMenu1, name, caption);
    m->SetPictureResource(picture);
    m->OnClick = [this, handler] { (this->*handler)(); };
    return m;
  };
  Quit1 = item("Quit1", "Quit", IDB_QUIT, &TForm1::Quit1Click);
  TestBells1 = item("TestBells1", "Test Bells", IDB_TEST_BELLS, &TForm1::TestBells1Click);
  Parameters1 = item("Parameters1", "Parameters", IDB_PARAMETERS, &TForm1::Parameters1Click);
  MuteBells1 = item("MuteBells1", "Mute Bells", IDB_MUTE_LAYOUT, &TForm1::MuteBells1Click);
  Clocks1 = item("Clocks1", "Clocks", IDB_CLOCKS, &TForm1::Clocks1Click);
  TrayIcon1->SetPopupMenu(PopupMenu1);
}

// --- Start ----------------------------------------------------------------

void TForm1::FormCreate() {
  SpeedButton2->SetVisible(true);
  Timer2->SetInterval(launcher::kFirstInterval);
  // A failed load is reported only once the sound set and the mute state are
  // in force: the ticks go on while the box waits for the user.
  std::optional<base::Error> loadError;
  try {
    InitializeParameters("PgmStart");
  } catch (const base::Error& e) {
    loadError = e;
  }
  InitializeParameters("PgmUpdate");
  ShowMuteState(MuteBells1->Checked());
  // A copy that ended within this minute handled it already. The record
  // is taken away once read: only an orderly end leaves one, so after a
  // crash nothing before this start counts as missed.
  if (!FilePath().empty()) {
    settings::StateFileStore store(*this);
    const auto minute =
        launcher::ParseLaunchRecord(store.ReadString(kLaunchSection, kLastMinuteKey, ""));
    // A record that stays (the file held by another program) could be read
    // again after a crash: nothing is run late from it.
    const bool taken = store.RemoveKey(kLaunchSection, kLastMinuteKey);
    if (minute) launchTick_.Restore(*minute, taken);
    if (auto struck = bells::ParseStrikeRecord(store.ReadString(kBellsSection, kLastStrikeKey, "")))
      bellTick_.Restore(*struck);
  }
  if (auto reg =
          ui::LibraryEntry<RegisterSuspendResume>(User32(), "RegisterSuspendResumeNotification"))
    suspendNotice_ = reg(Handle(), 0);
  AimStrike();
  AimLaunch();
  if (loadError) ui::Application::Instance().HandleException(*loadError);
}

void TForm1::FormPaint() { Panel1->SetFocus(); }

// --- Settings ---------------------------------------------------------------

settings::ControlFlags TForm1::ReadControls() const {
  const bells::BellOptions bells = CurrentBellOptions();
  settings::ControlFlags c;
  c.hours = bells.hourBoxes;
  c.earlyRing = bells.earlyRing;
  c.dogWatch = bells.dogWatch;
  c.largeBells = !RadioButton1->Checked();
  c.launchSwitch = CheckBox25->Checked();
  return c;
}

void TForm1::ApplyControls(const settings::ControlFlags& c) {
  for (int h = 0; h < bells::kHoursPerDay; ++h) HourBoxes[h]->SetChecked(c.hours[h]);
  CheckBox27->SetChecked(c.earlyRing);
  CheckBox24->SetChecked(c.dogWatch);
  if (c.largeBells) {
    RadioButton2->SetChecked(true);
  } else {
    RadioButton1->SetChecked(true);
  }
  CheckBox25->SetChecked(c.launchSwitch);
}

void TForm1::InitializeParameters(const std::string& mode) {
  const auto parsed = settings::ParseParameterMode(mode);
  if (!parsed) return;
  switch (*parsed) {
    case settings::ParameterMode::PgmStart: {
      settingsText_ = settingsFile_.Load();
      flags_ = settings::FlagsLine(settingsText_.empty() ? std::string() : settingsText_[0]);
      ApplyControls(settings::ReadControlFlags(flags_));
      break;
    }
    case settings::ParameterMode::PgmUpdate:
      bellTick_.ApplySoundSet(RadioButton1->Checked() ? bells::SoundSetKind::Small
                                                      : bells::SoundSetKind::Large);
      break;
    case settings::ParameterMode::ParmUpdate:
      settings::WriteControlFlags(ReadControls(), flags_);
      settingsText_ = settings::SettingsLines(
          flags_, places_ ? places_->Places() : settings::PlacesFromLines(settingsText_));
      settingsFile_.Save(settingsText_);
      break;
  }
}

// --- Bells ------------------------------------------------------------------

bells::BellOptions TForm1::CurrentBellOptions() const {
  bells::BellOptions o;
  for (int h = 0; h < bells::kHoursPerDay; ++h) o.hourBoxes[h] = HourBoxes[h]->Checked();
  o.earlyRing = CheckBox27->Checked();
  o.dogWatch = CheckBox24->Checked();
  return o;
}

void TForm1::Timer1Timer() {
  if (sessionEnding_) return;
  // At :00 and :30 the launch aim falls due with the strike. The launch tick
  // only hands the entries over, while a strike holds this thread for
  // seconds: whichever timer comes first, the launches go first.
  if (launchAimMinute_ >= 0 && base::MinutesSinceEpoch(clock_.Now()) >= launchAimMinute_) {
    Timer4Timer();
  }
  bellTick_.Tick();
}

void TForm1::Timer3Timer() {
  // Not aimed again once the session ends: the one-shot stays spent.
  if (sessionEnding_) return;
  // A timer drifts from the wall clock by tenths of a second over half an
  // hour: one that came a little early struck nothing and is aimed again at
  // the same mark, a few milliseconds on.
  Timer1Timer();
  AimStrike();
}

void TForm1::Timer4Timer() {
  if (sessionEnding_) return;
  Timer2Timer();
  AimLaunch();
  // A count of milliseconds set half an hour ahead runs late as well as
  // early against a wall clock that Windows slews after a time sync: aimed
  // again each minute, the strike's aim is never more than a minute old.
  // Not in a strike minute, whose aim may be still to come.
  const base::TimeOfDay now = bellClock_.Now();
  if (!bells::BellCount(now.hour, now.minute, CheckBox27->Checked(), false)) AimStrike();
}

void TForm1::FollowShipsTime(std::function<std::optional<int>(const base::TimeOfDay&)> offset) {
  bellClock_.shipsOffset = std::move(offset);
}

void TForm1::ShipsTimeChanged() {
  ui::PostCall(Handle(), [this] { RunDueThenAim(); });
}

void TForm1::ReleaseBells() {
  bellTick_.Release();
  ui::PostCall(Handle(), [this] { RunDueThenAim(); });
}

void TForm1::AimStrike() {
  Timer3->Aim(static_cast<unsigned>(bellTick_.MsToNextAim(CheckBox27->Checked())));
}

void TForm1::AimLaunch() {
  const base::TimeOfDay now = clock_.Now();
  const long long minute = base::MinutesSinceEpoch(now);
  // Without the list (its editor gone at the end) the tick reads no minute:
  // an aim at "at once" would come back at once, over and over.
  const int ms = launchList_ ? launchTick_.MsToNextAim() : launcher::MsToNextMinute(now);
  launchAimMinute_ = ms > 0 ? minute + 1 : minute;
  Timer4->Aim(static_cast<unsigned>(ms));
}

void TForm1::RunDueThenAim() {
  // Posted: it may come while the program ends, a box of the end's own open
  // and the other windows gone.
  if (sessionEnding_ || ui::Application::Instance().Terminated()) return;
  Timer2Timer();
  bellTick_.Tick();
  AimStrike();
  AimLaunch();
}

void TForm1::SystemChange(UINT msg, WPARAM, LPARAM) {
  // Which setting a WM_SETTINGCHANGE is about cannot be told reliably from
  // its text; the zone is consulted again at the next reading either way.
  if (msg == WM_TIMECHANGE || msg == WM_SETTINGCHANGE) {
    clock_.TimeSettingsChanged();
    // A new clock or a new zone: the aims were made on the old reading.
    ui::PostCall(Handle(), [this] { RunDueThenAim(); });
  }
}

void TForm1::SaveMoreState(settings::ProfileStore& store) {
  if (auto minute = launchTick_.Record(CheckBox25->Checked())) {
    store.WriteString(kLaunchSection, kLastMinuteKey, launcher::LaunchRecordText(*minute));
  }
  if (auto minute = bellTick_.LastStrike()) {
    store.WriteString(kBellsSection, kLastStrikeKey, bells::StrikeRecordText(*minute));
  }
}

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_POWERBROADCAST && wp == PBT_APMSUSPEND) {
    // Whichever comes first on waking, the overdue ticks or the news of it,
    // the first tick knows the computer slept.
    launchTick_.Suspending();
    return TRUE;
  }
  if (msg == WM_POWERBROADCAST && wp == PBT_APMRESUMEAUTOMATIC) {
    // The overdue tick may already have come; either way the time asleep
    // is not caught up. A timer's count and the wall clock part ways over
    // a sleep: the aims are made anew.
    launchTick_.Resumed();
    ui::PostCall(Handle(), [this] { RunDueThenAim(); });
    return TRUE;
  }
  const LRESULT result = TPersistentForm::HandleMessage(msg, wp, lp);
  if (msg == WM_ENDSESSION && wp) {
    // Saved by now. The process may end at any moment: no strike and no
    // launch begins, and what the launches did is written down.
    sessionEnding_ = true;
    Timer1->SetEnabled(false);
    Timer2->SetEnabled(false);
    // Briefly: Windows ends a program that keeps it waiting much longer,
    // and the log with it. The icon goes first: nothing works behind it.
    TrayIcon1->Hide();
    launches_.Stop(launcher::kSessionEndStopWait);
    // Saved before the stop (by the main window): an entry the stop cut off
    // is owed, and the record says so now, while the process surely runs.
    if (ui::Application::Instance().MainForm() == this && !FilePath().empty()) {
      settings::StateFileStore store(*this);
      SaveMoreState(store);
    }
    // Saved and stopped: the program ends by itself, since Windows may not
    // end it (Restart Manager closing it for an update), and a copy left
    // running with no bells would turn away the next start.
    ui::Application::Instance().Terminate();
  }
  return result;
}

void TForm1::Timer2Timer() {
  // A tick can come while a start-up box is open, before the editor exists.
  if (!launchList_ || sessionEnding_) return;
  try {
    if (auto interval = launchTick_.Tick(CheckBox25->Checked(), launchList_->LaunchLines())) {
      Timer2->SetInterval(*interval);
    }
  } catch (const base::ConvertError& e) {
    launchLog_.Write(
        launcher::BadTimeLogLine(launcher::NowStamp(), launchTick_.ReportedLine(), e.what()));
    // Shown once this tick has returned: the next ticks launch on while the
    // box waits for "OK".
    ui::PostCall(Handle(), [e] { throw e; });
  }
}

void TForm1::LogLaunch(const launcher::LaunchOutcome& outcome, const launcher::Stamp& at) {
  launchTick_.Told(outcome);
  launchLog_.Write(launcher::LogLine(at, outcome));
}

void TForm1::TestBells1Click() { bellTick_.TestStrike(); }
void TForm1::RadioButton1Click() { bellTick_.PlaySample(bells::SoundSetKind::Small); }
void TForm1::RadioButton2Click() { bellTick_.PlaySample(bells::SoundSetKind::Large); }

// --- Mute -------------------------------------------------------------------

void TForm1::ShowMuteState(bool muted) {
  MuteBells1->SetChecked(muted);
  MuteBells1->SetPictureResource(muted ? IDB_MUTE_ON : IDB_MUTE_OFF);
  TrayIcon1->SetIconResource(muted ? IDI_BELL_MUTED : IDI_BELL);
  BellsFollowMute();
}

void TForm1::BellsFollowMute() { bells::BellsSilenced = MuteBells1->Checked() ? 1 : 0; }

void TForm1::MuteBells1Click() { ShowMuteState(!MuteBells1->Checked()); }
void TForm1::TrayIcon1Click() { ShowMuteState(!MuteBells1->Checked()); }
void TForm1::TrayIcon1DblClick() {}

// --- Commands ---------------------------------------------------------------

void TForm1::Quit1Click() {
  // A start from this folder from now on waits for this copy to end; if
  // the settings cannot be saved, the copy stays and shows itself again.
  ui::Application& app = ui::Application::Instance();
  app.SetEnding(true);
  try {
    InitializeParameters("ParmUpdate");
  } catch (...) {
    app.SetEnding(false);
    throw;
  }
  Close();
}

void TForm1::Parameters1Click() { Show(); }  // showing also brings it to the front

void TForm1::Clocks1Click() {
  if (showClocks) showClocks();
}

void TForm1::SpeedButton1Click() {
  InitializeParameters("ParmUpdate");
  InitializeParameters("PgmUpdate");
  Hide();
}

void TForm1::SpeedButton2Click() {
  // No bells while the list is edited. However the editor was closed ("OK",
  // "Cancel", Escape, Alt+F4, its taskbar button), the bells follow the
  // mute state again.
  bells::BellsSilenced = 1;
  if (launchList_) launchList_->EditModal();
  BellsFollowMute();
}
