#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/launch_list.h"
#include "launcher/launch_tick.h"
#include "launcher/system_folder.h"
#include "ui/error.h"

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

struct Recorder : ui::LocalClock, ProcessKiller, Pause, Shell {
  ui::TimeOfDay now{9, 30};
  std::vector<std::string> calls;
  ui::TimeOfDay Now() override {
    calls.push_back("time");
    return now;
  }
  void FileKill(const std::string& name) override { calls.push_back("kill " + name); }
  void Wait(unsigned ms) override { calls.push_back("pause " + std::to_string(ms)); }
  void Open(const std::string& file) override { calls.push_back("open " + file); }
};

using Calls = std::vector<std::string>;

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
    LaunchTick tick(r, r, r, r);
    Calls expected{"time"};
    expected.insert(expected.end(), c.calls.begin(), c.calls.end());
    if (c.error) {
      try {
        tick.Tick(true, {c.line});
        ADD_FAILURE() << c.line;
      } catch (const ui::ConvertError& e) {
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
  LaunchTick tick(r, r, r, r);
  EXPECT_EQ(tick.Tick(false, {"[0000][a\\x.exe]"}), std::nullopt);  // off: nothing at all
  EXPECT_TRUE(r.calls.empty());
  EXPECT_EQ(tick.Tick(true, {"[0000][a\\x.exe]", "[0000][y.exe]"}), kRunningInterval);
  EXPECT_EQ(r.calls, (Calls{"time", "kill x.exe", "pause 1000", "open a\\x.exe", "kill y.exe",
                            "pause 1000", "open y.exe"}));

  const std::vector<std::string> bad = {"[0001][a]", "[1x00][b]", "[0000][c]"};
  EXPECT_THROW(tick.Tick(true, bad), ui::ConvertError);
  r.calls.clear();
  EXPECT_EQ(tick.Tick(true, bad), std::nullopt);  // the same line again: silent, still stops
  EXPECT_EQ(r.calls, Calls{"time"});
  std::vector<std::string> edited = bad;
  edited[0] = "[0002][a]";
  EXPECT_THROW(tick.Tick(true, edited), ui::ConvertError);  // the list changed: told again
}

}  // namespace
}  // namespace launcher

namespace launcher {
namespace {

TEST(SystemFolder, System32PathsGoThroughSysnative) {
  struct Case {
    std::string windows, file, opened;
  } cases[] = {
      {"C:\\Windows", "C:\\Windows\\System32\\notepad.exe", "C:\\Windows\\Sysnative\\notepad.exe"},
      {"C:\\WINDOWS", "c:\\windows\\system32\\drivers\\etc\\hosts",
       "c:\\windows\\Sysnative\\drivers\\etc\\hosts"},
      {"C:\\Windows\\", "C:/Windows/System32/cmd.exe", "C:/Windows/Sysnative/cmd.exe"},
      {"D:\\WinNT", "%windir%\\System32\\mspaint.exe", "%windir%\\Sysnative\\mspaint.exe"},
      {"", "%SYSTEMROOT%\\system32\\calc.exe", "%SYSTEMROOT%\\Sysnative\\calc.exe"},
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
  for (const auto& c : cases) EXPECT_EQ(ThroughSysnative(c.file, c.windows), c.opened) << c.file;
}

}  // namespace
}  // namespace launcher
