// What the tray icon makes of the shell's mouse notices: clicks, double
// clicks, the popup menu on the right button, and the raw mouse events.
#pragma once

#include <functional>
#include <string>

#include "base/mouse.h"

namespace widgets {

using base::kAlt;
using base::kCtrl;
using base::kDouble;
using base::kLeft;
using base::kMiddle;
using base::kRight;
using base::kShift;
using base::MouseButton;
using base::MouseEvent;
using base::MouseMoveEvent;
using base::NotifyEvent;
using base::ShiftState;

// Mouse messages as the shell passes them in the callback's lParam.
enum TrayNotice : unsigned {
  kMouseMove = 0x200,
  kLButtonDown = 0x201,
  kLButtonUp = 0x202,
  kLButtonDblClk = 0x203,
  kRButtonDown = 0x204,
  kRButtonUp = 0x205,
  kRButtonDblClk = 0x206,
  kMButtonDown = 0x207,
  kMButtonUp = 0x208,
  kMButtonDblClk = 0x209,
};

inline constexpr unsigned kTrayCallbackMessage = 0xB054;
inline constexpr size_t kTipCapacity = 64;  // characters, with the terminating zero

// The tooltip: the hint up to its first "|", at most 63 characters.
std::string TrayTipText(const std::string& hint);

class TrayMouse {
 public:
  virtual ~TrayMouse() = default;

  MouseEvent OnClick;
  NotifyEvent OnDblClick;
  MouseMoveEvent OnMouseMove;
  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;

  // Runs the steps for one mouse notice; false for a notice that is not a
  // mouse message. X and Y are the pointer's screen position.
  bool HandleNotice(unsigned notice, ShiftState base, int x, int y);

  // A click is a press and a release both on the icon; hiding the icon forgets presses.
  void ClearPressed() { leftPressed_ = rightPressed_ = false; }

 protected:
  virtual void DblClick();
  virtual void Click(MouseButton button, ShiftState shift, int x, int y);
  virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
  virtual void MouseMove(ShiftState shift, int x, int y);
  virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);

  // Returns whether the popup menu was shown (so the right click is spent).
  virtual bool ShowPopupMenu(int x, int y) = 0;
  // Returns whether an enabled default item of the popup menu was clicked.
  virtual bool ClickDefaultMenuItem() = 0;

 private:
  bool leftPressed_ = false;
  bool rightPressed_ = false;
};

}  // namespace widgets
