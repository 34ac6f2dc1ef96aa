// The launch list as loaded into the editor, cleaned by "OK", and run by the
// launch tick at any time of day.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text_lines.h"
#include "launcher/launch_tick.h"
#include "tests/common/launch_fakes.h"

namespace {
struct Ports : base::LocalClock, testutil::InlineLaunches {
  base::TimeOfDay now;
  base::TimeOfDay Now() override { return now; }
  std::optional<unsigned long> FileKill(const std::string& name) override {
    if (name.find('\\') != std::string::npos) __builtin_trap();  // a name, never a path
    return InlineLaunches::FileKill(name);
  }
  launcher::OpenResult Open(const std::string& file, const std::string& parameters,
                            const std::string& folder) override {
    if (file.size() > 200 || file.find(']') != std::string::npos) __builtin_trap();
    // A program and its arguments are parts of the field, the folder a part
    // of the program. Only a field opened as it stands, with neither, may
    // hold a '"' (after its first character).
    const bool asItStands = parameters.empty() && folder.empty();
    if (file.size() + parameters.size() > 200 ||
        (!asItStands && file.find('"') != std::string::npos) ||
        (asItStands && file.rfind('"', 0) == 0 && file.size() > 1 && file.find('"', 1) == std::string::npos) ||
        folder.size() > file.size() || file.compare(0, folder.size(), folder) != 0)
      __builtin_trap();
    return InlineLaunches::Open(file, parameters, folder);
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Ports ports;
  ports.now = {in.ConsumeIntegralInRange(0, 23), in.ConsumeIntegralInRange(0, 59)};
  const std::string file = in.ConsumeRemainingBytesAsString();
  const std::string memo = launcher::MemoTextFromFile(file);
  const std::string cleaned = launcher::CleanLaunchText(memo);
  // Cleaning is idempotent: what "OK" keeps, a second "OK" keeps.
  if (launcher::CleanLaunchText(cleaned) != cleaned) __builtin_trap();
  launcher::LaunchTick tick(ports, ports);
  try {
    tick.Tick(true, base::SplitLines(memo));
  } catch (const base::ConvertError&) {
  }
  return 0;
}
