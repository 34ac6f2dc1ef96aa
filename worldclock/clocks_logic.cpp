#include "worldclock/clocks_logic.h"

#include "worldclock/place_time.h"

namespace worldclock {
namespace {

// One box and its panel as ShowPlaceTime sees them.
class OnePlace : public PlaceTimeView {
 public:
  OnePlace(ClocksView& view, int box, bool& warningOpen)
      : view_(view), box_(box), warningOpen_(warningOpen) {}
  void SetBoxColor(unsigned long color) override { view_.SetBoxColor(box_, color); }
  void SetPanelText(const std::string& text) override { view_.SetPanelText(box_, text); }
  void FractionWarning(const std::string& message) override {
    // While it is open, no tick may open another over it.
    warningOpen_ = true;
    try {
      view_.FractionWarning(message);
    } catch (...) {
      warningOpen_ = false;
      throw;
    }
    warningOpen_ = false;
  }
  void SetHomeClockMilitary(bool military) override { view_.SetHomeClockMilitary(military); }

 private:
  ClocksView& view_;
  int box_;
  bool& warningOpen_;
};

}  // namespace

int DstPosition(int box) { return box == 1 ? 52 : 27 + box; }

void ClocksLogic::Create(const settings::FlagsLine& flags,
                         const std::vector<std::string>& settingsText, ui::TimeOfDay utc) {
  for (int n = 1; n <= kPlaceBoxes; ++n) {
    if (flags.Get(DstPosition(n))) dst_[n - 1] = 1;
  }
  for (int n = 1; n <= kPlaceBoxes; ++n) {
    view_.SetBoxText(n, static_cast<size_t>(n) < settingsText.size() ? settingsText[n] : "");
  }
  UpdateClocks(utc);
}

void ClocksLogic::Tick(ui::TimeOfDay utc) {
  if (EditingClocks == 1 || warningOpen_) return;
  if (utc.minute == LastUtcMinute) return;
  LastUtcMinute = utc.minute;
  view_.SetGmtText(GmtText(utc, view_.Military()));
  UpdateClocks(utc);
}

void ClocksLogic::UpdateClocks(ui::TimeOfDay utc) {
  for (int n = 1; n <= kPlaceBoxes; ++n) {
    const std::string text = view_.BoxText(n);
    if (text.find('[') == std::string::npos || text.find(']') == std::string::npos) {
      view_.SetPanelText(n, "");
      continue;
    }
    OnePlace place(view_, n, warningOpen_);
    ShowPlaceTime(text, dst_[n - 1], view_.Military(), utc, place);
  }
}

void ClocksLogic::BoxChanged() {
  if (FormActive != 1) return;
  EditingClocks = 1;
  view_.SetButtons(false, true);
}

void ClocksLogic::MilitaryClicked() { view_.SetButtons(false, true); }

void ClocksLogic::ChooseDst(int flag) {
  if (clicked_ == 0) return;
  dst_[clicked_ - 1] = flag;
  BoxChanged();
}

bool ClocksLogic::Reset(ui::TimeOfDay utc) {
  FractionError = 0;
  UpdateClocks(utc);
  if (FractionError == 1) return false;
  view_.SaveSettings();
  EditingClocks = 0;
  LastUtcMinute = kNoMinute;
  view_.SetButtons(true, false);
  return true;
}

void ClocksLogic::Ok(settings::FlagsLine& flags) const {
  for (int n = 1; n <= kPlaceBoxes; ++n) flags.Set(DstPosition(n), dst_[n - 1] == 1);
}

}  // namespace worldclock
