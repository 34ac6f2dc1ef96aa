// "launch.log" beside the program: one line for each launch entry handled,
// so that a person whose program did not start at its time can read why.
// The program reports nothing on screen when an open fails; it writes it
// down here. Plain ANSI text, CR LF, kept under a size bound.
#pragma once

#include <string>

#include "base/text_files.h"
#include "launcher/launch_ports.h"

namespace launcher {

inline constexpr const char* kLaunchLogName = "launch.log";
// Past this size the older half of the lines is dropped.
inline constexpr size_t kLaunchLogLimit = 256 * 1024;

struct Stamp {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// One line, without its line break.
std::string LogLine(const Stamp& at, const LaunchOutcome& outcome);
// Why an entry whose days cannot be read did not run, quoting them as typed
// less the blanks around them; the log and the balloon say it alike.
std::string DaysNotReadText(const LaunchEntry& entry);
// Why an entry whose field opens with '"' and never closes it did not run.
inline constexpr const char* kQuoteMissingText = "its program's closing quote is missing";
std::string BadTimeLogLine(const Stamp& at, const std::string& line, const std::string& message);

// The log's text with `line` added: when it grows past the limit, the older
// half of its lines goes, whole lines only.
std::string WithLogLine(std::string text, const std::string& line, size_t limit = kLaunchLogLimit);

// Each line is added at the log's end, one small write: the log is written
// on the thread that strikes the bells. Only past the bound is the log read
// and replaced as a whole, through a temporary file, as the program's other
// files are.
class LaunchLog {
 public:
  LaunchLog(base::TextFiles& files, std::string path) : files_(files), path_(std::move(path)) {}
  // A log that cannot be read or written costs nothing else: the line is
  // lost and nothing is reported, and after a few failures in a row the
  // log is left alone for the rest of the run (each try may wait a moment
  // for a file another program holds).
  void Write(const std::string& line);

 private:
  static constexpr int kFailuresBeforeGivingUp = 3;
  base::TextFiles& files_;
  std::string path_;
  int failures_ = 0;
  bool checked_ = false;  // read once: it ends with a line break, or is missing
};

}  // namespace launcher
