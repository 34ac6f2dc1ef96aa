// Whole-file access: the settings file, the launch list and every other file
// the program reads and replaces as a whole, behind an interface so the file
// rules can be tested without a disk.
#pragma once

#include <optional>
#include <string>

namespace ui {

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // Whether anything stands at the path; true also when that cannot be told.
  virtual bool Exists(const std::string& path) = 0;
  // Replaces the file as a whole or leaves the old one untouched.
  virtual bool ReplaceAll(const std::string& path, const std::string& content) = 0;
  // Renames the file to `to`, replacing a file there; true also when there
  // was no file to move.
  virtual bool MoveAside(const std::string& path, const std::string& to) = 0;
};

}  // namespace ui
