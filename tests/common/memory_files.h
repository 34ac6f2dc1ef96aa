// Whole files in memory, for the tests and fuzzers of whatever reads and
// replaces files: a file can be held (neither readable nor replaceable nor
// movable, as another program may hold it) and writes can be made to fail.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "base/text_files.h"

namespace testutil {

struct MemoryFiles : base::TextFiles {
  std::map<std::string, std::string> files;
  std::map<std::string, bool> locked;
  bool failWrites = false;
  int replaces = 0;  // whole-file replacements made

  std::optional<std::string> ReadAll(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end() || locked[path]) return std::nullopt;
    return it->second;
  }
  bool Exists(const std::string& path) override { return files.contains(path); }
  std::optional<unsigned long long> SizeOf(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
  }
  bool ReplaceAll(const std::string& path, const std::string& content) override {
    if (failWrites || locked[path]) return false;
    files[path] = content;
    ++replaces;
    return true;
  }
  bool Append(const std::string& path, const std::string& text) override {
    if (failWrites || locked[path]) return false;
    files[path] += text;
    return true;
  }
  bool MoveAside(const std::string& path, const std::string& to) override {
    if (locked[path]) return false;
    if (auto it = files.find(path); it != files.end()) {
      files[to] = it->second;
      files.erase(path);
    }
    return true;
  }
};

}  // namespace testutil
