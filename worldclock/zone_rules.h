// The daylight-saving rules of the computer's time zones, as Windows keeps
// them, and what they say at a moment: whether a zone is on daylight-saving
// time, and when its clocks next change. The zone list itself comes from
// the machine through TimeZoneSource.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"

namespace worldclock {

// A change of the clocks as Windows encodes it in its time zone records
// (the fields of a SYSTEMTIME). Month 0: no daylight saving. Year 0: the
// Nth weekday (0 Sunday) of the month, N in `day`, 5 meaning the last one;
// otherwise the date as it stands. 23:59:59.999 stands for the midnight
// that ends the day.
struct ZoneDate {
  int year = 0, month = 0, dayOfWeek = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// One year's rule of a zone. UTC = local time + bias + the standard or the
// daylight bias. The daylight date is given in local standard time, the
// standard date in local daylight time.
struct ZoneRule {
  int bias = 0, standardBias = 0, daylightBias = 0;
  ZoneDate standardDate, daylightDate;

  bool HasDaylight() const { return standardDate.month != 0 && daylightDate.month != 0; }
  // Minutes ahead of UTC on standard time.
  int StandardOffset() const { return -(bias + standardBias); }
  // Minutes the clocks go forward for daylight saving.
  int DaylightShift() const { return standardBias - daylightBias; }
};

struct ZoneListing {
  std::string key;   // the registry key's name: the same in every language
  std::string name;  // the display name, "(UTC+01:00) Amsterdam, Berlin, ..."
};

// The machine's time zones, read afresh at every call, so that rules that
// Windows updates take effect without a restart.
class TimeZoneSource {
 public:
  virtual ~TimeZoneSource() = default;
  // In the order Windows' own settings list them.
  virtual std::vector<ZoneListing> Zones() = 0;
  // None when Windows no longer lists the zone.
  virtual std::optional<ZoneRule> RuleForYear(const std::string& key, int year) = 0;
};

// Milliseconds since 1970 of a reading (date, time and milliseconds).
long long EpochMs(const base::TimeOfDay& t);
base::TimeOfDay FromEpochMs(long long ms);

// Whether daylight-saving time is in force at the moment under the rule of
// the year it falls in, there.
bool DaylightUnder(const ZoneRule& rule, int year, long long utcMs);

// None when Windows no longer lists the zone.
std::optional<bool> DaylightInForce(TimeZoneSource& zones, const std::string& key,
                                    const base::TimeOfDay& utc);

// The zone's standard offset now, in minutes ahead of UTC; none when it is
// not listed, or when its daylight saving is not the one hour that a place's
// "DS Time" adds.
std::optional<int> FollowableOffset(TimeZoneSource& zones, const std::string& key,
                                    const base::TimeOfDay& utc);

struct ZoneOffsets {
  int standard = 0;  // minutes ahead of UTC on standard time
  int inForce = 0;   // and now: bias plus the standard or the daylight bias
};

// None when Windows no longer lists the zone.
std::optional<ZoneOffsets> OffsetsAt(TimeZoneSource& zones, const std::string& key,
                                     const base::TimeOfDay& utc);

// A place box gives -11:45 to +12:45. A zone further east or west is shown
// under the offset 24 hours away, whose clocks read the same time of day
// (+13 under -11, +14 under -10, -12 under +12).
inline constexpr int kEarliestBoxOffset = -(11 * 60 + 45);
inline constexpr int kLatestBoxOffset = 12 * 60 + 45;
int BoxOffsetOf(int offset);

struct ZoneChange {
  base::TimeOfDay local;  // there, on the clocks as they read before the change
  bool toDaylight = false;
};

// The zone's next change of offset after the moment, within this year and
// the next; forward when the clocks gain.
std::optional<ZoneChange> NextChange(TimeZoneSource& zones, const std::string& key,
                                     const base::TimeOfDay& utc);

}  // namespace worldclock
