// The place panel's "Show in Tray Tip" item, and the tip it feeds to the
// tray icon, whose owner shows it.
#pragma once

#include <functional>
#include <string>

#include "base/clock.h"
#include "ui/menu_win.h"
#include "worldclock/tray_tip.h"

namespace worldclock {

class TrayTipMenu {
 public:
  // Appends the item to `menu`; it acts on the place whose panel was last
  // pressed. `show` is handed each new tip, an empty one included, and
  // whether any place is chosen: while one is, the tip keeps the larger
  // record even when it is empty.
  TrayTipMenu(base::Component& owner, ui::PopupMenu& menu, const ClocksLogic& clocks,
              base::UtcClock& utc, base::LocalClock& local, settings::ProfileStore* store,
              std::function<void(const std::string&, bool)> show);

  ui::MenuItem* Item() const { return item_; }
  // The check mark for the pressed panel's place.
  void PanelPressed(int panel) { item_->SetChecked(tip_.Chosen(panel)); }
  // The panels were shown anew.
  void Update();

 private:
  const ClocksLogic& clocks_;
  base::UtcClock& utc_;
  base::LocalClock& local_;
  TrayTip tip_;
  std::function<void(const std::string&, bool)> show_;
  ui::MenuItem* item_;
};

}  // namespace worldclock
