// The launch side of the tests and fuzzers: due entries run at once, each
// step recorded in order ("kill X", "pause N", "open X").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "launcher/launch_tick.h"

namespace testutil {

struct InlineLaunches : launcher::ProcessKiller,
                        launcher::Pause,
                        launcher::Shell,
                        launcher::LaunchRunner {
  std::vector<std::string> calls;
  std::string ownProgram;  // the path that names the program itself, if any

  std::optional<unsigned long> FileKill(const std::string& name) override {
    calls.push_back("kill " + name);
    return std::nullopt;
  }
  void Wait(unsigned ms) override { calls.push_back("pause " + std::to_string(ms)); }
  launcher::OpenResult Open(const std::string& file) override {
    calls.push_back("open " + file);
    return {};
  }
  bool IsOwnProgram(const std::string& file) override {
    return !ownProgram.empty() && file == ownProgram;
  }
  void Start(std::vector<launcher::DueLaunch> due) override {
    launcher::RunLaunches(due, *this, *this, *this);
  }
};

}  // namespace testutil
