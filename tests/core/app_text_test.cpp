#include "ui/app_text.h"

#include <gtest/gtest.h>

namespace ui {
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

}  // namespace
}  // namespace ui
