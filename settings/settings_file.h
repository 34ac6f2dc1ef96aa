// The settings file "prefs.kvr": a flags line of "0"/"1" characters at fixed
// positions, then the 24 place box texts. Reading, writing and the mapping
// between flag positions and the main window's controls.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/text_files.h"
#include "base/text_lines.h"

namespace settings {

inline constexpr const char* kSettingsFileName = "prefs.kvr";
inline constexpr int kPlaceCount = 24;
inline constexpr size_t kFlagsLength = 54;
inline constexpr size_t kSettingsLines = 1 + kPlaceCount;

// Positions count from 1, as the file's users know them.
inline constexpr int kFirstHourPosition = 1;  // 1..24: hours 0..23
inline constexpr int kEarlyRingPosition = 25;
inline constexpr int kDogWatchPosition = 26;
inline constexpr int kLargeBellsPosition = 27;
inline constexpr int kLaunchSwitchPosition = 28;
inline constexpr int kFirstDstPosition = 29;       // 29..51: places 2..24
inline constexpr int kFirstPlaceDstPosition = 52;  // place 1's, after the others

// Place N's DST flag (N from 1).
inline int DstPosition(int place) {
  return place == 1 ? kFirstPlaceDstPosition : kFirstDstPosition + place - 2;
}

class FlagsLine {
 public:
  FlagsLine() : text_(kFlagsLength, '0') {}
  explicit FlagsLine(std::string text) : text_(std::move(text)) {}

  // Anything but "1" is clear, a position past the end included.
  bool Get(int position) const;
  // Lengthens a short line with "0" up to the position written.
  void Set(int position, bool on);
  // Lengthens with "0" to at least `length` characters.
  void PadTo(size_t length);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

using base::JoinLines;
using base::SplitLines;

// The 25 lines written: the flags line, then the place texts. A flags line
// shorter than the file's 54 positions is lengthened with "0".
std::vector<std::string> SettingsLines(const FlagsLine& flags,
                                       const std::array<std::string, kPlaceCount>& places);
// Place texts from a loaded buffer: lines 2..25, empty where missing.
std::array<std::string, kPlaceCount> PlacesFromLines(const std::vector<std::string>& lines);

// The bell options of the main window as the flags line sees them.
struct ControlFlags {
  std::array<bool, base::kHoursPerDay> hours{};
  bool earlyRing = false;
  bool dogWatch = false;
  bool largeBells = false;
  bool launchSwitch = false;
};
ControlFlags ReadControlFlags(const FlagsLine& flags);
void WriteControlFlags(const ControlFlags& controls, FlagsLine& flags);

enum class ParameterMode { PgmStart, PgmUpdate, ParmUpdate };
// Exact texts only, letters' case included.
std::optional<ParameterMode> ParseParameterMode(std::string_view text);

using base::TextFiles;

// The settings file of one run. Only a missing file is a first run (see
// base::OwnFile).
class SettingsFile {
 public:
  SettingsFile(TextFiles& files, std::string path) : file_(files, std::move(path)) {}

  const std::string& Path() const { return file_.Path(); }
  // Throws base::FileOpenError with the full path.
  std::vector<std::string> Load();
  // Throws base::FileCreateError with the full path; the old file stays whole.
  void Save(const std::vector<std::string>& lines);

 private:
  base::OwnFile file_;
};

}  // namespace settings
