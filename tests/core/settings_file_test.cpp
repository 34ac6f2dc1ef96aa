#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "base/error.h"
#include "tests/common/memory_files.h"

namespace settings {
namespace {

using Lines = std::vector<std::string>;

TEST(SettingsFile, LineEndings) {
  struct Case {
    std::string content;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"\r\n", {""}},
      {"x\r\ny\rz\nw", {"x", "y", "z", "w"}},
      {std::string("n\0l\r\nz", 6), {std::string("n\0l", 3), "z"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.content), c.lines) << c.content;
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(JoinLines({}), "");
}

TEST(SettingsFile, AnyLinesWithoutLineBreaksSurviveWritingAndReading) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 70), count(0, 30);
  for (int round = 0; round < 500; ++round) {
    Lines lines(count(random));
    for (auto& line : lines) {
      const int n = length(random);
      for (int i = 0; i < n; ++i) {
        char c = static_cast<char>(byte(random));
        line += (c == '\r' || c == '\n') ? 'x' : c;
      }
    }
    ASSERT_EQ(SplitLines(JoinLines(lines)), lines) << "round " << round;
    // Whatever the first line holds, reading and writing the flags never
    // throws and writes a line of at least the file's 54 positions.
    FlagsLine flags(lines.empty() ? std::string() : lines[0]);
    WriteControlFlags(ReadControlFlags(flags), flags);
    EXPECT_GE(SettingsLines(flags, PlacesFromLines(lines))[0].size(), kFlagsLength);
  }
}

TEST(SettingsFile, FlagsLinePositions) {
  FlagsLine f("10x1");
  EXPECT_TRUE(f.Get(1));
  EXPECT_FALSE(f.Get(2));
  EXPECT_FALSE(f.Get(3));  // anything but "1" is clear
  EXPECT_TRUE(f.Get(4));
  EXPECT_FALSE(f.Get(5));  // past the end
  EXPECT_FALSE(f.Get(0));
  f.Set(7, true);
  EXPECT_EQ(f.Text(), "10x1001");
  EXPECT_EQ(FlagsLine().Text(), std::string(54, '0'));
}

TEST(SettingsFile, ControlsRoundTripThroughTheFirst28Positions) {
  // Hours 0, 5 and 23; early ring, large bells; dog watch and launcher off.
  const std::string line =
      "100001000000000000000001"
      "1"
      "0"
      "1"
      "0"
      "11111111111111111111111"
      "abc";
  const ControlFlags c = ReadControlFlags(FlagsLine(line));
  for (int h = 0; h < 24; ++h) EXPECT_EQ(c.hours[h], h == 0 || h == 5 || h == 23) << h;
  EXPECT_TRUE(c.earlyRing);
  EXPECT_FALSE(c.dogWatch);
  EXPECT_TRUE(c.largeBells);
  EXPECT_FALSE(c.launchSwitch);

  ControlFlags d;
  d.hours.fill(true);
  d.launchSwitch = true;
  FlagsLine written(line);
  WriteControlFlags(d, written);
  // 1..28 from the controls; the rest, unknown characters past 54 too, as loaded.
  EXPECT_EQ(written.Text(), std::string(24, '1') + "0001" + line.substr(28));
}

TEST(SettingsFile, TheFirstRunFileIsAllHoursAndTheDefaults) {
  ControlFlags defaults;
  defaults.hours.fill(true);
  defaults.launchSwitch = true;
  FlagsLine flags;
  WriteControlFlags(defaults, flags);
  const Lines lines = SettingsLines(flags, {});
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines[0], std::string(24, '1') + "0001" + std::string(26, '0'));
  for (size_t i = 1; i < 25; ++i) EXPECT_EQ(lines[i], "");
}

TEST(SettingsFile, ShortFlagsLinesAreLengthenedAndLongOnesKept) {
  std::array<std::string, kPlaceCount> places;
  places[4] = "";
  places[0] = "Lisbon [+0]";
  EXPECT_EQ(SettingsLines(FlagsLine("1"), places)[0], "1" + std::string(53, '0'));
  const std::string sixty = std::string(54, '0') + "xyz123";
  EXPECT_EQ(SettingsLines(FlagsLine(sixty), places)[0], sixty);
  EXPECT_EQ(SettingsLines(FlagsLine(""), places)[1], "Lisbon [+0]");
}

TEST(SettingsFile, PlacesFromLoadedLines) {
  const Lines loaded = {"flags", "Paris [+1]", "", "Tokyo [+9]"};
  const auto places = PlacesFromLines(loaded);
  EXPECT_EQ(places[0], "Paris [+1]");
  EXPECT_EQ(places[1], "");
  EXPECT_EQ(places[2], "Tokyo [+9]");
  EXPECT_EQ(places[23], "");
  Lines many(40, "x");
  many[25] = "line 26 is never read";
  EXPECT_EQ(PlacesFromLines(many)[23], "x");
  EXPECT_EQ(SettingsLines(FlagsLine(), PlacesFromLines(many)).size(), 25u);
}

TEST(SettingsFile, ParameterModesAreExact) {
  EXPECT_EQ(ParseParameterMode("PgmStart"), ParameterMode::PgmStart);
  EXPECT_EQ(ParseParameterMode("PgmUpdate"), ParameterMode::PgmUpdate);
  EXPECT_EQ(ParseParameterMode("ParmUpdate"), ParameterMode::ParmUpdate);
  for (const char* other : {"pgmstart", "PGMUPDATE", "ParmUpdate ", "", "PgmStop"}) {
    EXPECT_EQ(ParseParameterMode(other), std::nullopt) << other;
  }
}

using FakeFiles = testutil::MemoryFiles;

TEST(SettingsFile, MissingAndUnwritableFilesRaiseTheirMessages) {
  FakeFiles files;
  const std::string path = "C:\\Marlinet\\prefs.kvr";
  SettingsFile file(files, path);
  try {
    file.Load();
    FAIL();
  } catch (const base::FileOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file C:\\Marlinet\\prefs.kvr");
  }
  file.Save({"a", "b"});
  EXPECT_EQ(files.files[path], "a\r\nb\r\n");
  EXPECT_FALSE(files.files.contains(path + ".bak"));  // a missing file is a first run
  EXPECT_EQ(file.Load(), (Lines{"a", "b"}));
  files.failWrites = true;
  try {
    file.Save({"c"});
    FAIL();
  } catch (const base::FileCreateError& e) {
    EXPECT_STREQ(e.what(), "Cannot create file C:\\Marlinet\\prefs.kvr");
  }
  EXPECT_EQ(files.files[path], "a\r\nb\r\n");
  files.files[path] =
      "\xEF\xBB\xBF"
      "1011\r\nLisbon [0]\r\n";  // as some editors save it
  EXPECT_EQ(file.Load(), (Lines{"1011", "Lisbon [0]"}));
}

TEST(SettingsFile, AFileThatCouldNotBeReadIsMovedAsideBeforeTheFirstSave) {
  const std::string path = "prefs.kvr", bak = "prefs.kvr.bak";
  struct Case {
    const char* what;
    bool lockedAtSave;  // still held when the user saves
    bool saved;
    std::map<std::string, std::string> after;
  } cases[] = {
      {"released before the save", false, true, {{path, "new\r\n"}, {bak, "places"}}},
      {"still held at the save", true, false, {{path, "places"}, {bak, "older"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFiles files;
    files.files = {{path, "places"}, {bak, "older"}};
    files.locked[path] = true;
    SettingsFile file(files, path);
    EXPECT_THROW(file.Load(), base::FileOpenError);
    files.locked[path] = c.lockedAtSave;
    bool saved = true;
    try {
      file.Save({"new"});
    } catch (const base::FileCreateError&) {
      saved = false;
    }
    EXPECT_EQ(saved, c.saved);
    EXPECT_EQ(files.files, c.after);
  }
  // Once moved aside, later saves of the run replace the file as usual.
  FakeFiles files;
  files.files = {{path, "places"}};
  files.locked[path] = true;
  SettingsFile file(files, path);
  EXPECT_THROW(file.Load(), base::FileOpenError);
  files.locked[path] = false;
  file.Save({"one"});
  file.Save({"two"});
  EXPECT_EQ(files.files[bak], "places");
  EXPECT_EQ(files.files[path], "two\r\n");
}

}  // namespace
}  // namespace settings
