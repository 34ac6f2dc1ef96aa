#include "launcher/launch_tick.h"

#include <algorithm>

#include "ui/error.h"
#include "ui/int_convert.h"

namespace launcher {
namespace {

// The usual field, four decimal digits, read at once; any other as the
// toolkit reads a number.
int DueTime(const std::string& field) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (field.size() != 4 || !std::all_of(field.begin(), field.end(), digit)) {
    return ui::StrToInt(field);
  }
  return ((field[0] - '0') * 10 + field[1] - '0') * 100 + (field[2] - '0') * 10 + field[3] - '0';
}

}  // namespace

LaunchTick::LaunchTick(ui::LocalClock& clock, ProcessKiller& killer, Pause& pause, Shell& shell)
    : clock_(clock), killer_(killer), pause_(pause), shell_(shell) {}

std::optional<unsigned> LaunchTick::Tick(bool switchOn, const std::vector<std::string>& lines) {
  if (!switchOn) return std::nullopt;
  const ui::TimeOfDay now = clock_.Now();
  const int current = now.hour * 100 + now.minute;
  for (size_t i = 0; i < lines.size(); ++i) {
    // Only the time field is read of a line that is not due: a short
    // string, no allocation.
    if (IsDisabledLine(lines[i])) continue;
    int due = 0;
    try {
      due = DueTime(TimeField(lines[i]));
    } catch (const ui::ConvertError&) {
      // Told once: a box that came every minute for the same line would
      // pile up while the user is away.
      if (reportedLine_ == i && reportedList_ == lines) return std::nullopt;
      reportedLine_ = i;
      reportedList_ = lines;
      throw;
    }
    if (due != current) continue;
    const LaunchEntry entry = ParseLaunchLine(lines[i]);
    killer_.FileKill(entry.exeName);
    pause_.Wait(kKillPause);
    shell_.Open(entry.file);
  }
  return kRunningInterval;
}

}  // namespace launcher
