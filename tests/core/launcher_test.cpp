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

TEST(LaunchList, FileTextCleanUpAndLineBreaks) {
  struct Case {
    std::string file;     // as read from disk
    std::string memo;     // the editor's text after loading
    std::string written;  // what "OK" writes
  } cases[] = {
      {"[0930][a]\r\n[1000][b]\r\n", "[0930][a]\r\n[1000][b]\r\n", "[0930][a]\r\n[1000][b]\r\n"},
      {"[0930][a]\r\n[1000][b]", "[0930][a]\r\n[1000][b]", "[0930][a]\r\n[1000][b]"},
      {"[0930][a]\n[1000][b]\n", "[0930][a]\r\n[1000][b]\r\n", "[0930][a]\r\n[1000][b]\r\n"},
      {"[0930][a]\r[1000][b]", "[0930][a]\r\n[1000][b]", "[0930][a]\r\n[1000][b]"},
      {"\r\nno bracket\r\n[0930][a]\r\n\r\n", "\r\nno bracket\r\n[0930][a]\r\n\r\n",
       "[0930][a]\r\n"},
      {"[0930][a]\r\nlast", "[0930][a]\r\nlast", "[0930][a]\r\n"},  // the break before stays
      {"~[0930][a]\r\nx[y\r\n", "~[0930][a]\r\nx[y\r\n", "~[0930][a]\r\nx[y\r\n"},
      {std::string("[0930][a]\r\n\0[1000][b]", 21), "[0930][a]\r\n", "[0930][a]\r\n"},
      {"", "", ""},
      {"none\r\nhere", "none\r\nhere", ""},
      {"\xEF\xBB\xBF[0930][a]\r\n", "[0930][a]\r\n", "[0930][a]\r\n"},        // an editor's mark
      {"x\xEF\xBB\xBF[0930]", "x\xEF\xBB\xBF[0930]", "x\xEF\xBB\xBF[0930]"},  // only at the start
  };
  for (const auto& c : cases) {
    const std::string memo = MemoTextFromFile(c.file);
    EXPECT_EQ(memo, c.memo) << c.file;
    EXPECT_EQ(CleanLaunchText(memo), c.written) << c.file;
  }
}

TEST(LaunchList, ExecutableNamesCompareWithoutCaseAndBlanks) {
  EXPECT_TRUE(SameExeName("Report.exe", "REPORT.EXE"));
  EXPECT_TRUE(SameExeName("  report.exe\t", "Report.exe"));
  EXPECT_FALSE(SameExeName("Report.exe", "Report.ex"));
  EXPECT_FALSE(SameExeName("\xE4.exe", "\xC4.EXE"));  // only A to Z fold
}


TEST(LaunchDays, ALineGivesItsPathAndItsDaysOrDaysNotRead) {
  constexpr const char* kEvery = "every day";  // no day list at all
  constexpr const char* kUnread = "not read";
  struct Case {
    std::string line, path;
    const char* days;  // a week pattern, kEvery or kUnread
    bool disabled = false;
  };
  const std::string at200(200, 'p');
  const Case cases[] = {
      {"[0930][C:\\Reports\\weekly.exe]|Mon-Fri", "C:\\Reports\\weekly.exe", "MTWTF.."},
      {"[2200][C:\\Backup\\run.cmd] | Sat, Sun", "C:\\Backup\\run.cmd", ".....SS"},
      {"[0700][C:\\Tools\\alarm.exe]|mon wed fri", "C:\\Tools\\alarm.exe", "M.W.F.."},
      {"[1200][C:\\Tools\\lunch.exe]|Weekdays", "C:\\Tools\\lunch.exe", "MTWTF.."},
      {"[1200][a.exe]|WEEKENDS", "a.exe", ".....SS"},
      {"[0930][a.exe]|Fri-Mon", "a.exe", "M...FSS"},
      {"[0930][a.exe]|Mon-Mon", "a.exe", "M......"},
      {"[0930][a.exe]|thur - TUES", "a.exe", "MT.TFSS"},
      {"[0930][a.exe]|TUESDAY,thurs ,Weds,sunday", "a.exe", ".TWT..S"},
      {"[0930][a.exe]\t|  Sat -Sun ,, Tues  ", "a.exe", ".T...SS"},
      {"[0930][a.exe]|Mon]-]Wed]", "a.exe", "MTW...."},  // "]" ignored there too
      {"[0930][]|Sun", "", "......S"},                   // the "]" at the 8th character
      {"[0930][a.exe]|", "a.exe", kUnread},
      {"[0930][a.exe]|   ", "a.exe", kUnread},
      {"[0930][a.exe]|Mon|Fri", "a.exe", kUnread},
      {"[0930][a.exe]||Mon", "a.exe", kUnread},
      {"[0930][a.exe]|Mon-Fir", "a.exe", kUnread},
      {"[0930][a.exe]|sometimes", "a.exe", kUnread},
      {"[0930][a.exe]|MonTue", "a.exe", kUnread},
      {"[0930][a.exe]|Weekdays-Sun", "a.exe", kUnread},
      {"[0930][a.exe]|Mon-", "a.exe", kUnread},
      {"[0930][a.exe]|Mon;Tue", "a.exe", kUnread},
      // A "|" that no closing "]" precedes belongs to the path.
      {"[0930][http://example.invalid/?q=a|b]", "http://example.invalid/?q=a|b", kEvery},
      {"[0930][http://example.invalid/?q=a|b]|Sat", "http://example.invalid/?q=a|b", ".....S."},
      {"[0930][C:\\a.exe|Mon", "C:\\a.exe|Mon", kEvery},
      {"[0930][C:\\a.exe] x|Mon", "C:\\a.exe x|Mon", kEvery},
      {"[0930]|Mon", "Mon", kEvery},  // that "]" closes the time field
      // The path keeps to 200 characters; the days are read past them.
      {"[0930][" + at200 + "]|Wed", at200, "..W...."},
      {"[0930][" + at200 + "xyz]|Wed", at200, "..W...."},
      {"~[0930][a.exe]|Mon", "[a.exe", "M......", true},  // by position, as ever
      {"[0930][a.exe]|Mon~", "a.exe", kUnread, true},
  };
  for (const Case& c : cases) {
    const LaunchEntry e = ParseLaunchLine(c.line);
    EXPECT_EQ(e.file, c.path) << c.line;
    EXPECT_EQ(e.disabled, c.disabled) << c.line;
    const std::string_view days = c.days;
    if (days == kEvery) {
      EXPECT_FALSE(e.dayText) << c.line;
      EXPECT_EQ(e.days, kEveryDay) << c.line;
    } else if (days == kUnread) {
      EXPECT_TRUE(e.dayText) << c.line;
      EXPECT_EQ(e.days, std::nullopt) << c.line;
    } else {
      EXPECT_EQ(e.days, Week(days)) << c.line;
    }
  }
}


// A field that opens with '"' names a program and its arguments, started in
// the program's own folder; every other field is opened as it stands.
TEST(LaunchProgram, AQuotedProgramItsArgumentsItsFolderAndItsName) {
  // "open" + " with" the parameters + " in" the folder, as the shell is asked.
  const std::string args200 = std::string(200 - 16, 'a');  // after "C:\T\long.exe" and a blank
  struct Case {
    std::string line;
    Calls calls;  // after the clock is read
  } cases[] = {
      {"[0930][\"C:\\Tools\\backup.exe\" --full D:\\]",
       {"kill backup.exe", "pause 1000",
        "open C:\\Tools\\backup.exe with --full D:\\ in C:\\Tools"}},
      {"[0930][\"C:\\Program Files\\Sync\\sync.exe\" /profile \"Home Office\"]|Mon-Fri",
       {"kill sync.exe", "pause 1000",
        "open C:\\Program Files\\Sync\\sync.exe with /profile \"Home Office\" in C:\\Program "
        "Files\\Sync"}},
      {"[0930][\"C:\\Program Files\\Sync\\sync.exe\" /profile]|Sat,Sun", {}},  // not its day
      {"[0930][\"%USERPROFILE%\\scripts\\fetch.cmd\"]",
       {"kill fetch.cmd", "pause 1000",
        "open %USERPROFILE%\\scripts\\fetch.cmd in %USERPROFILE%\\scripts"}},
      // The blanks at the ends go; those inside, and the quotes, stay.
      {"[0930][\"C:\\Tools\\target.exe\" \t one  \"two three\" \t]",
       {"kill target.exe", "pause 1000",
        "open C:\\Tools\\target.exe with one  \"two three\" in C:\\Tools"}},
      {"[0930][\"C:\\t.exe\"x\"y\"]",
       {"kill t.exe", "pause 1000", "open C:\\t.exe with x\"y\" in C:\\"}},
      // Every "]" of the field goes, the arguments' too.
      {"[0930][\"C:\\t.exe\" [a] b]",
       {"kill t.exe", "pause 1000", "open C:\\t.exe with [a b in C:\\"}},
      {"[0930][\"\\\\srv\\share\\t.exe\" a]",
       {"kill t.exe", "pause 1000", "open \\\\srv\\share\\t.exe with a in \\\\srv\\share"}},
      {"[0930][\"t.exe\" a]", {"kill t.exe", "pause 1000", "open t.exe with a"}},  // no folder
      {"[0930][\"\"]", {"kill ", "pause 1000", "open "}},
      {"[0930][\"\" a]", {"kill ", "pause 1000", "open  with a"}},
      // Never opened, and told each time its minute comes.
      {"[0930][\"C:\\Tools\\x.exe one]", {"unclosed \"C:\\Tools\\x.exe one"}},
      {"[0930][\"]|Mon-Fri", {"unclosed \""}},
      // The field's 200 characters end inside the arguments, or the program.
      {"[0930][\"C:\\T\\long.exe\" " + args200 + "bcd]",
       {"kill long.exe", "pause 1000", "open C:\\T\\long.exe with " + args200 + " in C:\\T"}},
      {"[0930][\"C:\\" + std::string(197, 'p') + "\"]",
       {"unclosed \"C:\\" + std::string(196, 'p')}},
      // Without a leading quote, the field as it stands, as ever.
      {"[0930][C:\\Program Files\\App\\app.exe]",
       {"kill app.exe", "pause 1000", "open C:\\Program Files\\App\\app.exe"}},
      {"[0930][C:\\Tools\\x.exe \"a b\"]",
       {"kill x.exe \"a b\"", "pause 1000", "open C:\\Tools\\x.exe \"a b\""}},
      {"[0930][ \"C:\\x.exe\" a]", {"kill x.exe\" a", "pause 1000", "open  \"C:\\x.exe\" a"}},
      {"[0930][http://example.invalid/r?q=\"a b\"]",
       {"kill http://example.invalid/r?q=\"a b\"", "pause 1000",
        "open http://example.invalid/r?q=\"a b\""}},
      {"[0930][\"http://example.invalid/r\" now]",
       {"kill http://example.invalid/r", "pause 1000", "open http://example.invalid/r with now"}},
      // Its own program is known by the program, whatever the arguments.
      {"[0930][\"C:\\Ship\\Marlinet.exe\" /again]", {}},
  };
  for (const Case& c : cases) {
    Recorder r;
    r.now = {9, 30, 0, 0, 2026, 12, 9};  // a Wednesday
    LaunchTick tick(r, r);
    Calls expected{"time"};
    expected.insert(expected.end(), c.calls.begin(), c.calls.end());
    tick.Tick(true, {c.line});
    EXPECT_EQ(r.calls, expected) << c.line;
  }
  // Run late once, it is skipped while a program of that file name runs,
  // whatever its arguments.
  Recorder r;
  r.running = {"sync.exe"};
  const std::string line = "[0930][\"C:\\Sync\\sync.exe\" /profile a]";
  DueLaunch late{line, ParseLaunchLine(line), 930};
  late.missed = Missed::NotRunning;
  RunLaunches({late}, {r, r, r, r}, &r);
  EXPECT_EQ(r.calls, Calls{"running \"C:\\Sync\\sync.exe\" /profile a"});
}

TEST(LaunchLog, WhatRanWhenAndWhatTheShellSaid) {
  const Stamp at{2026, 12, 7, 3, 0, 1};
  const auto outcome = [](const char* line, int time, bool caughtUp) {
    LaunchOutcome o;
    o.launch = {line, ParseLaunchLine(line), time, caughtUp};
    return o;
  };
  LaunchOutcome ended = outcome("[0300][C:\\Backup\\run.exe]", 300, false);
  ended.ended = 4242;
  LaunchOutcome missing = outcome("[0300][C:\\nowhere.exe]", 300, false);
  missing.open = {2, "The system cannot find the file specified"};
  LaunchOutcome late = outcome("[0259][C:\\Backup\\run.exe]", 259, true);
  LaunchOutcome own = outcome("[0300][Marlinet.exe]", 300, false);
  own.own = true;
  LaunchOutcome stale = outcome("[0600][C:\\Mail\\mail.exe]", 600, false);
  stale.lateMinutes = 210;
  LaunchOutcome ending = outcome("[0300][C:\\a.exe]", 300, false);
  ending.ending = true;
  LaunchOutcome held = outcome("[0300][\\\\far\\b.exe]", 300, false);
  held.held = true;
  LaunchOutcome slept = outcome("[0230][C:\\a.exe]", 230, false);
  slept.slept = true;
  // Wednesday 9 December's 23:59, caught up after midnight; its 09:30.
  const Stamp thursday{2026, 12, 10, 0, 1, 2};
  LaunchOutcome days = outcome("[2359][C:\\Tools\\alarm.exe]|mon wed fri", 2359, true);
  days.launch.minute = base::MinutesSinceEpoch({23, 59, 0, 0, 2026, 12, 9});
  LaunchOutcome daysSlept = outcome("[0930][C:\\a.exe] | Weekdays", 930, false);
  daysSlept.launch.minute = base::MinutesSinceEpoch({9, 30, 0, 0, 2026, 12, 9});
  daysSlept.slept = true;
  LaunchOutcome unread = outcome("[0930][C:\\a.exe]| Mon-Fir ", 930, false);
  unread.daysUnread = true;
  LaunchOutcome args = outcome("[0300][\"C:\\Tools\\target.exe\"  one \"two three\" ]", 300, false);
  args.ended = 77;
  LaunchOutcome noArgs = outcome("[0300][\"%USERPROFILE%\\fetch.cmd\"]|Mon", 300, false);
  noArgs.launch.minute = base::MinutesSinceEpoch({3, 0, 0, 0, 2026, 12, 7});
  noArgs.open = {2, "The system cannot find the file specified"};
  LaunchOutcome unclosed = outcome("[0300][\"C:\\Tools\\x.exe one ]", 300, false);
  unclosed.quoteMissing = true;
  // Daylight saving's first morning in central Europe: 02:30 never was.
  LaunchOutcome jumped = outcome("[0230][C:\\a.exe]", 230, false);
  jumped.jumped = true;
  jumped.launch.jumpedFrom = base::MinutesSinceEpoch({1, 59, 0, 0, 2026, 3, 29});
  jumped.launch.tickMinute = base::MinutesSinceEpoch({3, 0, 0, 0, 2026, 3, 29});
  const std::pair<std::string, std::string> lines[] = {
      {LogLine(at, ended),
       "2026-12-07 03:00:01  [0300][C:\\Backup\\run.exe]  ended process 4242; opened"},
      {LogLine(at, missing),
       "2026-12-07 03:00:01  [0300][C:\\nowhere.exe]  none running; not opened: The system cannot "
       "find the file specified (error 2)"},
      {LogLine(at, late),
       "2026-12-07 03:00:01  [0259][C:\\Backup\\run.exe]  caught up (due 02:59, the tick was "
       "late); "
       "none running; opened"},
      {LogLine(at, own),
       "2026-12-07 03:00:01  [0300][Marlinet.exe]  not run: it names Marlinet itself"},
      {LogLine(at, stale),
       "2026-12-07 03:00:01  [0600][C:\\Mail\\mail.exe]  not run: 210 minutes late"},
      {LogLine(at, ending), "2026-12-07 03:00:01  [0300][C:\\a.exe]  not run: Marlinet was ending"},
      {LogLine(at, slept),
       "2026-12-07 03:00:01  [0230][C:\\a.exe]  not run: the computer was asleep"},
      {LogLine(thursday, days),
       "2026-12-10 00:01:02  [2359][C:\\Tools\\alarm.exe]|mon wed fri  caught up (due 23:59, the "
       "tick was late); Wednesday, one of its days (Mon, Wed, Fri); none running; opened"},
      {LogLine(at, daysSlept),
       "2026-12-07 03:00:01  [0930][C:\\a.exe] | Weekdays  Wednesday, one of its days (Mon, Tue, "
       "Wed, Thu, Fri); not run: the computer was asleep"},
      {LogLine(at, unread),
       "2026-12-07 03:00:01  [0930][C:\\a.exe]| Mon-Fir   not run: its days \"Mon-Fir\" could "
       "not be read"},
      {LogLine(at, args),
       "2026-12-07 03:00:01  [0300][\"C:\\Tools\\target.exe\"  one \"two three\" ]  program "
       "\"C:\\Tools\\target.exe\", arguments [one \"two three\"]; ended process 77; opened"},
      {LogLine(at, noArgs),
       "2026-12-07 03:00:01  [0300][\"%USERPROFILE%\\fetch.cmd\"]|Mon  Monday, one of its days "
       "(Mon); program \"%USERPROFILE%\\fetch.cmd\", no arguments; none running; not opened: The "
       "system cannot find the file specified (error 2)"},
      {LogLine(at, unclosed),
       "2026-12-07 03:00:01  [0300][\"C:\\Tools\\x.exe one ]  not run: its program's closing "
       "quote is missing: [\"C:\\Tools\\x.exe one ]"},
      {LogLine(at, jumped),
       "2026-12-07 03:00:01  [0230][C:\\a.exe]  not run: the clock moved forward from 01:59 to "
       "03:00"},
      {LogLine(at, held),
       "2026-12-07 03:00:01  [0300][\\\\far\\b.exe]  not known: still waiting on the shell as "
       "Marlinet ended"},
      {BadTimeLogLine(at, "[930][x]", "'930]' is not a valid integer value"),
       "2026-12-07 03:00:01  [930][x]  not run: '930]' is not a valid integer value; the lines "
       "below it are not run"},
  };
  for (const auto& [line, expected] : lines) EXPECT_EQ(line, expected);
}

TEST(LaunchLog, KeptUnderItsBoundAndNeverInTheWay) {
  const std::string path = "C:\\Ship\\launch.log";
  const std::string old = std::string(99, 'o') + "\r\n";
  std::string full;  // one old line past the bound
  while (full.size() <= kLaunchLogLimit) full += old;
  // Room for one more line of five bytes and not for two.
  std::string room = full.substr(0, (kLaunchLogLimit - 5) / old.size() * old.size());
  room += std::string(kLaunchLogLimit - 5 - room.size() - 2, 'p') + "\r\n";
  struct Case {
    const char* name;
    std::optional<std::string> before;
    bool locked, failWrites;
    std::optional<std::string> after;  // when known exactly
    bool rewritten = false;            // read and replaced as a whole
    bool secondTrims = false;          // the second line passes the bound
  };
  const Case cases[] = {
      {"missing: made", std::nullopt, false, false, "new\r\n"},
      {"appended, a missing last break mended", "a\r\nb", false, false, "a\r\nb\r\nnew\r\n"},
      {"just under the bound: kept whole", full.substr(2 * old.size()), false, false,
       full.substr(2 * old.size()) + "new\r\n"},
      {"past it: the older half goes", full, false, false, std::nullopt, true},
      {"filled to the bound by the first line: the second trims", room, false, false,
       room + "new\r\n", false, true},
      {"held by another program: left alone", "a\r\n", true, false, "a\r\n"},
      {"not writable: no error", "a\r\n", false, true, "a\r\n"},
  };
  for (const Case& c : cases) {
    testutil::MemoryFiles files;
    if (c.before) files.files[path] = *c.before;
    files.locked[path] = c.locked;
    files.failWrites = c.failWrites;
    LaunchLog log(files, path);
    log.Write("new");
    EXPECT_EQ(files.replaces, c.rewritten ? 1 : 0) << c.name;
    // A second line is one more write at the end.
    if (!c.locked && !c.failWrites) {
      const std::string first = files.files[path];
      log.Write("2nd");
      if (c.secondTrims) {
        const std::string& second = files.files[path];
        EXPECT_TRUE(second.ends_with("\r\nnew\r\n2nd\r\n") &&
                    second.size() < kLaunchLogLimit / 2 + old.size())
            << c.name << ": " << second.size() << " bytes";
        EXPECT_EQ(files.replaces, 1) << c.name;
        files.replaces = 0;
      } else {
        EXPECT_TRUE(files.files[path] == first + "2nd\r\n") << c.name;
      }
      files.files[path] = first;
    }
    EXPECT_EQ(files.replaces, c.rewritten ? 1 : 0) << c.name;
    const std::string after = files.files.contains(path) ? files.files[path] : "(none)";
    if (c.after) {
      EXPECT_TRUE(after == *c.after) << c.name << ": " << after.size() << " bytes";
      continue;
    }
    // Whole old lines, about half the bound of them, then the new one.
    const size_t oldLines = (after.size() - 5) / old.size();
    EXPECT_TRUE(after.ends_with("\r\nnew\r\n") && after.starts_with(old) &&
                oldLines * old.size() + 5 == after.size())
        << c.name;
    EXPECT_NEAR(double(after.size()), kLaunchLogLimit / 2.0, double(old.size())) << c.name;
  }
}

}  // namespace
}  // namespace launcher

namespace launcher {
namespace {

TEST(SystemFolder, System32PathsGoThroughSysnative) {
  // The 64-bit folder holds everything but "only32.exe"; `asked` is where
  // it was looked for.
  struct Probe : FileProbe {
    std::string asked;
    bool FileExists(const std::string& path) override {
      asked = path;
      return path.find("only32") == std::string::npos;
    }
  };
  struct Case {
    std::string windows, file, opened, asked = "";
  } cases[] = {
      {"C:\\Windows", "C:\\Windows\\System32\\notepad.exe", "C:\\Windows\\Sysnative\\notepad.exe"},
      {"C:\\WINDOWS", "c:\\windows\\system32\\drivers\\etc\\hosts",
       "c:\\windows\\Sysnative\\drivers\\etc\\hosts"},
      {"C:\\Windows\\", "C:/Windows/System32/cmd.exe", "C:/Windows/Sysnative/cmd.exe"},
      {"D:\\WinNT", "%windir%\\System32\\mspaint.exe", "%windir%\\Sysnative\\mspaint.exe",
       "D:\\WinNT\\Sysnative\\mspaint.exe"},
      {"C:\\Windows", "%SYSTEMROOT%\\system32\\calc.exe", "%SYSTEMROOT%\\Sysnative\\calc.exe",
       "C:\\Windows\\Sysnative\\calc.exe"},
      // Only the 32-bit folder has it, or where it would be cannot be told:
      // as written.
      {"C:\\Windows", "C:\\Windows\\System32\\only32.exe", "C:\\Windows\\System32\\only32.exe",
       "C:\\Windows\\Sysnative\\only32.exe"},
      {"C:\\Windows", "%windir%\\System32\\only32.exe", "%windir%\\System32\\only32.exe"},
      {"", "%SYSTEMROOT%\\system32\\calc.exe", "%SYSTEMROOT%\\system32\\calc.exe"},
      // Left alone: the 32-bit folder, the folder itself, look-alikes, other
      // drives and bare names.
      {"C:\\Windows", "C:\\Windows\\SysWOW64\\notepad.exe", "C:\\Windows\\SysWOW64\\notepad.exe"},
      {"C:\\Windows", "C:\\Windows\\System32", "C:\\Windows\\System32"},
      {"C:\\Windows", "C:\\Windows\\System32\\", "C:\\Windows\\System32\\"},
      {"C:\\Windows", "C:\\Windows\\System32x\\a.exe", "C:\\Windows\\System32x\\a.exe"},
      {"C:\\Windows", "C:\\WindowsOld\\System32\\a.exe", "C:\\WindowsOld\\System32\\a.exe"},
      {"C:\\Windows", "D:\\Windows\\System32\\a.exe", "D:\\Windows\\System32\\a.exe"},
      {"C:\\Windows", "%windir%System32\\a.exe", "%windir%System32\\a.exe"},
      {"C:\\Windows", "notepad.exe", "notepad.exe"},
      {"C:\\Windows", "", ""},
  };
  for (const auto& c : cases) {
    Probe probe;
    EXPECT_EQ(ThroughSysnative(c.file, c.windows, probe), c.opened) << c.file;
    if (!c.asked.empty()) {
      EXPECT_EQ(probe.asked, c.asked) << c.file;
    }
  }
}

}  // namespace
}  // namespace launcher
