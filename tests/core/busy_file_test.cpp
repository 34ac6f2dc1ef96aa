#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "base/busy_file.h"

namespace base {
namespace {

// Answers each replace from a script; the last answer repeats.
class ScriptedPort : public ReplacePort {
 public:
  explicit ScriptedPort(std::vector<ReplaceOutcome> script) : script_(std::move(script)) {}
  ReplaceOutcome Replace() override {
    ++tries;
    return script_[std::min(tries, script_.size()) - 1];
  }
  void Pause(unsigned ms) override { pauses.push_back(ms); }
  size_t tries = 0;
  std::vector<unsigned> pauses;

 private:
  std::vector<ReplaceOutcome> script_;
};

TEST(BusyFile, ReplaceWaitsBrieflyForAHeldFileAndThenGivesUp) {
  using enum ReplaceOutcome;
  struct Case {
    std::vector<ReplaceOutcome> script;
    bool replaced;
    size_t tries;
    unsigned leastWait, mostWait;  // milliseconds paused in all
  } cases[] = {
      {{kDone}, true, 1, 0, 0},
      {{kBusy, kBusy, kDone}, true, 3, 1, 100},  // a scanner's moment costs little
      {{kFailed}, false, 1, 0, 0},               // a read-only folder is not waited for
      {{kBusy, kFailed}, false, 2, 1, 100},
      {{kBusy}, false, 0, 900, 1100},  // held for good: about a second
  };
  for (const auto& c : cases) {
    ScriptedPort port(c.script);
    EXPECT_EQ(ReplaceWhenFree(port), c.replaced) << c.script.size();
    if (c.tries) {
      EXPECT_EQ(port.tries, c.tries);
    }
    const unsigned waited = std::accumulate(port.pauses.begin(), port.pauses.end(), 0u);
    EXPECT_GE(waited, c.leastWait);
    EXPECT_LE(waited, c.mostWait);
    for (unsigned p : port.pauses) EXPECT_LE(p, 250u) << "one pause too long to feel quick";
  }
}

}  // namespace
}  // namespace base
