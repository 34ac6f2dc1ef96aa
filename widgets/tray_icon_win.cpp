#include "widgets/tray_icon_win.h"

#include <shellapi.h>
#include <versionhelpers.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ui/application_win.h"
#include "ui/form_win.h"

namespace widgets {
namespace {

// The first version of the record: cbSize 88 is accepted by every shell.
constexpr DWORD kRecordSize = 88;
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == kRecordSize);
// The second version (Windows 2000 and later), whose tip holds 128
// characters with its terminating zero.
constexpr DWORD kLongTipRecordSize = 488;
static_assert(offsetof(NOTIFYICONDATAA, dwInfoFlags) + sizeof(DWORD) == kLongTipRecordSize);
static_assert(sizeof(NOTIFYICONDATAA::szTip) == 128);

// The balloon's record: the second version of the wide record, which every
// shell from Windows 2000 on takes, and the first with a balloon.
constexpr DWORD kBalloonRecordSize = 936;
static_assert(offsetof(NOTIFYICONDATAW, guidItem) == kBalloonRecordSize);
// Windows 7 and later: no balloon in a user's "quiet time", the first hour
// after a first logon or a new installation of Windows.
constexpr DWORD kRespectQuietTime = 0x80;
constexpr UINT kBalloonClick = WM_USER + 5;  // NIN_BALLOONUSERCLICK

// A text longer than the field is cut to fit and ends in "...": an empty
// balloon text would take the balloon away.
void CopyWide(const std::string& text, WCHAR* to, int capacity) {
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (n <= 0) {
    to[0] = L'\0';
    return;
  }
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), n);
  if (n > capacity - 1) {
    size_t keep = static_cast<size_t>(capacity - 1 - 3);
    // Never half of a surrogate pair.
    if (keep > 0 && wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF) --keep;
    wide = wide.substr(0, keep) + L"...";
  }
  std::copy(wide.begin(), wide.end(), to);
  to[wide.size()] = L'\0';
}

ShiftState BaseShiftState() {
  ShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  return s;
}

constexpr UINT_PTR kAddRetryTimer = 1;
// The chosen menu item's id, run from the message loop once the tray has
// finished with the menu.
constexpr UINT kRunMenuItem = WM_APP + 1;
// The menu itself, shown from the message loop once the messages already
// queued (a tick, the rest of the click) have run: the shell's callback
// returns at once and runs nothing of theirs inside it.
constexpr UINT kTrackMenu = WM_APP + 2;
// A click on the balloon, run from the message loop as a menu item is: the
// log's open may wait on the shell, which waits for its callback to return.
constexpr UINT kRunBalloonClick = WM_APP + 3;

// Sent to every top-level window when the shell (re)starts: icons must be
// added again.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

}  // namespace

TrayMessageWindow::TrayMessageWindow(TTrayIcon& owner) : owner_(owner) {
  CreateOwn(ui::WindowArgs{
      .className = "TMarlinetTrayWindow", .exStyle = WS_EX_TOOLWINDOW, .style = WS_POPUP});
}

LRESULT TrayMessageWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return owner_.HandleTrayMessage(msg, wp, lp);
}

TTrayIcon::TTrayIcon(base::Component* owner, std::string name)
    : Component(owner, std::move(name), "TTrayIcon"), window_(*this) {
  TaskbarCreatedMessage();
  PublishBool(
      "Active", [this] { return active_; }, [this](bool b) { SetActive(b); });
  PublishBool(
      "Enabled", [this] { return enabled_; }, [this](bool b) { SetEnabled(b); });
  PublishString(
      "Hint", [this] { return hint_; }, [this](const std::string& h) { SetHint(h); });
  PublishOther("Icon");
  PublishOther("Icons");
  // Animation is not offered: a single icon is all the program shows.
  PublishBool("Animated", [] { return false; });
  PublishInt("Interval", [] { return 150; });
  PublishOther("PopupMenu");
}

TTrayIcon::~TTrayIcon() {
  enabled_ = false;  // no notice is dispatched from here on
  Hide();
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
}

void TTrayIcon::Loaded() {
  // An icon given before loading is in the shell already.
  if (active_ && !added_) Show();
}

void TTrayIcon::FillRecord() {
  std::memset(&record_, 0, sizeof record_);
  record_.cbSize = kRecordSize;
  record_.hWnd = window_.Handle();
  record_.uID = 0;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = kTrayCallbackMessage;
  record_.hIcon =
      icon_.Empty() ? reinterpret_cast<HICON>(static_cast<LONG_PTR>(-1)) : icon_.Handle();
  if (!longTip_.empty() || longRecord_) {
    record_.cbSize = kLongTipRecordSize;
    const size_t n = std::min(longTip_.size(), sizeof record_.szTip - 1);
    std::memcpy(record_.szTip, longTip_.data(), n);
    record_.szTip[n] = '\0';
    return;
  }
  const std::string tip = TrayTipText(hint_);
  std::memcpy(record_.szTip, tip.c_str(), tip.size() + 1);
}

void TTrayIcon::Show() {
  retriesLeft_ = kAddRetries;
  Add();
}

void TTrayIcon::Add() {
  Hide();
  if (icon_.Empty()) return;
  ClearPressed();
  FillRecord();
  added_ = Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
  // A balloon asked for while the shell had no icon (it was starting, or
  // restarting) is shown now.
  if (added_ && pendingBalloon_) {
    const auto [title, text] = std::move(*pendingBalloon_);
    pendingBalloon_.reset();
    ShowBalloon(title, text);
  }
  // The shell may be starting or busy; waiting for the next change of icon
  // could leave the program without one for hours.
  if (!added_ && retriesLeft_ > 0) {
    --retriesLeft_;
    SetTimer(window_.Handle(), kAddRetryTimer, kAddRetryMs, nullptr);
  }
}

void TTrayIcon::Hide() {
  KillTimer(window_.Handle(), kAddRetryTimer);
  Shell_NotifyIconA(NIM_DELETE, &record_);
  added_ = false;
  ClearPressed();
}

void TTrayIcon::Refresh() {
  if (added_) {
    if (!icon_.Empty()) {
      FillRecord();
      Shell_NotifyIconA(NIM_MODIFY, &record_);
    } else {
      Hide();
    }
  } else if (active_) {
    Show();
  }
}

bool TTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!added_) {
    pendingBalloon_.emplace(title, text);
    return false;
  }
  NOTIFYICONDATAW balloon{};
  balloon.cbSize = kBalloonRecordSize;
  balloon.hWnd = window_.Handle();
  balloon.uID = record_.uID;
  balloon.uFlags = NIF_INFO;
  CopyWide(text, balloon.szInfo, ARRAYSIZE(balloon.szInfo));
  CopyWide(title, balloon.szInfoTitle, ARRAYSIZE(balloon.szInfoTitle));
  balloon.uTimeout = 10000;  // Windows 2000 and XP take 10 to 30 s; later ones choose
  static const bool quietTime = IsWindows7OrGreater();
  balloon.dwInfoFlags = NIIF_WARNING | (quietTime ? kRespectQuietTime : 0);
  return notifyWide(NIM_MODIFY, &balloon) != FALSE;
}

void TTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active_) {
    Show();
  } else {
    Hide();
  }
}

void TTrayIcon::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  Refresh();
}

void TTrayIcon::SetLongTip(const std::string& tip, bool longRecord) {
  if (tip == longTip_ && longRecord == longRecord_) return;
  longTip_ = tip;
  longRecord_ = longRecord;
  Refresh();
}

void TTrayIcon::SetIcon(const ui::Icon& icon) {
  iconResource_ = 0;
  icon_ = icon;
  Refresh();
}

void TTrayIcon::SetIconResource(int id) {
  iconResource_ = id;
  iconDpi_ = taskbarDpi();
  // A picture the program lacks is a broken build, told at once.
  if (!LoadIconResource()) throw std::runtime_error("Cannot load resource " + std::to_string(id));
  Refresh();
}

bool TTrayIcon::LoadIconResource() {
  HICON icon = ui::LoadIconAtSize(iconResource_, ui::IconSize(true, iconDpi_));
  if (!icon) return false;
  icon_.Reset(icon);
  return true;
}

void TTrayIcon::FollowTaskbarDpi() {
  if (!iconResource_) return;
  const int dpi = taskbarDpi();
  if (dpi == iconDpi_) return;
  iconDpi_ = dpi;
  if (LoadIconResource()) Refresh();
}

void TTrayIcon::SetPopupMenu(ui::PopupMenu* menu) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TTrayIcon::Notification(base::Component* component) {
  if (component == popupMenu_) popupMenu_ = nullptr;
}

bool TTrayIcon::ShowPopupMenu(int x, int y) {
  if (!active_ || !popupMenu_ || !popupMenu_->autoPopup) return false;
  popupMenu_->popupComponent = this;
  if (!Destroying()) {
    ui::Application& app = ui::Application::Instance();
    ui::Form* target = app.ActiveForm() ? app.ActiveForm() : app.MainForm();
    if (target) SendMessageA(target->Handle(), WM_CANCELMODE, 0, 0);
  }
  TakeForeground();
  // Screen coordinates may be negative left of or above the main monitor.
  PostMessageA(window_.Handle(), kTrackMenu, static_cast<WPARAM>(x), static_cast<LPARAM>(y));
  return true;
}

void TTrayIcon::TakeForeground() {
  if (IsWindowEnabled(window_.Handle())) SetForegroundWindow(window_.Handle());
}

void TTrayIcon::TrackMenu(int x, int y) {
  if (!popupMenu_) return;
  UINT chosen = 0;  // an item's command or a submenu entry's
  try {
    chosen = popupMenu_->TrackCommand(x, y, window_.Handle());
  } catch (...) {
    TakeForeground();
    throw;
  }
  TakeForeground();
  // Without a message after the menu, the next one may close at once.
  PostMessageA(window_.Handle(), WM_NULL, 0, 0);
  // The command runs after the tray's last step, so a window it shows keeps
  // the foreground.
  if (chosen) PostMessageA(window_.Handle(), kRunMenuItem, chosen, 0);
}

bool TTrayIcon::ClickDefaultMenuItem() {
  if (!active_ || !popupMenu_ || popupMenu_->Items().empty()) return false;
  for (ui::MenuItem* item : popupMenu_->Items()) {
    if (item->Default() && item->Enabled()) {
      item->Click();
      return true;
    }
  }
  return false;
}

LRESULT TTrayIcon::HandleTrayMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // Once the program is ending, the icon takes no more commands.
  const bool accepting = enabled_ && !ui::Application::Instance().Terminated();
  if (msg == kTrayCallbackMessage) {
    if (!accepting) return 0;
    // The only notice beyond the mouse's: it reaches the callback without
    // NIM_SETVERSION, from Windows XP on.
    if (static_cast<UINT>(lp) == kBalloonClick) {
      PostMessageA(window_.Handle(), kRunBalloonClick, 0, 0);
      return 0;
    }
    POINT p{};
    GetCursorPos(&p);
    HandleNotice(static_cast<unsigned>(lp), BaseShiftState(), p.x, p.y);
    return 0;
  }
  if (msg == kTrackMenu) {
    if (accepting) {
      ui::Dispatch([this, wp, lp] {
        TrackMenu(static_cast<int>(static_cast<INT_PTR>(wp)), static_cast<int>(lp));
      });
    }
    return 0;
  }
  if (msg == kRunBalloonClick) {
    if (accepting && OnBalloonClick) ui::Dispatch([this] { OnBalloonClick(); });
    return 0;
  }
  if (msg == kRunMenuItem) {
    if (!popupMenu_ || !accepting) return 0;
    const UINT id = static_cast<UINT>(wp);
    if (ui::MenuItem* item = popupMenu_->FindItem(id)) {
      ui::Dispatch([item] { item->Click(); });
      return 0;
    }
    // An entry of one of the items' submenus (the options).
    for (ui::MenuItem* item : popupMenu_->Items()) {
      if (auto action = item->SubmenuAction(id)) {
        ui::Dispatch(action);
        return 0;
      }
    }
    return 0;
  }
  if (msg == TaskbarCreatedMessage() && msg != 0) {
    // The new taskbar may be on another monitor, or at another scale.
    if (iconResource_) {
      iconDpi_ = taskbarDpi();
      LoadIconResource();
    }
    if (active_) Show();
    return 0;
  }
  if (msg == WM_DISPLAYCHANGE || msg == ui::kDpiChangedMessage) {
    // A hidden window: nothing of its own to move or size.
    FollowTaskbarDpi();
    return 0;
  }
  // A new scale for the whole desktop may come only as a settings change.
  if (msg == WM_SETTINGCHANGE) FollowTaskbarDpi();
  if (msg == WM_TIMER && wp == kAddRetryTimer) {
    KillTimer(window_.Handle(), kAddRetryTimer);
    if (active_ && !added_) Add();
    return 0;
  }
  // Another program's polite close must not leave a running program without
  // its icon.
  if (msg == WM_CLOSE) return 0;
  return DefWindowProcA(window_.Handle(), msg, wp, lp);
}

}  // namespace widgets
