#include "worldclock/tray_tip_win.h"

#include <cmath>

#include "worldclock/zone_rules.h"

namespace worldclock {

TrayTipMenu::TrayTipMenu(base::Component& owner, ui::PopupMenu& menu, const ClocksLogic& clocks,
                         base::UtcClock& utc, base::LocalClock& local,
                         settings::ProfileStore* store,
                         std::function<void(const std::string&, bool)> show)
    : clocks_(clocks), utc_(utc), local_(local), tip_(store), show_(std::move(show)) {
  item_ = owner.Create<ui::MenuItem>(&menu, "ShowInTrayTip1", kTrayTipCaption);
  item_->OnClick = [this] {
    if (clocks_.ClickedPanel() == 0) return;
    tip_.Toggle(clocks_.ClickedPanel());
    Update();
  };
}

void TrayTipMenu::Update() {
  if (!show_) return;
  // Nothing chosen: no clock to read; an empty tip and the small record.
  if (!tip_.AnyChosen()) return show_(std::string(), false);
  const base::TimeOfDay utc = utc_.NowUtc();
  // The computer's offset, to the minute: the two readings are apart by a
  // few microseconds, never by a minute's worth.
  const double apart = static_cast<double>(EpochMs(local_.Now()) - EpochMs(utc)) / 60000.0;
  // The icon itself does nothing when the tip is as it was.
  show_(tip_.Text(clocks_, utc, static_cast<int>(std::lround(apart))), true);
}

}  // namespace worldclock
