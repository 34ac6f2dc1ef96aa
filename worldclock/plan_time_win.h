// The place menu's "Plan a Time..." item and the window it opens: one
// place's date and time in Windows' own pickers, and a day at a glance of
// every place the clocks window shows, in a list view.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/persistent_properties.h"
#include "ui/form_win.h"
#include "ui/menu_win.h"
#include "worldclock/plan_time.h"

namespace worldclock {

struct PlanTimeServices {
  const ClocksLogic& clocks;
  base::UtcClock& utc;
  TimeZoneSource* zones = nullptr;
  settings::ProfileStore* store = nullptr;  // keeps the window's bounds
  std::function<bool()> military;           // the clocks window's "Military"
};

class TPlanTimeForm : public ui::Form {
 public:
  TPlanTimeForm(const ui::Form& owner, PlanTimeServices services);

  // In front, with that place (0: the computer's clock) the reference, at
  // its next whole hour.
  void Open(int box);
  // The places as the clocks window shows them, again.
  void Rebuild();
  // The selected row onto the clipboard, as one line.
  void Copy();

  int Reference() const { return reference_; }
  const PlanDay& Day() const { return day_; }
  HWND Grid() const { return grid_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void SystemChange(UINT msg, WPARAM wp, LPARAM lp) override;
  void ScaleChanged() override;

 private:
  void Layout();
  void SendFonts();
  PlanPlace Here() const;
  // The date picker's date and the time picker's time.
  PlanChoice Picked() const;
  void ShowChoice();
  void Fill();
  void Select(int row);
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;
  void Notify(const NMHDR& header, LRESULT& result);
  void KeepBounds();

  PlanTimeServices services_;
  int reference_ = 0;
  std::vector<PlanPlace> places_;
  size_t referenceColumn_ = 0;
  PlanChoice chosen_;
  bool military_ = false;
  PlanDay day_;
  bool filling_ = false;
  HWND name_ = nullptr, date_ = nullptr, time_ = nullptr, copy_ = nullptr, grid_ = nullptr,
       shading_ = nullptr;
};

class PlanTimeMenu {
 public:
  // Appends the item to `menu`; it acts on the place whose panel was last
  // pressed. The window is made the first time it is asked for.
  PlanTimeMenu(ui::Form& owner, ui::PopupMenu& menu, PlanTimeServices services);

  ui::MenuItem* Item() const { return item_; }
  // Greyed on a place whose panel shows no time.
  void PanelPressed(int panel);
  // The places changed, or were shown anew.
  void Update();
  TPlanTimeForm* Window() const { return form_.get(); }

 private:
  ui::Form& owner_;
  PlanTimeServices services_;
  ui::MenuItem* item_;
  std::unique_ptr<TPlanTimeForm> form_;
};

}  // namespace worldclock
