// The machine's real time zone list and rules, read through the program's
// Windows layer, against what Windows itself makes of a zone's record.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "worldclock/time_zones_win.h"

namespace {

using worldclock::WinTimeZones;

// The zone's registry record, read here on its own, as the structure the
// system's conversion takes.
TIME_ZONE_INFORMATION RecordOf(const char* key) {
  struct {
    LONG bias, standardBias, daylightBias;
    SYSTEMTIME standardDate, daylightDate;
  } tzi{};
  const std::string path =
      std::string("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\") + key;
  HKEY zone = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &zone), ERROR_SUCCESS);
  DWORD size = sizeof tzi;
  EXPECT_EQ(RegQueryValueExA(zone, "TZI", nullptr, nullptr, reinterpret_cast<BYTE*>(&tzi), &size),
            ERROR_SUCCESS);
  RegCloseKey(zone);
  TIME_ZONE_INFORMATION info{};
  info.Bias = tzi.bias;
  info.StandardBias = tzi.standardBias;
  info.DaylightBias = tzi.daylightBias;
  info.StandardDate = tzi.standardDate;
  info.DaylightDate = tzi.daylightDate;
  return info;
}

// Whether Windows puts the moment on the zone's daylight-saving time.
bool WindowsSaysDaylight(const TIME_ZONE_INFORMATION& zone, const base::TimeOfDay& t) {
  SYSTEMTIME utc{
      static_cast<WORD>(t.year), static_cast<WORD>(t.month),  0, static_cast<WORD>(t.day),
      static_cast<WORD>(t.hour), static_cast<WORD>(t.minute), 0, 0};
  SYSTEMTIME local{};
  EXPECT_TRUE(SystemTimeToTzSpecificLocalTime(&zone, &utc, &local));
  FILETIME u, l;
  SystemTimeToFileTime(&utc, &u);
  SystemTimeToFileTime(&local, &l);
  const long long minutes = ((static_cast<long long>(l.dwHighDateTime) << 32 | l.dwLowDateTime) -
                             (static_cast<long long>(u.dwHighDateTime) << 32 | u.dwLowDateTime)) /
                            600000000LL;
  return minutes == -(zone.Bias + zone.DaylightBias);
}

TEST(TimeZones, TheListNamesAndOneZonesFlagAgainstWindows) {
  WinTimeZones zones;
  const auto list = zones.Zones();
  ASSERT_GE(list.size(), 100u);
  std::set<std::string> keys;
  int notOneHour = 0;
  const base::TimeOfDay now{12, 0, 0, 0, 2026, 7, 1};
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_TRUE(keys.insert(list[i].key).second) << "twice: " << list[i].key;
    EXPECT_FALSE(list[i].name.empty()) << list[i].key;
    // As the settings list them: by display name.
    if (i > 0) {
      EXPECT_NE(CompareStringA(LOCALE_USER_DEFAULT, 0, list[i - 1].name.c_str(), -1,
                               list[i].name.c_str(), -1),
                CSTR_GREATER_THAN)
          << list[i - 1].name << " | " << list[i].name;
    }
    ASSERT_TRUE(zones.RuleForYear(list[i].key, 2026)) << list[i].key;
    if (!worldclock::FollowableOffset(zones, list[i].key, now)) ++notOneHour;
  }
  std::printf("%u zones listed, %d with a daylight shift other than one hour, first \"%s\"\n",
              static_cast<unsigned>(list.size()), notOneHour, list.front().name.c_str());
  const auto berlin = std::find_if(
      list.begin(), list.end(), [](const auto& z) { return z.key == "W. Europe Standard Time"; });
  ASSERT_NE(berlin, list.end());
  EXPECT_EQ(berlin->name, "(UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna");
  EXPECT_EQ(zones.RuleForYear("No Such Standard Time", 2026), std::nullopt);

  // Berlin and Sydney: the minute before and the minute of each change of
  // 2026 (in UTC), and midsummer and midwinter.
  const struct {
    const char* key;
    base::TimeOfDay utc;
  } moments[] = {
      {"W. Europe Standard Time", {0, 59, 0, 0, 2026, 3, 29}},
      {"W. Europe Standard Time", {1, 0, 0, 0, 2026, 3, 29}},
      {"W. Europe Standard Time", {0, 59, 0, 0, 2026, 10, 25}},
      {"W. Europe Standard Time", {1, 0, 0, 0, 2026, 10, 25}},
      {"W. Europe Standard Time", {12, 0, 0, 0, 2026, 1, 15}},
      {"W. Europe Standard Time", {12, 0, 0, 0, 2026, 7, 15}},
      {"AUS Eastern Standard Time", {15, 59, 0, 0, 2026, 4, 4}},
      {"AUS Eastern Standard Time", {16, 0, 0, 0, 2026, 4, 4}},
      {"AUS Eastern Standard Time", {15, 59, 0, 0, 2026, 10, 3}},
      {"AUS Eastern Standard Time", {16, 0, 0, 0, 2026, 10, 3}},
      {"AUS Eastern Standard Time", {12, 0, 0, 0, 2026, 1, 15}},
  };
  bool sawBoth[2] = {};
  for (const auto& m : moments) {
    const bool windows = WindowsSaysDaylight(RecordOf(m.key), m.utc);
    sawBoth[windows] = true;
    EXPECT_EQ(worldclock::DaylightInForce(zones, m.key, m.utc), std::optional<bool>(windows))
        << m.key << " " << m.utc.month << "-" << m.utc.day << " " << m.utc.hour << ":"
        << m.utc.minute;
  }
  EXPECT_TRUE(sawBoth[0] && sawBoth[1]);
}

}  // namespace
