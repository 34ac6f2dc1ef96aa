// The tray icon against the real shell of the Wine desktop.
#include "widgets/tray_icon_win.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "ui/form_win.h"
#include "ui/library_win.h"
#include "win_test_util.h"

namespace widgets {
namespace {

struct Host : ui::Form {
  Host() : Form("Host", "THost") {}
};

HICON BellIcon() { return LoadIcon(nullptr, IDI_INFORMATION); }

// The menu runs its own loop; this timer closes it as a user pressing Esc would.
bool menuWasOpen = false;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  menuWasOpen = true;
  EndMenu();
}

class TrayIconTest : public testing::Test {
 protected:
  void SetUp() override {
    tray = host.Create<TTrayIcon>("TrayIcon1");
    tray->SetIcon(ui::Icon(CopyIcon(BellIcon())));
    tray->Loaded();
    tray->OnClick = [this](MouseButton b, ShiftState, int, int) {
      events.push_back(b == MouseButton::Left ? "click-left" : "click-right");
    };
    tray->OnDblClick = [this] { events.push_back("dblclick"); };
    tray->OnMouseDown = [this](MouseButton, ShiftState s, int, int) {
      events.push_back(s & kDouble ? "down-double" : "down");
    };
    tray->OnMouseUp = [this](MouseButton, ShiftState, int, int) { events.push_back("up"); };
  }

  void Notice(UINT notice) { SendMessageA(tray->MessageWindow(), kTrayCallbackMessage, 0, notice); }

  Host host;
  TTrayIcon* tray = nullptr;
  std::vector<std::string> events;
};

TEST_F(TrayIconTest, TheShellAcceptsTheIcon) { EXPECT_TRUE(tray->Added()); }

TEST_F(TrayIconTest, CallbackMessagesRaiseTheRightEvents) {
  struct Case {
    std::vector<UINT> notices;
    std::vector<std::string> events;
  } cases[] = {
      {{WM_LBUTTONDOWN, WM_LBUTTONUP}, {"down", "click-left", "up"}},
      {{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
       {"down", "click-left", "up", "dblclick", "down-double", "up"}},
      {{WM_RBUTTONDOWN, WM_RBUTTONUP}, {"down", "click-right", "up"}},  // no menu
      {{WM_MBUTTONDOWN, WM_MBUTTONUP}, {"down", "up"}},
      {{WM_LBUTTONUP}, {"up"}},
  };
  for (const auto& c : cases) {
    events.clear();
    for (UINT n : c.notices) Notice(n);
    EXPECT_EQ(events, c.events);
  }
}

TEST_F(TrayIconTest, ADisabledIconIgnoresNotices) {
  tray->SetEnabled(false);
  Notice(WM_LBUTTONDOWN);
  Notice(WM_LBUTTONUP);
  EXPECT_TRUE(events.empty());
}

TEST_F(TrayIconTest, RightClickShowsTheMenuAtThePointerAndRaisesNoClick) {
  auto* menu = host.Create<ui::PopupMenu>("PopupMenu1");
  host.Create<ui::MenuItem>(menu, "Item1", "Item");
  tray->SetPopupMenu(menu);
  menuWasOpen = false;
  SetTimer(nullptr, 0, 200, CloseMenu);
  Notice(WM_RBUTTONDOWN);
  Notice(WM_RBUTTONUP);
  // The menu comes from the message loop, once the callback has returned.
  testutil::PumpUntil([] { return menuWasOpen; }, 3000);
  EXPECT_TRUE(menuWasOpen);
  EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
  EXPECT_EQ(menu->popupComponent, tray);
}

TEST_F(TrayIconTest, DoubleClickRunsTheDefaultItemInsteadOfTheEvent) {
  auto* menu = host.Create<ui::PopupMenu>("PopupMenu1");
  auto* item = host.Create<ui::MenuItem>(menu, "Item1", "Open");
  int itemClicks = 0;
  item->OnClick = [&] { ++itemClicks; };
  item->SetDefault(true);
  tray->SetPopupMenu(menu);
  Notice(WM_LBUTTONDBLCLK);
  EXPECT_EQ(itemClicks, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"down-double"}));
  item->SetEnabled(false);  // a disabled default item takes nothing
  Notice(WM_LBUTTONDBLCLK);
  EXPECT_EQ(itemClicks, 1);
}

TEST_F(TrayIconTest, AnEmptyIconRemovesItAndANewOneAddsItAgain) {
  ASSERT_TRUE(tray->Added());
  tray->SetIcon(ui::Icon());
  EXPECT_FALSE(tray->Added());
  tray->SetIcon(ui::Icon(CopyIcon(BellIcon())));
  EXPECT_TRUE(tray->Added());
  tray->SetActive(false);
  EXPECT_FALSE(tray->Added());
  tray->SetIcon(ui::Icon(CopyIcon(BellIcon())));
  EXPECT_FALSE(tray->Added());  // inactive: a new picture does not show it
  tray->SetActive(true);
  EXPECT_TRUE(tray->Added());
}

// A balloon asked for while the shell has no icon (at sign-in it may still
// be starting) is not lost: it comes once the icon is there, and only once.
TEST_F(TrayIconTest, ABalloonWithoutAnIconWaitsForTheIcon) {
  std::vector<std::wstring> shown;
  tray->notifyWide = [&](DWORD m, NOTIFYICONDATAW* d) {
    if (m == NIM_MODIFY && (d->uFlags & NIF_INFO)) shown.push_back(d->szInfo);
    return Shell_NotifyIconW(m, d);
  };
  tray->SetIcon(ui::Icon());
  EXPECT_FALSE(tray->ShowBalloon("Launch failed", "10:11 C:\\gone.exe: Path not found"));
  EXPECT_TRUE(shown.empty());
  tray->SetIcon(ui::Icon(CopyIcon(BellIcon())));
  ASSERT_TRUE(tray->Added());
  EXPECT_EQ(shown, std::vector<std::wstring>{L"10:11 C:\\gone.exe: Path not found"});
  tray->SetIcon(ui::Icon());
  tray->SetIcon(ui::Icon(CopyIcon(BellIcon())));
  EXPECT_EQ(shown.size(), 1u);
}

// Texts longer than the balloon's fields are cut to fit, ending in "...":
// an empty text would take the balloon away. A click on the balloon runs
// once the shell's callback has returned, as a menu item does.
TEST_F(TrayIconTest, ALongBalloonIsCutToFitAndItsClickRunsAfterTheCallback) {
  std::vector<std::wstring> shown;
  tray->notifyWide = [&](DWORD m, NOTIFYICONDATAW* d) {
    if (m == NIM_MODIFY && (d->uFlags & NIF_INFO)) {
      shown.push_back(d->szInfoTitle);
      shown.push_back(d->szInfo);
    }
    return Shell_NotifyIconW(m, d);
  };
  tray->ShowBalloon(std::string(70, 't'), "10:11 " + std::string(300, 'x'));
  EXPECT_EQ(shown, (std::vector<std::wstring>{std::wstring(60, L't') + L"...",
                                              L"10:11 " + std::wstring(246, L'x') + L"..."}));
  int clicks = 0;
  tray->OnBalloonClick = [&] { ++clicks; };
  Notice(WM_USER + 5);  // NIN_BALLOONUSERCLICK
  EXPECT_EQ(clicks, 0) << "run inside the shell's callback";
  EXPECT_TRUE(testutil::PumpUntil([&] { return clicks == 1; }, 2000));
}

TEST_F(TrayIconTest, ComesBackWhenTheShellRestartsAndIgnoresAPoliteClose) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = tray->MessageWindow();
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));  // the shell lost it
  SendMessageA(tray->MessageWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(tray->Added());
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &record));  // the shell knows it again
  SendMessageA(tray->MessageWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(tray->MessageWindow()));
}

// The bell is drawn for the scale of the monitor the taskbar is on, and again
// whenever that may have changed; the menu's pictures for the monitor the
// menu opens on. (Wine gives every monitor one scale: the tests say which.)
TEST_F(TrayIconTest, TheIconAndTheMenuPicturesAreDrawnForTheirMonitorsScale) {
  auto width = [](HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0L;
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bm.bmWidth;
  };
  int taskbar = 96;
  tray->taskbarDpi = [&] { return taskbar; };
  tray->SetIconResource(IDI_BELL);
  EXPECT_EQ(width(tray->Icon().Handle()), 16);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  struct Case {
    UINT message;
    int dpi;
    LONG size;  // the small icon at that scale
  } cases[] = {
      {WM_DISPLAYCHANGE, 144, 24},        // 150 %
      {ui::kDpiChangedMessage, 120, 20},  // 125 %
      {taskbarCreated, 192, 32},          // the shell again, at 200 %
      {WM_SETTINGCHANGE, 144, 24},       {WM_DISPLAYCHANGE, 96, 16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    taskbar = c.dpi;
    RECT suggested{0, 0, 1, 1};
    SendMessageA(tray->MessageWindow(), c.message, MAKEWPARAM(c.dpi, c.dpi),
                 c.message == ui::kDpiChangedMessage ? reinterpret_cast<LPARAM>(&suggested) : 0);
    EXPECT_EQ(width(tray->Icon().Handle()), c.size);
    EXPECT_TRUE(tray->Added());
  }
  auto* menu = host.Create<ui::PopupMenu>("PopupMenu1");
  auto* quit = host.Create<ui::MenuItem>(menu, "Quit1", "Quit");
  quit->SetPictureResource(IDB_QUIT);
  // The left monitor at 100 %, the right one at 150 %.
  menu->dpiAtPoint = [](POINT p) { return p.x < 1000 ? 96 : 144; };
  auto pictureWidth = [&] {
    BITMAP bm{};
    GetObjectA(quit->Picture(), sizeof bm, &bm);
    return bm.bmWidth;
  };
  for (const auto& [x, size] : {std::pair{1200, 24L}, std::pair{100, 16L}, std::pair{1300, 24L}}) {
    menuWasOpen = false;
    SetTimer(nullptr, 0, 100, CloseMenu);
    menu->Track(x, 100, tray->MessageWindow());
    EXPECT_TRUE(menuWasOpen);
    EXPECT_EQ(pictureWidth(), size) << x;
  }
  EXPECT_THROW(quit->SetPictureResource(999), std::runtime_error);
}

TEST_F(TrayIconTest, AThrowingClickHandlerIsReportedAndTheIconKeepsWorking) {
  testutil::RecordErrors errors;
  int clicks = 0;
  tray->OnClick = [&](MouseButton, ShiftState, int, int) {
    ++clicks;
    throw std::runtime_error("Click went wrong");
  };
  Notice(WM_LBUTTONDOWN);
  Notice(WM_LBUTTONUP);
  Notice(WM_LBUTTONDOWN);
  Notice(WM_LBUTTONUP);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(errors.messages, (std::vector<std::string>{"Click went wrong.", "Click went wrong."}));
  EXPECT_TRUE(IsWindow(tray->MessageWindow()));
}

// Every Shell_NotifyIconA call made while it lives, as the shell receives
// it: this program's import of the function points here meanwhile.
class RecordShellCalls {
 public:
  struct Call {
    DWORD message, size;
    std::string tip;
  };
  RecordShellCalls() {
    real_ = ui::LibraryEntry<Fn>(GetModuleHandleA("shell32.dll"), "Shell_NotifyIconA");
    slot_ = ImportSlot(reinterpret_cast<ULONG_PTR>(real_));
    if (slot_) Set(reinterpret_cast<ULONG_PTR>(&Record));
    calls = {};
  }
  ~RecordShellCalls() {
    if (slot_) Set(reinterpret_cast<ULONG_PTR>(real_));
  }
  bool Hooked() const { return slot_ != nullptr; }
  static inline std::vector<Call> calls;

 private:
  using Fn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
  static inline Fn real_ = nullptr;
  static BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAA data) {
    const size_t room = data->cbSize >= 488 ? 128 : 64;
    calls.push_back({message, data->cbSize, std::string(data->szTip, strnlen(data->szTip, room))});
    return real_(message, data);
  }
  static ULONG_PTR* ImportSlot(ULONG_PTR target) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
      for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); t->u1.Function;
           ++t) {
        if (t->u1.Function == target) return reinterpret_cast<ULONG_PTR*>(&t->u1.Function);
      }
    }
    return nullptr;
  }
  void Set(ULONG_PTR to) {
    DWORD old = 0;
    VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
    *slot_ = to;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
  }
  ULONG_PTR* slot_ = nullptr;
};

// The places' tip, once set, goes whole in every call the icon makes (a
// new picture as the mute toggle gives, the shell's restart) in the record
// that holds 127 characters, and so does an empty one while places are
// chosen; taken away, the icon's calls are as before.
TEST_F(TrayIconTest, ALongTipGoesInEveryCallWhileItIsSet) {
  RecordShellCalls shell;
  ASSERT_TRUE(shell.Hooked());
  tray->SetHint("Bells|for the log");
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].size, 88u);
  EXPECT_EQ(shell.calls[0].tip, "Bells");

  const std::string tip = "Greenwich 2:05 PM\nPier 7 | East 9:05 AM\nAuckland 2:05 AM +1 day";
  shell.calls.clear();
  tray->SetLongTip(tip);
  tray->SetIconResource(IDI_BELL_MUTED);
  SendMessageA(tray->MessageWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  ASSERT_GE(shell.calls.size(), 4u);  // modify, modify, delete and add
  bool added = false;
  for (const auto& call : shell.calls) {
    EXPECT_EQ(call.size, 488u) << call.message;
    if (call.message != NIM_DELETE) {
      EXPECT_EQ(call.tip, tip) << call.message;
    }
    added |= call.message == NIM_ADD;
  }
  EXPECT_TRUE(added);
  EXPECT_TRUE(tray->Added());

  shell.calls.clear();
  tray->SetLongTip(std::string(130, 'x'));  // never past the record's room
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].tip, std::string(127, 'x'));

  // Places chosen whose panels show no time: an empty tip, still in the
  // larger record, through the mute toggle's refresh too.
  shell.calls.clear();
  tray->SetLongTip("", true);
  tray->SetIconResource(IDI_BELL_MUTED);
  ASSERT_EQ(shell.calls.size(), 2u);
  for (const auto& call : shell.calls) {
    EXPECT_EQ(call.size, 488u);
    EXPECT_EQ(call.tip, "");
  }

  shell.calls.clear();
  tray->SetLongTip("");
  tray->SetIconResource(IDI_BELL);
  ASSERT_EQ(shell.calls.size(), 2u);
  for (const auto& call : shell.calls) {
    EXPECT_EQ(call.size, 88u);
    EXPECT_EQ(call.tip, "Bells");
  }
}

TEST_F(TrayIconTest, ADestroyedMenuIsForgotten) {
  auto* menu = new ui::PopupMenu(nullptr, "Loose");
  tray->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  Notice(WM_RBUTTONDOWN);
  Notice(WM_RBUTTONUP);
  EXPECT_EQ(events, (std::vector<std::string>{"down", "click-right", "up"}));
}

}  // namespace
}  // namespace widgets
