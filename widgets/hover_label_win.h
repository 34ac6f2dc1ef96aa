// The hover label: a caption drawn over a shadow copy of itself, telling
// when the pointer enters and leaves it. Its caption is its window text.
#pragma once

#include "ui/controls_win.h"
#include "widgets/hover_label_core.h"

namespace widgets {

enum class ShadowPos { LeftTop, LeftBottom, RightBottom, RightTop };
enum class TextLayout { Top, Center, Bottom };

class THoverLabel : public ui::DrawnControl {
 public:
  // The caption, font, colour and alignment come from the arguments; the
  // label sizes itself to its text unless AutoSize is turned off.
  THoverLabel(base::Component* owner, const ui::ControlArgs& args);

  base::Color ShadowColor() const { return shadowColor_; }
  int ShadowSize() const { return shadowSize_; }
  // A new value repaints (or resizes, where the size depends on it); the
  // value the property already has does nothing.
  void SetShadowColor(base::Color c);
  void SetShadowSize(int size);
  void SetShadowPos(ShadowPos pos);
  void SetTransparent(bool on);
  void SetAutoSize(bool on);
  void SetLayout(TextLayout layout);
  void SetWordWrap(bool on);
  void SetShowAccelChar(bool on);
  void SetFont(const ui::FontSpec& f) override;
  bool MouseIsInside() const { return flags_.Inside(); }

 protected:
  void Paint(HDC dc, RECT client) override;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Rescaled() override;

 private:
  // 65 by 17 at 96 DPI where the layout gives no size.
  void DefaultSize();
  UINT TextFlags() const;
  POINT ShadowOffset(int size) const;
  void Resize();
  void Raise(HoverEvent e);
  void Reevaluate();

  HoverFlags flags_;
  base::Color shadowColor_ = ui::kSystemColorFlag | COLOR_BTNHIGHLIGHT;
  int shadowSize_ = 1;
  ShadowPos shadowPos_ = ShadowPos::LeftTop;
  bool transparent_ = false;
  bool autoSize_ = true;
  TextLayout layout_ = TextLayout::Top;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
};

}  // namespace widgets
