// The launch side of the tests and fuzzers: due entries run at once, each
// step recorded in order ("kill X", "pause N", "open X").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launch_tick.h"

namespace testutil {

struct InlineLaunches : launcher::ProcessKiller,
                        launcher::Pause,
                        launcher::Shell,
                        launcher::RunClock,
                        launcher::LaunchRunner,
                        launcher::RunControl {
  std::vector<std::string> calls;
  std::string ownProgram;  // the path that names the program itself, if any
  // Time as it passes where the entries run: pauses and opens take theirs.
  std::uint32_t elapsedMs = 0;
  long long openSeconds = 0;  // how long each open waits on the shell

  std::vector<std::string> running;  // executable names of programs running
  bool Running(const std::string& name) override {
    for (const std::string& r : running) {
      if (launcher::SameExeName(r, name)) return true;
    }
    return false;
  }
  // A running program is ended, as process 1000.
  std::optional<unsigned long> FileKill(const std::string& name) override {
    calls.push_back("kill " + name);
    return Running(name) ? std::optional<unsigned long>(1000) : std::nullopt;
  }
  void Wait(unsigned ms) override {
    calls.push_back("pause " + std::to_string(ms));
    elapsedMs += ms;
  }
  // "open X", and " with" its parameters and " in" its folder when given.
  launcher::OpenResult Open(const std::string& file, const std::string& parameters,
                            const std::string& folder) override {
    calls.push_back("open " + file + (parameters.empty() ? "" : " with " + parameters) +
                    (folder.empty() ? "" : " in " + folder));
    elapsedMs += static_cast<std::uint32_t>(openSeconds * 1000);
    return {};
  }
  std::uint32_t ElapsedMs() override { return elapsedMs; }
  bool IsOwnProgram(const std::string& file) override {
    return !ownProgram.empty() && file == ownProgram;
  }
  void Start(std::vector<launcher::DueLaunch> due) override {
    for (launcher::DueLaunch& d : due) d.handedAt = elapsedMs;
    launcher::RunLaunches(due, {*this, *this, *this, *this}, this);
  }
  // An entry not run because its minute was slept through or the clock
  // moved forward over it, because its days could not be read, or because
  // its program's quote is never closed, shows as such.
  void Done(const launcher::LaunchOutcome& outcome) override {
    if (outcome.slept) calls.push_back("asleep " + outcome.launch.entry.file);
    if (outcome.jumped) calls.push_back("jumped " + outcome.launch.entry.file);
    if (outcome.daysUnread) calls.push_back("unread " + outcome.launch.entry.file);
    if (outcome.quoteMissing) calls.push_back("unclosed " + outcome.launch.entry.file);
    if (outcome.alreadyRunning) calls.push_back("running " + outcome.launch.entry.file);
  }
};

}  // namespace testutil
