// The launch options on the machine: their submenu in the tray menu, their
// switches kept in the initialization file the moment they change, the
// balloon of a failed launch on the program's icon, and the launch log
// opened from the menu or from a click on that balloon.
#pragma once

#include <string>
#include <vector>

#include "launcher/launch_options.h"
#include "settings/options_menu_win.h"
#include "settings/persistent_properties.h"
#include "ui/library_win.h"
#include "widgets/tray_icon_win.h"

namespace launcher {

class LaunchOptions {
 public:
  // Reads the switches and adds "Launch Options" to the options' menu. The
  // tray icon goes before this object does.
  LaunchOptions(settings::OptionsMenu& menu, settings::ProfileStore& store,
                widgets::TTrayIcon& tray, std::string logPath);
  LaunchOptions(const LaunchOptions&) = delete;
  LaunchOptions& operator=(const LaunchOptions&) = delete;

  bool TellFailures() const { return tellFailures_; }
  bool RunMissedOnce() const { return runMissed_; }
  // What happened to an entry: while ticked, a failure shows its balloon.
  void Told(const LaunchOutcome& outcome);
  // The log with its associated program; nothing while there is none.
  void OpenLog();

 private:
  std::vector<ui::SubmenuEntry> Entries();

  settings::ProfileStore& store_;
  widgets::TTrayIcon& tray_;
  std::string logPath_;
  bool tellFailures_;
  bool runMissed_;
  FailureNotices notices_;
  ui::ComApartment com_;  // the window thread's, for the shell's open
};

}  // namespace launcher
