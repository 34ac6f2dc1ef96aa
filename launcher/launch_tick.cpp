#include "launcher/launch_tick.h"

#include "ui/error.h"
#include "ui/int_convert.h"

namespace launcher {

LaunchTick::LaunchTick(ui::LocalClock& clock, ProcessKiller& killer, Pause& pause, Shell& shell)
    : clock_(clock), killer_(killer), pause_(pause), shell_(shell) {}

std::optional<unsigned> LaunchTick::Tick(bool switchOn, const std::vector<std::string>& lines) {
  if (!switchOn) return std::nullopt;
  const ui::TimeOfDay now = clock_.Now();
  const int current = now.hour * 100 + now.minute;
  for (size_t i = 0; i < lines.size(); ++i) {
    const LaunchEntry entry = ParseLaunchLine(lines[i]);
    if (entry.disabled) continue;
    int due = 0;
    try {
      due = ui::StrToInt(entry.timeField);
    } catch (const ui::ConvertError&) {
      // Told once: a box that came every minute for the same line would
      // pile up while the user is away.
      if (reportedLine_ == i && reportedList_ == lines) return std::nullopt;
      reportedLine_ = i;
      reportedList_ = lines;
      throw;
    }
    if (due != current) continue;
    killer_.FileKill(entry.exeName);
    pause_.Wait(kKillPause);
    shell_.Open(entry.file);
  }
  return kRunningInterval;
}

}  // namespace launcher
