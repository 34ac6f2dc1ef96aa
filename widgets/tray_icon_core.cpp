#include "widgets/tray_icon_core.h"

namespace widgets {

std::string TrayTipText(const std::string& hint) {
  std::string tip = hint.substr(0, hint.find('|'));
  if (tip.size() > kTipCapacity - 1) tip.resize(kTipCapacity - 1);
  return tip;
}

bool TrayMouse::HandleNotice(unsigned notice, ShiftState base, int x, int y) {
  switch (notice) {
    case kMouseMove:
      MouseMove(base, x, y);
      break;
    case kLButtonDown:
      MouseDown(MouseButton::Left, base | kLeft, x, y);
      leftPressed_ = true;
      break;
    case kLButtonUp:
      if (leftPressed_) {
        leftPressed_ = false;
        Click(MouseButton::Left, base | kLeft, x, y);
      }
      MouseUp(MouseButton::Left, base | kLeft, x, y);
      break;
    case kLButtonDblClk:
      // The double-click message does not count as a press, so the release
      // after it raises no second click.
      DblClick();
      MouseDown(MouseButton::Left, base | kDouble, x, y);
      break;
    case kRButtonDown:
      MouseDown(MouseButton::Right, base | kRight, x, y);
      rightPressed_ = true;
      break;
    case kRButtonUp:
      if (rightPressed_) {
        rightPressed_ = false;
        Click(MouseButton::Right, base | kRight, x, y);
      }
      MouseUp(MouseButton::Right, base | kRight, x, y);
      break;
    case kRButtonDblClk:
      MouseDown(MouseButton::Right, base | kDouble, x, y);
      break;
    case kMButtonDown:
      MouseDown(MouseButton::Middle, base | kMiddle, x, y);
      break;
    case kMButtonUp:
      MouseUp(MouseButton::Middle, base | kMiddle, x, y);
      break;
    case kMButtonDblClk:
      MouseDown(MouseButton::Middle, base | kDouble, x, y);
      break;
    default:
      return false;
  }
  return true;
}

void TrayMouse::DblClick() {
  if (ClickDefaultMenuItem()) return;
  if (OnDblClick) OnDblClick();
}

void TrayMouse::Click(MouseButton button, ShiftState shift, int x, int y) {
  if (button == MouseButton::Right && ShowPopupMenu(x, y)) return;
  if (OnClick) OnClick(button, shift, x, y);
}

void TrayMouse::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(button, shift, x, y);
}

void TrayMouse::MouseMove(ShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(shift, x, y);
}

void TrayMouse::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(button, shift, x, y);
}

}  // namespace widgets
