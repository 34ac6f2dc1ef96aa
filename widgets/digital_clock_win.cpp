#include "widgets/digital_clock_win.h"

#include "ui/clock_win.h"

namespace widgets {
namespace {

ui::ControlArgs WithClockBevels(ui::ControlArgs args) {
  if (args.bevelInner == ui::Bevel::None && args.bevelOuter == ui::Bevel::None) {
    args.bevelInner = ui::Bevel::Lowered;
    args.bevelOuter = ui::Bevel::Raised;
  }
  args.caption.clear();  // the clock never draws a caption
  return args;
}

base::LocalClock& SystemClock() {
  static ui::WinLocalClock clock;
  return clock;
}

// One character centred in its cell, and the suffix after the last cell.
constexpr UINT kCellFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;
constexpr UINT kSuffixFormat = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP;

}  // namespace

TDigitalClock::TDigitalClock(base::Component* owner, const ui::ControlArgs& args)
    : Panel(owner, WithClockBevels(args)), clock_(&SystemClock()) {
  repaintOnText_ = false;
  const base::TimeOfDay now = clock_->Now();
  last_ = {now.hour % 12, now.minute, now.second};
  ReadDesignators();
  PublishBool(
      "ShowSeconds", [this] { return options_.showSeconds; },
      [this](bool b) { SetShowSeconds(b); });
  PublishBool(
      "TwelveHour", [this] { return options_.twelveHour; }, [this](bool b) { SetTwelveHour(b); });
  PublishBool(
      "LeadingZero", [this] { return options_.leadingZero; },
      [this](bool b) { SetLeadingZero(b); });
  PublishBool(
      "AlarmEnabled", [this] { return alarm.enabled; }, [this](bool b) { alarm.enabled = b; });
  PublishOther("OnGetTime");
  // A message-driven timer: the tick runs on this thread, never inside
  // itself, and goes on while the window is hidden.
  timer_ = Create<ui::Timer>("Timer", kTickMs);
  timer_->SetOnTimer([this] { Tick(); });
}

void TDigitalClock::Repaint() { InvalidateRect(Handle(), nullptr, FALSE); }

void TDigitalClock::SetShowSeconds(bool on) { Change(options_.showSeconds, on); }
void TDigitalClock::SetTwelveHour(bool on) { Change(options_.twelveHour, on); }
void TDigitalClock::SetLeadingZero(bool on) { Change(options_.leadingZero, on); }

void TDigitalClock::SetFont(const ui::FontSpec& f) {
  if (f == font_) return;
  Panel::SetFont(f);
  Repaint();
}

base::TimeOfDay TDigitalClock::CurrentTime() {
  base::TimeOfDay t = clock_->Now();
  if (OnGetTime) OnGetTime(*this, t);
  return t;
}

TDigitalClock::Reading TDigitalClock::Read() {
  Reading r;
  r.time = CurrentTime();
  r.face = FormatClock(CurrentTime(), options_);
  return r;
}

void TDigitalClock::Loaded() {
  Panel::Loaded();
  CheckTheAlarm();
}

void TDigitalClock::CheckTheAlarm() {
  if (CheckAlarm(alarm, CurrentTime()) && OnAlarm) OnAlarm();
}

void TDigitalClock::ReadDesignators() {
  const base::Designators user = ui::UserDesignators();
  UseDesignators(options_, user.am, user.pm);
}

void TDigitalClock::SetDesignators(const base::Designators& designators) {
  ownersDesignators_ = true;
  if (options_.am == designators.am && options_.pm == designators.pm) return;
  UseDesignators(options_, designators.am, designators.pm);
  Repaint();
}

void TDigitalClock::SystemChange(UINT msg, WPARAM, LPARAM) {
  // A new zone comes with either; the local clock forgets the old one.
  if (msg == WM_TIMECHANGE || msg == WM_SETTINGCHANGE) clock_->TimeSettingsChanged();
  if (msg == WM_TIMECHANGE) {
    // At once, then the alarm against the new time.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CheckTheAlarm();
  } else if (msg == WM_SETTINGCHANGE || msg == WM_FONTCHANGE) {
    // The regional settings are among them.
    if (msg == WM_SETTINGCHANGE && !ownersDesignators_) ReadDesignators();
    Repaint();
  }
}

void TDigitalClock::BeforePaint() {
  // The time is asked for outside the paint: the handler may open a box.
  prepared_ = Read();
  havePrepared_ = true;
}

void TDigitalClock::Paint(HDC dc, RECT client) {
  PaintFrame(dc, client);
  if (!havePrepared_) prepared_ = Read();
  havePrepared_ = false;
  DrawCells(dc, InnerRect(), prepared_,
            CellsToRedraw(prepared_.face, options_, prepared_.time, last_, true), true);
}

void TDigitalClock::Tick() {
  Reading r;
  if (ReadForPartial(r)) {
    const std::vector<int> cells = CellsToRedraw(r.face, options_, r.time, last_, false);
    // Most ticks change nothing on the face: no device context for them.
    if (cells.empty()) {
      Remember(r);
    } else {
      ui::ClientDC dc(Handle());
      DrawCells(dc.Get(), InnerRect(), r, cells, false);
    }
  }
  CheckTheAlarm();
}

void TDigitalClock::DrawFace(HDC dc, bool full) {
  if (full) {
    RECT client;
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, ui::SharedBrush(color_));
    PaintFrame(dc, client);
    const Reading r = Read();
    DrawCells(dc, InnerRect(), r, CellsToRedraw(r.face, options_, r.time, last_, true), true);
    return;
  }
  Reading r;
  if (ReadForPartial(r)) {
    DrawCells(dc, InnerRect(), r, CellsToRedraw(r.face, options_, r.time, last_, false), false);
  }
}

bool TDigitalClock::ReadForPartial(Reading& r) {
  r.time = CurrentTime();
  if (NeedsFullRepaint(r.time, last_)) {
    Repaint();  // every new hour repaints the whole face
    return false;
  }
  r.face = FormatClock(CurrentTime(), options_);
  return true;
}

void TDigitalClock::DrawCells(HDC dc, RECT area, const Reading& r, const std::vector<int>& cells,
                              bool full) {
  ui::Selected font(dc, FontHandle());
  SetTextColor(dc, ui::TextColorOn(font_.color, color_));
  SetBkColor(dc, ui::ColorToRgb(color_));
  SetBkMode(dc, OPAQUE);
  SIZE eight{}, suffix{};
  GetTextExtentPoint32A(dc, "8", 1, &eight);
  GetTextExtentPoint32A(dc, r.face.suffix.c_str(), static_cast<int>(r.face.suffix.size()), &suffix);
  const CellBlock block = LayoutCells(area.left, area.top, area.right, area.bottom, r.face.cells,
                                      eight.cx, eight.cy, suffix.cx);
  for (int i : cells) {
    RECT cell{block.left + (i - 1) * block.cellWidth, block.top, block.left + i * block.cellWidth,
              block.top + block.height};
    FillRect(dc, &cell, ui::SharedBrush(color_));
    DrawTextA(dc, &r.face.text[static_cast<size_t>(i - 1)], 1, &cell, kCellFormat);
    ++cellsDrawn_;
  }
  if (full && !r.face.suffix.empty()) {
    RECT rest{block.left + r.face.cells * block.cellWidth, block.top,
              block.left + r.face.cells * block.cellWidth + suffix.cx, block.top + block.height};
    DrawTextA(dc, r.face.suffix.c_str(), -1, &rest, kSuffixFormat);
  }
  Remember(r);
}

void TDigitalClock::Remember(const Reading& r) {
  last_ = {r.time.hour % 12, r.time.minute, r.time.second};
  // What it shows, for screen readers and tests.
  if (r.face.text != shown_) {
    shown_ = r.face.text;
    SetCaption(shown_);
  }
}

}  // namespace widgets
