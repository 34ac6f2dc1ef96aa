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

// A box's offset as the person would type it: "3", "-2", "5.5", "-3.5",
// "12.75"; none for minutes a box cannot hold.
std::optional<std::string> OffsetText(int minutes) {
  static const char* const kQuarters[] = {"", ".25", ".5", ".75"};
  const int magnitude = minutes < 0 ? -minutes : minutes;
  if (magnitude % 15 != 0) return std::nullopt;
  return std::string(minutes < 0 ? "-" : "") + std::to_string(magnitude / 60) +
         kQuarters[magnitude % 60 / 15];
}

// What a followed zone's clocks call for in its box: its standard offset,
// with the flag for an hour's daylight saving; any other offset in force
// (a record that moves the clocks back by its "daylight" bias) as it stands.
struct BoxState {
  int offset;
  bool dst;
};
BoxState WantedBox(const ZoneOffsets& zone) {
  if (zone.inForce == zone.standard || zone.inForce == zone.standard + 60) {
    return {BoxOffsetOf(zone.standard), zone.inForce != zone.standard};
  }
  return {BoxOffsetOf(zone.inForce), false};
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
    // A zone gone, or a box that gives no offset at all (emptied while
    // editing, then saved by the main window), ends the choice. A box with
    // another offset follows the zone on: the zone may have moved at any
    // time since the last run.
    for (int n = 1; n <= kPlaceCount; ++n) {
      const std::string& key = following_[n - 1];
      if (!key.empty() && (!AcceptedOffset(view_.BoxText(n)) || !OffsetsAt(*zones_, key, utc))) {
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
  // A box that still gives the zone's offset of a year ago follows the zone
  // on: the zone moved while the person was editing, when the minutes do
  // not follow it.
  const base::TimeOfDay yearAgo =
      base::FromMinutesSinceEpoch(base::MinutesSinceEpoch(utc) - 365LL * base::kMinutesPerDay);
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (following_[n - 1].empty()) continue;
    const auto box = AcceptedOffset(view_.BoxText(n));
    auto fits = [&box](const std::optional<ZoneOffsets>& zone) {
      return zone && WantedBox(*zone).offset == *box;
    };
    stale[n - 1] = !box || (!fits(OffsetsAt(*zones_, following_[n - 1], utc)) &&
                            !fits(OffsetsAt(*zones_, following_[n - 1], yearAgo)));
  }
  return stale;
}

void ClocksLogic::FollowZones(base::TimeOfDay utc, const std::array<bool, kPlaceCount>& stale,
                              bool atReset) {
  if (!zones_) return;
  for (int n = 1; n <= kPlaceCount; ++n) {
    if (following_[n - 1].empty() || stale[n - 1]) continue;
    if (const auto zone = OffsetsAt(*zones_, following_[n - 1], utc)) {
      FollowOffset(n, *zone, atReset);
    } else {
      EndFollowing(n);
    }
  }
}

void ClocksLogic::FollowOffset(int box, const ZoneOffsets& zone, bool atReset) {
  const BoxState wanted = WantedBox(zone);
  const std::string text = view_.BoxText(box);
  std::optional<int> offset = AcceptedOffset(text);
  // A new offset for the zone: the box says so, its name kept. Not while the
  // person is typing, but at Reset, which takes what was typed; nor in a box
  // whose offset is not a valid one.
  if (offset && *offset != wanted.offset && (EditingClocks == 0 || atReset)) {
    const size_t open = text.find('['), close = text.find(']');
    if (const auto typed = OffsetText(wanted.offset); typed && close > open) {
      rewritingBox_ = true;
      view_.SetBoxText(box, text.substr(0, open + 1) + *typed + text.substr(close));
      rewritingBox_ = false;
      offset = wanted.offset;
    }
  }
  SetDst(box, wanted.dst);
  // The date there goes by the zone's own offset, a day from the box's.
  const int away = offset ? zone.inForce - (*offset + (wanted.dst ? 60 : 0)) : 0;
  dayAway_[box - 1] =
      (away + (away < 0 ? -720 : 720)) / base::kMinutesPerDay * base::kMinutesPerDay;
}

void ClocksLogic::SetDst(int box, bool dst) {
  dst_[box - 1] = dst ? 1 : 0;
  if (flags_) flags_->Set(settings::DstPosition(box), dst);
}

void ClocksLogic::EndFollowing(int box) {
  // Ended in memory whatever the file says, or a tick would try every minute.
  following_[box - 1].clear();
  dayAway_[box - 1] = 0;
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
    const auto zoneOffset = chosen ? std::nullopt : FollowableOffset(*zones_, zone.key, utc);
    if (chosen || (offset && zoneOffset && BoxOffsetOf(*zoneOffset) == *offset)) {
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
    view_.PlacesChanged();
    return;
  }
  const auto zone = OffsetsAt(*zones_, key, utc);
  if (!zone) return;  // gone since the menu opened
  // Kept at once: a program ended from outside keeps the choice.
  if (!store_->WriteString(kZonesSection, ZoneKeyName(box), key)) {
    throw base::WriteError(store_->Path());
  }
  following_[box - 1] = key;
  FollowOffset(box, *zone);
  BoxChanged();
  view_.PlacesChanged();
}

void ClocksLogic::TimeSettingsChanged(base::TimeOfDay utc) {
  FollowZones(utc);
  LastUtcMinute = kNoMinute;
  view_.PlacesChanged();
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
      shownText_[n - 1] = text;
      shownDst_[n - 1] = dst_[n - 1] == 1;
    }
    if (place.warning) Warn(n, text, *place.warning, asked);
    if (place.homeClockMilitary) view_.SetHomeClockMilitary(*place.homeClockMilitary);
  }
  if (ShipsOffset() != ships) view_.ShipsTimeMoved();
  view_.PlacesShown();
}

std::optional<int> ClocksLogic::ShipsOffsetAt(base::TimeOfDay utc) const {
  const std::optional<int> shown = ShipsOffset();
  if (!shown || !zones_ || following_[shipsPlace_ - 1].empty()) return shown;
  const std::string& key = following_[shipsPlace_ - 1];
  const long long minute = base::MinutesSinceEpoch(utc);
  if (shipsZone_.key != key || shipsZone_.minute != minute) {
    const auto zone = OffsetsAt(*zones_, key, utc);
    shipsZone_ = {key, minute, zone ? std::optional<int>(zone->inForce) : std::nullopt};
  }
  if (!shipsZone_.inForce) return shown;
  // On the day the panel shows: a zone listed a day away strikes the same.
  int offset = *shipsZone_.inForce;
  while (offset - *shown > 720) offset -= base::kMinutesPerDay;
  while (*shown - offset > 720) offset += base::kMinutesPerDay;
  return offset;
}

std::optional<ShownPlace> ClocksLogic::Shown(int box) const {
  if (!shown_[box - 1]) return std::nullopt;
  return ShownPlace{shownText_[box - 1], view_.PanelText(box),
                    *shown_[box - 1] + dayAway_[box - 1]};
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
  // The program's own new offset for a followed zone is no typing.
  if (FormActive != 1 || rewritingBox_) return;
  EditingClocks = 1;
  view_.SetButtons(false, true);
}

void ClocksLogic::BoxChanged(int box) {
  warnedText_[box - 1].clear();
  BoxChanged();
  view_.PlacesChanged();
}

void ClocksLogic::MilitaryClicked() {
  view_.SetButtons(false, true);
  view_.PlacesChanged();
}

void ClocksLogic::ChooseDst(int flag) {
  if (clicked_ == 0) return;
  dst_[clicked_ - 1] = flag;
  BoxChanged();
  // The person has taken over from the zone.
  if (!following_[clicked_ - 1].empty()) EndFollowing(clicked_);
  view_.PlacesChanged();
}

bool ClocksLogic::Reset(base::TimeOfDay utc, settings::FlagsLine& flags) {
  FractionError = 0;
  // A place whose box no longer gives its zone's offset stops following it
  // only once Reset is through: a rejected fraction may yet be mended.
  std::array<bool, kPlaceCount> stale{};
  if (zones_) {
    stale = StaleZones(utc);
    // A zone that moved meanwhile is written into its box, then saved.
    FollowZones(utc, stale, true);
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
