#include "widgets/hover_label_core.h"

namespace widgets {

HoverEvent HoverFlags::EnterNotice(bool enabled, bool programActive) {
  if (inside_ || !enabled || !programActive) return HoverEvent::None;
  inside_ = true;
  return HoverEvent::Enter;
}

HoverEvent HoverFlags::LeaveNotice(bool enabled) {
  if (!inside_ || !enabled || pressed_) return HoverEvent::None;
  inside_ = false;
  return HoverEvent::Leave;
}

void HoverFlags::LeftDown(bool enabled) {
  if (enabled) pressed_ = true;
}

bool HoverFlags::LeftUp() {
  if (!pressed_) return false;
  pressed_ = false;
  return true;
}

HoverEvent HoverFlags::Reevaluate(bool enabled, bool underPointer, bool programActive) {
  const bool inside = enabled && underPointer && programActive;
  if (inside == inside_) return HoverEvent::None;
  inside_ = inside;
  return inside ? HoverEvent::Enter : HoverEvent::Leave;
}

}  // namespace widgets
