// The settings file as read at start and written back by a save.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "settings/settings_file.h"
#include "ui/error.h"

namespace {
struct MemoryFiles : ui::TextFiles {
  std::map<std::string, std::string> files;
  std::optional<std::string> ReadAll(const std::string& p) override {
    auto it = files.find(p);
    return it == files.end() ? std::nullopt : std::optional(it->second);
  }
  bool Exists(const std::string& p) override { return files.contains(p); }
  bool ReplaceAll(const std::string& p, const std::string& c) override {
    files[p] = c;
    return true;
  }
  bool MoveAside(const std::string&, const std::string&) override { return true; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFiles files;
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
