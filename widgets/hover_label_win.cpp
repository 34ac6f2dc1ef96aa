#include "widgets/hover_label_win.h"

namespace widgets {
namespace {

// The program is active when the active window is one of this thread's.
bool ProgramActive() { return GetActiveWindow() != nullptr; }

}  // namespace

THoverLabel::THoverLabel(base::Component* owner, const ui::ControlArgs& args)
    : DrawnControl(owner, args, "THoverLabel") {
  DefaultSize();
  MakeOwn("TMarlinetHoverLabel", 0, 0);
  PublishCommon();
  PublishCaption();
  PublishInt(
      "ShadowSize", [this] { return shadowSize_; },
      [this](long long s) { SetShadowSize(static_cast<int>(s)); });
  PublishBool(
      "Transparent", [this] { return transparent_; }, [this](bool b) { SetTransparent(b); });
  PublishBool(
      "AutoSize", [this] { return autoSize_; }, [this](bool b) { SetAutoSize(b); });
  PublishOther("OnMouseEnter");
  PublishOther("OnMouseLeave");
  Resize();
}

void THoverLabel::DefaultSize() {
  if (args_.rect.width == 0) bounds_.width = Scaled(65);
  if (args_.rect.height == 0) bounds_.height = Scaled(17);
}

void THoverLabel::Rescaled() {
  DefaultSize();
  Resize();
}

void THoverLabel::SetShadowColor(base::Color c) { Change(shadowColor_, c); }
void THoverLabel::SetShadowPos(ShadowPos pos) { Change(shadowPos_, pos); }
void THoverLabel::SetTransparent(bool on) { Change(transparent_, on); }
void THoverLabel::SetLayout(TextLayout layout) { Change(layout_, layout); }
void THoverLabel::SetShowAccelChar(bool on) { Change(showAccelChar_, on); }

// These decide the size as well.
void THoverLabel::SetShadowSize(int size) {
  if (Change(shadowSize_, size)) Resize();
}
void THoverLabel::SetAutoSize(bool on) {
  if (Change(autoSize_, on)) Resize();
}
void THoverLabel::SetWordWrap(bool on) {
  if (Change(wordWrap_, on)) Resize();
}

void THoverLabel::SetFont(const ui::FontSpec& f) {
  DrawnControl::SetFont(f);
  Resize();
  InvalidateRect(Handle(), nullptr, FALSE);
}

UINT THoverLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  flags |= args_.alignment == ui::Align::Right    ? DT_RIGHT
           : args_.alignment == ui::Align::Center ? DT_CENTER
                                                  : DT_LEFT;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

POINT THoverLabel::ShadowOffset(int size) const {
  switch (shadowPos_) {
    case ShadowPos::LeftTop:
      return {-size, -size};
    case ShadowPos::LeftBottom:
      return {-size, size};
    case ShadowPos::RightBottom:
      return {size, size};
    case ShadowPos::RightTop:
      return {size, -size};
  }
  return {0, 0};
}

void THoverLabel::Resize() {
  if (!autoSize_ || !Handle()) return;
  std::string text = Caption();
  // An empty caption still has the height of a line.
  if (text.empty() || (showAccelChar_ && text == "&")) text += ' ';
  ui::ClientDC screen(nullptr);
  ui::Selected font(screen.Get(), FontHandle());
  RECT r{0, 0, bounds_.width - 2 * Scaled(1), 0};
  DrawTextA(screen.Get(), text.c_str(), -1, &r, TextFlags() | DT_CALCRECT);
  const int shadowSize = Scaled(shadowSize_);
  const POINT shadow = ShadowOffset(shadowSize);
  const int width = r.right + 2 * Scaled(1) + (shadow.x > 0 ? shadowSize : 0);
  const int height = r.bottom + (shadow.y > 0 ? shadowSize : 0);
  // Right-aligned text keeps its right edge.
  if (args_.alignment == ui::Align::Right) bounds_.left += bounds_.width - width;
  bounds_.width = width;
  bounds_.height = height;
  SetWindowPos(Handle(), nullptr, bounds_.left, bounds_.top, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void THoverLabel::Paint(HDC dc, RECT client) {
  if (!Enabled()) flags_.ForgetPress();
  if (transparent_) {
    // DrawnControl filled it; a transparent label shows its parent instead.
    HWND parent = GetParent(Handle());
    POINT origin{0, 0};
    MapWindowPoints(Handle(), parent, &origin, 1);
    SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetViewportOrgEx(dc, 0, 0, nullptr);
  }
  SetBkMode(dc, TRANSPARENT);
  RECT text = client;
  InflateRect(&text, -Scaled(1), 0);
  const std::string caption = Caption();
  ui::Selected font(dc, FontHandle());
  if (layout_ != TextLayout::Top) {
    RECT measured = text;
    DrawTextA(dc, caption.c_str(), -1, &measured, TextFlags() | DT_CALCRECT);
    const int room = (client.bottom - client.top) - measured.bottom;
    OffsetRect(&text, 0, layout_ == TextLayout::Bottom ? room : room / 2);
  }
  const bool enabled = Enabled();
  const int size = Scaled(!enabled && shadowSize_ == 0 ? 1 : shadowSize_);
  const POINT offset = !enabled && shadowSize_ == 0 ? POINT{size, size} : ShadowOffset(size);
  RECT shadow = text;
  OffsetRect(&shadow, offset.x, offset.y);
  SetTextColor(dc, ui::TextColorOn(
                       enabled ? shadowColor_ : ui::kSystemColorFlag | COLOR_BTNHIGHLIGHT, color_));
  DrawTextA(dc, caption.c_str(), -1, &shadow, TextFlags());
  SetTextColor(dc, ui::TextColorOn(enabled ? font_.color : ui::clGrayText, color_));
  DrawTextA(dc, caption.c_str(), -1, &text, TextFlags());
}

void THoverLabel::Raise(HoverEvent e) {
  if (e == HoverEvent::Enter && OnMouseEnter) OnMouseEnter();
  if (e == HoverEvent::Leave && OnMouseLeave) OnMouseLeave();
}

void THoverLabel::Reevaluate() {
  POINT p;
  GetCursorPos(&p);
  const bool under = WindowFromPoint(p) == Handle();
  Raise(flags_.Reevaluate(Enabled(), under, ProgramActive()));
}

void THoverLabel::MouseEnter() { Raise(flags_.EnterNotice(Enabled(), ProgramActive())); }
void THoverLabel::MouseLeave() { Raise(flags_.LeaveNotice(Enabled())); }

LRESULT THoverLabel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      flags_.LeftDown(Enabled());
      // Keeps the release coming here when the pointer is dragged off.
      SetCapture(Handle());
      break;
    case WM_LBUTTONUP: {
      ReleaseCapture();
      const LRESULT r = DrawnControl::HandleMessage(msg, wp, lp);
      if (flags_.LeftUp()) ui::Dispatch([this] { Reevaluate(); });
      return r;
    }
    case WM_CAPTURECHANGED:
      // Also after the release above, which has then ended the press.
      if (flags_.CaptureLost()) ui::Dispatch([this] { Reevaluate(); });
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      const LRESULT r = DrawnControl::HandleMessage(msg, wp, lp);
      ui::Dispatch([this] { Reevaluate(); });
      return r;
    }
    case WM_ENABLE:
    case WM_SHOWWINDOW: {
      const LRESULT r = DrawnControl::HandleMessage(msg, wp, lp);
      ui::Dispatch([this] { Reevaluate(); });
      return r;
    }
    case WM_SETTEXT: {
      const LRESULT r = DrawnControl::HandleMessage(msg, wp, lp);
      Resize();
      return r;
    }
    default:
      break;
  }
  return DrawnControl::HandleMessage(msg, wp, lp);
}

}  // namespace widgets
