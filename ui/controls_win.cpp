#include "ui/controls_win.h"

#include <windowsx.h>

#include "base/error.h"
#include "base/text_lines.h"
#include "ui/application_win.h"
#include "ui/dpi_win.h"
#include "ui/menu_win.h"

namespace ui {
namespace {

UINT_PTR NextControlId() {
  static UINT_PTR id = 100;  // clear of IDOK and IDCANCEL
  return id++;
}

// The styles every control takes from its arguments.
DWORD Style(const ControlArgs& a) {
  return WS_CHILD | WS_CLIPSIBLINGS | (a.visible ? WS_VISIBLE : 0);
}
DWORD TabStop(const ControlArgs& a) { return a.tabStop ? WS_TABSTOP : 0; }

void FrameEdges(HDC dc, RECT& r, Bevel bevel) {
  if (bevel == Bevel::None) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF topLeft = bevel == Bevel::Raised ? light : dark;
  const COLORREF bottomRight = bevel == Bevel::Raised ? dark : light;
  auto line = [&](int x1, int y1, int x2, int y2, COLORREF c) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, c));
    Selected selected(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  line(r.left, r.bottom - 1, r.left, r.top, topLeft);
  line(r.left, r.top, r.right, r.top, topLeft);
  line(r.right - 1, r.top, r.right - 1, r.bottom - 1, bottomRight);
  line(r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, bottomRight);
  InflateRect(&r, -1, -1);
}

}  // namespace

// --- Control -------------------------------------------------------------

namespace {

Rect ScaledRect(const Rect& r, int dpi) {
  return {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.width, dpi), Scale(r.height, dpi)};
}

}  // namespace

// The layout's rectangle stays in the arguments; the bounds are where the
// control stands at its parent's DPI.
Control::Control(base::Component* owner, const ControlArgs& args, std::string className)
    : base::Component(owner, args.name, std::move(className)),
      parent_(args.parent),
      bounds_(ScaledRect(args.rect, args.parent->Dpi())),
      args_(args) {
  dpi_ = parent_->Dpi();
  color_ = args.color.value_or(parent_->BackColor());
  font_ = args.font.value_or(parent_->Font());
}

void Control::SetDpi(int dpi) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  bounds_ = ScaledRect(args_.rect, dpi);
  SendFont(false);
  SetWindowPos(Handle(), nullptr, bounds_.left, bounds_.top, bounds_.width, bounds_.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  Rescaled();
  InvalidateRect(Handle(), nullptr, TRUE);
}

WindowArgs Control::Made(const char* cls, DWORD exStyle, DWORD style) const {
  return WindowArgs{.className = cls,
                    .exStyle = exStyle,
                    .style = Style(args_) | style,
                    .text = args_.caption,
                    .x = bounds_.left,
                    .y = bounds_.top,
                    .width = bounds_.width,
                    .height = bounds_.height,
                    .parent = ParentHandle(),
                    .id = NextControlId()};
}

void Control::MakeSystem(const char* cls, DWORD exStyle, DWORD style) {
  CreateSystem(Made(cls, exStyle, style));
  if (!args_.enabled) EnableWindow(Handle(), FALSE);
}

void Control::MakeOwn(const char* cls, DWORD exStyle, DWORD style) {
  CreateOwn(Made(cls, exStyle, style));
  if (!args_.enabled) EnableWindow(Handle(), FALSE);
}

bool Control::Visible() const { return Handle() && IsWindowVisible(Handle()); }

void Control::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE); }

bool Control::Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }

void Control::SetEnabled(bool enabled) {
  EnableWindow(Handle(), enabled);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void Control::SetFocus() { ::SetFocus(Handle()); }

void Control::BringToFront() {
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::string Control::Caption() const {
  std::string text;
  ReadCaption(text);
  return text;
}

void Control::ReadCaption(std::string& into) const {
  const int n = GetWindowTextLengthA(Handle());
  // Allocates only when the text has outgrown what `into` held before.
  into.resize(static_cast<size_t>(n) + 1);
  into.resize(static_cast<size_t>(GetWindowTextA(Handle(), into.data(), n + 1)));
}

void Control::SetCaption(const std::string& text) { SetWindowTextA(Handle(), text.c_str()); }

void Control::PublishCommon() {
  PublishInt("Left", [this] { return bounds_.left; });
  PublishInt("Top", [this] { return bounds_.top; });
  PublishInt("Width", [this] { return bounds_.width; });
  PublishInt("Height", [this] { return bounds_.height; });
  PublishInt("Color", [this] { return static_cast<long long>(color_); });
  PublishOther("Font");
  PublishBool(
      "Enabled", [this] { return Enabled(); }, [this](bool b) { SetEnabled(b); });
  PublishBool(
      "Visible", [this] { return Visible(); }, [this](bool b) { SetVisible(b); });
}

void Control::PublishCaption() {
  PublishString("Caption", [this] { return Caption(); });
}

void Control::SystemChange(UINT, WPARAM, LPARAM) {}

void Control::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter();
}

void Control::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave();
}

bool Control::MouseMessage(UINT msg, WPARAM wp, LPARAM lp) {
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  base::ShiftState shift = 0;
  if (wp & MK_SHIFT) shift |= base::kShift;
  if (wp & MK_CONTROL) shift |= base::kCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= base::kAlt;
  if (wp & MK_LBUTTON) shift |= base::kLeft;
  if (wp & MK_RBUTTON) shift |= base::kRight;
  if (wp & MK_MBUTTON) shift |= base::kMiddle;
  auto press = [&](base::MouseButton button, bool down, bool twice) {
    const base::MouseEvent& event = down ? OnMouseDown : OnMouseUp;
    const base::ShiftState state = twice ? shift | base::kDouble : shift;
    if (event) Dispatch([&] { event(button, state, x, y); });
  };
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!inside_) {
        // Enter and leave alternate: the leave notice comes once per entry.
        inside_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        Dispatch([this] { MouseEnter(); });
      }
      if (OnMouseMove) Dispatch([&] { OnMouseMove(shift, x, y); });
      return true;
    case WM_MOUSELEAVE:
      if (inside_) {
        inside_ = false;
        Dispatch([this] { MouseLeave(); });
      }
      return true;
    case WM_LBUTTONDOWN:
      press(base::MouseButton::Left, true, false);
      return true;
    case WM_LBUTTONDBLCLK:
      press(base::MouseButton::Left, true, true);
      return true;
    case WM_LBUTTONUP:
      press(base::MouseButton::Left, false, false);
      return true;
    case WM_RBUTTONDOWN:
      press(base::MouseButton::Right, true, false);
      return true;
    case WM_RBUTTONDBLCLK:
      press(base::MouseButton::Right, true, true);
      return true;
    case WM_MBUTTONDOWN:
      press(base::MouseButton::Middle, true, false);
      return true;
    case WM_MBUTTONDBLCLK:
      press(base::MouseButton::Middle, true, true);
      return true;
    case WM_MBUTTONUP:
      press(base::MouseButton::Middle, false, false);
      return true;
    case WM_RBUTTONUP:
      press(base::MouseButton::Right, false, false);
      OfferMenu(x, y);
      return true;
    default:
      return false;
  }
}

void Control::OfferMenu(int x, int y) {
  bool offered = popupMenu != nullptr;
  if (offered && OnContextPopup) {
    offered = false;
    Dispatch([&] { offered = OnContextPopup(); });
  }
  if (offered) {
    POINT at{x, y};
    ClientToScreen(Handle(), &at);
    popupMenu->popupComponent = this;
    popupMenu->Popup(at.x, at.y, Handle());
  }
}

void Control::KeyboardMenu() {
  // As a right click in the middle of the control: the press tells the
  // window which control the menu is for.
  RECT r{};
  GetClientRect(Handle(), &r);
  const int x = r.right / 2, y = r.bottom / 2;
  if (OnMouseDown) Dispatch([&] { OnMouseDown(base::MouseButton::Right, 0, x, y); });
  if (OnMouseUp) Dispatch([&] { OnMouseUp(base::MouseButton::Right, 0, x, y); });
  OfferMenu(x, y);
}

LRESULT Control::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if ((msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK) || msg == WM_MOUSELEAVE) {
    MouseMessage(msg, wp, lp);
  }
  // The Menu key and Shift+F10 send the point (-1, -1). The notice that
  // follows a right click is left alone: the release has shown the menu.
  if (msg == WM_CONTEXTMENU && popupMenu && lp == static_cast<LPARAM>(-1)) {
    KeyboardMenu();
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

// --- Label ---------------------------------------------------------------

Label::Label(base::Component* owner, const ControlArgs& args)
    : Control(owner, args, "TLabel"), autoSize_(args.rect.width == 0 || args.rect.height == 0) {
  MakeSystem("STATIC", 0,
             args.alignment == Align::Center  ? SS_CENTER
             : args.alignment == Align::Right ? SS_RIGHT
                                              : SS_LEFTNOWORDWRAP);
  if (autoSize_) AutoSize();
  PublishCommon();
  PublishCaption();
}

void Label::SetFont(const FontSpec& f) {
  Window::SetFont(f);
  if (autoSize_) AutoSize();
}

void Label::Rescaled() {
  if (autoSize_) AutoSize();
}

void Label::AutoSize() {
  const SIZE size = MeasureText(font_, dpi_, Caption());
  bounds_.width = size.cx;
  bounds_.height = size.cy;
  SetWindowPos(Handle(), nullptr, 0, 0, bounds_.width, bounds_.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- CheckBox and RadioButton ---------------------------------------------

CheckableButton::CheckableButton(base::Component* owner, const ControlArgs& args,
                                 std::string className, DWORD style)
    : Control(owner, args, std::move(className)) {
  MakeSystem("BUTTON", 0, style | TabStop(args));
  SetCheckMark(args.checked);
  PublishCommon();
  PublishCaption();
  PublishBool(
      "Checked", [this] { return Checked(); }, [this](bool b) { SetChecked(b); });
}

bool CheckableButton::Checked() const {
  return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckableButton::SetCheckMark(bool checked) {
  SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

CheckBox::CheckBox(base::Component* owner, const ControlArgs& args)
    : CheckableButton(owner, args, "TCheckBox", BS_AUTOCHECKBOX) {}

void CheckBox::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

RadioButton::RadioButton(base::Component* owner, const ControlArgs& args)
    : CheckableButton(owner, args, "TRadioButton", BS_RADIOBUTTON) {}

void RadioButton::SetChecked(bool checked) {
  if (checked == Checked()) return;
  SetCheckMark(checked);
  if (!checked) return;
  for (HWND sibling = GetWindow(ParentHandle(), GW_CHILD); sibling;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (auto* other = dynamic_cast<RadioButton*>(Window::FromHandle(sibling));
        other && other != this) {
      other->SetChecked(false);
    }
  }
  if (OnClick) OnClick();
}

void RadioButton::Command(WORD code) {
  if (code == BN_CLICKED) SetChecked(true);
}

// --- GroupBox ------------------------------------------------------------

GroupBox::GroupBox(base::Component* owner, const ControlArgs& args)
    : Control(owner, args, "TGroupBox") {
  MakeSystem("BUTTON", WS_EX_CONTROLPARENT, BS_GROUPBOX);
  PublishCommon();
  PublishCaption();
}

LRESULT GroupBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    // The system group box paints only its frame and caption; its inside
    // is the parent's colour, which clipping keeps the parent from painting.
    RECT r;
    GetClientRect(Handle(), &r);
    FillRect(reinterpret_cast<HDC>(wp), &r, SharedBrush(color_));
    return 1;
  }
  return Control::HandleMessage(msg, wp, lp);
}

// --- DrawnControl ---------------------------------------------------------

LRESULT DrawnControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the paint fills the background itself, without flicker
    case WM_PAINT: {
      // Data fetched here may open a box; the paint itself opens none.
      Dispatch([this] { BeforePaint(); });
      PaintDC dc(Handle());
      RECT client;
      GetClientRect(Handle(), &client);
      FillRect(dc.Get(), &client, SharedBrush(color_));
      Dispatch([&] { Paint(dc.Get(), client); });
      return 0;
    }
    case WM_SETTEXT:
    case WM_ENABLE: {
      const LRESULT r = Control::HandleMessage(msg, wp, lp);
      if (msg == WM_ENABLE || repaintOnText_) InvalidateRect(Handle(), nullptr, FALSE);
      return r;
    }
    default:
      return Control::HandleMessage(msg, wp, lp);
  }
}

// --- Panel ---------------------------------------------------------------

Panel::Panel(base::Component* owner, const ControlArgs& args)
    : DrawnControl(owner, args, "TPanel") {
  MakeOwn("TMarlinetPanel", WS_EX_CONTROLPARENT, WS_CLIPCHILDREN);
  PublishCommon();
  PublishCaption();
}

void Panel::SetAlignment(Align a) {
  args_.alignment = a;
  InvalidateRect(Handle(), nullptr, FALSE);
}

RECT Panel::InnerRect() const {
  RECT r;
  GetClientRect(Handle(), &r);
  const int bevels = (args_.bevelOuter != Bevel::None) + (args_.bevelInner != Bevel::None);
  const int inset = bevels * Scaled(args_.bevelWidth) + Scaled(args_.borderWidth);
  InflateRect(&r, -inset, -inset);
  return r;
}

void Panel::PaintFrame(HDC dc, RECT client) {
  const int bevel = Scaled(args_.bevelWidth), border = Scaled(args_.borderWidth);
  for (int i = 0; i < bevel; ++i) FrameEdges(dc, client, args_.bevelOuter);
  InflateRect(&client, -border, -border);
  for (int i = 0; i < bevel; ++i) FrameEdges(dc, client, args_.bevelInner);
}

void Panel::Paint(HDC dc, RECT client) {
  PaintFrame(dc, client);
  const std::string text = Caption();
  if (text.empty()) return;
  RECT inner = InnerRect();
  Selected font(dc, FontHandle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, TextColorOn(font_.color, color_));
  const UINT align = args_.alignment == Align::Left    ? DT_LEFT
                     : args_.alignment == Align::Right ? DT_RIGHT
                                                       : DT_CENTER;
  DrawTextA(dc, text.c_str(), -1, &inner, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDOWN) SetFocus();
  return DrawnControl::HandleMessage(msg, wp, lp);
}

// --- Image ---------------------------------------------------------------

Image::Image(base::Component* owner, const ControlArgs& args)
    : DrawnControl(owner, args, "TImage"), icon_(args.icon ? CopyIcon(args.icon) : nullptr) {
  if (args.iconResource) Rescaled();
  MakeOwn("TMarlinetImage", 0, 0);
  PublishCommon();
  PublishOther("Picture");
}

void Image::Rescaled() {
  if (args_.iconResource) {
    icon_.Reset(LoadIconAtSize(args_.iconResource, IconSize(true, dpi_)));
  }
}

void Image::Paint(HDC dc, RECT) {
  if (!icon_.Empty()) DrawIconEx(dc, 0, 0, icon_.Handle(), 0, 0, 0, nullptr, DI_NORMAL);
}

// --- Edit and Memo -------------------------------------------------------

Edit::Edit(base::Component* owner, const ControlArgs& args) : Control(owner, args, "TEdit") {
  const DWORD align = args.alignment == Align::Center  ? ES_CENTER
                      : args.alignment == Align::Right ? ES_RIGHT
                                                       : ES_LEFT;
  MakeSystem("EDIT", args.border ? WS_EX_CLIENTEDGE : 0, TabStop(args) | ES_AUTOHSCROLL | align);
  PublishCommon();
  PublishString(
      "Text", [this] { return Text(); }, [this](const std::string& t) { SetText(t); });
}

void Edit::Command(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

Memo::Memo(base::Component* owner, const ControlArgs& args) : Control(owner, args, "TMemo") {
  MakeSystem("EDIT", args.border ? WS_EX_CLIENTEDGE : 0,
             TabStop(args) | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                 ES_AUTOHSCROLL | ES_WANTRETURN);
  SetCapacity(capacity_);
  PublishCommon();
  PublishOther("Lines");
}

void Memo::SetCapacity(size_t capacity) {
  capacity_ = capacity;
  SendMessageA(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(capacity), 0);
}

void Memo::SetText(const std::string& text) {
  // The edit control would take a longer text from the program, though not
  // from the user; either way it must not hold more than it was given room for.
  if (text.size() > capacity_) throw base::CapacityError();
  SetCaption(text);
}

const std::vector<std::string>& Memo::Lines() const {
  ReadCaption(scratch_);
  if (scratch_ != linesText_) {
    linesText_ = scratch_;
    lines_ = base::SplitLines(linesText_);
  }
  return lines_;
}

void Memo::SetLines(const std::vector<std::string>& lines) { SetText(base::JoinLines(lines)); }

// --- SpeedButton ---------------------------------------------------------

SpeedButton::SpeedButton(base::Component* owner, const ControlArgs& args)
    : DrawnControl(owner, args, "TSpeedButton") {
  MakeOwn("TMarlinetSpeedButton", 0, 0);
  PublishCommon();
  PublishCaption();
}

void SpeedButton::Click() {
  if (OnClick) OnClick();
}

void SpeedButton::MouseEnter() {
  InvalidateRect(Handle(), nullptr, FALSE);
  Control::MouseEnter();
}

void SpeedButton::MouseLeave() {
  InvalidateRect(Handle(), nullptr, FALSE);
  Control::MouseLeave();
}

void SpeedButton::Paint(HDC dc, RECT r) {
  if (Enabled() && (MouseInside() || down_)) {
    RECT edge = r;
    DrawEdge(dc, &edge, down_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  const std::string text = Caption();
  Selected font(dc, FontHandle());
  SetBkMode(dc, TRANSPARENT);
  auto draw = [&](int offset, COLORREF colour) {
    RECT at = r;
    OffsetRect(&at, offset, offset);
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), -1, &at, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  };
  if (Enabled()) {
    draw(down_ ? Scaled(1) : 0, TextColorOn(font_.color, color_));
  } else {
    // The engraved look of a disabled caption.
    draw(Scaled(1), TextColorOn(kSystemColorFlag | COLOR_BTNHIGHLIGHT, color_));
    draw(0, TextColorOn(kSystemColorFlag | COLOR_BTNSHADOW, color_));
  }
}

LRESULT SpeedButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      down_ = true;
      SetCapture(Handle());
      InvalidateRect(Handle(), nullptr, FALSE);
      break;
    case WM_LBUTTONUP: {
      const bool wasDown = down_;
      down_ = false;
      ReleaseCapture();
      InvalidateRect(Handle(), nullptr, FALSE);
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      RECT r;
      GetClientRect(Handle(), &r);
      const LRESULT result = DrawnControl::HandleMessage(msg, wp, lp);
      if (wasDown && PtInRect(&r, p)) Dispatch([this] { Click(); });
      return result;
    }
    case WM_CAPTURECHANGED:
      down_ = false;
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case BM_CLICK:
      // Lets another program (or a test) press the button as a user would.
      Dispatch([this] { Click(); });
      return 0;
    default:
      break;
  }
  return DrawnControl::HandleMessage(msg, wp, lp);
}

}  // namespace ui
