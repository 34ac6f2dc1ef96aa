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

}  // namespace worldclock
