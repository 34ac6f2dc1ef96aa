// What the main window offers the other windows: the settings text buffer and
// the flags line as last loaded or written, the settings save, and the mute
// state. The windows reach each other only through these.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_file.h"

namespace settings {

class SettingsHost {
 public:
  virtual ~SettingsHost() = default;
  virtual const std::vector<std::string>& SettingsText() const = 0;
  virtual FlagsLine& Flags() = 0;
  // Writes the options and the place texts; throws the file's error.
  virtual void SaveParameters() = 0;
};

}  // namespace settings
