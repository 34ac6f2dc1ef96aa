#include "worldclock/clocks_logic.h"

#include <cstdio>

#include "base/error.h"
#include "worldclock/place_time.h"

namespace worldclock {
namespace {

// A display name as a menu item shows it: a "&" would underline the next letter.
std::string MenuText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

// "Clocks go forward on 29 Mar 2026 at 02:00", on the clocks there.
std::string ChangeText(const ZoneChange& change) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof text, "Clocks go %s on %d %s %d at %02d:%02d",
                change.toDaylight ? "forward" : "back", change.local.day,
                kMonths[(change.local.month + 11) % 12], change.local.year, change.local.hour,
                change.local.minute);
  return text;
}

}  // namespace

std::string ZoneKeyName(int box) { return "Box" + std::to_string(box); }

void ClocksLogic::UseTimeZones(TimeZoneSource& zones, settings::ProfileStore& store,
                               settings::FlagsLine& flags) {
  zones_ = &zones;
  store_ = &store;
  flags_ = &flags;
}
void ClocksLogic::Create(const settings::FlagsLine& flags,
                         const std::vector<std::string>& settingsText, base::TimeOfDay utc) {
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (flags.Get(settings::DstPosition(n))) dst_[n - 1] = 1;
  }
  for (int n = 1; n <= kPlaceCount; ++n) {
    view_.SetBoxText(n, static_cast<size_t>(n) < settingsText.size() ? settingsText[n] : "");
    warnedText_[n - 1].clear();  // loaded anew
  }
  if (shipsStore_) {
    // Anything but a place's number is no choice: the bells keep the
    // computer's clock.
    const std::string place = shipsStore_->ReadString(kShipsTimeSection, kShipsTimeKey, "");
    for (int n = 1; n <= kPlaceCount; ++n) {
      if (place == std::to_string(n)) shipsPlace_ = n;
    }
    if (shipsPlace_) view_.MarkShipsTime(shipsPlace_);
  }
  if (zones_) {
    for (int n = 1; n <= kPlaceCount; ++n) {
      following_[n - 1] = store_->ReadString(kZonesSection, ZoneKeyName(n), "");
    }
    // A box changed by hand in the settings file, or a zone gone: the
    // choice ends, as at Reset.
    const auto stale = StaleZones(utc);
    for (int n = 1; n <= kPlaceCount; ++n) {
      if (stale[n - 1]) {
        following_[n - 1].clear();
        store_->RemoveKey(kZonesSection, ZoneKeyName(n));  // tried again at the next start
      }
    }
    FollowZones(utc);
  }
  UpdateClocks(utc);
}

std::array<bool, kPlaceCount> ClocksLogic::StaleZones(base::TimeOfDay utc) {
  std::array<bool, kPlaceCount> stale{};
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (following_[n - 1].empty()) continue;
    const auto box = AcceptedOffset(view_.BoxText(n));
    const auto zone = FollowableOffset(*zones_, following_[n - 1], utc);
    stale[n - 1] = !box || !zone || *box != *zone;
  }
  return stale;
}

void ClocksLogic::FollowZones(base::TimeOfDay utc, const std::array<bool, kPlaceCount>& stale) {
  if (!zones_) return;
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (following_[n - 1].empty() || stale[n - 1]) continue;
    if (const auto dst = DaylightInForce(*zones_, following_[n - 1], utc)) {
      SetDst(n, *dst);
    } else {
      EndFollowing(n);
    }
  }
}

void ClocksLogic::SetDst(int box, bool dst) {
  dst_[box - 1] = dst ? 1 : 0;
  if (flags_) flags_->Set(settings::DstPosition(box), dst);
}

void ClocksLogic::EndFollowing(int box) {
  // Ended in memory whatever the file says, or a tick would try every minute.
  following_[box - 1].clear();
  if (!store_->RemoveKey(kZonesSection, ZoneKeyName(box))) throw base::WriteError(store_->Path());
}

std::vector<ZoneMenuItem> ClocksLogic::ZoneMenu(int box, base::TimeOfDay utc) {
  const std::string& followed = following_[box - 1];
  std::vector<ZoneMenuItem> items{{"None", "", followed.empty()}};
  if (!zones_) return items;
  const auto offset = AcceptedOffset(view_.BoxText(box));
  bool listed = false;
  for (const ZoneListing& zone : zones_->Zones()) {
    // The followed zone stays in sight while its box is being edited.
    const bool chosen = zone.key == followed;
    if (chosen || (offset && FollowableOffset(*zones_, zone.key, utc) == offset)) {
      items.push_back({MenuText(zone.name), zone.key, chosen, true, !listed});
      listed = true;
    }
  }
  if (!listed) items.push_back({"No time zone has this offset", "", false, false, true});
  if (!followed.empty()) {
    if (const auto next = NextChange(*zones_, followed, utc)) {
      items.push_back({ChangeText(*next), "", false, false, true});
    }
  }
  return items;
}

void ClocksLogic::ChooseZone(const std::string& key, base::TimeOfDay utc) {
  if (clicked_ == 0 || !zones_) return;
  const int box = clicked_;
  if (key.empty()) {
    if (!following_[box - 1].empty()) EndFollowing(box);
    return;
  }
  const auto dst = DaylightInForce(*zones_, key, utc);
  if (!dst) return;  // gone since the menu opened
  // Kept at once: a program ended from outside keeps the choice.
  if (!store_->WriteString(kZonesSection, ZoneKeyName(box), key)) {
    throw base::WriteError(store_->Path());
  }
  following_[box - 1] = key;
  SetDst(box, *dst);
  BoxChanged();
}

void ClocksLogic::TimeSettingsChanged(base::TimeOfDay utc) {
  FollowZones(utc);
  LastUtcMinute = kNoMinute;
}

void ClocksLogic::Tick(base::TimeOfDay utc) {
  if (EditingClocks == 1 || warningsOpen_ > 0) return;
  const long long stamp = base::MinutesSinceEpoch(utc);
  if (utc.minute == LastUtcMinute && stamp == lastStamp_) return;
  LastUtcMinute = utc.minute;
  lastStamp_ = stamp;
  FollowZones(utc);
  view_.SetGmtText(GmtText(utc, view_.Military(), designators_));
  UpdateClocks(utc);
}

void ClocksLogic::UpdateClocks(base::TimeOfDay utc, bool asked) {
  const std::optional<int> ships = ShipsOffset();
  for (int n = 1; n <= kPlaceCount; ++n) {
    const std::string text = view_.BoxText(n);
    if (text.find('[') == std::string::npos || text.find(']') == std::string::npos) {
      view_.SetPanelText(n, "");
      shown_[n - 1].reset();
      continue;
    }
    const PlaceTime place = ShowPlaceTime(text, dst_[n - 1], view_.Military(), utc, designators_);
    view_.SetBoxColor(n, place.boxColor);
    // A rejected fraction leaves the panel, and the time it shows, as it was.
    if (place.panelText) {
      view_.SetPanelText(n, *place.panelText);
      shown_[n - 1] = place.offsetMinutes;
      shownDst_[n - 1] = dst_[n - 1] == 1;
    }
    if (place.warning) Warn(n, text, *place.warning, asked);
    if (place.homeClockMilitary) view_.SetHomeClockMilitary(*place.homeClockMilitary);
  }
  if (ShipsOffset() != ships) view_.ShipsTimeMoved();
}

std::optional<int> ClocksLogic::ShipsOffsetAt(base::TimeOfDay utc) const {
  const std::optional<int> shown = ShipsOffset();
  if (!shown || !zones_ || following_[shipsPlace_ - 1].empty()) return shown;
  const std::string& key = following_[shipsPlace_ - 1];
  const long long minute = base::MinutesSinceEpoch(utc);
  if (shipsZone_.key != key || shipsZone_.minute != minute) {
    shipsZone_ = {key, minute, DaylightInForce(*zones_, key, utc)};
  }
  const std::optional<bool> dst = shipsZone_.dst;
  if (!dst) return shown;
  return *shown + ((*dst ? 1 : 0) - (shownDst_[shipsPlace_ - 1] ? 1 : 0)) * 60;
}

void ClocksLogic::ChooseShipsTime() {
  if (clicked_ == 0 || !shipsStore_) return;
  const int place = shipsPlace_ == clicked_ ? 0 : clicked_;
  // Kept at once: a program ended from outside keeps the choice.
  const bool kept =
      place ? shipsStore_->WriteString(kShipsTimeSection, kShipsTimeKey, std::to_string(place))
            : shipsStore_->RemoveKey(kShipsTimeSection, kShipsTimeKey);
  if (!kept) throw base::WriteError(shipsStore_->Path());
  shipsPlace_ = place;
  view_.MarkShipsTime(place);
  view_.ShipsTimeMoved();
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
  // The person has taken over from the zone.
  if (!following_[clicked_ - 1].empty()) EndFollowing(clicked_);
}

bool ClocksLogic::Reset(base::TimeOfDay utc, settings::FlagsLine& flags) {
  FractionError = 0;
  // A place whose box no longer gives its zone's offset stops following it
  // only once Reset is through: a rejected fraction may yet be mended.
  std::array<bool, kPlaceCount> stale{};
  if (zones_) {
    stale = StaleZones(utc);
    FollowZones(utc, stale);
  }
  UpdateClocks(utc, true);
  if (FractionError == 1) return false;
  // The save writes the flags line as it stands: a DST choice must not wait
  // for OK, which a close box or a log-off may never bring.
  Ok(flags);
  view_.SaveSettings();
  EditingClocks = 0;
  LastUtcMinute = kNoMinute;
  view_.SetButtons(true, false);
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (stale[n - 1]) EndFollowing(n);
  }
  return true;
}

void ClocksLogic::Ok(settings::FlagsLine& flags) const {
  for (int n = 1; n <= kPlaceCount; ++n) flags.Set(settings::DstPosition(n), dst_[n - 1] == 1);
}

}  // namespace worldclock
