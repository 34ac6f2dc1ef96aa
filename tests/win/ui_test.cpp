// The windowing layer's own behaviour against the real API.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "settings/options_menu_win.h"
#include "ui/application_win.h"
#include "ui/clock_win.h"
#include "ui/controls_win.h"
#include "ui/dpi_win.h"
#include "ui/form_win.h"
#include "ui/gdi_win.h"
#include "ui/menu_win.h"
#include "ui/timer_win.h"
#include "widgets/hover_label_win.h"
#include "win_test_util.h"

namespace {

struct Plain : ui::Form {
  explicit Plain(const char* name) : Form(name, "TPlain") {}
};

// Checks, from inside a modal loop, which windows the loop disabled.
Plain* modalForm = nullptr;
bool visibleEnabled = true, hiddenEnabled = false;
void CALLBACK InsideModal(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  visibleEnabled = IsWindowEnabled(FindWindowA(nullptr, "Visible")) != FALSE;
  hiddenEnabled = IsWindowEnabled(FindWindowA(nullptr, "Hidden")) != FALSE;
  modalForm->Close();
}

TEST(Application, TitleComesFromTheExecutableName) {
  ui::Application::Instance().Initialize();
  EXPECT_EQ(ui::Application::Instance().Title(), "win_tests");
}

TEST(Application, AFailureAtStartIsShownAndEndsWithExitCodeOne) {
  testutil::RecordErrors errors;
  ui::Application& app = ui::Application::Instance();
  EXPECT_EQ(app.RunGuarded([]() -> int { throw std::runtime_error("Cannot load resource 7"); }), 1);
  EXPECT_EQ(app.RunGuarded([] { return 0; }), 0);
  EXPECT_EQ(errors.messages, std::vector<std::string>{"Cannot load resource 7."});
}

TEST(Application, OnceEndingNoTickArrivesAndNoQuitWaitsForTheExitBox) {
  Plain form("Form1");
  auto* timer = form.Create<ui::Timer>("Timer1", 20u);
  int ticks = 0;
  timer->SetOnTimer([&] { ++ticks; });
  ASSERT_TRUE(testutil::PumpUntil([&] { return ticks > 0; }));
  ui::Application& app = ui::Application::Instance();
  app.Terminate();
  app.Run();  // the loop ends at once
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  const int seen = ticks;
  testutil::PumpFor(200);
  EXPECT_EQ(ticks, seen);
}

TEST(MenuPicture, EveryPixelIsOpaqueAndTheCornerColourTakesTheMenus) {
  // A 2 x 2 BMP, bottom row first: the bottom-left blue is the transparent colour.
  const unsigned char bmp[] = {
      'B', 'M', 70, 0,   0,   0,   0, 0, 0, 0, 54, 0, 0, 0,  // file header
      40,  0,   0,  0,   2,   0,   0, 0, 2, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,
      16,  0,   0,  0,   0,   0,   0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,  // info header
      255, 0,   0,  0,   0,   255, 0, 0,                                        // bottom: blue, red
      0,   255, 0,  255, 255, 255, 0, 0,                                        // top: green, white
  };
  ui::Bitmap picture(ui::MenuPictureFromBmp(bmp, sizeof bmp));
  ASSERT_NE(picture.Get(), nullptr);
  DIBSECTION dib{};
  ASSERT_EQ(GetObjectA(picture.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
  const auto* px = static_cast<const DWORD*>(dib.dsBm.bmBits);
  const COLORREF menu = GetSysColor(COLOR_MENU);
  const DWORD menuPixel =
      0xFF000000u | (GetRValue(menu) << 16) | (GetGValue(menu) << 8) | GetBValue(menu);
  // Top-down: green, white, then the transparent blue, red.
  EXPECT_EQ(px[0], 0xFF00FF00u);
  EXPECT_EQ(px[1], 0xFFFFFFFFu);
  EXPECT_EQ(px[2], menuPixel);
  EXPECT_EQ(px[3], 0xFFFF0000u);

  // At 150 % each pixel grows to cover one and a half: the first column and
  // row are drawn twice, nothing is blended.
  ui::Bitmap larger(ui::MenuPictureFromBmp(bmp, sizeof bmp, 144));
  ASSERT_NE(larger.Get(), nullptr);
  ASSERT_EQ(GetObjectA(larger.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
  ASSERT_EQ(dib.dsBm.bmWidth, 3);
  ASSERT_EQ(dib.dsBm.bmHeight, 3);
  const auto* big = static_cast<const DWORD*>(dib.dsBm.bmBits);
  const DWORD g = 0xFF00FF00u, w = 0xFFFFFFFFu, r = 0xFFFF0000u, m = menuPixel;
  EXPECT_EQ(std::vector<DWORD>(big, big + 9), (std::vector<DWORD>{g, g, w, g, g, w, m, m, r}));
}

// A window moved to a monitor of another scale: placed where the system
// suggests, every control at its layout times the new scale (halves rounded
// up, as MulDiv rounds), fonts and frames with them, and back without drift.
TEST(Form, ANewDpiLaysTheWindowOutAgain) {
  Plain form("Scaled");
  ASSERT_EQ(form.Dpi(), 96) << "the test prefix runs at 96 DPI";
  auto* panel = form.Create<ui::Panel>(ui::ControlArgs{.parent = &form,
                                                       .name = "Panel1",
                                                       .rect = {7, 9, 101, 33},
                                                       .bevelOuter = ui::Bevel::Raised,
                                                       .borderWidth = 3});
  auto* label = form.Create<ui::Label>(ui::ControlArgs{
      .parent = panel, .name = "Label1", .rect = {5, 3, 0, 0}, .caption = "Ship's bells"});
  auto placeOf = [](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top};
  };
  const std::vector<LONG> panelAt96 = placeOf(panel->Handle()),
                          labelAt96 = placeOf(label->Handle());
  const RECT innerAt96 = panel->InnerRect();

  RECT suggested{40, 50, 40 + 333, 50 + 222};
  SendMessageA(form.Handle(), ui::kDpiChangedMessage, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  RECT now;
  GetWindowRect(form.Handle(), &now);
  EXPECT_TRUE(EqualRect(&now, &suggested));
  EXPECT_EQ(placeOf(panel->Handle()), (std::vector<LONG>{11, 14, 152, 50}));
  // One bevel of 2 and a border of 5 (1 and 3 at 96 DPI).
  const RECT inner = panel->InnerRect();
  EXPECT_EQ(std::vector<LONG>({inner.left, inner.top, inner.right, inner.bottom}),
            (std::vector<LONG>{7, 7, 145, 43}));
  const std::vector<LONG> labelAt144 = placeOf(label->Handle());
  EXPECT_EQ(labelAt144[0], 8);
  EXPECT_EQ(labelAt144[1], 5);
  // The text is drawn one and a half times as large, and the label fits it.
  EXPECT_GE(labelAt144[3] * 10, labelAt96[3] * 14);
  EXPECT_GE(labelAt144[2] * 10, labelAt96[2] * 13);

  SendMessageA(form.Handle(), ui::kDpiChangedMessage, MAKEWPARAM(96, 96),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(placeOf(panel->Handle()), panelAt96);
  EXPECT_EQ(placeOf(label->Handle()), labelAt96);
  const RECT innerBack = panel->InnerRect();
  EXPECT_TRUE(EqualRect(&innerAt96, &innerBack));
}

// A window the user cannot size keeps its whole client area at a new scale,
// whatever size the system suggests: a frame does not scale linearly, and a
// suggestion two pixels short clips the layout's last row. Asked ahead (per-
// monitor v2), it answers the size that holds that client area.
TEST(Form, AFixedWindowKeepsEveryPixelOfItsLayoutAtEveryScale) {
  Plain form("Fixed");
  form.SetBorder(ui::BorderStyle::Single, {false, true, false});
  form.SetClientSize(414, 348);
  RECT frame96{0, 0, 414, 348};
  AdjustWindowRectEx(&frame96, GetWindowLongA(form.Handle(), GWL_STYLE), FALSE,
                     GetWindowLongA(form.Handle(), GWL_EXSTYLE));
  struct Case {
    int dpi;
    LONG shortBy;        // how far the suggestion falls short of the window (or over it)
    LONG width, height;  // the client area the person sees: 414 x 348 at the scale
  } cases[] = {{144, 2, 621, 522}, {120, -3, 518, 435}, {96, 1, 414, 348}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    const LONG w = MulDiv(frame96.right - frame96.left, c.dpi, 96) - c.shortBy,
               h = MulDiv(frame96.bottom - frame96.top, c.dpi, 96) - c.shortBy;
    RECT suggested{60, 70, 60 + w, 70 + h};
    SendMessageA(form.Handle(), ui::kDpiChangedMessage, MAKEWPARAM(c.dpi, c.dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT client, window;
    GetClientRect(form.Handle(), &client);
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom}),
              std::vector<LONG>({c.width, c.height}));
    EXPECT_EQ(std::vector<LONG>({window.left, window.top}), std::vector<LONG>({60, 70}));
  }
  // At the scale it is at, the answer is the window as it stands.
  SIZE size{1, 1};
  EXPECT_EQ(SendMessageA(form.Handle(), ui::kGetDpiScaledSizeMessage, 96,
                         reinterpret_cast<LPARAM>(&size)),
            TRUE);
  EXPECT_EQ(std::vector<LONG>({size.cx, size.cy}),
            std::vector<LONG>({frame96.right - frame96.left, frame96.bottom - frame96.top}));
  // A window the user sizes is scaled as the system scales it.
  Plain sizeable("Sizeable");
  sizeable.SetClientSize(200, 100);
  EXPECT_EQ(SendMessageA(sizeable.Handle(), ui::kGetDpiScaledSizeMessage, 144,
                         reinterpret_cast<LPARAM>(&size)),
            FALSE);
}

TEST(Form, ClientSizeBorderAndCentringAtFirstShow) {
  Plain form("Form1");
  form.SetBorder(ui::BorderStyle::Single, {true, false, false});
  form.SetClientSize(536, 410);
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 536);
  EXPECT_EQ(client.bottom, 410);
  const LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  form.SetLeft(3);
  form.Show();
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.Left(), (GetSystemMetrics(SM_CXSCREEN) - form.Width()) / 2);
  form.SetLeft(3);
  form.Hide();
  form.Show();  // only the first show centres
  EXPECT_EQ(form.Left(), 3);
}

TEST(RadioButton, ClickRaisedOnEverySelectionByUserOrProgram) {
  Plain form("Form1");
  auto* a = form.Create<ui::RadioButton>(ui::ControlArgs{.parent = &form,
                                                         .name = "RadioButton1",
                                                         .rect = {0, 0, 80, 17},
                                                         .caption = "A",
                                                         .checked = true});
  auto* b = form.Create<ui::RadioButton>(ui::ControlArgs{
      .parent = &form, .name = "RadioButton2", .rect = {0, 20, 80, 17}, .caption = "B"});
  int aClicks = 0, bClicks = 0;
  a->OnClick = [&] { ++aClicks; };
  b->OnClick = [&] { ++bClicks; };
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  b->SetChecked(true);                        // already selected: nothing
  SendMessageA(a->Handle(), BM_CLICK, 0, 0);  // the user's click
  EXPECT_TRUE(a->Checked());
  EXPECT_FALSE(b->Checked());
  SendMessageA(a->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(aClicks, 1);
  EXPECT_EQ(bClicks, 1);
}

TEST(CheckBox, UserClicksToggleAndRaiseClick) {
  Plain form("Form1");
  auto* group = form.Create<ui::GroupBox>(ui::ControlArgs{
      .parent = &form, .name = "GroupBox1", .rect = {0, 0, 100, 60}, .caption = " AM "});
  auto* box = form.Create<ui::CheckBox>(ui::ControlArgs{.parent = group,
                                                        .name = "CheckBox0",
                                                        .rect = {10, 14, 45, 17},
                                                        .caption = "0000",
                                                        .checked = true});
  int clicks = 0;
  box->OnClick = [&] { ++clicks; };
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);  // reaches the handler through the group box
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetParent(box->Handle()), group->Handle());
}

TEST(Timer, SameIntervalDoesNotRestartAndZeroStops) {
  Plain form("Form1");
  auto* timer = form.Create<ui::Timer>("Timer1", 0u);
  int ticks = 0;
  timer->SetOnTimer([&] { ++ticks; });
  testutil::PumpFor(150);
  EXPECT_EQ(ticks, 0);  // interval 0 never runs
  timer->SetInterval(300);
  const DWORD start = GetTickCount();
  testutil::PumpFor(200);
  timer->SetInterval(300);  // would push the first tick to about 500 ms if it restarted
  ASSERT_TRUE(testutil::PumpUntil([&] { return ticks > 0; }, 2000));
  EXPECT_LT(GetTickCount() - start, 460u);
  timer->SetInterval(0);
  const int seen = ticks;
  testutil::PumpFor(400);
  EXPECT_EQ(ticks, seen);
}

TEST(Form, ShowModalDisablesOnlyVisibleWindowsAndEndsOnClose) {
  Plain visible("Visible"), hidden("Hidden"), dialog("Dialog");
  visible.Show();
  modalForm = &dialog;
  SetTimer(nullptr, 0, 100, InsideModal);
  visible.SetCaption("Visible");
  hidden.SetCaption("Hidden");
  EXPECT_EQ(dialog.ShowModal(), ui::mrCancel);
  EXPECT_FALSE(visibleEnabled);
  EXPECT_TRUE(hiddenEnabled);
  EXPECT_TRUE(IsWindowEnabled(visible.Handle()));
  EXPECT_FALSE(dialog.Visible());
}

TEST(Form, EventsReachTheirHandlersAndErrorsTheReport) {
  testutil::RecordErrors errors;
  Plain form("Form1");
  int paints = 0;
  form.OnPaint = [&] {
    ++paints;
    throw base::FileOpenError("C:\\x\\prefs.kvr");
  };
  form.Show();
  UpdateWindow(form.Handle());
  testutil::PumpFor(50);
  EXPECT_GE(paints, 1);
  ASSERT_FALSE(errors.messages.empty());
  EXPECT_EQ(errors.messages[0], "Cannot open file C:\\x\\prefs.kvr.");
}

TEST(Memo, LinesRoundTripWithoutWrapping) {
  Plain form("Form1");
  auto* memo = form.Create<ui::Memo>(
      ui::ControlArgs{.parent = &form, .name = "Memo1", .rect = {0, 0, 50, 50}, .visible = false});
  const std::vector<std::string> lines = {std::string(300, '1'), "", "Lisbon [+0]"};
  memo->SetLines(lines);
  EXPECT_EQ(memo->Lines(), lines);
  EXPECT_EQ(memo->FindProperty("Text"), nullptr);
  // Text set from outside, as another program or the keyboard sets it.
  SendMessageA(memo->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("[0930][a]\r\n[1000][b]"));
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"[0930][a]", "[1000][b]"}));
}

TEST(LocalClock, ReadsAsTheSystemsLocalTime) {
  ui::WinLocalClock clock;
  auto secondOfDay = [](base::TimeOfDay t) { return (t.hour * 60 + t.minute) * 60 + t.second; };
  for (int i = 0; i < 3; ++i) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    const base::TimeOfDay now = clock.Now();
    GetLocalTime(&after);
    if (after.wHour < before.wHour) continue;  // midnight passed between the readings
    EXPECT_GE(secondOfDay(now), secondOfDay({before.wHour, before.wMinute, before.wSecond}));
    EXPECT_LE(secondOfDay(now), secondOfDay({after.wHour, after.wMinute, after.wSecond}));
    Sleep(600);
  }
}

TEST(SpeedButton, ClicksOnlyWhenEnabled) {
  Plain form("Form1");
  auto* button = form.Create<ui::SpeedButton>(ui::ControlArgs{
      .parent = &form, .name = "SpeedButton1", .rect = {0, 0, 76, 24}, .caption = "OK"});
  int clicks = 0;
  button->OnClick = [&] { ++clicks; };
  form.Show();
  SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 1);
  SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 5));  // released outside
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(button->Handle()));
}

TEST(Panel, CaptionIsTheWindowTextAndANewOneRepaints) {
  Plain form("Form1");
  auto* panel = form.Create<ui::Panel>(ui::ControlArgs{
      .parent = &form, .name = "Panel1", .rect = {0, 0, 80, 20}, .caption = "12:00"});
  form.Show();
  UpdateWindow(form.Handle());
  char text[16] = {};
  SendMessageA(panel->Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "12:00");
  ASSERT_FALSE(GetUpdateRect(panel->Handle(), nullptr, FALSE));
  panel->SetCaption("12:01");
  EXPECT_TRUE(GetUpdateRect(panel->Handle(), nullptr, FALSE));
  EXPECT_EQ(panel->Caption(), "12:01");
}

// The menu runs its own loop; this timer closes it as a user pressing Esc would.
bool menuShown = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  menuShown = true;
  EndMenu();
}

TEST(Control, EnterAndLeaveAlternateAndTheContextMenuAsksFirst) {
  Plain form("Form1");
  auto* panel = form.Create<ui::Panel>(
      ui::ControlArgs{.parent = &form, .name = "Panel1", .rect = {0, 0, 80, 20}});
  std::string events;
  panel->OnMouseEnter = [&] { events += "enter "; };
  panel->OnMouseLeave = [&] { events += "leave "; };
  for (UINT msg : {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_MOUSELEAVE, WM_MOUSELEAVE, WM_MOUSEMOVE}) {
    SendMessageA(panel->Handle(), msg, 0, MAKELPARAM(5, 5));
  }
  EXPECT_EQ(events, "enter leave enter ");

  auto* menu = form.Create<ui::PopupMenu>("PopupMenu1");
  form.Create<ui::MenuItem>(menu, "Item1", "Item");
  panel->popupMenu = menu;
  bool offer = false;
  int asked = 0;
  panel->OnContextPopup = [&] {
    ++asked;
    return offer;
  };
  form.Show();
  menuShown = false;
  SetTimer(nullptr, 0, 200, CloseMenu);
  SendMessageA(panel->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));  // refused
  testutil::PumpFor(300);
  EXPECT_TRUE(menuShown);  // the timer ran, with no menu to close
  EXPECT_EQ(menu->popupComponent, nullptr);
  offer = true;
  SetTimer(nullptr, 0, 200, CloseMenu);
  SendMessageA(panel->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(menu->popupComponent, panel);
  EXPECT_EQ(asked, 2);

  // The Menu key and Shift+F10: a right press in the middle, then the menu.
  menu->popupComponent = nullptr;
  std::string pressed;
  panel->OnMouseDown = [&](base::MouseButton b, base::ShiftState, int x, int y) {
    pressed = (b == base::MouseButton::Right ? "right " : "other ") + std::to_string(x) + "," +
              std::to_string(y);
  };
  SetTimer(nullptr, 0, 200, CloseMenu);
  SendMessageA(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()), -1);
  EXPECT_EQ(pressed, "right 40,10");
  EXPECT_EQ(menu->popupComponent, panel);
  EXPECT_EQ(asked, 3);
}

// A press on the label holds its leave back until the release; when another
// window takes the capture instead (a box opens, Alt+Tab), no release comes.
TEST(HoverLabel, ALostCaptureEndsThePressAndLeaves) {
  Plain form("Form1");
  auto* label = form.Create<widgets::THoverLabel>(ui::ControlArgs{
      .parent = &form, .name = "HoverLabel1", .rect = {0, 0, 40, 14}, .caption = "Help"});
  std::string events;
  label->OnMouseEnter = [&] { events += "enter "; };
  label->OnMouseLeave = [&] { events += "leave "; };
  form.Show();
  SetForegroundWindow(form.Handle());
  POINT on{5, 5};
  ClientToScreen(label->Handle(), &on);
  // Under Wine a warp's own pointer event can arrive late and move the
  // pointer back, so each warp is let settle before the next step.
  const auto warp = [](POINT to) {
    SetCursorPos(to.x, to.y);
    testutil::PumpFor(150);
  };
  warp(on);
  SendMessageA(label->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageA(label->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  warp({on.x + 200, on.y + 200});
  SendMessageA(label->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(events, "enter ");  // pressed: held back
  SetCapture(form.Handle());
  ReleaseCapture();
  EXPECT_EQ(events, "enter leave ");
}

TEST(Application, MessageBoxesGoThroughOneHook) {
  ui::Application& app = ui::Application::Instance();
  std::vector<std::string> seen;
  app.onMessage = [&](const std::string& text, const std::string& caption, UINT flags) {
    seen.push_back(caption + ": " + text +
                   ((flags & MB_ICONMASK) == MB_ICONWARNING ? " (warning)" : ""));
    return IDOK;
  };
  EXPECT_EQ(app.MessageDialog("Offset out of range", "Warning", MB_OK | MB_ICONWARNING), IDOK);
  app.ShowError("Cannot open file x");
  app.onMessage = nullptr;
  EXPECT_EQ(seen, (std::vector<std::string>{"Warning: Offset out of range (warning)",
                                            app.Title() + ": Cannot open file x."}));
}

// A top-level window of another process, as a person working elsewhere has
// in front.
BOOL CALLBACK FindProcessWindow(HWND w, LPARAM param) {
  auto* found = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(w, &process);
  if (process != found->first || !IsWindowVisible(w)) return TRUE;
  found->second = w;
  return FALSE;
}

TEST(Application, ABoxATickRaisesComesInFrontOfAnotherProgram) {
  STARTUPINFOA start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION other{};
  char command[] = "notepad.exe";
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                             &other));
  std::pair<DWORD, HWND> window{other.dwProcessId, nullptr};
  EXPECT_TRUE(testutil::PumpUntil(
      [&] {
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&window));
        return window.second != nullptr;
      },
      10000));
  SetForegroundWindow(window.second);
  EXPECT_TRUE(testutil::PumpUntil([&] { return GetForegroundWindow() == window.second; }));

  ui::Application& app = ui::Application::Instance();
  std::vector<UINT> flags;
  app.onMessage = [&](const std::string&, const std::string&, UINT f) {
    flags.push_back(f & (MB_SETFOREGROUND | MB_TOPMOST));
    return IDOK;
  };
  Plain form("Form1");
  auto* timer = form.Create<ui::Timer>("Timer1", 10u);
  timer->SetOnTimer([&] {
    timer->SetEnabled(false);
    throw base::Error("Cannot open file x");
  });
  EXPECT_TRUE(testutil::PumpUntil([&] { return flags.size() == 1; }));
  TerminateProcess(other.hProcess, 0);
  WaitForSingleObject(other.hProcess, 5000);
  CloseHandle(other.hProcess);
  CloseHandle(other.hThread);

  // With the program's own window in front, a tick's box asks only for the
  // foreground, and a box a click asks for asks for nothing.
  form.Show();
  EXPECT_TRUE(testutil::PumpUntil([&] { return GetForegroundWindow() == form.Handle(); }));
  timer->SetEnabled(true);
  EXPECT_TRUE(testutil::PumpUntil([&] { return flags.size() == 2; }));
  app.MessageDialog("Offset out of range", "Warning", MB_OK);
  app.onMessage = nullptr;
  EXPECT_EQ(flags, (std::vector<UINT>{MB_SETFOREGROUND | MB_TOPMOST, MB_SETFOREGROUND, 0}));
}

TEST(Control, TextOnAFixedBackgroundKeepsItsColourInAHighContrastScheme) {
  // A scheme with white window text, as High Contrast Black has.
  const int element = COLOR_WINDOWTEXT;
  const COLORREF before = GetSysColor(element);
  const COLORREF white = RGB(255, 255, 255);
  ASSERT_TRUE(SetSysColors(1, &element, &white));
  Plain form("Form1");
  form.SetBackColor(ui::clBtnFace);
  auto textColour = [&](base::Color back) {
    auto* box = form.Create<ui::Edit>(
        ui::ControlArgs{.parent = &form, .name = "Edit1", .rect = {0, 0, 50, 15}, .color = back});
    HDC dc = GetDC(box->Handle());
    SendMessageA(form.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(box->Handle()));
    const COLORREF text = GetTextColor(dc);
    ReleaseDC(box->Handle(), dc);
    return text;
  };
  const COLORREF onTan = textColour(base::kPanelColour);
  const COLORREF onSystem = textColour(ui::clWindow);
  SetSysColors(1, &element, &before);
  EXPECT_EQ(onTan, RGB(0, 0, 0));  // never white on tan
  EXPECT_EQ(onSystem, white);      // the scheme's own background: its own text
}

TEST(Timer, ATickThatRunsALoopIsNeverEnteredAgain) {
  Plain form("Form1");
  auto* timer = form.Create<ui::Timer>("Timer1", 10u);
  int depth = 0, deepest = 0, ticks = 0;
  timer->SetOnTimer([&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    testutil::PumpFor(100);  // as a box's own loop would
    --depth;
  });
  ASSERT_TRUE(testutil::PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(deepest, 1);
}

TEST(Memo, HoldsItsTextExactlyUpToItsCapacity) {
  Plain form("Form1");
  auto* memo = form.Create<ui::Memo>(
      ui::ControlArgs{.parent = &form, .name = "Memo3", .rect = {0, 0, 50, 50}});
  EXPECT_EQ(memo->Capacity(), ui::Memo::kDefaultCapacity);
  for (const char* text : {"a\r\nb", "a\r\nb\r\n", "", "\r\n\r\n"}) {
    memo->SetText(text);
    EXPECT_EQ(memo->Text(), text);
  }
  memo->SetCapacity(4);
  memo->SetText("1234");
  try {
    memo->SetText("12345");
    FAIL();
  } catch (const base::Error& e) {
    EXPECT_STREQ(e.what(), "Text exceeds memo capacity");
  }
  EXPECT_EQ(memo->Text(), "1234");
}

}  // namespace

// The options' submenus hang below the window's own items, open nested
// submenus with radio items, reach their handlers, show the state of the
// moment the menu opens, and are never the window's components.
TEST(OptionsMenu, NestedRadioItemsBelowASeparatorAndNotTheWindows) {
  Plain host("OptionsHost");
  auto* menu = host.Create<ui::PopupMenu>("PopupMenu1");
  host.Create<ui::MenuItem>(menu, "Clocks1", "Clocks");
  int level = 2, chosen = -1;
  settings::OptionsMenu options(*menu);
  auto entry = [](const std::string& caption, bool checked) {
    ui::SubmenuEntry e;
    e.caption = caption;
    e.checked = checked;
    return e;
  };
  options.AddSubmenu("Sound1", "Sound", [&] {
    ui::SubmenuEntry volume = entry("Volume", false);
    for (int i = 0; i < 3; ++i) {
      ui::SubmenuEntry e = entry("Level " + std::to_string(i), i == level);
      e.onClick = [&, i] { chosen = i; };
      e.radio = true;
      volume.children.push_back(e);
    }
    ui::SubmenuEntry loud = entry("Loud", level == 0);
    loud.separatorBefore = true;
    return std::vector<ui::SubmenuEntry>{volume, loud};
  });
  HMENU top = menu->Handle();
  ASSERT_EQ(GetMenuItemCount(top), 3);
  EXPECT_TRUE(GetMenuState(top, 1, MF_BYPOSITION) & MF_SEPARATOR);
  HMENU sound = GetSubMenu(top, 2);
  ASSERT_NE(sound, nullptr);
  ASSERT_EQ(GetMenuItemCount(sound), 3);  // Volume, a separator, Loud
  HMENU volumes = GetSubMenu(sound, 0);
  ASSERT_NE(volumes, nullptr);
  ASSERT_EQ(GetMenuItemCount(volumes), 3);
  auto state = [](HMENU m, UINT pos) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    GetMenuItemInfoA(m, pos, TRUE, &info);
    return info;
  };
  EXPECT_TRUE(state(volumes, 2).fType & MFT_RADIOCHECK);
  EXPECT_TRUE(state(volumes, 2).fState & MFS_CHECKED);
  EXPECT_FALSE(state(volumes, 0).fState & MFS_CHECKED);
  // The handler of a nested item is found by its command.
  ui::MenuItem* item = menu->Items().back();
  auto action = item->SubmenuAction(state(volumes, 1).wID);
  ASSERT_TRUE(action);
  action();
  EXPECT_EQ(chosen, 1);
  // Changed elsewhere: the menu about to open shows it.
  level = 0;
  menu->onPopup();
  volumes = GetSubMenu(GetSubMenu(top, 2), 0);
  EXPECT_TRUE(state(volumes, 0).fState & MFS_CHECKED);
  EXPECT_TRUE(state(GetSubMenu(top, 2), 2).fState & MFS_CHECKED);
  for (base::Component* c : host.Components()) EXPECT_NE(c->Name(), "Sound1");
}
