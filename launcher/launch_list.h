// The launch list: "[HHMM][filename]" by character position, one entry a
// line, kept in "proc.kvr" beside the program and edited as one text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/launch_days.h"
#include "launcher/launch_program.h"

namespace launcher {

inline constexpr const char* kLaunchFileName = "proc.kvr";

// The editor's text for a file's content: a NUL ends the text; CR, LF and
// CR LF each end a line and become CR LF; a final line break stays one.
std::string MemoTextFromFile(std::string_view content);

// "OK"'s clean-up: every line without a "[" goes, with the line break after
// it; a last line without a break goes alone and the break before it stays.
std::string CleanLaunchText(std::string_view text);

// One line as the launch tick reads it.
struct LaunchEntry {
  bool disabled = false;  // holds a "~": never converted, never opened
  std::string timeField;  // characters 2 to 5, fewer on a short line
  std::string file;       // at most 200 characters from the 8th, every "]" removed
  std::string exeName;    // the program's file name: its path after the last "\"
  // What the shell opens, with what and where: the file field as it stands,
  // or the program and arguments of a field that opens with '"'.
  std::string program;
  std::string arguments;
  std::string folder;
  bool quoted = false;
  bool quoteMissing = false;  // that '"' is never closed: never opened, told each time
  // The day list after the file field, as written but for its "]"; none on
  // a line that runs every day.
  std::optional<std::string> dayText;
  // The days it runs on; none when its day list cannot be read.
  std::optional<DaySet> days = kEveryDay;
};
LaunchEntry ParseLaunchLine(const std::string& line);
// Its parts alone, for the tick that looks at every line once a minute.
inline bool IsDisabledLine(const std::string& line) { return line.find('~') != std::string::npos; }
inline std::string TimeField(const std::string& line) {
  return line.size() > 1 ? line.substr(1, 4) : std::string();
}

// A case-insensitive (A to Z only) comparison of executable names, ignoring
// leading and trailing characters with codes up to 32.
bool SameExeName(std::string_view a, std::string_view b);

// What the main window reaches of the launch list editor.
class LaunchListWindow {
 public:
  virtual ~LaunchListWindow() = default;
  // The editor's lines as they stand, edits included; an empty last line
  // does not count.
  virtual const std::vector<std::string>& LaunchLines() const = 0;
  // Shows the editor modally; returns once it is closed.
  virtual void EditModal() = 0;
};

}  // namespace launcher
