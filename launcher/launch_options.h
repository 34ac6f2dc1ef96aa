// The launch options a person may tick in the tray menu: a balloon on the
// icon when an entry's open fails, and the entries of a gap (the computer
// asleep, Marlinet not running) run late, once, when it is back. Both are
// off until ticked; the launcher then does exactly what it always did.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "launcher/launch_ports.h"

namespace launcher {

// The switches' keys in the [Options] section of the initialization file.
inline constexpr const char* kTellFailuresKey = "TellLaunchFailures";
inline constexpr const char* kRunMissedKey = "RunMissedLaunchesOnce";

// The minutes of a gap after `last` up to the minute before `now`, oldest
// first: a day of them at most, so each time of day stands in it once.
std::vector<long long> GapMinutes(long long last, long long now);

// An entry's open failed (the shell's error: a missing file, no program for
// a document), its days could not be read, or its program's closing quote
// is missing: what a person is told of.
bool IsLaunchFailure(const LaunchOutcome& outcome);

struct Balloon {
  std::string title;
  std::string text;
};
inline constexpr const char* kFailureTitle = "Launch failed";
// The shell shows at most this many characters of a balloon's text.
inline constexpr size_t kBalloonTextLimit = 255;

// One balloon for the failures of one tick: the entry's time, its file and
// the shell's own words; several are counted and listed, as far as the
// shell's limit allows, the rest cut with "...".
std::string FailureBalloonText(const std::vector<LaunchOutcome>& failures);

// The failures of one tick come one by one from the runner, a second or
// more apart, and the shell queues balloons rather than replacing them: one
// balloon tells them all, once the tick's last entry is handled.
class FailureNotices {
 public:
  // Every outcome, failed or not. The balloon to show now: nothing until
  // the tick's last entry, nor then when none of its entries failed.
  std::optional<Balloon> Add(const LaunchOutcome& outcome);

 private:
  std::optional<long long> tickMinute_;
  std::vector<LaunchOutcome> failures_;
};

}  // namespace launcher
