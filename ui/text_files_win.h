// Whole text files through the Win32 file API; replacement goes through a
// temporary file in the same folder and a rename, so a failed write never
// leaves a truncated file behind.
#pragma once

#include "ui/text_files.h"

namespace ui {

class WinTextFiles final : public TextFiles {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool ReplaceAll(const std::string& path, const std::string& content) override;
  bool MoveAside(const std::string& path, const std::string& to) override;
};

}  // namespace ui
