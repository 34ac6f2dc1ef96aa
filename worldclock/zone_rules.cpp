#include "worldclock/zone_rules.h"

#include <algorithm>

namespace worldclock {
namespace {

constexpr long long kMsPerMinute = 60000;
constexpr long long kMsPerDay = 24 * 60 * kMsPerMinute;

long long FloorDiv(long long a, long long b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && LeapYear(y) ? 29 : kDays[m - 1];
}

long long Days(int y, int m, int d) {
  base::TimeOfDay t;
  t.year = y, t.month = m, t.day = d;
  return base::DaysSinceEpoch(t);
}

// The change in the year, in local milliseconds (the local clock read as if
// it were UTC); none for a date no calendar holds.
std::optional<long long> LocalMs(const ZoneDate& d, int year) {
  if (d.month < 1 || d.month > 12) return std::nullopt;
  // A date with its year set is that one date only: another year's rule
  // reused for this one holds no change in it.
  if (d.year != 0 && d.year != year) return std::nullopt;
  const int y = year;
  const int length = DaysInMonth(y, d.month);
  int day = d.day;
  if (d.year == 0) {
    // 1970-01-01 was a Thursday (4).
    const long long first = Days(y, d.month, 1);
    const int firstWeekday = static_cast<int>(((first + 4) % 7 + 7) % 7);
    const int n = std::clamp(d.day, 1, 5);
    day = 1 + ((d.dayOfWeek % 7) - firstWeekday + 7) % 7 + 7 * (n - 1);
    while (day > length) day -= 7;  // a fifth that the month lacks: the last
  }
  if (day < 1 || day > length) return std::nullopt;
  long long ms = Days(y, d.month, day) * kMsPerDay + d.hour * 3600000LL + d.minute * kMsPerMinute +
                 d.second * 1000LL + d.millisecond;
  // The day's last millisecond is how the records write the midnight after it.
  if (d.hour == 23 && d.minute == 59 && d.second == 59 && d.millisecond == 999) ++ms;
  return ms;
}

struct Changes {
  long long startUtc, endUtc;      // daylight saving begins, ends
  long long startLocal, endLocal;  // the same on the clocks there before each
};

std::optional<Changes> ChangesIn(const ZoneRule& rule, int year) {
  if (!rule.HasDaylight()) return std::nullopt;
  const auto start = LocalMs(rule.daylightDate, year), end = LocalMs(rule.standardDate, year);
  if (!start || !end) return std::nullopt;
  return Changes{*start + (rule.bias + rule.standardBias) * kMsPerMinute,
                 *end + (rule.bias + rule.daylightBias) * kMsPerMinute, *start, *end};
}

struct YearRule {
  ZoneRule rule;
  int year;  // the year whose record is in force at the moment
};

bool DaylightAtLocal(const Changes& c, long long local) {
  if (c.startLocal < c.endLocal) return local >= c.startLocal && local < c.endLocal;
  return !(local >= c.endLocal && local < c.startLocal);
}

// The moment the record's own year begins: midnight of 1 January on the
// clocks as the record itself sets them then (a year may begin on
// daylight-saving time carried over the new year).
long long YearStartUtc(const ZoneRule& rule, int year) {
  const long long local = Days(year, 1, 1) * kMsPerDay;
  const auto c = ChangesIn(rule, year);
  const bool daylight = c && DaylightAtLocal(*c, local);
  return local + (rule.bias + (daylight ? rule.daylightBias : rule.standardBias)) * kMsPerMinute;
}

// The latest year's record whose own 1 January has begun. Offsets lie within
// a day of UTC, so that is the UTC year's, the one before or the one after.
std::optional<YearRule> RuleAt(TimeZoneSource& zones, const std::string& key, long long utcMs) {
  const int utcYear = FromEpochMs(utcMs).year;
  // The next year's record only in the last day of the UTC year.
  const int first = FromEpochMs(utcMs + kMsPerDay).year > utcYear ? utcYear + 1 : utcYear;
  std::optional<ZoneRule> rule;
  for (int year = first; year >= utcYear - 1; --year) {
    rule = zones.RuleForYear(key, year);
    if (!rule) return std::nullopt;
    if (year == utcYear - 1 || utcMs >= YearStartUtc(*rule, year)) return YearRule{*rule, year};
  }
  return std::nullopt;
}

int OffsetUnder(const YearRule& at, long long utcMs) {
  const ZoneRule& r = at.rule;
  return -(r.bias + (DaylightUnder(r, at.year, utcMs) ? r.daylightBias : r.standardBias));
}

}  // namespace

long long EpochMs(const base::TimeOfDay& t) {
  return base::DaysSinceEpoch(t) * kMsPerDay + t.hour * 3600000LL + t.minute * kMsPerMinute +
         t.second * 1000LL + t.millisecond;
}

base::TimeOfDay FromEpochMs(long long ms) {
  const long long minutes = FloorDiv(ms, kMsPerMinute);
  const long long rest = ms - minutes * kMsPerMinute;
  base::TimeOfDay t = base::FromMinutesSinceEpoch(minutes);
  t.second = static_cast<int>(rest / 1000);
  t.millisecond = static_cast<int>(rest % 1000);
  return t;
}

bool DaylightUnder(const ZoneRule& rule, int year, long long utcMs) {
  const auto c = ChangesIn(rule, year);
  if (!c) return false;
  if (c->startUtc < c->endUtc) return utcMs >= c->startUtc && utcMs < c->endUtc;
  // The southern hemisphere: daylight saving across the new year.
  return !(utcMs >= c->endUtc && utcMs < c->startUtc);
}

std::optional<bool> DaylightInForce(TimeZoneSource& zones, const std::string& key,
                                    const base::TimeOfDay& utc) {
  const long long now = EpochMs(utc);
  const auto at = RuleAt(zones, key, now);
  if (!at) return std::nullopt;
  return DaylightUnder(at->rule, at->year, now);
}

std::optional<int> FollowableOffset(TimeZoneSource& zones, const std::string& key,
                                    const base::TimeOfDay& utc) {
  const auto at = RuleAt(zones, key, EpochMs(utc));
  if (!at) return std::nullopt;
  if (at->rule.HasDaylight() && at->rule.DaylightShift() != 60) return std::nullopt;
  return at->rule.StandardOffset();
}

std::optional<ZoneOffsets> OffsetsAt(TimeZoneSource& zones, const std::string& key,
                                     const base::TimeOfDay& utc) {
  const long long now = EpochMs(utc);
  const auto at = RuleAt(zones, key, now);
  if (!at) return std::nullopt;
  return ZoneOffsets{at->rule.StandardOffset(), OffsetUnder(*at, now)};
}

int BoxOffsetOf(int offset) {
  if (offset > kLatestBoxOffset) return offset - base::kMinutesPerDay;
  if (offset < kEarliestBoxOffset) return offset + base::kMinutesPerDay;
  return offset;
}

std::optional<ZoneChange> NextChange(TimeZoneSource& zones, const std::string& key,
                                     const base::TimeOfDay& utc) {
  const long long now = EpochMs(utc);
  const auto at = RuleAt(zones, key, now);
  if (!at) return std::nullopt;
  // Every date this year's and next year's records name, and the two new
  // years: a record carries the state over the new year with dates of
  // 1 January 00:00 that change nothing, and a new record may bring a new
  // offset with no date of its own.
  std::vector<long long> moments;
  for (int year : {at->year, at->year + 1, at->year + 2}) {
    const auto rule =
        year == at->year ? std::optional<ZoneRule>(at->rule) : zones.RuleForYear(key, year);
    if (!rule) continue;
    if (year != at->year) moments.push_back(YearStartUtc(*rule, year));
    if (year == at->year + 2) continue;
    if (const auto c = ChangesIn(*rule, year)) {
      moments.push_back(c->startUtc);
      moments.push_back(c->endUtc);
    }
  }
  std::sort(moments.begin(), moments.end());
  for (const long long when : moments) {
    if (when <= now) continue;
    const auto before = RuleAt(zones, key, when - 1), after = RuleAt(zones, key, when);
    if (!before || !after) return std::nullopt;
    const int from = OffsetUnder(*before, when - 1), to = OffsetUnder(*after, when);
    if (from == to) continue;
    return ZoneChange{FromEpochMs(when + from * kMsPerMinute), to > from};
  }
  return std::nullopt;
}

}  // namespace worldclock
