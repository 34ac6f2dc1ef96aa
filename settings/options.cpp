#include "settings/options.h"

#include "base/error.h"

namespace settings {

bool ReadSwitch(ProfileStore& store, const std::string& key) {
  return store.ReadString(kOptionsSection, key, "0") == "1";
}

bool WriteSwitch(ProfileStore& store, const std::string& key, bool on) {
  return store.WriteString(kOptionsSection, key, on ? "1" : "0");
}

void FlipSwitch(ProfileStore& store, const std::string& key, bool& on) {
  if (!WriteSwitch(store, key, !on)) throw base::WriteError(store.Path());
  on = !on;
}

}  // namespace settings
