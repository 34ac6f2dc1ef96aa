// The clocks window's rules apart from its controls: the tick once per UTC
// minute, the 24 places, the editing state and its buttons, the DST flags
// and where the flags line keeps them, Reset and OK.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "ui/clock.h"
#include "worldclock/place_texts.h"

namespace worldclock {

// Box N's DST flag in the flags line: boxes 2 to 24 at 27 + N, box 1 at 52.
int DstPosition(int box);

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
};

class ClocksLogic {
 public:
  static constexpr int kNoMinute = 99;

  explicit ClocksLogic(ClocksView& view) : view_(view) {}

  int EditingClocks = 0;
  int FormActive = 0;
  int LastUtcMinute = kNoMinute;

  int Dst(int panel) const { return dst_[panel - 1]; }
  int ClickedPanel() const { return clicked_; }
  bool WarningOpen() const { return warningOpen_; }

  // At creation: the DST flags from the flags line, the boxes from lines 2
  // to 25 of the settings text, then every place.
  void Create(const settings::FlagsLine& flags, const std::vector<std::string>& settingsText,
              ui::TimeOfDay utc);
  // The home clock's time request: once per UTC minute, not while editing
  // and not while a fraction warning is open.
  void Tick(ui::TimeOfDay utc);
  void UpdateClocks(ui::TimeOfDay utc);
  // A place box's text changed (also a DST choice).
  void BoxChanged();
  void MilitaryClicked();
  // A mouse button went down on a time panel: it becomes the target of the
  // DST commands.
  void PanelPressed(int panel) { clicked_ = panel; }
  // The time panels offer their menu only when they show text.
  bool PanelOffersMenu(int panel) const { return !view_.PanelText(panel).empty(); }
  void ChooseDst(int flag);
  // False (nothing saved, still editing) when a fraction was rejected.
  bool Reset(ui::TimeOfDay utc);
  // The DST flags into the flags line in memory.
  void Ok(settings::FlagsLine& flags) const;

 private:
  ClocksView& view_;
  std::array<int, kPlaceBoxes> dst_{};
  int clicked_ = 0;
  bool warningOpen_ = false;
};

}  // namespace worldclock
