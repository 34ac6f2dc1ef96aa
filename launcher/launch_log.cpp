#include "launcher/launch_log.h"

#include <cstdio>

#include "base/clock.h"

namespace launcher {
namespace {

std::string Prefix(const Stamp& at, const std::string& line) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d  ", at.year, at.month, at.day,
                at.hour, at.minute, at.second);
  return stamp + line + "  ";
}

std::string WithoutOuterBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  return first == std::string::npos ? std::string()
                                    : s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string ClockForwardText(const DueLaunch& launch) {
  const base::TimeOfDay from = base::FromMinutesSinceEpoch(launch.jumpedFrom);
  const base::TimeOfDay to = base::FromMinutesSinceEpoch(launch.tickMinute);
  char text[64];
  std::snprintf(text, sizeof text, "the clock moved forward from %02d:%02d to %02d:%02d", from.hour,
                from.minute, to.hour, to.minute);
  return text;
}

}  // namespace

std::string DaysNotReadText(const LaunchEntry& entry) {
  return "its days \"" + WithoutOuterBlanks(entry.dayText.value_or("")) + "\" could not be read";
}

std::string LogLine(const Stamp& at, const LaunchOutcome& outcome) {
  const DueLaunch& launch = outcome.launch;
  std::string text = Prefix(at, launch.line);
  if (launch.caughtUp) {
    char due[64];
    std::snprintf(due, sizeof due, "caught up (due %02d:%02d, the tick was late); ",
                  launch.time / 100, launch.time % 100);
    text += due;
  }
  if (launch.missed != Missed::No) {
    const base::TimeOfDay m = base::FromMinutesSinceEpoch(launch.minute);
    char missed[64];
    std::snprintf(missed, sizeof missed, "run late (missed %04d-%02d-%02d %02d:%02d: ", m.year,
                  m.month, m.day, m.hour, m.minute);
    text += missed;
    switch (launch.missed) {
      case Missed::Asleep:
        text += "the computer was asleep); ";
        break;
      case Missed::ClockForward:
        text += ClockForwardText(launch) + "); ";
        break;
      default:
        text += "Marlinet was not running); ";
        break;
    }
  }
  if (outcome.daysUnread) return text + "not run: " + DaysNotReadText(launch.entry);
  // The field in the list's own brackets, which it cannot hold: its blanks
  // show to the last.
  if (outcome.quoteMissing)
    return text + "not run: " + kQuoteMissingText + ": [" + launch.entry.file + "]";
  if (launch.entry.dayText && launch.entry.days) {
    // Why a day-limited entry ran, or would have, on the day of its minute.
    const Weekday day = WeekdayOf(base::FromMinutesSinceEpoch(launch.minute));
    text += std::string(WeekdayName(day)) + ", one of its days (" + DayNames(*launch.entry.days) +
            "); ";
  }
  if (outcome.slept) return text + "not run: the computer was asleep";
  if (outcome.jumped) return text + "not run: " + ClockForwardText(launch);
  if (outcome.own) return text + "not run: it names Marlinet itself";
  if (outcome.lateMinutes)
    return text + "not run: " + std::to_string(*outcome.lateMinutes) + " minutes late";
  if (outcome.ending) return text + "not run: Marlinet was ending";
  if (outcome.held) return text + "not known: still waiting on the shell as Marlinet ended";
  if (outcome.alreadyRunning)
    return text + "skipped: " + launch.entry.exeName + " is running, and a late run ends nothing";
  if (launch.entry.quoted) {
    // What the shell was handed, in two parts: the program between the
    // quotes it cannot hold, the arguments between brackets they cannot.
    text += "program \"" + launch.entry.program + "\", ";
    text += launch.entry.arguments.empty() ? "no arguments; "
                                           : "arguments [" + launch.entry.arguments + "]; ";
  }
  text += outcome.ended ? "ended process " + std::to_string(*outcome.ended) : "none running";
  text += "; ";
  if (outcome.open.error == 0) return text + "opened";
  return text + "not opened: " + outcome.open.text + " (error " +
         std::to_string(outcome.open.error) + ")";
}

std::string BadTimeLogLine(const Stamp& at, const std::string& line, const std::string& message) {
  return Prefix(at, line) + "not run: " + message + "; the lines below it are not run";
}

std::string WithLogLine(std::string text, const std::string& line, size_t limit) {
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  text += line + "\r\n";
  if (text.size() > limit) {
    const size_t cut = text.find('\n', text.size() / 2);
    text.erase(0, cut == std::string::npos ? text.size() : cut + 1);
  }
  return text;
}

void LaunchLog::Write(const std::string& line) {
  if (failures_ >= kFailuresBeforeGivingUp) return;
  std::string added = line + "\r\n";
  const auto size = files_.SizeOf(path_);
  if (!checked_ || (size && *size + added.size() > kLaunchLogLimit)) {
    // A log that was never written is simply missing.
    std::string text;
    if (auto old = files_.ReadAll(path_)) {
      text = std::move(*old);
    } else if (files_.Exists(path_)) {
      ++failures_;  // there but unreadable: never replaced blind
      return;
    }
    checked_ = true;
    if (text.size() + added.size() > kLaunchLogLimit) {
      failures_ = files_.ReplaceAll(path_, WithLogLine(std::move(text), line)) ? 0 : failures_ + 1;
      return;
    }
    if (!text.empty() && text.back() != '\n') added.insert(0, "\r\n");
  }
  if (files_.Append(path_, added)) {
    failures_ = 0;
    return;
  }
  ++failures_;
  // Part of the line may have been written without its line break: the
  // next line looks at the log's end again.
  checked_ = false;
}

}  // namespace launcher
