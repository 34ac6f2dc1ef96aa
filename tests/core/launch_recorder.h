// The launch tick's test double: a clock whose elapsed count and time
// asleep the test sets, and a record of every call the tick makes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/launch_days.h"
#include "tests/common/launch_fakes.h"

namespace launcher {
namespace {

// Days as a person reads them off a week, Monday first: "M.W.F..".
inline DaySet Week(std::string_view pattern) {
  DaySet days = 0;
  for (size_t d = 0; d < 7; ++d) {
    if (pattern[d] != '.') days |= static_cast<DaySet>(1u << d);
  }
  return days;
}

// The clock's elapsed count, apart from the runner's of the same name.
struct CountingClock : base::LocalClock {
  std::optional<long long> countMs;  // the elapsed count, where known
  std::optional<long long> ElapsedMs() override { return countMs; }
};

struct Recorder : CountingClock, testutil::InlineLaunches {
  base::TimeOfDay now{9, 30};
  std::optional<long long> asleepMs;  // the time asleep since start, where known
  Recorder() { ownProgram = "C:\\Ship\\Marlinet.exe"; }
  base::TimeOfDay Now() override {
    calls.push_back("time");
    return now;
  }
  std::optional<long long> AsleepMs() override { return asleepMs; }
  using InlineLaunches::ElapsedMs;
};

using Calls = std::vector<std::string>;

}  // namespace
}  // namespace launcher
