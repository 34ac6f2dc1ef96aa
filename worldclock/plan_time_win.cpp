#include "worldclock/plan_time_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "ui/window_win.h"
#include "worldclock/time_zones_win.h"

namespace worldclock {
namespace {

const ui::FontSpec kSans{"MS Sans Serif", 8, ui::clWindowText, false, -11};
const ui::FontSpec kSansBold{"MS Sans Serif", 8, ui::clNavy, true, -11};
constexpr UINT_PTR kCopyId = 1;

// The shading's colours, as the words under the grid name them.
COLORREF PartColour(DayPart part) {
  switch (part) {
    case DayPart::Work:
      return RGB(255, 255, 255);
    case DayPart::Awake:
      return RGB(255, 236, 150);
    case DayPart::Night:
      break;
  }
  return RGB(184, 184, 184);
}

SYSTEMTIME SystemTimeOf(const PlanChoice& c) {
  base::TimeOfDay t;
  t.year = c.year, t.month = c.month, t.day = c.day;
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(c.year);
  st.wMonth = static_cast<WORD>(c.month);
  st.wDay = static_cast<WORD>(c.day);
  st.wDayOfWeek = static_cast<WORD>(((base::DaysSinceEpoch(t) + 4) % 7 + 7) % 7);
  st.wHour = static_cast<WORD>(c.hour);
  st.wMinute = static_cast<WORD>(c.minute);
  return st;
}

HWND Child(HWND parent, const char* cls, DWORD style, DWORD exStyle, const char* text,
           UINT_PTR id = 0) {
  return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TPlanTimeForm::TPlanTimeForm(const ui::Form& owner, PlanTimeServices services)
    : Form("PlanTime", "TPlanTimeForm", &owner), services_(std::move(services)) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
  InitCommonControlsEx(&icc);
  SetBackColor(base::kWindowColour);
  SetFont(kSans);
  SetCaption(kPlanTimeTitle);
  SetBorder(ui::BorderStyle::Sizeable, {true, false, true});
  SetClientSize(600, 460);
  const HWND self = Handle();
  name_ = Child(self, "STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, "");
  date_ = Child(self, DATETIMEPICK_CLASSA, WS_TABSTOP | DTS_LONGDATEFORMAT, 0, "");
  time_ = Child(self, DATETIMEPICK_CLASSA, WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, 0, "");
  copy_ = Child(self, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, "Copy", kCopyId);
  grid_ = Child(self, WC_LISTVIEWA,
                WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                WS_EX_CLIENTEDGE, "");
  SendMessageA(grid_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  shading_ = Child(self, "STATIC", SS_LEFT | SS_NOPREFIX, 0, kPlanShadingText);
  SendFonts();
  if (services_.store) {
    const settings::Bounds b = settings::ReadBounds(*services_.store, kPlanTimeSection);
    if (b.width > 0 && b.height > 0) {
      SetWindowPos(self, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
      centreOnFirstShow = false;
    }
  }
  Layout();
}

void TPlanTimeForm::SendFonts() {
  const HFONT font = FontHandle();
  for (HWND w : {date_, time_, copy_, grid_, shading_}) {
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  SendMessageA(name_, WM_SETFONT, reinterpret_cast<WPARAM>(ui::SharedFont(kSansBold, Dpi())), TRUE);
}

void TPlanTimeForm::Layout() {
  RECT client{};
  GetClientRect(Handle(), &client);
  const int w = client.right, h = client.bottom;
  const int margin = Scaled(8);
  auto place = [](HWND hwnd, int x, int y, int cx, int cy) {
    SetWindowPos(hwnd, nullptr, x, y, cx > 0 ? cx : 0, cy > 0 ? cy : 0,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const int copyWidth = Scaled(76);
  place(name_, margin, Scaled(11), Scaled(150), Scaled(16));
  place(date_, Scaled(166), Scaled(8), Scaled(200), Scaled(22));
  place(time_, Scaled(374), Scaled(8), Scaled(90), Scaled(22));
  place(copy_, w - margin - copyWidth, Scaled(7), copyWidth, Scaled(24));
  const int shadingHeight = Scaled(42);
  const int shadingTop = h - margin - shadingHeight;
  const int gridTop = Scaled(38);
  place(grid_, margin, gridTop, w - 2 * margin, shadingTop - Scaled(6) - gridTop);
  place(shading_, margin, shadingTop, w - 2 * margin, shadingHeight);
}

void TPlanTimeForm::ScaleChanged() {
  SendFonts();
  Layout();
  Fill();
}

PlanPlace TPlanTimeForm::Here() const {
  PlanPlace here{kHereHeading, 0, LocalZoneKey(), std::nullopt, 0, false};
  // A zone with its records for every year where Windows names it; else
  // the rule the computer keeps now.
  if (here.zone.empty() || !services_.zones ||
      !services_.zones->RuleForYear(here.zone, services_.utc.NowUtc().year)) {
    here.zone.clear();
    here.rule = LocalZoneRule();
  }
  return here;
}

PlanChoice TPlanTimeForm::Picked() const {
  SYSTEMTIME date{}, time{};
  SendMessageA(date_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  SendMessageA(time_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
  return {date.wYear, date.wMonth, date.wDay, time.wHour, time.wMinute};
}

void TPlanTimeForm::ShowChoice() {
  filling_ = true;
  SYSTEMTIME st = SystemTimeOf(chosen_);
  SendMessageA(date_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  SendMessageA(time_, DTM_SETFORMATA, 0,
               reinterpret_cast<LPARAM>(military_ ? "HH':'mm" : "h':'mm tt"));
  SendMessageA(time_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  filling_ = false;
}

void TPlanTimeForm::Open(int box) {
  places_ = PlanPlaces(services_.clocks, Here());
  reference_ = 0;
  referenceColumn_ = 0;
  for (size_t i = 1; i < places_.size(); ++i) {
    if (box != 0 && places_[i].box == box) {
      reference_ = box;
      referenceColumn_ = i;
    }
  }
  chosen_ = NextWholeHour(places_[referenceColumn_], services_.zones, services_.utc.NowUtc());
  military_ = services_.military && services_.military();
  ShowChoice();
  day_ = {};
  Rebuild();
  Show();
  SetFocus(grid_);
}

void TPlanTimeForm::Rebuild() {
  const std::vector<PlanPlace> before = places_;
  const size_t beforeColumn = referenceColumn_;
  places_ = PlanPlaces(services_.clocks, Here());
  size_t column = 0;  // the computer's clock, unless the place still shows a time
  for (size_t i = 0; i < places_.size(); ++i) {
    if (reference_ != 0 && places_[i].box == reference_) column = i;
  }
  const bool lost = column == 0 && reference_ != 0;
  if (lost) {
    // The same moment on the computer's clock.
    if (beforeColumn < before.size()) {
      chosen_ = SameMoment(before[beforeColumn], chosen_, places_[0], services_.zones);
    }
    reference_ = 0;
  }
  referenceColumn_ = column;
  const bool military = services_.military && services_.military();
  if (military != military_ || lost) {
    military_ = military;
    ShowChoice();
  }
  SetWindowTextA(name_, places_[column].name.c_str());
  const PlanDay day = PlanTheDay(places_, column, chosen_, military_,
                                 services_.clocks.Designators(), services_.zones);
  const bool same = day == day_;
  day_ = day;
  if (!same) Fill();
}

void TPlanTimeForm::Fill() {
  filling_ = true;
  SendMessageA(grid_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(grid_, LVM_DELETEALLITEMS, 0, 0);
  while (SendMessageA(grid_, LVM_DELETECOLUMN, 0, 0)) {
  }
  std::vector<std::string> headings = day_.headings;
  headings.push_back(kAllAtWorkHeading);
  for (size_t c = 0; c < headings.size(); ++c) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(headings[c].c_str());
    column.cx = Scaled(70);
    column.iSubItem = static_cast<int>(c);
    SendMessageA(grid_, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
  }
  for (size_t r = 0; r < day_.rows.size(); ++r) {
    const PlanRow& row = day_.rows[r];
    for (size_t c = 0; c < headings.size(); ++c) {
      std::string text =
          c < row.cells.size() ? row.cells[c].text : (row.allAtWork ? kAllAtWorkMark : "");
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = text.data();
      SendMessageA(grid_, c == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, c == 0 ? 0 : r,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  // Each column as wide as its widest text, the heading's included; the
  // control's own sizing leaves some headings cut.
  for (size_t c = 0; c < headings.size(); ++c) {
    auto width = [this](const std::string& text) {
      return static_cast<int>(
          SendMessageA(grid_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
    };
    int widest = width(headings[c]);
    for (const PlanRow& row : day_.rows) {
      if (c < row.cells.size()) widest = std::max(widest, width(row.cells[c].text));
    }
    SendMessageA(grid_, LVM_SETCOLUMNWIDTH, c, widest + Scaled(16));
  }
  SendMessageA(grid_, WM_SETREDRAW, TRUE, 0);
  Select(day_.selected);
  InvalidateRect(grid_, nullptr, TRUE);
  filling_ = false;
}

void TPlanTimeForm::Select(int row) {
  const bool was = filling_;
  filling_ = true;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(grid_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageA(grid_, LVM_ENSUREVISIBLE, row, FALSE);
  filling_ = was;
}

void TPlanTimeForm::Copy() {
  const std::string text = PlanRowText(places_, referenceColumn_, day_, day_.selected);
  if (text.empty()) return;
  // Another program may hold the clipboard for a moment.
  bool open = false;
  for (int tries = 0; tries < 10 && !(open = OpenClipboard(Handle())); ++tries) Sleep(10);
  if (!open) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

LRESULT TPlanTimeForm::CustomDraw(NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const size_t row = draw.nmcd.dwItemSpec, column = static_cast<size_t>(draw.iSubItem);
      draw.clrText = RGB(0, 0, 0);
      draw.clrTextBk = RGB(255, 255, 255);
      // The chosen row stands out whether or not the grid has the focus.
      if (SendMessageA(grid_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) {
        draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
        // Or the control paints it in the pale grey of an unfocused choice.
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
      } else if (row < day_.rows.size() && column < day_.rows[row].cells.size()) {
        draw.clrTextBk = PartColour(day_.rows[row].cells[column].part);
      }
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TPlanTimeForm::Notify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom == grid_) {
    if (header.code == NM_CUSTOMDRAW) {
      result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
    } else if (header.code == LVN_ITEMCHANGED && !filling_) {
      // A row chosen in the grid is the time chosen.
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      const bool selected =
          (change.uNewState & LVIS_SELECTED) != 0 && (change.uOldState & LVIS_SELECTED) == 0;
      if (selected && change.iItem >= 0 && change.iItem < static_cast<int>(day_.rows.size())) {
        day_.selected = change.iItem;
        const int minute = day_.rows[change.iItem].referenceMinute;
        chosen_.hour = minute / 60;
        chosen_.minute = minute % 60;
        ShowChoice();
      }
    } else if (header.code == LVN_KEYDOWN) {
      const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
      if (key.wVKey == 'C' && GetKeyState(VK_CONTROL) < 0) Copy();
    }
  } else if ((header.hwndFrom == date_ || header.hwndFrom == time_) &&
             header.code == DTN_DATETIMECHANGE && !filling_) {
    chosen_ = Picked();
    day_ = {};
    Rebuild();
  }
}

void TPlanTimeForm::KeepBounds() {
  if (!services_.store || IsIconic(Handle()) || IsZoomed(Handle())) return;
  settings::WriteBounds(*services_.store, kPlanTimeSection, {Top(), Left(), Width(), Height()});
}

void TPlanTimeForm::SystemChange(UINT msg, WPARAM, LPARAM) {
  // The computer's clock set or its zone changed: "Here" goes by it.
  if (msg == WM_TIMECHANGE || msg == WM_SETTINGCHANGE) {
    if (Visible()) Rebuild();
  }
}

LRESULT TPlanTimeForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      Layout();
      break;
    case WM_EXITSIZEMOVE:
      ui::Dispatch([this] { KeepBounds(); });
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      const auto* header = reinterpret_cast<const NMHDR*>(lp);
      ui::Dispatch([&] { Notify(*header, result); });
      return result;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == kCopyId && reinterpret_cast<HWND>(lp) == copy_) {
        ui::Dispatch([this] { Copy(); });
        return 0;
      }
      // Escape, through the dialog keys: a tool window goes as it came.
      if (LOWORD(wp) == IDCANCEL && lp == 0) {
        Close();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wp);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc,
                   reinterpret_cast<HWND>(lp) == name_ ? ui::ColorToRgb(ui::clNavy) : RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(ui::SharedBrush(color_));
    }
    default:
      break;
  }
  return Form::HandleMessage(msg, wp, lp);
}

PlanTimeMenu::PlanTimeMenu(ui::Form& owner, ui::PopupMenu& menu, PlanTimeServices services)
    : owner_(owner), services_(std::move(services)) {
  item_ = owner.Create<ui::MenuItem>(&menu, "PlanATime1", kPlanTimeCaption);
  item_->OnClick = [this] {
    const int box = services_.clocks.ClickedPanel();
    if (box == 0 || !services_.clocks.Shown(box)) return;
    if (!form_) form_ = std::make_unique<TPlanTimeForm>(owner_, services_);
    form_->Open(box);
  };
}

void PlanTimeMenu::PanelPressed(int panel) {
  item_->SetEnabled(services_.clocks.Shown(panel).has_value());
}

void PlanTimeMenu::Update() {
  if (form_ && form_->Visible()) form_->Rebuild();
}

}  // namespace worldclock
