// The bells' manners on Windows: the choices kept in the initialization
// file's [Options] section, the "Bell Options" submenu that changes them,
// and the shell's word on whether the person presents or plays full screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bells/bell_manners.h"
#include "settings/persistent_properties.h"
#include "ui/menu_win.h"

namespace bells {

inline constexpr const char* kBellVolumeKey = "BellVolume";
inline constexpr const char* kHalfVolumeAtNightKey = "HalfVolumeAtNight";
inline constexpr const char* kQuietWhenPresentingKey = "QuietWhenPresenting";
inline constexpr const char* kSixteenBellsKey = "SixteenBellsAtNewYear";

// The shell's user notification state (Vista and later, found at run time);
// nothing where the call is missing or fails.
std::optional<int> UserNotificationState();

class WinBellManners {
 public:
  // Reads the choices; each is written back the moment it changes.
  explicit WinBellManners(settings::ProfileStore& store);

  BellManners& Manners() { return manners_; }
  // The submenu's entries as the choices stand now.
  std::vector<ui::SubmenuEntry> MenuEntries();

 private:
  void ChooseVolume(int percent);
  void Toggle(bool MannerChoices::*choice, const char* key);

  settings::ProfileStore& store_;
  BellManners manners_;
};

}  // namespace bells
