// Windows' own time zones: the list, their display names and each year's
// rule, read afresh at every call. The calls newer than XP are found at run
// time, with the registry's "Time Zones" key as the fallback for each.
#pragma once

#include "worldclock/zone_rules.h"

namespace worldclock {

class WinTimeZones : public TimeZoneSource {
 public:
  std::vector<ZoneListing> Zones() override;
  std::optional<ZoneRule> RuleForYear(const std::string& key, int year) override;
};

// The key of the zone the computer's clock keeps, where Windows tells it
// (Vista and later); empty elsewhere, or where its daylight saving is off.
std::string LocalZoneKey();
// The rule the computer's clock keeps now, for every year.
ZoneRule LocalZoneRule();

}  // namespace worldclock
