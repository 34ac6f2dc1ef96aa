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
