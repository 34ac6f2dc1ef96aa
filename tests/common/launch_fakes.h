// The launch side of the tests and fuzzers: due entries run at once, each
// step recorded in order ("kill X", "pause N", "open X").
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launch_tick.h"

namespace testutil {

struct InlineLaunches : launcher::ProcessKiller,
                        launcher::Pause,
                        launcher::Shell,
                        launcher::RunClock,
                        launcher::LaunchRunner {
  std::vector<std::string> calls;
  std::string ownProgram;  // the path that names the program itself, if any
  // The time where the entries run: each batch starts in the minute of its
  // tick, and pauses and opens take their time.
  long long seconds = 0;
  long long openSeconds = 0;  // how long each open waits on the shell

  std::optional<unsigned long> FileKill(const std::string& name) override {
    calls.push_back("kill " + name);
    return std::nullopt;
  }
  void Wait(unsigned ms) override {
    calls.push_back("pause " + std::to_string(ms));
    seconds += ms / 1000;
  }
  launcher::OpenResult Open(const std::string& file) override {
    calls.push_back("open " + file);
    seconds += openSeconds;
    return {};
  }
  long long SecondsNow() override { return seconds; }
  bool IsOwnProgram(const std::string& file) override {
    return !ownProgram.empty() && file == ownProgram;
  }
  void Start(std::vector<launcher::DueLaunch> due) override {
    for (const launcher::DueLaunch& d : due) seconds = std::max(seconds, d.minute * 60);
    launcher::RunLaunches(due, {*this, *this, *this, *this});
  }
};

}  // namespace testutil
