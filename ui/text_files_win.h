// Whole text files through the Win32 file API; replacement goes through a
// temporary file in the same folder and a rename, so a failed write never
// leaves a truncated file behind.
#pragma once

#include <functional>
#include <string>

#include "base/text_files.h"

namespace ui {

// Replaces a file in one step: `write` fills a temporary file in the same
// folder (true when it could), which then takes the file's place. On any
// failure, an exception from `write` included, the temporary file goes and
// the old file stays whole. A file held open by another program for a
// moment is waited for, about a second at most.
bool ReplaceThroughTemp(const std::string& path,
                        const std::function<bool(const std::wstring& temp)>& write);

class WinTextFiles final : public base::TextFiles {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool Exists(const std::string& path) override;
  std::optional<unsigned long long> SizeOf(const std::string& path) override;
  bool ReplaceAll(const std::string& path, const std::string& content) override;
  bool Append(const std::string& path, const std::string& text) override;
  bool MoveAside(const std::string& path, const std::string& to) override;
};

}  // namespace ui
