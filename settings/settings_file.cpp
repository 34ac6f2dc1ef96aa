#include "settings/settings_file.h"

#include "base/error.h"

namespace settings {
namespace {
constexpr int kLastControlPosition = kLaunchSwitchPosition;
}  // namespace

bool FlagsLine::Get(int position) const {
  return position >= 1 && static_cast<size_t>(position) <= text_.size() &&
         text_[position - 1] == '1';
}

void FlagsLine::Set(int position, bool on) {
  if (position < 1) return;
  PadTo(static_cast<size_t>(position));
  text_[position - 1] = on ? '1' : '0';
}

void FlagsLine::PadTo(size_t length) {
  if (text_.size() < length) text_.resize(length, '0');
}

std::vector<std::string> SettingsLines(const FlagsLine& flags,
                                       const std::array<std::string, kPlaceCount>& places) {
  FlagsLine written = flags;
  written.PadTo(kFlagsLength);
  std::vector<std::string> lines;
  lines.reserve(kSettingsLines);
  lines.push_back(written.Text());
  lines.insert(lines.end(), places.begin(), places.end());
  return lines;
}

std::array<std::string, kPlaceCount> PlacesFromLines(const std::vector<std::string>& lines) {
  std::array<std::string, kPlaceCount> places;
  for (size_t i = 0; i < places.size() && i + 1 < lines.size(); ++i) places[i] = lines[i + 1];
  return places;
}

ControlFlags ReadControlFlags(const FlagsLine& flags) {
  ControlFlags c;
  for (int h = 0; h < base::kHoursPerDay; ++h) c.hours[h] = flags.Get(kFirstHourPosition + h);
  c.earlyRing = flags.Get(kEarlyRingPosition);
  c.dogWatch = flags.Get(kDogWatchPosition);
  c.largeBells = flags.Get(kLargeBellsPosition);
  c.launchSwitch = flags.Get(kLaunchSwitchPosition);
  return c;
}

void WriteControlFlags(const ControlFlags& c, FlagsLine& flags) {
  for (int h = 0; h < base::kHoursPerDay; ++h) flags.Set(kFirstHourPosition + h, c.hours[h]);
  flags.Set(kEarlyRingPosition, c.earlyRing);
  flags.Set(kDogWatchPosition, c.dogWatch);
  flags.Set(kLargeBellsPosition, c.largeBells);
  flags.Set(kLastControlPosition, c.launchSwitch);
}

std::optional<ParameterMode> ParseParameterMode(std::string_view text) {
  if (text == "PgmStart") return ParameterMode::PgmStart;
  if (text == "PgmUpdate") return ParameterMode::PgmUpdate;
  if (text == "ParmUpdate") return ParameterMode::ParmUpdate;
  return std::nullopt;
}

std::vector<std::string> SettingsFile::Load() {
  return SplitLines(base::WithoutByteOrderMark(file_.Read()));
}

void SettingsFile::Save(const std::vector<std::string>& lines) { file_.Replace(JoinLines(lines)); }

}  // namespace settings
