#include "base/app_text.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/int_convert.h"

namespace base {
namespace {

TEST(AppText, TitleFromExecutableName) {
  struct Case {
    const char* path;
    const char* title;
  } cases[] = {
      {"C:\\Program Files\\ABC.EXE", "Abc"},
      {"C:\\Marlinet\\marlinet.exe", "marlinet"},  // the first letter keeps its case
      {"Z:\\tmp\\x\\MARLINET.EXE", "Marlinet"},
      {"C:\\a.b\\ship.bells.v2.exe", "ship"},
      {"C:\\dir\\NoExt", "Noext"},
      {"C:\\dir\\.hidden.exe", ""},
      {"relative/UPPER.exe", "Upper"},
      {"C:\\\xC4RGER\xC9.EXE", "\xC4rger\xE9"},
      {"C:\\x\\\xD7X.EXE", "\xD7x"},
  };
  for (const auto& c : cases) EXPECT_EQ(TitleFromExecutablePath(c.path), c.title) << c.path;
}

TEST(AppText, FullStopAfterLettersAndDigitsOnly) {
  struct Case {
    const char* message;
    const char* shown;
  } cases[] = {
      {"Cannot open file C:\\x\\prefs.kvr", "Cannot open file C:\\x\\prefs.kvr."},
      {"Unable to write to C:\\Marlinet.ini", "Unable to write to C:\\Marlinet.ini."},
      {"Count 7", "Count 7."},
      {"Done.", "Done."},
      {"Really!", "Really!"},
      {"'x' is not a valid integer value", "'x' is not a valid integer value."},
      {"Ends with a dash -", "Ends with a dash -"},
      {"Ends with a slash/", "Ends with a slash/."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WithFullStop(c.message), c.shown) << c.message;
}

TEST(AppText, OneInstanceNamePerFolder) {
  const std::string base = InstanceMutexName("C:\\Ships\\Marlinet\\");
  for (const char* same : {"C:\\Ships\\Marlinet", "c:\\SHIPS\\marlinet\\", "C:/Ships/Marlinet/"}) {
    EXPECT_EQ(InstanceMutexName(same), base) << same;
  }
  for (const char* other : {"C:\\Ships\\Marlinet2\\", "D:\\Ships\\Marlinet\\", "C:\\Ships\\"}) {
    EXPECT_NE(InstanceMutexName(other), base) << other;
  }
  const std::string longest = InstanceMutexName(std::string(4000, 'x'));
  EXPECT_LT(longest.size(), 64u);
  EXPECT_EQ(base.find('\\'), std::string::npos);
}

TEST(AppText, QuitSwitch) {
  struct Case {
    const char* commandLine;
    bool quit;
  } cases[] = {
      {"/quit", true},        {"/QUIT", true},    {"  -Quit  ", true},
      {"\"/quit\"", true},    {"/x /quit", true}, {"", false},
      {"/quitting", false},   {"quit", false},    {"/qu it", false},
      {"C:\\quit\\a", false},
  };
  for (const auto& c : cases) EXPECT_EQ(AsksToQuit(c.commandLine), c.quit) << c.commandLine;
}

TEST(IntConvert, LeadingBlanksASignAndDigitsOnly) {
  struct Case {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"12", 12}, {"  -5", -5}, {"+7", 7},  {"$1F", 31}, {"0x10", 16},
      {"", {}},   {"   ", {}},  {"5 ", {}}, {"1.5", {}}, {"2147483648", {}},
  };
  for (const auto& c : cases) {
    try {
      EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    } catch (const ConvertError& e) {
      EXPECT_EQ(c.value, std::nullopt) << c.text;
      EXPECT_EQ(e.what(), "'" + std::string(c.text) + "' is not a valid integer value");
    }
  }
}

}  // namespace
}  // namespace base
