#include "launcher/launch_options.h"

#include <algorithm>
#include <cstdio>

#include "base/clock.h"
#include "launcher/launch_log.h"

namespace launcher {
namespace {

std::string FailureItem(const LaunchOutcome& o) {
  char time[8];
  std::snprintf(time, sizeof time, "%02d:%02d", o.launch.time / 100 % 100, o.launch.time % 100);
  std::string why;
  if (o.daysUnread) {
    why = DaysNotReadText(o.launch.entry);
  } else if (o.quoteMissing) {
    why = kQuoteMissingText;
  } else if (!o.open.text.empty()) {
    why = o.open.text;
  } else {
    why = "error " + std::to_string(o.open.error);
  }
  return std::string(time) + " " + o.launch.entry.file + ": " + why;
}

}  // namespace

std::vector<long long> GapMinutes(long long last, long long now) {
  std::vector<long long> minutes;
  for (long long m = std::max(last + 1, now - base::kMinutesPerDay + 1); m < now; ++m) {
    minutes.push_back(m);
  }
  return minutes;
}

bool IsLaunchFailure(const LaunchOutcome& outcome) {
  return outcome.daysUnread || outcome.quoteMissing || outcome.open.error != 0;
}

std::string FailureBalloonText(const std::vector<LaunchOutcome>& failures) {
  std::string text;
  if (failures.size() == 1) {
    text = FailureItem(failures.front());
  } else {
    text = std::to_string(failures.size()) + " launches failed:";
    for (const LaunchOutcome& o : failures) {
      text += '\n';
      text += FailureItem(o);
    }
  }
  if (text.size() > kBalloonTextLimit) text = text.substr(0, kBalloonTextLimit - 3) + "...";
  return text;
}

std::optional<Balloon> FailureNotices::Add(const LaunchOutcome& outcome) {
  if (tickMinute_ != outcome.launch.tickMinute) failures_.clear();
  tickMinute_ = outcome.launch.tickMinute;
  if (IsLaunchFailure(outcome)) failures_.push_back(outcome);
  if (!outcome.launch.lastOfTick || failures_.empty()) return std::nullopt;
  Balloon balloon{kFailureTitle, FailureBalloonText(failures_)};
  failures_.clear();
  return balloon;
}

}  // namespace launcher
