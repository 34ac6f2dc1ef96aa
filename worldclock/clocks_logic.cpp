#include "worldclock/clocks_logic.h"

#include "worldclock/place_time.h"

namespace worldclock {
void ClocksLogic::Create(const settings::FlagsLine& flags,
                         const std::vector<std::string>& settingsText, base::TimeOfDay utc) {
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (flags.Get(settings::DstPosition(n))) dst_[n - 1] = 1;
  }
  for (int n = 1; n <= kPlaceCount; ++n) {
    view_.SetBoxText(n, static_cast<size_t>(n) < settingsText.size() ? settingsText[n] : "");
    warnedText_[n - 1].clear();  // loaded anew
  }
  UpdateClocks(utc);
}

void ClocksLogic::Tick(base::TimeOfDay utc) {
  if (EditingClocks == 1 || warningsOpen_ > 0) return;
  if (utc.minute == LastUtcMinute && utc.hour == lastUtcHour_) return;
  LastUtcMinute = utc.minute;
  lastUtcHour_ = utc.hour;
  view_.SetGmtText(GmtText(utc, view_.Military(), designators_));
  UpdateClocks(utc);
}

void ClocksLogic::UpdateClocks(base::TimeOfDay utc, bool asked) {
  for (int n = 1; n <= kPlaceCount; ++n) {
    const std::string text = view_.BoxText(n);
    if (text.find('[') == std::string::npos || text.find(']') == std::string::npos) {
      view_.SetPanelText(n, "");
      continue;
    }
    const PlaceTime place = ShowPlaceTime(text, dst_[n - 1], view_.Military(), utc, designators_);
    view_.SetBoxColor(n, place.boxColor);
    if (place.panelText) view_.SetPanelText(n, *place.panelText);
    if (place.warning) Warn(n, text, *place.warning, asked);
    if (place.homeClockMilitary) view_.SetHomeClockMilitary(*place.homeClockMilitary);
  }
}

void ClocksLogic::Warn(int box, const std::string& text, const std::string& message, bool asked) {
  // A stored bad box would otherwise take the pointer every minute.
  std::string& warned = warnedText_[box - 1];
  if (!asked && warned == text) return;
  warned = text;
  // While one is open, no tick may open another over it; Reset may, and the
  // first one's closing must not let the ticks in under the second.
  ++warningsOpen_;
  try {
    view_.FractionWarning(message);
  } catch (...) {
    --warningsOpen_;
    throw;
  }
  --warningsOpen_;
}

void ClocksLogic::SetDesignators(const base::Designators& designators) {
  if (designators == designators_) return;
  designators_ = designators;
  LastUtcMinute = kNoMinute;
}

void ClocksLogic::BoxChanged() {
  if (FormActive != 1) return;
  EditingClocks = 1;
  view_.SetButtons(false, true);
}

void ClocksLogic::BoxChanged(int box) {
  warnedText_[box - 1].clear();
  BoxChanged();
}

void ClocksLogic::MilitaryClicked() { view_.SetButtons(false, true); }

void ClocksLogic::ChooseDst(int flag) {
  if (clicked_ == 0) return;
  dst_[clicked_ - 1] = flag;
  BoxChanged();
}

bool ClocksLogic::Reset(base::TimeOfDay utc, settings::FlagsLine& flags) {
  FractionError = 0;
  UpdateClocks(utc, true);
  if (FractionError == 1) return false;
  // The save writes the flags line as it stands: a DST choice must not wait
  // for OK, which a close box or a log-off may never bring.
  Ok(flags);
  view_.SaveSettings();
  EditingClocks = 0;
  LastUtcMinute = kNoMinute;
  view_.SetButtons(true, false);
  return true;
}

void ClocksLogic::Ok(settings::FlagsLine& flags) const {
  for (int n = 1; n <= kPlaceCount; ++n) flags.Set(settings::DstPosition(n), dst_[n - 1] == 1);
}

}  // namespace worldclock
