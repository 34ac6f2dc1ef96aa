// The clocks window: the home time, GMT and up to 24 places with their
// offsets, each on standard or daylight-saving time. Created hidden at start,
// shown by the tray menu's "Clocks"; its clocks run while it is hidden.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/clock.h"
#include "settings/settings_host.h"
#include "ui/clock_win.h"
#include "ui/controls_win.h"
#include "ui/form_win.h"
#include "ui/menu_win.h"
#include "widgets/digital_clock_win.h"
#include "widgets/hover_label_win.h"
#include "worldclock/clocks_logic.h"
#include "worldclock/place_texts.h"
#include "worldclock/plan_time_win.h"
#include "worldclock/tray_tip_win.h"

struct TForm2Services {
  base::UtcClock &utc;
  settings::SettingsHost &settings;
  // Without both, no place can follow a time zone.
  worldclock::TimeZoneSource *zones = nullptr;
  settings::ProfileStore *formState = nullptr;  // the zones the places follow
  // The computer's own clock, for the tray tip's day marks; the system's
  // when none is given.
  base::LocalClock *local = nullptr;
  // Handed the tray tip of the chosen places, and whether any is chosen,
  // whenever either changes.
  std::function<void(const std::string &, bool)> trayTip = nullptr;
};

class TForm2 : public ui::Form, public worldclock::PlaceTexts, private worldclock::ClocksView {
 public:
  explicit TForm2(const TForm2Services &services);

  std::array<std::string, worldclock::kPlaceCount> Places() const override;
  // Shows the window and brings it to the front.
  void ShowClocks() { Show(); }
  const worldclock::ClocksLogic &Logic() const { return logic_; }

  // Layout names.
  ui::Edit *Edit0, *Edit26;               // the read-only headings "Home Time" and "GMT"
  widgets::TDigitalClock *DigitalClock2;  // the home clock; its tick drives the window
  ui::Panel *Panel25;                     // GMT's time
  ui::Panel *Panel26;                     // the help, shown while the pointer is on "Help"
  std::array<ui::Panel *, worldclock::kPlaceCount> TimePanels{};  // Panel1 ... Panel24
  std::array<ui::Edit *, worldclock::kPlaceCount> PlaceBoxes{};   // Edit1 ... Edit24
  ui::Label *Label1;                                              // the help's text in Panel26
  widgets::THoverLabel *HoverLabel1;                              // "Help"
  ui::CheckBox *CheckBox1;                                        // "Military": 24-hour times
  ui::SpeedButton *SpeedButton1;  // "OK": keep the DST choices and hide
  ui::SpeedButton *SpeedButton2;  // "Reset": show and save the places
  ui::PopupMenu *PopupMenu1;      // a time panel's standard or daylight-saving time
  ui::MenuItem *StdTime1, *DSTime1;
  ui::MenuItem *N1;               // a separator
  ui::MenuItem *FollowTimeZone1;  // the zones with the place's offset
  ui::MenuItem *N2;               // a separator
  ui::MenuItem *ShipsTime1;       // the bells follow this place's time
  ui::MenuItem *ShowInTrayTip1;   // the place's time in the tray icon's tooltip
  ui::MenuItem *PlanATime1;       // every place's time at an hour the person chooses
  worldclock::TPlanTimeForm *PlanTimeWindow() const { return planTime_->Window(); }

  // The offset from UTC, in minutes, of the place the bells follow, as its
  // panel shows it; nothing while they keep the computer's clock.
  std::optional<int> ShipsOffset(const base::TimeOfDay &utc) const {
    return logic_.ShipsOffsetAt(utc);
  }
  // Told when the time the bells follow moves.
  std::function<void()> onShipsTimeMoved;

 protected:
  // The regional settings, or the scale, changed: the designators again.
  void SystemChange(UINT msg, WPARAM wp, LPARAM lp) override;
  void ScaleChanged() override { UseUsersDesignators(); }

 private:
  void BuildLayout();
  // One pair for the home clock, GMT and the places: the user's, unless they
  // would not fit a time panel.
  void UseUsersDesignators();
  void FormCreate();
  void DigitalClock2GetTime();
  void Edit1Change(int box) { logic_.BoxChanged(box); }
  void CheckBox1Click();
  void Panel1MouseDown(int panel);
  // The time zone submenu for the panel's place, as it stands now.
  void FillZoneMenu(int panel);
  void SpeedButton1Click();
  void SpeedButton2Click();

  // What the rules change in the window.
  std::string BoxText(int box) const override;
  void SetBoxText(int box, const std::string &text) override;
  void SetBoxColor(int box, unsigned long color) override;
  std::string PanelText(int panel) const override;
  void SetPanelText(int panel, const std::string &text) override;
  void SetGmtText(const std::string &text) override;
  bool Military() const override;
  void SetHomeClockMilitary(bool military) override;
  void SetButtons(bool okEnabled, bool resetEnabled) override;
  void FractionWarning(const std::string &message) override;
  void SaveSettings() override;
  void MarkShipsTime(int panel) override;
  void ShipsTimeMoved() override {
    if (onShipsTimeMoved) onShipsTimeMoved();
  }
  void PlacesShown() override {
    if (trayTip_) trayTip_->Update();
    if (planTime_) planTime_->Update();
  }
  void PlacesChanged() override {
    if (planTime_) planTime_->Update();
  }

  base::UtcClock &utc_;
  settings::SettingsHost &settings_;
  worldclock::ClocksLogic logic_;
  ui::WinLocalClock systemLocal_;
  // Made once the menu it joins exists; the panels are shown before that.
  std::unique_ptr<worldclock::TrayTipMenu> trayTip_;
  std::unique_ptr<worldclock::PlanTimeMenu> planTime_;
};

// Whether every 12-hour text written with this pair stands whole in a time
// panel and on the home clock (each 98 x 22 in the layout) at a DPI.
bool DesignatorsFitTheClocks(const base::Designators &designators, int dpi);

// The one clocks window of the program.
extern TForm2 *Form2;
