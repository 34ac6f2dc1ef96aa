#include "launcher/launch_options_win.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "settings/options.h"
#include "ui/paths_win.h"

namespace launcher {
LaunchOptions::LaunchOptions(settings::OptionsMenu& menu, settings::ProfileStore& store,
                             widgets::TTrayIcon& tray, std::string logPath)
    : store_(store),
      tray_(tray),
      logPath_(std::move(logPath)),
      tellFailures_(settings::ReadSwitch(store, kTellFailuresKey)),
      runMissed_(settings::ReadSwitch(store, kRunMissedKey)) {
  menu.AddSubmenu("LaunchOptions1", "Launch Options", [this] { return Entries(); });
  // A click on the balloon is the way to the whole story.
  tray_.OnBalloonClick = [this] { OpenLog(); };
}

std::vector<ui::SubmenuEntry> LaunchOptions::Entries() {
  std::vector<ui::SubmenuEntry> entries(3);
  entries[0].caption = "Tell Me When a Launch Fails";
  entries[0].checked = tellFailures_;
  entries[0].onClick = [this] { settings::FlipSwitch(store_, kTellFailuresKey, tellFailures_); };
  entries[1].caption = "Run Missed Launches Once";
  entries[1].checked = runMissed_;
  entries[1].onClick = [this] { settings::FlipSwitch(store_, kRunMissedKey, runMissed_); };
  // Asked each time the menu opens: the first launch makes the log.
  entries[2].caption = "Open Launch Log";
  entries[2].enabled = ui::FileExists(logPath_);
  entries[2].separatorBefore = true;
  entries[2].onClick = [this] { OpenLog(); };
  return entries;
}

void LaunchOptions::Told(const LaunchOutcome& outcome) {
  // Unticked, a failure stays silent and is no part of a later balloon.
  if (!tellFailures_) return;
  if (const std::optional<Balloon> balloon = notices_.Add(outcome))
    tray_.ShowBalloon(balloon->title, balloon->text);
}

void LaunchOptions::OpenLog() {
  if (!ui::FileExists(logPath_)) return;
  com_.Start();
  // The shell's own box says it when no program opens a log. By its wide
  // path: the folder's name may hold letters the code page lacks.
  ShellExecuteW(nullptr, L"open", ui::FilePath(logPath_).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace launcher
