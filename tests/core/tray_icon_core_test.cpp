#include "widgets/tray_icon_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace widgets {
namespace {

// Records every event as a short text, so a notice sequence reads as a line.
class RecordingTray : public TrayMouse {
 public:
  bool hasMenu = false;
  bool autoPopup = true;
  bool hasDefaultItem = false;
  std::vector<std::string> log;

  RecordingTray() {
    OnClick = [this](MouseButton b, ShiftState s, int x, int y) { Log("click", b, s, x, y); };
    OnDblClick = [this] { log.push_back("dblclick"); };
    OnMouseDown = [this](MouseButton b, ShiftState s, int x, int y) { Log("down", b, s, x, y); };
    OnMouseUp = [this](MouseButton b, ShiftState s, int x, int y) { Log("up", b, s, x, y); };
    OnMouseMove = [this](ShiftState s, int, int) { log.push_back("move" + Flags(s)); };
  }

 protected:
  bool ShowPopupMenu(int x, int y) override {
    if (!hasMenu || !autoPopup) return false;
    log.push_back("popup@" + std::to_string(x) + "," + std::to_string(y));
    return true;
  }
  bool ClickDefaultMenuItem() override {
    if (!hasDefaultItem) return false;
    log.push_back("default-item");
    return true;
  }

 private:
  static std::string Flags(ShiftState s) {
    std::string f;
    if (s & kShift) f += "S";
    if (s & kAlt) f += "A";
    if (s & kCtrl) f += "C";
    if (s & kLeft) f += "l";
    if (s & kRight) f += "r";
    if (s & kMiddle) f += "m";
    if (s & kDouble) f += "d";
    return f.empty() ? "" : "[" + f + "]";
  }
  void Log(const char* what, MouseButton b, ShiftState s, int, int) {
    const char* names[] = {"L", "R", "M"};
    log.push_back(std::string(what) + names[static_cast<int>(b)] + Flags(s));
  }
};

struct Case {
  const char* name;
  std::vector<unsigned> notices;
  bool hasMenu, autoPopup, hasDefaultItem;
  std::vector<std::string> events;
};

TEST(TrayMouse, NoticeSequencesRaiseTheRightEvents) {
  const Case cases[] = {
      {"single left click",
       {kLButtonDown, kLButtonUp},
       true,
       true,
       false,
       {"downL[l]", "clickL[l]", "upL[l]"}},
      {"left double click: one click, one double click",
       {kLButtonDown, kLButtonUp, kLButtonDblClk, kLButtonUp},
       true,
       true,
       false,
       {"downL[l]", "clickL[l]", "upL[l]", "dblclick", "downL[d]", "upL[l]"}},
      {"double click taken by the default item",
       {kLButtonDown, kLButtonUp, kLButtonDblClk, kLButtonUp},
       true,
       true,
       true,
       {"downL[l]", "clickL[l]", "upL[l]", "default-item", "downL[d]", "upL[l]"}},
      {"right click with a menu: popup, no click",
       {kRButtonDown, kRButtonUp},
       true,
       true,
       false,
       {"downR[r]", "popup@100,200", "upR[r]"}},
      {"right click without a menu: click with the right button",
       {kRButtonDown, kRButtonUp},
       false,
       true,
       false,
       {"downR[r]", "clickR[r]", "upR[r]"}},
      {"right click with auto popup off",
       {kRButtonDown, kRButtonUp},
       true,
       false,
       false,
       {"downR[r]", "clickR[r]", "upR[r]"}},
      {"right double click raises no double click",
       {kRButtonDown, kRButtonUp, kRButtonDblClk, kRButtonUp},
       false,
       true,
       false,
       {"downR[r]", "clickR[r]", "upR[r]", "downR[d]", "upR[r]"}},
      {"middle never clicks",
       {kMButtonDown, kMButtonUp, kMButtonDblClk, kMButtonUp},
       true,
       true,
       false,
       {"downM[m]", "upM[m]", "downM[d]", "upM[m]"}},
      {"release without a press", {kLButtonUp}, true, true, false, {"upL[l]"}},
      {"right release without a press", {kRButtonUp}, true, true, false, {"upR[r]"}},
      {"press on one button, release on the other",
       {kLButtonDown, kRButtonUp},
       false,
       true,
       false,
       {"downL[l]", "upR[r]"}},
      {"move", {kMouseMove}, true, true, false, {"move"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingTray tray;
    tray.hasMenu = c.hasMenu;
    tray.autoPopup = c.autoPopup;
    tray.hasDefaultItem = c.hasDefaultItem;
    for (unsigned n : c.notices) EXPECT_TRUE(tray.HandleNotice(n, 0, 100, 200));
    EXPECT_EQ(tray.log, c.events);
  }
}

TEST(TrayMouse, BaseShiftStateIsCarriedAndOtherNoticesAreIgnored) {
  RecordingTray tray;
  tray.HandleNotice(kLButtonDown, kShift | kCtrl, 1, 2);
  tray.HandleNotice(kMouseMove, kAlt, 1, 2);
  EXPECT_FALSE(tray.HandleNotice(0x020A, 0, 1, 2));  // wheel
  EXPECT_FALSE(tray.HandleNotice(0x0400, 0, 1, 2));
  EXPECT_EQ(tray.log, (std::vector<std::string>{"downL[SCl]", "move[A]"}));
}

TEST(TrayMouse, HidingForgetsAPress) {
  RecordingTray tray;
  tray.HandleNotice(kLButtonDown, 0, 0, 0);
  tray.ClearPressed();
  tray.HandleNotice(kLButtonUp, 0, 0, 0);
  EXPECT_EQ(tray.log, (std::vector<std::string>{"downL[l]", "upL[l]"}));
}

TEST(TrayMouse, AThrowingClickHandlerStillLetsTheNextClickThrough) {
  RecordingTray tray;
  int clicks = 0;
  tray.OnClick = [&](MouseButton, ShiftState, int, int) {
    ++clicks;
    throw std::runtime_error("handler failed");
  };
  tray.HandleNotice(kLButtonDown, 0, 0, 0);
  EXPECT_THROW(tray.HandleNotice(kLButtonUp, 0, 0, 0), std::runtime_error);
  tray.HandleNotice(kLButtonDown, 0, 0, 0);
  EXPECT_THROW(tray.HandleNotice(kLButtonUp, 0, 0, 0), std::runtime_error);
  EXPECT_EQ(clicks, 2);
}

TEST(TrayTip, CutAtTheFirstBarAndTo63Characters) {
  const std::string hundred(100, 'x');
  struct TipCase {
    std::string hint, tip;
  } cases[] = {
      {"", ""},
      {"Marlinet", "Marlinet"},
      {"Bells|Click to mute", "Bells"},
      {"|all after the bar", ""},
      {"a|b|c", "a"},
      {hundred, std::string(63, 'x')},
      {std::string(63, 'y'), std::string(63, 'y')},
      {std::string(70, 'z') + "|tail", std::string(63, 'z')},
  };
  for (const auto& c : cases) EXPECT_EQ(TrayTipText(c.hint), c.tip) << c.hint;
}

}  // namespace
}  // namespace widgets
