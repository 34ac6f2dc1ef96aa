// A few of Windows' time zones as its records give them, for the rules and
// the clocks window without the machine.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "worldclock/zone_rules.h"

namespace testutil {

class FakeZones : public worldclock::TimeZoneSource {
 public:
  using Rule = worldclock::ZoneRule;
  using Date = worldclock::ZoneDate;

  FakeZones() {
    // {year, month, weekday, N (5: last), hour, minute, second, ms}
    const Rule berlin{-60, 0, -60, Date{0, 10, 0, 5, 3}, Date{0, 3, 0, 5, 2}};
    // Summer time from 01:00 GMT on the last Sunday of March to 02:00 BST on
    // the last Sunday of October.
    Add("GMT Standard Time", "(UTC+00:00) Dublin, Edinburgh, Lisbon, London", [](int) {
      return Rule{0, 0, -60, Date{0, 10, 0, 5, 2}, Date{0, 3, 0, 5, 1}};
    });
    Add("W. Europe Standard Time", "(UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna",
        [berlin](int) { return berlin; });
    Add("Romance Standard Time", "(UTC+01:00) Brussels, Copenhagen, Madrid, Paris",
        [berlin](int) { return berlin; });
    Add("W. Central Africa Standard Time", "(UTC+01:00) West Central Africa", [](int) {
      return Rule{-60, 0, 0, {}, {}};
    });
    Add("AUS Eastern Standard Time", "(UTC+10:00) Canberra, Melbourne, Sydney", [](int) {
      return Rule{-600, 0, -60, Date{0, 4, 0, 1, 3}, Date{0, 10, 0, 1, 2}};
    });
    Add("Eastern Standard Time", "(UTC-05:00) Eastern Time (US & Canada)", [](int year) {
      return year <= 2006 ? Rule{300, 0, -60, Date{0, 10, 0, 5, 2}, Date{0, 4, 0, 1, 2}}
                          : Rule{300, 0, -60, Date{0, 11, 0, 1, 2}, Date{0, 3, 0, 2, 2}};
    });
    Add("Pacific SA Standard Time", "(UTC-04:00) Santiago", [](int) {
      return Rule{240, 0, -60, Date{0, 4, 6, 1, 23, 59, 59, 999},
                  Date{0, 9, 6, 1, 23, 59, 59, 999}};
    });
    Add("Tokyo Standard Time", "(UTC+09:00) Osaka, Sapporo, Tokyo", [](int) {
      return Rule{-540, 0, 0, {}, {}};
    });
    Add("India Standard Time", "(UTC+05:30) Chennai, Kolkata, Mumbai, New Delhi", [](int) {
      return Rule{-330, 0, 0, {}, {}};
    });
    Add("Lord Howe Standard Time", "(UTC+10:30) Lord Howe Island", [](int) {
      return Rule{-630, 0, -30, Date{0, 4, 0, 1, 2}, Date{0, 10, 0, 1, 2}};
    });
    // Zones whose standard offset moved, as Windows' year records carry
    // them: a state held over the new year with dates of 1 January 00:00 or
    // of the year's last midnight, and a "daylight" bias of +60 for clocks
    // that go back to an old offset.
    Add("Jordan Standard Time", "(UTC+03:00) Amman", [](int year) {
      const Date lastThursdayOfFebruaryMidnight{0, 2, 4, 5, 23, 59, 59, 999};
      if (year <= 2021) {
        return Rule{-120, 0, -60, Date{0, 10, 5, 5, 1}, lastThursdayOfFebruaryMidnight};
      }
      // Daylight saving from February, kept for good: +3 from 2023 on.
      if (year == 2022)
        return Rule{-120, 0, -60, Date{0, 1, 6, 1, 0}, lastThursdayOfFebruaryMidnight};
      return Rule{-180, 0, 0, {}, {}};
    });
    Add("Greenland Standard Time", "(UTC-02:00) Greenland", [](int year) {
      const Date lastSaturdayOfMarch{0, 3, 6, 5, 22};
      if (year <= 2022) return Rule{180, 0, -60, Date{0, 10, 6, 5, 23}, lastSaturdayOfMarch};
      // The clocks did not go back in October 2023: -2 from then on.
      if (year == 2023) {
        return Rule{180, 0, -60, Date{0, 12, 0, 5, 23, 59, 59, 999}, lastSaturdayOfMarch};
      }
      return Rule{120, 0, -60, Date{0, 10, 6, 5, 23}, lastSaturdayOfMarch};
    });
    Add("Volgograd Standard Time", "(UTC+03:00) Volgograd", [](int year) {
      if (year <= 2017 || year >= 2021) return Rule{-180, 0, 0, {}, {}};
      // +3 until the last Sunday of October 2018, as a "daylight" time an
      // hour behind the year's standard +4.
      if (year == 2018) return Rule{-240, 0, 60, Date{0, 10, 0, 5, 2}, Date{0, 1, 1, 1, 0}};
      return Rule{-240, 0, 0, {}, {}};
    });
    // The last record Windows keeps, with its year's own dates, stands for
    // every later year.
    Add("Fiji Standard Time", "(UTC+12:00) Fiji", [](int year) {
      if (year <= 2019) return Rule{-720, 0, -60, Date{0, 1, 0, 2, 3}, Date{0, 11, 0, 2, 2}};
      return Rule{-720, 0, -60, Date{2020, 1, 0, 12, 3}, Date{2020, 12, 0, 20, 2}};
    });
    // East of +12:45: shown under the offset a day away.
    Add("Samoa Standard Time", "(UTC+13:00) Samoa", [](int year) {
      if (year >= 2021) return Rule{-780, 0, 0, {}, {}};
      return Rule{-780, 0, -60, Date{0, 4, 0, 1, 4}, Date{0, 9, 0, 5, 3}};
    });
    Add("Tonga Standard Time", "(UTC+13:00) Nuku'alofa", [](int) {
      return Rule{-780, 0, 0, {}, {}};
    });
    Add("Line Islands Standard Time", "(UTC+14:00) Kiritimati Island", [](int) {
      return Rule{-840, 0, 0, {}, {}};
    });
  }

  // Windows drops a zone, or changes its rule, while the program runs.
  void Remove(const std::string& key) { rules_.erase(key); }
  void SetRule(const std::string& key, std::function<Rule(int)> rule) { rules_[key] = rule; }

  std::vector<worldclock::ZoneListing> Zones() override {
    std::vector<worldclock::ZoneListing> listed;
    for (const auto& z : order_) {
      if (rules_.count(z.key)) listed.push_back(z);
    }
    return listed;
  }
  std::optional<Rule> RuleForYear(const std::string& key, int year) override {
    ++reads;
    const auto found = rules_.find(key);
    if (found == rules_.end()) return std::nullopt;
    return found->second(year);
  }
  int reads = 0;

 private:
  void Add(const std::string& key, const std::string& name, std::function<Rule(int)> rule) {
    order_.push_back({key, name});
    rules_[key] = std::move(rule);
  }
  std::vector<worldclock::ZoneListing> order_;
  std::map<std::string, std::function<Rule(int)>> rules_;
};

}  // namespace testutil
