// When the hover label says the pointer entered or left: a mouse-inside flag
// and a left-press flag, so enter and leave alternate strictly, nothing is
// raised while another program is active, and a press dragged off the label
// leaves it only at the release.
#pragma once

namespace widgets {

enum class HoverEvent { None, Enter, Leave };

class HoverFlags {
 public:
  bool Inside() const { return inside_; }
  bool Pressed() const { return pressed_; }

  // The pointer came onto or went off the label.
  HoverEvent EnterNotice(bool enabled, bool programActive);
  HoverEvent LeaveNotice(bool enabled);
  void LeftDown(bool enabled);
  // True when the release ends a press begun on the label: then re-evaluate.
  bool LeftUp();
  // The mouse capture went elsewhere (a box opened, another window came to
  // the front): no release will come, so a press ends here. True when one
  // did: then re-evaluate.
  bool CaptureLost() { return LeftUp(); }
  // From where the pointer really is: after a release, a right button, a
  // change of enabled or visible.
  HoverEvent Reevaluate(bool enabled, bool underPointer, bool programActive);
  // A disabled label forgets its press when it paints.
  void ForgetPress() { pressed_ = false; }

 private:
  bool inside_ = false;
  bool pressed_ = false;
};

}  // namespace widgets
