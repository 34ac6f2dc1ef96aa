#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "launcher/launch_list.h"
#include "launcher/launch_log.h"
#include "launcher/launch_options.h"
#include "launcher/launch_tick.h"
#include "launcher/system_folder.h"
#include "tests/common/launch_fakes.h"
#include "tests/common/memory_files.h"
#include "tests/common/time_of_day.h"
#include "tests/core/launch_recorder.h"

namespace launcher {
namespace {

TEST(LaunchTick, WorkedExamplesAtHalfPastNine) {
  struct Case {
    const char* line;
    Calls calls;  // after the clock is read
    const char* error = nullptr;
  } cases[] = {
      {"[0930][C:\\Tools\\Report.exe]",
       {"kill Report.exe", "pause 1000", "open C:\\Tools\\Report.exe"}},
      {"[0930][C:\\Tools\\Report.exe",
       {"kill Report.exe", "pause 1000", "open C:\\Tools\\Report.exe"}},
      {"~[0930][C:\\Tools\\Report.exe]", {}},
      {"[0930]C:\\Tools\\Report.exe",
       {"kill Report.exe", "pause 1000", "open :\\Tools\\Report.exe"}},
      {"[0930][C:\\Docs\\Plan.txt]", {"kill Plan.txt", "pause 1000", "open C:\\Docs\\Plan.txt"}},
      {"[0931][C:\\Tools\\Report.exe]", {}},
      {"[930][C:\\Tools\\Report.exe]", {}, "'930]' is not a valid integer value"},
      {"[ 930][Report.exe]", {"kill Report.exe", "pause 1000", "open Report.exe"}},
      // Four characters that are not four digits are read as any number is.
      {"[$3A2][Report.exe]", {"kill Report.exe", "pause 1000", "open Report.exe"}},
      {"[+930][Report.exe]", {"kill Report.exe", "pause 1000", "open Report.exe"}},
      {"[0930]", {"kill ", "pause 1000", "open "}},
      {"", {}, "'' is not a valid integer value"},
      {"[09", {}},  // a short field converts: 9 is not due
      {"[09x", {}, "'09x' is not a valid integer value"},
      {"[0930][C:\\Ship\\Marlinet.exe]", {}},  // never ends or restarts itself
  };
  // The file field's bound: 200 characters from the 8th, the rest dropped.
  const std::string at(200, 'x'), past = at + "yz";
  const std::string atLine = "[0930][" + at, pastLine = "[0930][" + past;
  const Case bounds[] = {
      {atLine.c_str(), {"kill " + at, "pause 1000", "open " + at}},
      {pastLine.c_str(), {"kill " + at, "pause 1000", "open " + at}},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  all.insert(all.end(), std::begin(bounds), std::end(bounds));
  for (const auto& c : all) {
    Recorder r;
    LaunchTick tick(r, r);
    Calls expected{"time"};
    expected.insert(expected.end(), c.calls.begin(), c.calls.end());
    if (c.error) {
      try {
        tick.Tick(true, {c.line});
        ADD_FAILURE() << c.line;
      } catch (const base::ConvertError& e) {
        EXPECT_STREQ(e.what(), c.error);
      }
    } else {
      EXPECT_EQ(tick.Tick(true, {c.line}), kRunningInterval) << c.line;
    }
    EXPECT_EQ(r.calls, expected) << c.line;
  }
}

TEST(LaunchTick, OrderSwitchAndIntervalAndOneReportPerBadLine) {
  Recorder r;
  r.now = {0, 0};
  LaunchTick tick(r, r);
  EXPECT_EQ(tick.Tick(false, {"[0000][a\\x.exe]"}), std::nullopt);  // off: nothing run
  EXPECT_EQ(r.calls, Calls{"time"});
  r.calls.clear();
  EXPECT_EQ(tick.Tick(true, {"[0000][a\\x.exe]", "[0000][y.exe]"}), kRunningInterval);
  EXPECT_EQ(r.calls, (Calls{"time", "kill x.exe", "pause 1000", "open a\\x.exe", "kill y.exe",
                            "pause 1000", "open y.exe"}));

  const std::vector<std::string> bad = {"[0001][a]", "[1x00][b]", "[0000][c]"};
  r.now = {0, 1};
  r.calls.clear();
  EXPECT_THROW(tick.Tick(true, bad), base::ConvertError);  // the entry above it still opens
  EXPECT_EQ(r.calls, (Calls{"time", "kill a", "pause 1000", "open a"}));
  r.now = {0, 2};
  r.calls.clear();
  EXPECT_EQ(tick.Tick(true, bad), std::nullopt);  // the same line again: silent, still stops
  EXPECT_EQ(r.calls, Calls{"time"});
  std::vector<std::string> edited = bad;
  edited[0] = "[0002][a]";
  r.now = {0, 3};
  EXPECT_THROW(tick.Tick(true, edited), base::ConvertError);  // the list changed: told again
}

// Ticks as they come in a day of use, and what is opened at each.
TEST(LaunchTick, EachEntryOpensOnceInItsMinuteAndLateTicksCatchUpFiveMinutes) {
  struct Tick {
    int hour, minute, count = 1;  // `count` ticks reading that minute
    int day = 1;
    bool on = true;     // "On/Off"
    bool woke = false;  // the computer told of waking from sleep first
    int second = 0;
    bool suspended = false;   // told of going to sleep just after the tick before
    long long asleepMs = -1;  // the time asleep since start, or -1: not known
    long long countMs = -1;   // the elapsed count, or -1: not known
  };
  struct Case {
    const char* name;
    std::vector<std::string> list;
    std::vector<Tick> ticks;
    Calls opened;                 // "HH:MM file" as each tick opened it
    long long openSeconds = 0;    // how long each open waits on the shell
    std::uint32_t elapsedMs = 0;  // the machine's elapsed count at the start
  };
  const std::vector<std::string> day = {"[0929][a]", "[0930][b]", "[0931][c]", "[0935][d]"};
  const Case cases[] = {
      {"a bad line below a due entry, a tick every second",
       {"[0930][b]", "[Daily]", "[0930][c]"},
       {{9, 29, 60}, {9, 30, 60}, {9, 31, 60}},
       {"09:30 b"}},
      {"two ticks read the same minute (drift)",
       day,
       {{9, 29}, {9, 30, 2}, {9, 31}},
       {"09:29 a", "09:30 b", "09:31 c"}},
      {"a tick late by two minutes",
       day,
       {{9, 28}, {9, 31}, {9, 32}},
       {"09:31 a", "09:31 b", "09:31 c"}},
      {"late by five: caught up", day, {{9, 24}, {9, 30}}, {"09:30 a", "09:30 b"}},
      {"the clock moved forward seven minutes in one: the minutes passed over are told",
       day,
       {{9, 23, 1, 1, true, false, 0, false, -1, 0},
        {9, 30, 1, 1, true, false, 0, false, -1, 60000}},
       {"09:30 jumped a", "09:30 b"}},
      {"seven minutes between two ticks, the elapsed count as far: nothing caught up",
       day,
       {{9, 23, 1, 1, true, false, 0, false, -1, 0},
        {9, 30, 1, 1, true, false, 0, false, -1, 420000}},
       {"09:30 b"}},
      {"asleep from 09:28 to 09:35", day, {{9, 28}, {9, 35}}, {"09:35 d"}},
      {"the clock set back an hour after 09:31",
       day,
       {{9, 29}, {9, 30}, {9, 31}, {8, 31}, {8, 45}, {9, 29}, {9, 30}, {9, 31}, {9, 32}, {9, 35}},
       {"09:29 a", "09:30 b", "09:31 c", "09:35 d"}},
      {"midnight",
       {"[2359][a]", "[0000][b]", "[0001][c]"},
       {{23, 58}, {0, 1, 1, 2}},
       {"00:01 a", "00:01 b", "00:01 c"}},
      {"asleep from 09:10 until 08:30 the next morning",
       {"[0830][a]", "[0845][b]", "[0910][c]"},
       {{9, 10}, {8, 30, 1, 2}, {8, 44, 1, 2}, {8, 45, 1, 2}, {9, 10, 1, 2}},
       {"09:10 c", "08:30 a", "08:45 b", "09:10 c"}},
      {"asleep exactly a day", day, {{9, 30}, {9, 30, 1, 2}}, {"09:30 b", "09:30 b"}},
      {"asleep from 09:28 to 09:31, told of the waking alone",
       day,
       {{9, 28}, {9, 31, 1, 1, true, true}},
       {"09:31 asleep a", "09:31 asleep b", "09:31 c"}},
      // The lid shut at 09:28:30 and opened at 09:31:10: the overdue tick
      // may come before the news of waking, or with no news at all.
      {"asleep 09:28 to 09:31, told of the sleep, the overdue tick first",
       day,
       {{9, 28}, {9, 31, 1, 1, true, false, 10, true}},
       {"09:31 asleep a", "09:31 asleep b", "09:31 c"}},
      {"the same, told of the sleep and the waking before the tick",
       day,
       {{9, 28}, {9, 31, 1, 1, true, true, 10, true}},
       {"09:31 asleep a", "09:31 asleep b", "09:31 c"}},
      {"the same, told nothing, the clocks parted by 160 s",
       day,
       {{9, 28, 1, 1, true, false, 30, false, 4000}, {9, 31, 1, 1, true, false, 10, false, 164000}},
       {"09:31 asleep a", "09:31 asleep b", "09:31 c"}},
      {"told nothing, the clocks parted by 20 s only: a late tick, caught up",
       day,
       {{9, 28, 1, 1, true, false, 30, false, 4000}, {9, 31, 1, 1, true, false, 10, false, 24000}},
       {"09:31 a", "09:31 b", "09:31 c"}},
      {"told of the sleep at 09:28:30, a tick at 09:28:31 before the computer slept",
       day,
       {{9, 28}, {9, 28, 1, 1, true, false, 31, true}, {9, 31}},
       {"09:31 asleep a", "09:31 asleep b", "09:31 c"}},
      {"asleep from 09:28:50 to 09:29:05: the minute of waking runs",
       day,
       {{9, 28}, {9, 29, 1, 1, true, false, 5, true}, {9, 30}},
       {"09:29 a", "09:30 b"}},
      {"woken after the overdue tick, the next tick three minutes late: caught up",
       {"[0931][c]", "[0933][e]"},
       {{9, 28}, {9, 31}, {9, 31, 1, 1, true, true}, {9, 34}},
       {"09:31 c", "09:34 e"}},
      {"the clock set back 61 minutes after 09:31: a gap, the minute at hand runs",
       {"[0830][e]", "[0831][f]"},
       {{9, 30}, {9, 31}, {8, 30}, {8, 31}},
       {"08:30 e", "08:31 f"}},
      {"switched off across 09:31, on again at 09:35",
       day,
       {{9, 30}, {9, 31, 1, 1, false}, {9, 32, 1, 1, false}, {9, 35}},
       {"09:30 b", "09:35 d"}},
      {"switched on again within a minute, ticks a second apart",
       day,
       {{9, 30}, {9, 31, 30, 1, false}, {9, 31, 30}},
       {"09:30 b", "09:31 c"}},
      {"the first open waits ten minutes on a person: the others are not run",
       {"[0600][a]", "[0600][b]", "[0559][c]", "[0606][d]"},
       {{5, 58}, {6, 0}, {6, 6}},
       {"06:00 a", "06:06 d"},
       600},
      {"a tick at 06:05:50 catching up 06:00, its first open waiting over four minutes",
       {"[0600][a]", "[0600][b]"},
       {{5, 59}, {6, 5, 1, 1, true, false, 50}},
       {"06:05 a"},
       250},
      {"the same, the machine's elapsed count wrapping to 0 during the wait",
       {"[0600][a]", "[0600][b]", "[0559][c]", "[0606][d]"},
       {{5, 58}, {6, 0}, {6, 6}},
       {"06:00 a", "06:06 d"},
       600,
       0xFFFFFFFFu - 500},
  };
  for (const Case& c : cases) {
    Recorder r;
    r.elapsedMs = c.elapsedMs;
    LaunchTick tick(r, r);
    Calls opened;
    base::TimeOfDay before{};
    for (const Tick& t : c.ticks) {
      for (int i = 0; i < t.count; ++i) {
        before = r.now;
        r.now = {t.hour, t.minute, t.second, 0, 2000, 1, t.day};
        r.calls.clear();
        r.openSeconds = c.openSeconds;
        r.asleepMs = t.asleepMs < 0 ? std::nullopt : std::optional<long long>(t.asleepMs);
        r.countMs = t.countMs < 0 ? std::nullopt : std::optional<long long>(t.countMs);
        if (t.suspended) {
          // Heard as the computer went to sleep, in the tick before's minute.
          const base::TimeOfDay waking = r.now;
          r.now = before;
          tick.Suspending();
          r.now = waking;
        }
        if (t.woke) tick.Resumed();
        try {
          tick.Tick(t.on, c.list);
        } catch (const base::ConvertError&) {
        }
        for (const std::string& call : r.calls) {
          const bool asleep = call.rfind("asleep ", 0) == 0 || call.rfind("jumped ", 0) == 0;
          if (call.rfind("open ", 0) != 0 && !asleep) continue;
          char at[8];
          std::snprintf(at, sizeof at, "%02d:%02d ", t.hour, t.minute);
          opened.push_back(at + (asleep ? call : call.substr(5)));
        }
      }
    }
    EXPECT_EQ(opened, c.opened) << c.name;
  }
}

// A week of ticks in December 2026, the 9th a Wednesday, and starts after
// an earlier copy ended.
TEST(LaunchTick, ChosenDaysFollowTheDateOfEachMinuteAndARecordAheadIsKept) {
  struct At {
    int day, hour, minute;
    long long asleepMs = 0;  // the time asleep since start
  };
  struct Case {
    const char* name;
    std::vector<std::string> list;
    std::vector<At> ticks;
    Calls opened;                             // "DD HH:MM what", as each tick opened or told it
    std::optional<At> record = std::nullopt;  // the last minute the earlier copy handled
  };
  const std::vector<std::string> week = {"[0930][w]|Wed", "[0930][s]|sat", "[0930][e]|Mon-Fri",
                                         "[0930][x]|Mon-Fir", "[0930][d]"};
  const Case cases[] = {
      {"a Wednesday and a Saturday",
       week,
       {{9, 9, 29}, {9, 9, 30}, {12, 9, 29}, {12, 9, 30}},
       {"09 09:30 w", "09 09:30 e", "09 09:30 unread x", "09 09:30 d", "12 09:30 s",
        "12 09:30 unread x", "12 09:30 d"}},
      {"00:00 on a Sunday is Sunday's",
       {"[0000][sun]|Sun", "[0000][sat]|Sat"},
       {{12, 23, 59}, {13, 0, 0}},
       {"13 00:00 sun"}},
      {"23:59 caught up after midnight is the day before's",
       {"[2359][sat]|Sat", "[2359][sun]|Sun", "[0000][sun0]|Sun", "[0000][sat0]|Sat"},
       {{12, 23, 57}, {13, 0, 1}},
       {"13 00:01 sat", "13 00:01 sun0"}},
      {"slept through Saturday into Sunday: told for its own day only",
       {"[2300][sat]|Sat", "[2300][sun]|Sun", "[2330][bad]|Sat-"},
       {{12, 22, 0}, {13, 8, 0, 36000000}},
       {"13 08:00 asleep sat", "13 08:00 unread bad"}},
      // The clock went back from 01:59 to 01:10 between the two copies.
      {"the record 49 minutes ahead: its minutes do not open again",
       {"[0115][a]", "[0200][b]"},
       {{8, 1, 10}, {8, 1, 15}, {8, 1, 59}, {8, 2, 0}},
       {"08 02:00 b"},
       At{8, 1, 59}},
      {"the record an hour ahead", {"[0115][a]"}, {{8, 1, 15}}, {}, At{8, 2, 15}},
      {"the record an hour and a minute ahead: a gap, the minute at hand runs",
       {"[0115][a]"},
       {{8, 1, 15}},
       {"08 01:15 a"},
       At{8, 2, 16}},
      {"the record the day before's: the minute at hand runs",
       {"[0115][a]"},
       {{8, 1, 15}},
       {"08 01:15 a"},
       At{7, 1, 59}},
  };
  for (const Case& c : cases) {
    Recorder r;
    LaunchTick tick(r, r);
    if (c.record) {
      tick.Restore(base::MinutesSinceEpoch(
          {c.record->hour, c.record->minute, 0, 0, 2026, 12, c.record->day}));
    }
    Calls opened;
    for (const At& t : c.ticks) {
      r.now = {t.hour, t.minute, 0, 0, 2026, 12, t.day};
      r.asleepMs = t.asleepMs;
      r.calls.clear();
      tick.Tick(true, c.list);
      for (const std::string& call : r.calls) {
        if (call == "time" || call.starts_with("kill ") || call.starts_with("pause ")) continue;
        char at[16];
        std::snprintf(at, sizeof at, "%02d %02d:%02d ", t.day, t.hour, t.minute);
        opened.push_back(at + (call.starts_with("open ") ? call.substr(5) : call));
      }
    }
    EXPECT_EQ(opened, c.opened) << c.name;
  }
}

// What an orderly end leaves in the form state for the next start, read
// back; anything else in its place (a hand edit, a damaged file) is no record.
TEST(LaunchTick, TheLaunchRecordReadsBackOnlyAsAWholeMinute) {
  const long long morning = base::MinutesSinceEpoch({9, 0, 0, 0, 2026, 12, 8});
  EXPECT_EQ(LaunchRecordText(morning), "2026-12-08 09:00");
  EXPECT_EQ(ParseLaunchRecord("2026-12-08 09:00"), morning);
  EXPECT_EQ(ParseLaunchRecord("2028-02-29 23:59"),
            base::MinutesSinceEpoch({23, 59, 0, 0, 2028, 2, 29}));
  for (const char* bad : {"", "2026-12-08", "2026-02-30 09:00", "2026-12-08 24:00",
                          "2026-12-08 09:00x", "2026-12-8 09:00 ", "\xff\xfe-12-08 09:00"}) {
    EXPECT_EQ(ParseLaunchRecord(bad), std::nullopt) << bad;
  }
}

// "Run Missed Launches Once": the entries of a gap, in December 2026 (the
// 9th a Wednesday), as the launch log tells them.
TEST(LaunchTick, MissedLaunchesRunLateOnceWhenTicked) {
  struct At {
    int day, hour, minute;
    long long asleepMs = 0;  // the time asleep since start
    bool on = true;          // "On/Off"
    long long countMs = -1;  // the elapsed count, or -1: not known
  };
  struct Case {
    const char* name;
    std::vector<std::string> list;
    std::vector<At> ticks;
    std::vector<std::string> logged;  // what the log says of each entry, after its stamp
    bool ticked = true;
    std::optional<At> record = std::nullopt;  // the minute an orderly end left
    std::vector<std::string> running = {};
    long long openSeconds = 0;
    bool recordTaken = true;  // the start could take the record away
    // The program ends after this many entries of the last tick, and a new
    // copy starts from the record it leaves, with a tick at `restart`.
    size_t endAfter = 0;
    std::optional<At> restart = std::nullopt;
  };
  const std::vector<std::string> sleepy = {"[0930][C:\\a.exe]", "[1030][C:\\b.exe]"};
  const Case cases[] = {
      {"asleep 09:00 to 11:00: both run once at 11:00, in list order",
       sleepy,
       {{9, 9, 0}, {9, 11, 0, 7200000}},
       {"[0930][C:\\a.exe]  run late (missed 2026-12-09 09:30: the computer was asleep); none "
        "running; opened",
        "[1030][C:\\b.exe]  run late (missed 2026-12-09 10:30: the computer was asleep); none "
        "running; opened"}},
      {"the same, the first open waiting twenty minutes on the shell: the second still runs",
       sleepy,
       {{9, 9, 0}, {9, 11, 0, 7200000}},
       {"[0930][C:\\a.exe]  run late (missed 2026-12-09 09:30: the computer was asleep); none "
        "running; opened",
        "[1030][C:\\b.exe]  run late (missed 2026-12-09 10:30: the computer was asleep); none "
        "running; opened"},
       true,
       std::nullopt,
       {},
       1200},
      {"the same, b.exe running: skipped, never ended",
       sleepy,
       {{9, 9, 0}, {9, 11, 0, 7200000}},
       {"[0930][C:\\a.exe]  run late (missed 2026-12-09 09:30: the computer was asleep); none "
        "running; opened",
        "[1030][C:\\b.exe]  run late (missed 2026-12-09 10:30: the computer was asleep); "
        "skipped: b.exe is running, and a late run ends nothing"},
       true,
       std::nullopt,
       {" B.EXE"}},
      {"asleep three days: each entry once",
       sleepy,
       {{9, 9, 0}, {12, 11, 0, 266400000}},
       {"[0930][C:\\a.exe]  run late (missed 2026-12-12 09:30: the computer was asleep); none "
        "running; opened",
        "[1030][C:\\b.exe]  run late (missed 2026-12-12 10:30: the computer was asleep); none "
        "running; opened"}},
      {"unticked: told as slept through, as ever",
       sleepy,
       {{9, 9, 0}, {9, 11, 0, 7200000}},
       {"[0930][C:\\a.exe]  not run: the computer was asleep",
        "[1030][C:\\b.exe]  not run: the computer was asleep"},
       false},
      {"off from Friday 18:00 to Monday 08:00, a Mon-Fri entry at 20:00: nothing",
       {"[2000][C:\\r.exe]|Mon-Fri"},
       {{14, 8, 0}},
       {},
       true,
       At{11, 18, 0}},
      {"the same with Sunday among its days: Sunday's 20:00 runs once",
       {"[2000][C:\\r.exe]|Mon-Fri,Sun"},
       {{14, 8, 0}, {14, 8, 1}},
       {"[2000][C:\\r.exe]|Mon-Fri,Sun  run late (missed 2026-12-13 20:00: Marlinet was not "
        "running); Sunday, one of its days (Mon, Tue, Wed, Thu, Fri, Sun); none running; opened"},
       true,
       At{11, 18, 0}},
      {"the same, unticked: nothing, and nothing told",
       {"[2000][C:\\r.exe]|Mon-Fri,Sun"},
       {{14, 8, 0}},
       {},
       false,
       At{11, 18, 0}},
      {"a first start, or one after a crash (no record): only the minute at hand",
       {"[0700][C:\\a.exe]", "[0800][C:\\b.exe]"},
       {{14, 8, 0}},
       {"[0800][C:\\b.exe]  none running; opened"}},
      {"a start two minutes after an orderly end",
       {"[0758][C:\\a.exe]", "[0759][C:\\b.exe]", "[0800][C:\\c.exe]"},
       {{14, 8, 0}},
       {"[0759][C:\\b.exe]  run late (missed 2026-12-14 07:59: Marlinet was not running); none "
        "running; opened",
        "[0800][C:\\c.exe]  none running; opened"},
       true,
       At{14, 7, 58}},
      {"the same, the record left in the file (held by another program): a crash later "
       "would read it again, so nothing runs late",
       {"[0758][C:\\a.exe]", "[0759][C:\\b.exe]", "[0800][C:\\c.exe]"},
       {{14, 8, 0}},
       {"[0800][C:\\c.exe]  none running; opened"},
       true,
       At{14, 7, 58},
       {},
       0,
       false},
      {"on at 08:00, off until 12:00, on again, asleep from 12:00:45 to 13:00: only 12:30 is "
       "owed",
       {"[0830][C:\\a.exe]", "[1000][C:\\b.exe]", "[1159][C:\\c.exe]", "[1230][C:\\d.exe]"},
       {{9, 8, 0}, {9, 8, 1, 0, false}, {9, 12, 0, 0, false}, {9, 13, 0, 3600000}},
       {"[1230][C:\\d.exe]  run late (missed 2026-12-09 12:30: the computer was asleep); none "
        "running; opened"}},
      {"the clock set forward by hand from 09:00 to 11:00: 09:30 and 10:00 run late once",
       {"[0930][C:\\a.exe]", "[1000][C:\\b.exe]"},
       {{9, 9, 0, 0, true, 0}, {9, 11, 0, 0, true, 60000}},
       {"[0930][C:\\a.exe]  run late (missed 2026-12-09 09:30: the clock moved forward from 09:00 "
        "to 11:00); none running; opened",
        "[1000][C:\\b.exe]  run late (missed 2026-12-09 10:00: the clock moved forward from 09:00 "
        "to 11:00); none running; opened"}},
      {"two entries at 09:00, the program ended after the first: the next start owes the second",
       {"[0900][C:\\a.exe]", "[0900][C:\\b.exe]"},
       {{9, 9, 0}},
       {"[0900][C:\\a.exe]  ended process 1000; opened",
        "[0900][C:\\b.exe]  not run: Marlinet was ending",
        "[0900][C:\\a.exe]  run late (missed 2026-12-09 09:00: Marlinet was not running); "
        "skipped: a.exe is running, and a late run ends nothing",
        "[0900][C:\\b.exe]  run late (missed 2026-12-09 09:00: Marlinet was not running); none "
        "running; opened"},
       true,
       std::nullopt,
       {"a.exe"},
       0,
       true,
       1,
       At{9, 9, 30}},
      {"switched off at the first tick: the gap is the person's own choice",
       {"[0759][C:\\b.exe]", "[0801][C:\\c.exe]"},
       {{14, 8, 0, 0, false}, {14, 8, 1}},
       {"[0801][C:\\c.exe]  none running; opened"},
       true,
       At{14, 7, 58}},
  };
  for (const Case& c : cases) {
    struct Log : Recorder {
      std::vector<std::string> logged;
      LaunchTick* tick = nullptr;  // told of each entry, as the program tells it
      size_t endAfter = 0, handled = 0;
      bool Stopping() override { return endAfter && handled >= endAfter; }
      // The entries the end cut off are told as not run, as the runner does.
      void Start(std::vector<DueLaunch> due) override {
        for (DueLaunch& d : due) d.handedAt = elapsedMs;
        for (size_t i = RunLaunches(due, {*this, *this, *this, *this}, this); i < due.size(); ++i) {
          LaunchOutcome cut;
          cut.launch = due[i];
          cut.ending = true;
          Done(cut);
        }
      }
      void Done(const LaunchOutcome& outcome) override {
        ++handled;
        if (tick) tick->Told(outcome);
        const std::string line = LogLine({}, outcome);
        logged.push_back(line.substr(line.find("  ") + 2));
      }
    } r;
    r.running = c.running;
    r.openSeconds = c.openSeconds;
    LaunchTick tick(r, r);
    r.tick = &tick;
    tick.runMissedOnce = [&] { return c.ticked; };
    if (c.record) {
      tick.Restore(base::MinutesSinceEpoch(
                       {c.record->hour, c.record->minute, 0, 0, 2026, 12, c.record->day}),
                   c.recordTaken);
    }
    for (size_t i = 0; i < c.ticks.size(); ++i) {
      const At& t = c.ticks[i];
      r.now = {t.hour, t.minute, 0, 0, 2026, 12, t.day};
      r.asleepMs = t.asleepMs;
      r.countMs = t.countMs < 0 ? std::nullopt : std::optional<long long>(t.countMs);
      if (i + 1 == c.ticks.size()) r.endAfter = c.endAfter;
      tick.Tick(t.on, c.list);
    }
    if (c.restart) {
      const std::optional<long long> record = tick.Record(true);
      LaunchTick next(r, r);
      r.tick = &next;
      r.endAfter = 0;
      next.runMissedOnce = [&] { return c.ticked; };
      if (record) next.Restore(*record);
      r.now = {c.restart->hour, c.restart->minute, 0, 0, 2026, 12, c.restart->day};
      next.Tick(true, c.list);
    }
    EXPECT_EQ(r.logged, c.logged) << c.name;
    // A late run asks no process to end: only the entries run in their
    // own minute do.
    size_t onTime = 0, kills = 0;
    for (const std::string& l : c.logged)
      onTime += l.find("; opened") != l.npos && l.find("run late") == l.npos;
    for (const std::string& call : r.calls) kills += call.starts_with("kill ");
    EXPECT_EQ(kills, onTime) << c.name;
  }
}

// What an orderly end leaves for the next start: the last minute handled,
// and while switched off, the end's own minute.
TEST(LaunchTick, AnEndSwitchedOffRecordsItsOwnMinute) {
  Recorder r;
  LaunchTick tick(r, r);
  r.now = {9, 30, 0, 0, 2026, 12, 9};
  EXPECT_EQ(tick.Record(true), std::nullopt);  // nothing handled, nothing restored
  tick.Tick(true, {});
  r.now = {10, 15, 0, 0, 2026, 12, 9};
  EXPECT_EQ(tick.Record(true), base::MinutesSinceEpoch({9, 30, 0, 0, 2026, 12, 9}));
  r.now = {11, 45, 0, 0, 2026, 12, 9};
  tick.Tick(false, {});
  EXPECT_EQ(tick.Record(false), base::MinutesSinceEpoch({11, 45, 0, 0, 2026, 12, 9}));
  // Switched on again just before the end, no tick since: still the end's minute.
  r.now = {11, 46, 0, 0, 2026, 12, 9};
  EXPECT_EQ(tick.Record(true), base::MinutesSinceEpoch({11, 46, 0, 0, 2026, 12, 9}));
}

// The balloon of a failed launch: what the person reads on the icon, once
// the tick's last entry is handled.
TEST(LaunchOptions, FailuresOfOneTickShareOneBalloonCutToFit) {
  const auto failed = [](const std::string& line, long long tick, unsigned long error,
                         const char* words, bool last = false) {
    LaunchOutcome o;
    o.launch = {line, ParseLaunchLine(line), std::stoi(line.substr(1, 4))};
    o.launch.tickMinute = tick;
    o.launch.lastOfTick = last;
    o.open = {error, words};
    return o;
  };
  LaunchOutcome unread = failed("[1011][C:\\a.exe]|Mon-Fir", 1, 0, "", true);
  unread.daysUnread = true;
  const std::pair<LaunchOutcome, const char*> steps[] = {
      {failed("[1011][C:\\ok.exe]", 1, 0, ""), nullptr},
      // More of the tick to come: no balloon yet, which the shell would
      // queue behind the next.
      {failed("[1011][C:\\Tools\\missing.exe]", 1, 2, "The system cannot find the file specified"),
       nullptr},
      {failed("[1011][C:\\Docs\\plan.xyz]", 1, 1155,
              "No application is associated with the specified file for this operation"),
       nullptr},
      {unread,
       "3 launches failed:\n10:11 C:\\Tools\\missing.exe: The system cannot find the file "
       "specified\n10:11 C:\\Docs\\plan.xyz: No application is associated with the specified file "
       "for this operation\n10:11 C:\\a.exe: its days \"Mon-Fir\" could not be read"},
      // The next tick's failure stands alone, told when its last entry, which
      // opened, is handled.
      {failed("[1012][C:\\x.exe]", 2, 5, "Access is denied"), nullptr},
      {failed("[1012][C:\\ok.exe]", 2, 0, "", true), "10:12 C:\\x.exe: Access is denied"},
      {failed("[1013][C:\\ok.exe]", 3, 0, "", true), nullptr},
  };
  FailureNotices notices;
  for (const auto& [outcome, text] : steps) {
    const std::optional<Balloon> b = notices.Add(outcome);
    ASSERT_EQ(b.has_value(), text != nullptr) << outcome.launch.line;
    if (!b) continue;
    EXPECT_EQ(b->title, "Launch failed");
    EXPECT_EQ(b->text, text);
  }
  // A long path and the shell's words: more than the shell's 255 characters.
  const std::string path = "C:\\" + std::string(192, 'p') + ".exe";  // 199 characters
  const std::string cut = FailureBalloonText(
      {failed("[1011][" + path + "]", 3, 1155,
              "No application is associated with the specified file for this operation")});
  EXPECT_EQ(cut, "10:11 " + path + ": No application is associated with the specifi...");
  EXPECT_EQ(cut.size(), 255u);
  // A program whose closing quote is missing: never opened, and told.
  LaunchOutcome unclosed = failed("[1013][\"C:\\Tools\\x.exe one]", 4, 0, "", true);
  unclosed.quoteMissing = true;
  const std::optional<Balloon> b = FailureNotices().Add(unclosed);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->text, "10:13 \"C:\\Tools\\x.exe one: its program's closing quote is missing");
}

TEST(LaunchTick, AimedAtTheStartOfEachMinuteSoAnEntryOpensInItsFirstSecond) {
  struct Case {
    base::TimeOfDay from;
    int hour, minute;    // the minute whose first second the aimed tick comes in
    const char* opened;  // what it opens there
  };
  const Case cases[] = {
      {{9, 29, 0, 0}, 9, 30, "open a"},    {{9, 29, 31, 250}, 9, 30, "open a"},
      {{9, 29, 59, 995}, 9, 30, "open a"}, {{9, 30, 0, 0}, 9, 31, "open b"},
      {{9, 30, 0, 30}, 9, 31, "open b"},   {{23, 59, 42, 0}, 0, 0, "open c"},
  };
  const std::vector<std::string> list = {"[0930][a]", "[0931][b]", "[0000][c]"};
  for (const Case& c : cases) {
    const long long at = (testutil::MsOfDay(c.from) + MsToNextMinute(c.from)) % testutil::kDayMs;
    const long long mark = (c.hour * 60LL + c.minute) * 60000;
    // The entry's open follows the one-second pause: within a second and a
    // half of its minute.
    EXPECT_GE(at, mark) << c.from.hour << ":" << c.from.minute << ":" << c.from.second;
    EXPECT_LT(at - mark + kKillPause, 1500) << c.from.hour << ":" << c.from.minute;
    Recorder r;
    LaunchTick tick(r, r);
    r.now = testutil::AtMsOfDay(at);
    tick.Tick(true, list);
    EXPECT_EQ(r.calls.back(), c.opened) << c.from.hour << ":" << c.from.minute;
  }
}

}  // namespace
}  // namespace launcher
