#include "ui/controls_win.h"

#include "ui/application_win.h"
#include "ui/text_lines.h"

namespace ui {
namespace {

UINT_PTR NextControlId() {
  static UINT_PTR id = 100;  // clear of IDOK and IDCANCEL
  return id++;
}

constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;

DWORD VisibleStyle(bool visible) { return visible ? WS_VISIBLE : 0; }

void FrameEdges(HDC dc, RECT& r, Bevel bevel) {
  if (bevel == Bevel::None) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF topLeft = bevel == Bevel::Raised ? light : dark;
  const COLORREF bottomRight = bevel == Bevel::Raised ? dark : light;
  auto line = [&](int x1, int y1, int x2, int y2, COLORREF c) {
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
  };
  line(r.left, r.bottom - 1, r.left, r.top, topLeft);
  line(r.left, r.top, r.right, r.top, topLeft);
  line(r.right - 1, r.top, r.right - 1, r.bottom - 1, bottomRight);
  line(r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, bottomRight);
  InflateRect(&r, -1, -1);
}

}  // namespace

// --- Control -------------------------------------------------------------

Control::Control(Component* owner, Window* parent, std::string name, std::string className)
    : Component(owner, std::move(name), std::move(className)), parent_(parent) {
  color_ = parent->BackColor();
  font_ = parent->Font();
}

bool Control::Visible() const { return Handle() && IsWindowVisible(Handle()); }

void Control::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE); }

bool Control::Enabled() const { return IsWindowEnabled(Handle()) != FALSE; }

void Control::SetEnabled(bool enabled) {
  EnableWindow(Handle(), enabled);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void Control::SetFocus() { ::SetFocus(Handle()); }

std::string Control::Caption() const {
  const int n = GetWindowTextLengthA(Handle());
  std::string text(static_cast<size_t>(n) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(Handle(), text.data(), n + 1)));
  return text;
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

// --- Label ---------------------------------------------------------------

Label::Label(Component* owner, Window* parent, std::string name, Rect r, const std::string& caption)
    : Control(owner, parent, std::move(name), "TLabel"), autoSize_(r.width == 0 || r.height == 0) {
  bounds_ = r;
  CreateSystem("STATIC", 0, kChild | WS_VISIBLE | SS_LEFTNOWORDWRAP, caption, r.left, r.top,
               r.width, r.height, ParentHandle(), NextControlId());
  if (autoSize_) AutoSize();
  PublishCommon();
  PublishCaption();
}

void Label::SetFont(const FontSpec& f) {
  Window::SetFont(f);
  if (autoSize_) AutoSize();
}

void Label::AutoSize() {
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, SharedFont(font_));
  RECT r{0, 0, 0, 0};
  const std::string text = Caption();
  DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  bounds_.width = r.right;
  bounds_.height = r.bottom;
  SetWindowPos(Handle(), nullptr, 0, 0, bounds_.width, bounds_.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- CheckBox and RadioButton ---------------------------------------------

CheckableButton::CheckableButton(Component* owner, Window* parent, std::string name,
                                 std::string className, Rect r, const std::string& caption,
                                 DWORD style, bool checked)
    : Control(owner, parent, std::move(name), std::move(className)) {
  bounds_ = r;
  CreateSystem("BUTTON", 0, kChild | WS_VISIBLE | style, caption, r.left, r.top, r.width, r.height,
               ParentHandle(), NextControlId());
  SetCheckMark(checked);
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

CheckBox::CheckBox(Component* owner, Window* parent, std::string name, Rect r,
                   const std::string& caption, bool checked, bool tabStop)
    : CheckableButton(owner, parent, std::move(name), "TCheckBox", r, caption,
                      BS_AUTOCHECKBOX | (tabStop ? WS_TABSTOP : 0), checked) {}

void CheckBox::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

RadioButton::RadioButton(Component* owner, Window* parent, std::string name, Rect r,
                         const std::string& caption, bool checked)
    : CheckableButton(owner, parent, std::move(name), "TRadioButton", r, caption,
                      BS_RADIOBUTTON | WS_TABSTOP, checked) {}

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

GroupBox::GroupBox(Component* owner, Window* parent, std::string name, Rect r,
                   const std::string& caption)
    : Control(owner, parent, std::move(name), "TGroupBox") {
  bounds_ = r;
  CreateSystem("BUTTON", WS_EX_CONTROLPARENT, kChild | WS_VISIBLE | BS_GROUPBOX, caption, r.left,
               r.top, r.width, r.height, ParentHandle(), NextControlId());
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
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      RECT client;
      GetClientRect(Handle(), &client);
      FillRect(dc, &client, SharedBrush(color_));
      Paint(dc, client);
      EndPaint(Handle(), &ps);
      return 0;
    }
    default:
      return Control::HandleMessage(msg, wp, lp);
  }
}

// --- Panel ---------------------------------------------------------------

Panel::Panel(Component* owner, Window* parent, std::string name, Rect r, Bevel inner, Bevel outer)
    : DrawnControl(owner, parent, std::move(name), "TPanel"), inner_(inner), outer_(outer) {
  bounds_ = r;
  CreateOwn("TMarlinetPanel", WS_EX_CONTROLPARENT, kChild | WS_VISIBLE | WS_CLIPCHILDREN, "",
            r.left, r.top, r.width, r.height, ParentHandle(), NextControlId());
  PublishCommon();
}

void Panel::Paint(HDC dc, RECT client) {
  FrameEdges(dc, client, outer_);
  FrameEdges(dc, client, inner_);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDOWN) {
    SetFocus();
    return 0;
  }
  return DrawnControl::HandleMessage(msg, wp, lp);
}

// --- Image ---------------------------------------------------------------

Image::Image(Component* owner, Window* parent, std::string name, Rect r, HICON icon, bool visible)
    : DrawnControl(owner, parent, std::move(name), "TImage"),
      icon_(icon ? CopyIcon(icon) : nullptr) {
  bounds_ = r;
  CreateOwn("TMarlinetImage", 0, kChild | VisibleStyle(visible), "", r.left, r.top, r.width,
            r.height, ParentHandle(), NextControlId());
  PublishCommon();
  PublishOther("Picture");
}

void Image::Paint(HDC dc, RECT) {
  if (!icon_.Empty()) DrawIconEx(dc, 0, 0, icon_.Handle(), 0, 0, 0, nullptr, DI_NORMAL);
}

// --- Edit and Memo -------------------------------------------------------

Edit::Edit(Component* owner, Window* parent, std::string name, Rect r, const std::string& text,
           bool border)
    : Control(owner, parent, std::move(name), "TEdit") {
  bounds_ = r;
  CreateSystem("EDIT", border ? WS_EX_CLIENTEDGE : 0,
               kChild | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, text, r.left, r.top, r.width,
               r.height, ParentHandle(), NextControlId());
  PublishCommon();
  PublishString(
      "Text", [this] { return Text(); }, [this](const std::string& t) { SetText(t); });
}

void Edit::Command(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange();
}

Memo::Memo(Component* owner, Window* parent, std::string name, Rect r, bool visible)
    : Control(owner, parent, std::move(name), "TMemo") {
  bounds_ = r;
  CreateSystem("EDIT", WS_EX_CLIENTEDGE,
               kChild | VisibleStyle(visible) | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL |
                   ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
               "", r.left, r.top, r.width, r.height, ParentHandle(), NextControlId());
  SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
  PublishCommon();
  PublishOther("Lines");
}

std::vector<std::string> Memo::Lines() const { return SplitLines(Caption()); }

void Memo::SetLines(const std::vector<std::string>& lines) { SetCaption(JoinLines(lines)); }

// --- SpeedButton ---------------------------------------------------------

SpeedButton::SpeedButton(Component* owner, Window* parent, std::string name, Rect r,
                         const std::string& caption, bool visible)
    : DrawnControl(owner, parent, std::move(name), "TSpeedButton") {
  bounds_ = r;
  CreateOwn("TMarlinetSpeedButton", 0, kChild | VisibleStyle(visible), caption, r.left, r.top,
            r.width, r.height, ParentHandle(), NextControlId());
  PublishCommon();
  PublishCaption();
}

void SpeedButton::Click() {
  if (OnClick) OnClick();
}

void SpeedButton::Paint(HDC dc, RECT r) {
  if (Enabled() && (hot_ || down_)) {
    RECT edge = r;
    DrawEdge(dc, &edge, down_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  const std::string text = Caption();
  HGDIOBJ old = SelectObject(dc, SharedFont(font_));
  SetBkMode(dc, TRANSPARENT);
  auto draw = [&](int offset, COLORREF colour) {
    RECT at = r;
    OffsetRect(&at, offset, offset);
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), -1, &at, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  };
  if (Enabled()) {
    draw(down_ ? 1 : 0, ColorToRgb(font_.color));
  } else {
    // The engraved look of a disabled caption.
    draw(1, GetSysColor(COLOR_BTNHIGHLIGHT));
    draw(0, GetSysColor(COLOR_BTNSHADOW));
  }
  SelectObject(dc, old);
}

LRESULT SpeedButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        InvalidateRect(Handle(), nullptr, FALSE);
      }
      return 0;
    case WM_MOUSELEAVE:
      hot_ = false;
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      down_ = true;
      SetCapture(Handle());
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      const bool wasDown = down_;
      down_ = false;
      ReleaseCapture();
      InvalidateRect(Handle(), nullptr, FALSE);
      POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
      RECT r;
      GetClientRect(Handle(), &r);
      if (wasDown && PtInRect(&r, p)) Dispatch([this] { Click(); });
      return 0;
    }
    case WM_CAPTURECHANGED:
      down_ = false;
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case BM_CLICK:
      // Lets another program (or a test) press the button as a user would.
      Dispatch([this] { Click(); });
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = Control::HandleMessage(msg, wp, lp);
      InvalidateRect(Handle(), nullptr, FALSE);
      return r;
    }
    default:
      return DrawnControl::HandleMessage(msg, wp, lp);
  }
}

}  // namespace ui
