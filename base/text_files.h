// Whole-file access: the settings file, the launch list and every other file
// the program reads and replaces as a whole, behind an interface so the file
// rules can be tested without a disk.
#pragma once

#include <optional>
#include <string>

namespace base {

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // Whether anything stands at the path; true also when that cannot be told.
  virtual bool Exists(const std::string& path) = 0;
  // The file's size in bytes; nothing when it cannot be told.
  virtual std::optional<unsigned long long> SizeOf(const std::string& path) = 0;
  // Replaces the file as a whole or leaves the old one untouched.
  virtual bool ReplaceAll(const std::string& path, const std::string& content) = 0;
  // Adds `text` at the file's end, making the file when it is missing: one
  // small write, for a log.
  virtual bool Append(const std::string& path, const std::string& text) = 0;
  // Renames the file to `to`, replacing a file there; true also when there
  // was no file to move.
  virtual bool MoveAside(const std::string& path, const std::string& to) = 0;
};

inline constexpr const char* kBackupSuffix = ".bak";

// One of the program's own files over a run: read at start, replaced by its
// saves. Only a missing file counts as empty: one that is there but was not
// read or not taken in (held by another program, too large, no access) is
// never replaced blind. The first save of such a run moves it to
// "<path>.bak" first, and fails when that cannot be done.
class OwnFile {
 public:
  OwnFile(TextFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // Throws base::FileOpenError with the full path.
  std::string Read();
  // What was read could not be taken in after all.
  void Refused() { keepUnread_ = true; }
  // Throws base::FileCreateError with the full path; the old file stays whole.
  void Replace(const std::string& content);

 private:
  TextFiles& files_;
  std::string path_;
  bool keepUnread_ = false;
};

}  // namespace base
