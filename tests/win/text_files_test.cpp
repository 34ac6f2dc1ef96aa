// Whole-file reads and replacements against the real file system.
#include "ui/text_files_win.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/error.h"
#include "settings/settings_file.h"
#include "win_test_util.h"

namespace settings {
namespace {

using ui::WinTextFiles;

int FilesIn(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  int n = 0;
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    n += !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return n;
}

TEST(WinTextFiles, ReadsReplacesAndCreates) {
  testutil::TempFolder folder;
  WinTextFiles files;
  const std::string path = folder.Path() + "prefs.kvr";
  EXPECT_EQ(files.ReadAll(path), std::nullopt);
  ASSERT_TRUE(files.ReplaceAll(path, "first\r\n"));
  EXPECT_EQ(files.ReadAll(path), "first\r\n");
  const std::string binary("a\0b\xff\r\n", 6);
  ASSERT_TRUE(files.ReplaceAll(path, binary));
  EXPECT_EQ(files.ReadAll(path), binary);
  ASSERT_TRUE(files.ReplaceAll(path, ""));
  EXPECT_EQ(files.ReadAll(path), "");
  EXPECT_EQ(FilesIn(folder.Path()), 1);  // no temporary file left beside it
  // A log grows at its end, and is made when missing.
  const std::string log = folder.Path() + "launch.log";
  ASSERT_TRUE(files.Append(log, "one\r\n"));
  ASSERT_TRUE(files.Append(log, "two\r\n"));
  EXPECT_EQ(files.ReadAll(log), "one\r\ntwo\r\n");
}

TEST(WinTextFiles, AFailedReplaceLeavesNothingBehind) {
  testutil::TempFolder folder;
  WinTextFiles files;
  // A folder of the file's name cannot be replaced by a file.
  const std::string path = folder.Path() + "prefs.kvr";
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  EXPECT_FALSE(files.ReplaceAll(path, "new\r\n"));
  EXPECT_EQ(FilesIn(folder.Path()), 0);
  EXPECT_EQ(files.ReadAll(path), std::nullopt);
  RemoveDirectoryA(path.c_str());
  // Nor can a file in a folder that does not exist be written.
  EXPECT_FALSE(files.ReplaceAll(folder.Path() + "missing\\prefs.kvr", "x"));
}

TEST(WinTextFiles, ASettingsFileHeldByAnotherProgramIsKeptAsideNotOverwritten) {
  testutil::TempFolder folder;
  WinTextFiles files;
  const std::string path = folder.Path() + "prefs.kvr";
  testutil::WriteFile(path, "flags\r\nLisbon [+0]\r\n");
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SettingsFile file(files, path);
  EXPECT_THROW(file.Load(), base::FileOpenError);
  EXPECT_THROW(file.Save({"defaults"}), base::FileCreateError);  // still held
  CloseHandle(held);
  EXPECT_EQ(testutil::ReadFile(path), "flags\r\nLisbon [+0]\r\n");
  file.Save({"defaults"});
  EXPECT_EQ(testutil::ReadFile(path + ".bak"), "flags\r\nLisbon [+0]\r\n");
  EXPECT_EQ(testutil::ReadFile(path), "defaults\r\n");
  EXPECT_EQ(FilesIn(folder.Path()), 2);
}

TEST(WinTextFiles, AReplaceWaitsForAFileHeldForAMoment) {
  testutil::TempFolder folder;
  WinTextFiles files;
  const std::string path = folder.Path() + "proc.kvr";
  testutil::WriteFile(path, "[0900][old]\r\n");
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // A scanner lets go a fifth of a second later.
  std::thread scanner([held] {
    Sleep(200);
    CloseHandle(held);
  });
  const DWORD start = GetTickCount();
  EXPECT_TRUE(files.ReplaceAll(path, "[0900][new]\r\n"));
  scanner.join();
  EXPECT_GE(GetTickCount() - start, 150u);
  EXPECT_EQ(testutil::ReadFile(path), "[0900][new]\r\n");
  EXPECT_EQ(FilesIn(folder.Path()), 1);
}

}  // namespace
}  // namespace settings
