#include "worldclock/Unit2.h"

#include "ui/application_win.h"
#include "ui/clock_win.h"
#include "ui/dpi_win.h"

TForm2* Form2 = nullptr;

namespace {

using base::kPanelColour;
using base::kWindowColour;
const ui::FontSpec kSans{"MS Sans Serif", 8, ui::clWindowText, false, -11};
// The clocks window sets its font by pixel height, not by points.
const ui::FontSpec kSansNavy11px{"MS Sans Serif", 8, ui::clNavy, false, -11};
const ui::FontSpec kSansYellow{"MS Sans Serif", 8, ui::clYellow, false, -11};
// The panel of the place whose time the bells follow: maroon (red 128), as
// plain to see beside the blue of the others as the yellow time on it.
constexpr base::Color kShipsTimeColour = 0x000080;

const char* const kHelp =
    "Enter place name followed by GMToffset in brackets in the\r\n"
    "individual place boxes, click Reset,  and times will then be\r\n"
    "displayed.\r\n"
    " \r\n"
    "Example:   Orvanta   [-6]\r\n"
    "Example:   India   [5.5]\r\n"
    "The offsets can be hidden outside of the box view if desired.\r\n"
    " \r\n"
    "Right click on time to change to and from DST* (3:00 PM*).";

}  // namespace

TForm2::TForm2(const TForm2Services& services)
    : Form("Form2", "TForm2"), utc_(services.utc), settings_(services.settings), logic_(*this) {
  Form2 = this;
  SetBackColor(kWindowColour);
  SetFont(kSans);
  SetCaption("Clocks");
  SetBorder(ui::BorderStyle::Single, {false, true, false});
  SetClientSize(414, 348);
  BuildLayout();
  if (services.zones && services.formState) {
    logic_.UseTimeZones(*services.zones, *services.formState, settings_.Flags());
  }
  if (services.formState) logic_.KeepShipsTimeIn(*services.formState);
  trayTip_ = std::make_unique<worldclock::TrayTipMenu>(
      *this, *PopupMenu1, logic_, utc_, services.local ? *services.local : systemLocal_,
      services.formState, services.trayTip);
  ShowInTrayTip1 = trayTip_->Item();
  planTime_ = std::make_unique<worldclock::PlanTimeMenu>(
      *this, *PopupMenu1,
      worldclock::PlanTimeServices{logic_, utc_, services.zones, services.formState,
                                   [this] { return Military(); }});
  PlanATime1 = planTime_->Item();
  UseUsersDesignators();
  OnCreate = [this] { FormCreate(); };
  OnActivate = [this] { logic_.FormActive = 1; };
  OnDeactivate = [this] { logic_.FormActive = 0; };
}

void TForm2::BuildLayout() {
  using A = ui::ControlArgs;
  auto heading = [this](const char* name, ui::Rect r, const char* text) {
    return Create<ui::Edit>(A{.parent = this,
                              .name = name,
                              .rect = r,
                              .caption = text,
                              .font = kSansNavy11px,
                              .color = kPanelColour,
                              .tabStop = false,
                              .border = false});
  };
  Edit0 = heading("Edit0", {53, 1, 96, 15}, "       Home Time");
  DigitalClock2 = Create<widgets::TDigitalClock>(A{.parent = this,
                                                   .name = "DigitalClock2",
                                                   .rect = {52, 17, 98, 22},
                                                   .font = kSansYellow,
                                                   .color = ui::clBlue});
  DigitalClock2->SetShowSeconds(false);
  DigitalClock2->OnGetTime = [this](widgets::TDigitalClock&, base::TimeOfDay&) {
    DigitalClock2GetTime();
  };
  Edit26 = heading("Edit26", {261, 1, 96, 15}, "            GMT");
  auto timePanel = [this](std::string name, ui::Rect r) {
    return Create<ui::Panel>(A{.parent = this,
                               .name = std::move(name),
                               .rect = r,
                               .font = kSansYellow,
                               .color = ui::clBlue,
                               .alignment = ui::Align::Center,
                               .bevelInner = ui::Bevel::Lowered});
  };
  Panel25 = timePanel("Panel25", {260, 17, 98, 22});

  PopupMenu1 = Create<ui::PopupMenu>("PopupMenu1");
  StdTime1 = Create<ui::MenuItem>(PopupMenu1, "StdTime1", "Std Time");
  DSTime1 = Create<ui::MenuItem>(PopupMenu1, "DSTime1", "DS Time");
  N1 = Create<ui::MenuItem>(PopupMenu1, "N1", "-");
  FollowTimeZone1 =
      Create<ui::MenuItem>(PopupMenu1, "FollowTimeZone1", worldclock::kFollowZoneCaption);
  N2 = Create<ui::MenuItem>(PopupMenu1, "N2", "-");
  ShipsTime1 = Create<ui::MenuItem>(PopupMenu1, "ShipsTime1", worldclock::kShipsTimeCaption);
  StdTime1->OnClick = [this] { logic_.ChooseDst(0); };
  DSTime1->OnClick = [this] { logic_.ChooseDst(1); };
  ShipsTime1->OnClick = [this] { logic_.ChooseShipsTime(); };

  // Four places to a row, six rows: each time panel above its place box.
  for (int n = 1; n <= worldclock::kPlaceCount; ++n) {
    const int c = (n - 1) % 4, r = (n - 1) / 4;
    ui::Panel* panel = timePanel("Panel" + std::to_string(n), {2 + 104 * c, 44 + 48 * r, 98, 22});
    panel->popupMenu = PopupMenu1;
    panel->OnMouseDown = [this, n](base::MouseButton, base::ShiftState, int, int) {
      Panel1MouseDown(n);
    };
    panel->OnContextPopup = [this, n] {
      const bool offered = logic_.PanelOffersMenu(n);
      if (offered) FillZoneMenu(n);
      return offered;
    };
    TimePanels[n - 1] = panel;
    ui::Edit* box = Create<ui::Edit>(A{.parent = this,
                                       .name = "Edit" + std::to_string(n),
                                       .rect = {3 + 104 * c, 67 + 48 * r, 96, 15},
                                       .font = kSansNavy11px,
                                       .color = kPanelColour,
                                       .tabStop = false,
                                       .border = false});
    box->OnChange = [this, n] { Edit1Change(n); };
    PlaceBoxes[n - 1] = box;
  }

  Panel26 = Create<ui::Panel>(A{.parent = this,
                                .name = "Panel26",
                                .rect = {57, 114, 300, 133},
                                .color = kPanelColour,
                                .visible = false,
                                .bevelInner = ui::Bevel::Lowered});
  Label1 = Create<ui::Label>(A{.parent = Panel26,
                               .name = "Label1",
                               .rect = {8, 8, 284, 117},
                               .caption = kHelp,
                               .font = kSansNavy11px,
                               .color = kWindowColour});
  HoverLabel1 =
      Create<widgets::THoverLabel>(A{.parent = this,
                                     .name = "HoverLabel1",
                                     .rect = {390, 0, 21, 12},
                                     .caption = "Help",
                                     .font = ui::FontSpec{"Arial", 7, ui::clYellow, false, -9},
                                     .color = ui::clNavy});
  HoverLabel1->SetShadowColor(ui::clNavy);
  HoverLabel1->OnMouseEnter = [this] {
    // It lies over the middle of the grid.
    Panel26->BringToFront();
    Panel26->SetVisible(true);
  };
  HoverLabel1->OnMouseLeave = [this] { Panel26->SetVisible(false); };

  CheckBox1 = Create<ui::CheckBox>(A{.parent = this,
                                     .name = "CheckBox1",
                                     .rect = {4, 328, 54, 16},
                                     .caption = "Military",
                                     .font = kSansNavy11px,
                                     .tabStop = false});
  CheckBox1->OnClick = [this] { CheckBox1Click(); };
  SpeedButton1 = Create<ui::SpeedButton>(A{.parent = this,
                                           .name = "SpeedButton1",
                                           .rect = {128, 323, 76, 24},
                                           .caption = "OK",
                                           .font = kSansNavy11px});
  SpeedButton2 = Create<ui::SpeedButton>(A{.parent = this,
                                           .name = "SpeedButton2",
                                           .rect = {209, 323, 76, 24},
                                           .caption = "Reset",
                                           .font = kSansNavy11px,
                                           .enabled = false});
  SpeedButton1->OnClick = [this] { SpeedButton1Click(); };
  SpeedButton2->OnClick = [this] { SpeedButton2Click(); };
}

bool DesignatorsFitTheClocks(const base::Designators& designators, int dpi) {
  auto width = [dpi](const std::string& text) {
    return ui::MeasureText(kSansYellow, dpi, text, DT_NOPREFIX | DT_SINGLELINE).cx;
  };
  // A time panel's text stands centred inside its one bevel; the widest are
  // the last minute of an hour with two digits, on a place on daylight-
  // saving time ("12:59 PM*") and on the GMT panel ("12: 59 PM"). The home
  // clock has two bevels, and writes each digit and the colon in a cell as
  // wide as an "8".
  const int panel = ui::Scale(98, dpi) - 2 * ui::Scale(1, dpi);
  const int home = ui::Scale(98, dpi) - 4 * ui::Scale(1, dpi);
  const int cells = 5 * width("8");
  for (const std::string& d : {designators.am, designators.pm}) {
    if (width("12:59 " + d + "*") > panel || width("12: 59 " + d) > panel ||
        cells + width(" " + d) > home) {
      return false;
    }
  }
  return true;
}

void TForm2::UseUsersDesignators() {
  base::Designators pair = ui::UserDesignators();
  if (!DesignatorsFitTheClocks(pair, Dpi())) pair = {};
  logic_.SetDesignators(pair);
  DigitalClock2->SetDesignators(pair);
}

void TForm2::SystemChange(UINT msg, WPARAM, LPARAM) {
  // The regional settings are among them.
  if (msg == WM_SETTINGCHANGE) UseUsersDesignators();
  // The clock set, or the time zone settings changed: the places that
  // follow a zone take its flag for the moment at once.
  if (msg == WM_TIMECHANGE || msg == WM_SETTINGCHANGE) logic_.TimeSettingsChanged(utc_.NowUtc());
}

void TForm2::FillZoneMenu(int panel) {
  std::vector<ui::SubmenuEntry> entries;
  for (const worldclock::ZoneMenuItem& item : logic_.ZoneMenu(panel, utc_.NowUtc())) {
    ui::SubmenuEntry entry;
    entry.caption = item.caption;
    entry.checked = item.checked;
    entry.enabled = item.enabled;
    entry.separatorBefore = item.separatorBefore;
    if (item.enabled) {
      entry.onClick = [this, key = item.key] { logic_.ChooseZone(key, utc_.NowUtc()); };
    }
    entries.push_back(std::move(entry));
  }
  FollowTimeZone1->SetSubmenu(std::move(entries));
}

void TForm2::FormCreate() {
  logic_.Create(settings_.Flags(), settings_.SettingsText(), utc_.NowUtc());
}

void TForm2::DigitalClock2GetTime() { logic_.Tick(utc_.NowUtc()); }

void TForm2::CheckBox1Click() {
  logic_.MilitaryClicked();
  TimePanels[0]->SetFocus();
}

void TForm2::Panel1MouseDown(int panel) {
  logic_.PanelPressed(panel);
  const bool dst = logic_.Dst(panel) == 1;
  DSTime1->SetChecked(dst);
  StdTime1->SetChecked(!dst);
  ShipsTime1->SetChecked(logic_.ShipsPlace() == panel);
  trayTip_->PanelPressed(panel);
  planTime_->PanelPressed(panel);
}

void TForm2::MarkShipsTime(int panel) {
  // A colour of its own, never a text: the panel's text stays the time.
  for (int n = 1; n <= worldclock::kPlaceCount; ++n) {
    TimePanels[n - 1]->SetBackColor(n == panel ? kShipsTimeColour : ui::clBlue);
  }
}

void TForm2::SpeedButton1Click() {
  logic_.Ok(settings_.Flags());
  Close();
}

void TForm2::SpeedButton2Click() { logic_.Reset(utc_.NowUtc(), settings_.Flags()); }

std::array<std::string, worldclock::kPlaceCount> TForm2::Places() const {
  std::array<std::string, worldclock::kPlaceCount> places;
  for (int n = 0; n < worldclock::kPlaceCount; ++n) places[n] = PlaceBoxes[n]->Text();
  return places;
}

// --- What the rules change -------------------------------------------------

std::string TForm2::BoxText(int box) const { return PlaceBoxes[box - 1]->Text(); }
void TForm2::SetBoxText(int box, const std::string& text) { PlaceBoxes[box - 1]->SetText(text); }
void TForm2::SetBoxColor(int box, unsigned long color) {
  PlaceBoxes[box - 1]->SetBackColor(static_cast<base::Color>(color));
}
std::string TForm2::PanelText(int panel) const { return TimePanels[panel - 1]->Caption(); }
void TForm2::SetPanelText(int panel, const std::string& text) {
  if (TimePanels[panel - 1]->Caption() != text) TimePanels[panel - 1]->SetCaption(text);
}
void TForm2::SetGmtText(const std::string& text) {
  if (Panel25->Caption() != text) Panel25->SetCaption(text);
}
bool TForm2::Military() const { return CheckBox1->Checked(); }

void TForm2::SetHomeClockMilitary(bool military) {
  DigitalClock2->SetTwelveHour(!military);
  DigitalClock2->SetLeadingZero(military);
}

void TForm2::SetButtons(bool okEnabled, bool resetEnabled) {
  SpeedButton1->SetEnabled(okEnabled);
  SpeedButton2->SetEnabled(resetEnabled);
}

void TForm2::FractionWarning(const std::string& message) {
  // Near the middle of the whole desktop, where the box will be.
  SetCursorPos(GetSystemMetrics(SM_CXVIRTUALSCREEN) / 2 + 10,
               GetSystemMetrics(SM_CYVIRTUALSCREEN) / 2 + 30);
  ui::Application::Instance().MessageDialog(message, "Warning", MB_OK | MB_ICONWARNING);
}

void TForm2::SaveSettings() { settings_.SaveParameters(); }
