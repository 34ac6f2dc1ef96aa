#include "worldclock/plan_time.h"

#include <cstdio>
#include <map>
#include <utility>

#include "worldclock/tray_tip.h"

namespace worldclock {
namespace {

constexpr long long kMsPerMinute = 60000;

// One day's plan reads the same year's record of a zone a few hundred
// times; Windows' records come from the registry.
class CachedZones : public TimeZoneSource {
 public:
  explicit CachedZones(TimeZoneSource& zones) : zones_(zones) {}
  std::vector<ZoneListing> Zones() override { return zones_.Zones(); }
  std::optional<ZoneRule> RuleForYear(const std::string& key, int year) override {
    const auto found = rules_.find({key, year});
    if (found != rules_.end()) return found->second;
    return rules_[{key, year}] = zones_.RuleForYear(key, year);
  }

 private:
  TimeZoneSource& zones_;
  std::map<std::pair<std::string, int>, std::optional<ZoneRule>> rules_;
};

long long FloorDiv(long long a, long long b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

int Weekday(long long days) { return static_cast<int>(((days + 4) % 7 + 7) % 7); }

std::string Format(const char* format, int a, int b, const std::string& c = "") {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b, c.c_str());
  return text;
}

std::string TimeText(int minuteOfDay, bool military, const base::Designators& designators) {
  const int h = minuteOfDay / 60, m = minuteOfDay % 60;
  if (military) return Format("%.2d:%.2d", h, m);
  const int dial = h % 12 == 0 ? 12 : h % 12;
  return Format("%d:%.2d %s", dial, m, h < 12 ? designators.am : designators.pm);
}

std::string DateText(long long days) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const base::TimeOfDay t = base::FromMinutesSinceEpoch(days * base::kMinutesPerDay);
  char text[64];
  std::snprintf(text, sizeof text, "%s %d %s %d", kDays[Weekday(days)], t.day, kMonths[t.month - 1],
                t.year);
  return text;
}

long long DayOf(const PlanChoice& c) {
  base::TimeOfDay t;
  t.year = c.year, t.month = c.month, t.day = c.day;
  return base::DaysSinceEpoch(t);
}

PlanChoice ChoiceAt(long long localMinute) {
  const base::TimeOfDay t = base::FromMinutesSinceEpoch(localMinute);
  return {t.year, t.month, t.day, t.hour, t.minute};
}

// The moment a reading of the place's clock stands for; where the clock
// reads it twice, the earlier, and where never, as the offset before.
long long UtcOf(const PlanPlace& place, TimeZoneSource* zones, long long localMinute) {
  const long long before = localMinute - PlanOffsetAt(place, zones, localMinute - 1440);
  const long long after = localMinute - PlanOffsetAt(place, zones, localMinute + 1440);
  for (long long m : {before, after}) {
    if (m + PlanOffsetAt(place, zones, m) == localMinute) return m;
  }
  return before;
}

}  // namespace

DayPart PartOfDay(int weekday, int minuteOfDay) {
  if (minuteOfDay < 7 * 60 || minuteOfDay >= 22 * 60) return DayPart::Night;
  const bool weekend = weekday == 0 || weekday == 6;
  if (!weekend && minuteOfDay >= 8 * 60 && minuteOfDay < 18 * 60) return DayPart::Work;
  return DayPart::Awake;
}

int PlanOffsetAt(const PlanPlace& place, TimeZoneSource* zones, long long utcMinute) {
  const base::TimeOfDay utc = base::FromMinutesSinceEpoch(utcMinute);
  if (!place.zone.empty() && zones) {
    // A zone listed a day away from the box's offset dates by its own.
    if (const auto offsets = OffsetsAt(*zones, place.zone, utc)) return offsets->inForce;
  }
  if (place.rule) {
    const ZoneRule& r = *place.rule;
    const int year = base::FromMinutesSinceEpoch(utcMinute + r.StandardOffset()).year;
    const bool daylight = DaylightUnder(r, year, utcMinute * kMsPerMinute);
    return -(r.bias + (daylight ? r.daylightBias : r.standardBias));
  }
  return place.offset;
}

PlanDay PlanTheDay(const std::vector<PlanPlace>& places, size_t reference, const PlanChoice& chosen,
                   bool military, const base::Designators& designators, TimeZoneSource* zones) {
  std::optional<CachedZones> cached;
  if (zones) zones = &cached.emplace(*zones);
  PlanDay plan;
  if (reference >= places.size()) return plan;
  for (const PlanPlace& place : places) {
    plan.headings.push_back(place.fixed ? place.name + kFixedMark : place.name);
  }
  const long long day = DayOf(chosen);
  plan.date = DateText(day);
  const int minute = ((chosen.minute % 60) + 60) % 60;
  // Every offset is a whole number of quarter hours, so a reading of the
  // chosen minute falls on a quarter past the UTC hour; the day on the
  // reference's clock lies within 27 hours either side of its UTC date.
  const long long first = day * base::kMinutesPerDay - 27 * 60 + minute % 15;
  const long long last = (day + 1) * base::kMinutesPerDay + 27 * 60;
  for (long long m = first; m < last; m += 15) {
    const long long local = m + PlanOffsetAt(places[reference], zones, m);
    if (FloorDiv(local, base::kMinutesPerDay) != day ||
        FloorDiv(local, 60) * 60 + minute != local) {
      continue;
    }
    PlanRow row;
    row.utcMinute = m;
    row.referenceMinute = static_cast<int>(local - day * base::kMinutesPerDay);
    row.allAtWork = true;
    for (const PlanPlace& place : places) {
      const long long there = m + PlanOffsetAt(place, zones, m);
      const long long thereDay = FloorDiv(there, base::kMinutesPerDay);
      const int ofDay = static_cast<int>(there - thereDay * base::kMinutesPerDay);
      PlanCell cell{TimeText(ofDay, military, designators), PartOfDay(Weekday(thereDay), ofDay)};
      if (thereDay != day) cell.text += Format(" %+d", static_cast<int>(thereDay - day), 0);
      // GMT is a reckoning, not a place where anyone works.
      if (place.name != kGmtHeading || place.box != 0) {
        row.allAtWork = row.allAtWork && cell.part == DayPart::Work;
      }
      row.cells.push_back(std::move(cell));
    }
    plan.rows.push_back(std::move(row));
  }
  // The chosen hour; one the clocks skip that day gives the hour after it.
  for (size_t i = 0; i < plan.rows.size(); ++i) {
    if (plan.rows[i].referenceMinute / 60 >= chosen.hour) {
      plan.selected = static_cast<int>(i);
      break;
    }
  }
  if (plan.selected < 0 && !plan.rows.empty())
    plan.selected = static_cast<int>(plan.rows.size()) - 1;
  return plan;
}

std::string PlanRowText(const std::vector<PlanPlace>& places, size_t reference, const PlanDay& day,
                        int row) {
  if (row < 0 || row >= static_cast<int>(day.rows.size()) || reference >= places.size()) return "";
  const PlanRow& r = day.rows[row];
  std::string text = day.date + " " + r.cells[reference].text + " " + places[reference].name;
  for (size_t i = 0; i < places.size() && i < r.cells.size(); ++i) {
    // The computer's clock and GMT are columns to read the grid by; the line
    // a person pastes names the places, unless one of those is the reference.
    if (i != reference && places[i].box != 0) text += " = " + r.cells[i].text + " " + places[i].name;
  }
  return text;
}

PlanChoice NextWholeHour(const PlanPlace& place, TimeZoneSource* zones,
                         const base::TimeOfDay& utc) {
  const long long now = base::MinutesSinceEpoch(utc);
  const long long local = now + PlanOffsetAt(place, zones, now);
  return ChoiceAt(FloorDiv(local, 60) * 60 + 60);
}

PlanChoice SameMoment(const PlanPlace& from, const PlanChoice& chosen, const PlanPlace& to,
                      TimeZoneSource* zones) {
  const long long local = DayOf(chosen) * base::kMinutesPerDay + chosen.hour * 60 + chosen.minute;
  const long long utc = UtcOf(from, zones, local);
  return ChoiceAt(utc + PlanOffsetAt(to, zones, utc));
}

std::vector<PlanPlace> PlanPlaces(const ClocksLogic& clocks, const PlanPlace& here) {
  std::vector<PlanPlace> places{here, PlanPlace{kGmtHeading, 0, "", std::nullopt, 0, false}};
  for (int n = 1; n <= kPlaceCount; ++n) {
    const auto shown = clocks.Shown(n);
    if (!shown) continue;
    PlanPlace place{PlaceName(shown->boxText), n, clocks.Following(n), std::nullopt, shown->offset};
    place.fixed = place.zone.empty();
    places.push_back(std::move(place));
  }
  return places;
}

}  // namespace worldclock
