// The settings file as read at start and written back by a save.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/error.h"
#include "settings/settings_file.h"
#include "tests/common/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testutil::MemoryFiles files;
  files.files["prefs.kvr"] = std::string(reinterpret_cast<const char*>(data), size);
  settings::SettingsFile file(files, "prefs.kvr");
  const auto lines = file.Load();
  settings::FlagsLine flags(lines.empty() ? std::string() : lines[0]);
  auto controls = settings::ReadControlFlags(flags);
  controls.largeBells = !controls.largeBells;
  settings::WriteControlFlags(controls, flags);
  const auto written = settings::SettingsLines(flags, settings::PlacesFromLines(lines));
  file.Save(written);
  // What was written reads back as the same lines.
  if (file.Load() != written) __builtin_trap();
  return 0;
}
