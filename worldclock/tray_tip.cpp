#include "worldclock/tray_tip.h"

#include <cstdio>

#include "base/error.h"

namespace worldclock {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

long long DayAt(const base::TimeOfDay& utc, int offset) {
  return base::DaysSinceEpoch(base::FromMinutesSinceEpoch(base::MinutesSinceEpoch(utc) + offset));
}

std::string DayMark(long long days) {
  if (days == 0) return "";
  char mark[32];
  std::snprintf(mark, sizeof mark, " %+d %s", static_cast<int>(days),
                days == 1 || days == -1 ? "day" : "days");
  return mark;
}

}  // namespace

std::string PlaceName(const std::string& boxText) {
  const size_t open = boxText.find('[');
  if (open == std::string::npos) return Trimmed(boxText);
  std::string name = Trimmed(boxText.substr(0, open));
  if (!name.empty()) return name;
  const size_t close = boxText.find(']', open);
  return boxText.substr(open, close == std::string::npos ? std::string::npos : close - open + 1);
}

std::string TrayTipText(const std::vector<ShownPlace>& places, const base::TimeOfDay& utc,
                        int localOffset) {
  static const std::string kMore = "...";
  const long long today = DayAt(utc, localOffset);
  std::string tip;
  for (size_t i = 0; i < places.size(); ++i) {
    const ShownPlace& place = places[i];
    const std::string line =
        PlaceName(place.boxText) + " " + place.time + DayMark(DayAt(utc, place.offset) - today);
    const std::string joined = tip.empty() ? line : tip + "\n" + line;
    // The last line needs no room for the mark after it.
    const size_t room = i + 1 == places.size() ? kTrayTipLength : kTrayTipLength - 1 - kMore.size();
    if (joined.size() > room) return tip.empty() ? kMore : tip + "\n" + kMore;
    tip = joined;
  }
  return tip;
}

TrayTip::TrayTip(settings::ProfileStore* store) : store_(store) {
  if (!store_) return;
  for (int n = 1; n <= kPlaceCount; ++n) {
    chosen_[n - 1] = store_->ReadString(kTrayTipSection, ZoneKeyName(n), "") == "1";
  }
}

bool TrayTip::AnyChosen() const {
  for (bool chosen : chosen_) {
    if (chosen) return true;
  }
  return false;
}

void TrayTip::Toggle(int box) {
  const bool chosen = !chosen_[box - 1];
  if (store_) {
    const bool kept = chosen ? store_->WriteString(kTrayTipSection, ZoneKeyName(box), "1")
                             : store_->RemoveKey(kTrayTipSection, ZoneKeyName(box));
    if (!kept) throw base::WriteError(store_->Path());
  }
  chosen_[box - 1] = chosen;
}

std::string TrayTip::Text(const ClocksLogic& clocks, const base::TimeOfDay& utc,
                          int localOffset) const {
  std::vector<ShownPlace> places;
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (!chosen_[n - 1]) continue;
    if (auto shown = clocks.Shown(n)) places.push_back(std::move(*shown));
  }
  return TrayTipText(places, utc, localOffset);
}

}  // namespace worldclock
