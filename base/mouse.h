// The mouse as every control and the tray icon see it: which button, the
// shift state as a bit set, and where.
#pragma once

#include <functional>

namespace base {

enum class MouseButton { Left, Right, Middle };

enum ShiftFlag : unsigned {
  kShift = 1,
  kAlt = 2,
  kCtrl = 4,
  kLeft = 8,
  kRight = 16,
  kMiddle = 32,
  kDouble = 64,
};
using ShiftState = unsigned;

using MouseEvent = std::function<void(MouseButton, ShiftState, int x, int y)>;
using MouseMoveEvent = std::function<void(ShiftState, int x, int y)>;
using NotifyEvent = std::function<void()>;

}  // namespace base
