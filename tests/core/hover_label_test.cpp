#include "widgets/hover_label_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace widgets {
namespace {

TEST(HoverLabel, NoticeSequences) {
  // e enter, l leave, d left down, u left up, c capture lost, r re-evaluate
  // with the pointer on the label, o re-evaluate with it off after a release
  // or a lost capture; capitals while another program is active (E, R).
  struct Case {
    const char* what;
    const char* notices;
    const char* events;  // "+" enter, "-" leave
  } cases[] = {
      {"over and off", "el", "+-"},
      {"another program active", "El", ""},
      {"enter twice, leave twice", "eell", "+-"},
      {"press, drag off, release elsewhere", "edluo", "+-"},
      {"press and release on it", "edur", "+"},
      {"a release without a press re-evaluates nothing", "eu", "+"},
      {"re-evaluated while another program is active", "eR", "+-"},
      {"press, a box takes the capture, the pointer is off", "edco", "+-"},
      {"press, the capture lost on the label, then off", "edcrl", "+-"},
      {"the capture lost without a press", "ecl", "+-"},
  };
  for (const auto& c : cases) {
    HoverFlags flags;
    std::string events;
    auto note = [&](HoverEvent e) {
      if (e == HoverEvent::Enter) events += '+';
      if (e == HoverEvent::Leave) events += '-';
    };
    bool reevaluate = false;
    for (const char* n = c.notices; *n; ++n) {
      switch (*n) {
        case 'e':
          note(flags.EnterNotice(true, true));
          break;
        case 'E':
          note(flags.EnterNotice(true, false));
          break;
        case 'l':
          note(flags.LeaveNotice(true));
          break;
        case 'd':
          flags.LeftDown(true);
          break;
        case 'u':
          reevaluate = flags.LeftUp();
          break;
        case 'c':
          reevaluate = flags.CaptureLost();
          break;
        case 'r':
          note(flags.Reevaluate(true, true, true));
          break;
        case 'R':
          note(flags.Reevaluate(true, true, false));
          break;
        case 'o':
          if (reevaluate) note(flags.Reevaluate(true, false, true));
          break;
      }
    }
    EXPECT_EQ(events, c.events) << c.what;
  }
}

}  // namespace
}  // namespace widgets
