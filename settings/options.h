// The choices beyond the program's own that a person opts into, kept in the
// main window's initialization file, section [Options], each the moment it
// changes. Until chosen, a switch is off and a key is absent.
#pragma once

#include <string>

#include "settings/persistent_properties.h"

namespace settings {

inline constexpr const char* kOptionsSection = "Options";

// "1" is on; anything else, or nothing, is off.
bool ReadSwitch(ProfileStore& store, const std::string& key);
// False when the file could not be written.
bool WriteSwitch(ProfileStore& store, const std::string& key, bool on);
// The person's click on a switch: written first, so a choice that cannot be
// kept is not taken (base::WriteError names the file).
void FlipSwitch(ProfileStore& store, const std::string& key, bool& on);

}  // namespace settings
