// The clocks window's rules apart from its controls: the tick once per UTC
// minute, the 24 places, the editing state and its buttons, the DST flags
// and where the flags line keeps them, Reset and OK.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "settings/persistent_properties.h"
#include "settings/settings_file.h"
#include "worldclock/place_texts.h"
#include "worldclock/zone_rules.h"

namespace worldclock {

// The window's controls, as the rules see them; boxes and panels count from 1.
class ClocksView {
 public:
  virtual ~ClocksView() = default;
  virtual std::string BoxText(int box) const = 0;
  virtual void SetBoxText(int box, const std::string& text) = 0;
  virtual void SetBoxColor(int box, unsigned long color) = 0;
  virtual std::string PanelText(int panel) const = 0;
  virtual void SetPanelText(int panel, const std::string& text) = 0;
  virtual void SetGmtText(const std::string& text) = 0;
  virtual bool Military() const = 0;
  virtual void SetHomeClockMilitary(bool military) = 0;
  virtual void SetButtons(bool okEnabled, bool resetEnabled) = 0;
  // Modal: the pointer moved to the middle of the screen, then the box.
  virtual void FractionWarning(const std::string& message) = 0;
  // The settings file written with this window's place texts ("ParmUpdate").
  virtual void SaveSettings() = 0;
  // The place whose time the bells follow (0: none) is marked.
  virtual void MarkShipsTime(int panel) { (void)panel; }
  // The time the bells follow moved: chosen, given back, a new offset or
  // daylight saving shown.
  virtual void ShipsTimeMoved() {}
  // The panels were shown anew (every minute, at Reset, at creation).
  virtual void PlacesShown() {}
  // What the places will show next changed: a box's text, a DST or zone
  // choice, "Military", the computer's clock or its zone.
  virtual void PlacesChanged() {}
};

// What a time panel shows, for the tray's tip.
struct ShownPlace {
  std::string boxText;
  std::string time;  // the panel's text
  // The place's offset from UTC in minutes, by which its date goes: a zone
  // listed a day away counts by its own offset.
  int offset = 0;
};

// Where the initialization file keeps the place whose time the bells follow:
// "Place=3".
inline constexpr const char* kShipsTimeSection = "Ship's Time";
inline constexpr const char* kShipsTimeKey = "Place";
inline constexpr const char* kShipsTimeCaption = "Ship's Time: Strike Bells Here";

// Where the initialization file keeps the zone each place follows, by the
// zone's key name: "Box1=W. Europe Standard Time".
inline constexpr const char* kZonesSection = "Time Zones";
std::string ZoneKeyName(int box);

inline constexpr const char* kFollowZoneCaption = "Follow Time Zone";

// One item of a place's time zone submenu.
struct ZoneMenuItem {
  std::string caption;  // as the menu takes it: a "&" that is meant is doubled
  std::string key;      // the zone to follow; empty for "None"
  bool checked = false;
  bool enabled = true;
  bool separatorBefore = false;
};

class ClocksLogic {
 public:
  static constexpr int kNoMinute = 99;

  explicit ClocksLogic(ClocksView& view) : view_(view) {}

  int EditingClocks = 0;
  int FormActive = 0;
  int LastUtcMinute = kNoMinute;

  int Dst(int panel) const { return dst_[panel - 1]; }
  // The pair the GMT panel and the places write, the home clock's own. A
  // new pair shows at the next tick, unless the times are being edited.
  const base::Designators& Designators() const { return designators_; }
  void SetDesignators(const base::Designators& designators);
  int ClickedPanel() const { return clicked_; }
  // Fraction warnings open now: one from a tick, and one from Reset over it.
  int WarningsOpen() const { return warningsOpen_; }

  // At creation: the DST flags from the flags line, the boxes from lines 2
  // to 25 of the settings text, then every place.
  void Create(const settings::FlagsLine& flags, const std::vector<std::string>& settingsText,
              base::TimeOfDay utc);
  // The home clock's time request: once per UTC minute, not while editing
  // and not while a fraction warning is open. A clock moved by whole hours
  // or days counts as a new minute.
  void Tick(base::TimeOfDay utc);
  // A place box's text changed (also a DST choice).
  void BoxChanged();
  // Box N's text changed, by the user or the program: it may warn again.
  // Then as above.
  void BoxChanged(int box);
  void MilitaryClicked();
  // A mouse button went down on a time panel: it becomes the target of the
  // DST commands.
  void PanelPressed(int panel) { clicked_ = panel; }
  // The time panels offer their menu only when they show text.
  bool PanelOffersMenu(int panel) const { return !view_.PanelText(panel).empty(); }
  void ChooseDst(int flag);
  // False (nothing saved, still editing) when a fraction was rejected.
  // Before saving, the DST flags go into the flags line, as OK puts them.
  bool Reset(base::TimeOfDay utc, settings::FlagsLine& flags);
  // The DST flags into the flags line in memory.
  void Ok(settings::FlagsLine& flags) const;

  // A place may follow one of the machine's time zones: its DST flag, and
  // its character in the flags line, then follow the zone's rules at every
  // update. Which zone is kept in `store` at once. Set before Create.
  void UseTimeZones(TimeZoneSource& zones, settings::ProfileStore& store,
                    settings::FlagsLine& flags);
  // The zone's key, or empty.
  const std::string& Following(int box) const { return following_[box - 1]; }
  // "None", then the zones whose standard offset is the one in the box,
  // then when the followed zone's clocks next change.
  std::vector<ZoneMenuItem> ZoneMenu(int box, base::TimeOfDay utc);
  // For the pressed panel: as a DST choice, with the flag in force now;
  // empty: following ends. Throws when the choice cannot be kept.
  void ChooseZone(const std::string& key, base::TimeOfDay utc);
  // The computer's clock or its settings changed: the flags in force now,
  // and every place again at the next tick.
  void TimeSettingsChanged(base::TimeOfDay utc);

  // Ship's time: the bells may follow one place's time, the one its panel
  // shows. Which place is kept in `store` at once. Set before Create.
  void KeepShipsTimeIn(settings::ProfileStore& store) { shipsStore_ = &store; }
  int ShipsPlace() const { return shipsPlace_; }
  // The offset from UTC, in minutes, of the time the chosen place's panel
  // shows; nothing while none is chosen or its panel shows no time.
  std::optional<int> ShipsOffset() const {
    return shipsPlace_ ? shown_[shipsPlace_ - 1] : std::nullopt;
  }
  // The same at the moment `utc`: a place that follows a zone changes
  // daylight saving with it at that very moment, before the panel next
  // shows it, so the bells aimed at the change strike the new time, once.
  std::optional<int> ShipsOffsetAt(base::TimeOfDay utc) const;
  // Nothing where box N's panel shows no time (no brackets, a red box). The
  // box's text is the one the panel's time was shown for.
  std::optional<ShownPlace> Shown(int box) const;

  // For the pressed panel: the bells follow its place, or, if they did
  // already, the computer's clock again. Throws when it cannot be kept.
  void ChooseShipsTime();

 private:
  // Every place again. A box whose fraction is rejected warns once for its
  // text, unless the user asks by Reset.
  void UpdateClocks(base::TimeOfDay utc, bool asked = false);
  // The fraction warning for box N's text, once per text unless asked.
  void Warn(int box, const std::string& text, const std::string& message, bool asked);

  // Each following place's flag from its zone's rule, and its box's offset
  // when the zone's moves; a zone Windows no longer lists ends following,
  // the flag as it was. Not the stale ones. A box is rewritten only while
  // the person is not editing, or at Reset.
  void FollowZones(base::TimeOfDay utc, const std::array<bool, kPlaceCount>& stale = {},
                   bool atReset = false);
  void FollowOffset(int box, const ZoneOffsets& zone, bool atReset = false);
  // The followed zones that the box's offset no longer gives.
  std::array<bool, kPlaceCount> StaleZones(base::TimeOfDay utc);
  void EndFollowing(int box);
  void SetDst(int box, bool dst);

  ClocksView& view_;
  TimeZoneSource* zones_ = nullptr;
  settings::ProfileStore* store_ = nullptr;
  settings::FlagsLine* flags_ = nullptr;
  std::array<std::string, kPlaceCount> following_{};
  // Minutes (0 or a whole day) from the time a following box gives to its
  // zone's own offset.
  std::array<int, kPlaceCount> dayAway_{};
  bool rewritingBox_ = false;
  long long lastStamp_ = 0;  // the minute of the last update, date and all
  base::Designators designators_;
  std::array<int, kPlaceCount> dst_{};
  int clicked_ = 0;
  int warningsOpen_ = 0;
  // The text each box last warned about; empty once it has changed.
  std::array<std::string, kPlaceCount> warnedText_{};
  // The offset each panel's time was shown with, where it shows one.
  std::array<std::optional<int>, kPlaceCount> shown_{};
  std::array<bool, kPlaceCount> shownDst_{};  // and whether that was daylight-saving time
  // The box's text each panel's time was shown for: while the person edits, the panels
  // stay as they were, and so do their places' names.
  std::array<std::string, kPlaceCount> shownText_{};
  settings::ProfileStore* shipsStore_ = nullptr;
  int shipsPlace_ = 0;
  // The followed zone's offset in force for ship's time, worked out once a
  // UTC minute (its changes come on whole minutes), not at every bell tick.
  struct ShipsZone {
    std::string key;
    long long minute = -1;
    std::optional<int> inForce;
  };
  mutable ShipsZone shipsZone_;
};

}  // namespace worldclock
