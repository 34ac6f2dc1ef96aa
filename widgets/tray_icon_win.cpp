#include "widgets/tray_icon_win.h"

#include <shellapi.h>

#include <cstring>

#include "ui/application_win.h"
#include "ui/form_win.h"

namespace widgets {
namespace {

// The first version of the record: cbSize 88 is accepted by every shell.
constexpr DWORD kRecordSize = 88;
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == kRecordSize);

ShiftState BaseShiftState() {
  ShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  return s;
}

}  // namespace

TrayMessageWindow::TrayMessageWindow(TTrayIcon& owner) : owner_(owner) {
  CreateOwn("TMarlinetTrayWindow", WS_EX_TOOLWINDOW, WS_POPUP, "", 0, 0, 0, 0, nullptr, 0);
}

LRESULT TrayMessageWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return owner_.HandleTrayMessage(msg, wp, lp);
}

TTrayIcon::TTrayIcon(ui::Component* owner, std::string name)
    : Component(owner, std::move(name), "TTrayIcon"), window_(*this) {
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
  if (active_) Show();
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
  const std::string tip = TrayTipText(hint_);
  std::memcpy(record_.szTip, tip.c_str(), tip.size() + 1);
}

void TTrayIcon::Show() {
  Hide();
  if (icon_.Empty()) return;
  ClearPressed();
  FillRecord();
  added_ = Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
}

void TTrayIcon::Hide() {
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

void TTrayIcon::SetIcon(const ui::Icon& icon) {
  icon_ = icon;
  Refresh();
}

void TTrayIcon::SetPopupMenu(ui::PopupMenu* menu) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TTrayIcon::Notification(ui::Component* component) {
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
  auto foreground = [this] {
    if (IsWindowEnabled(window_.Handle())) SetForegroundWindow(window_.Handle());
  };
  foreground();
  ui::Application::Instance().ProcessMessages();
  try {
    popupMenu_->Popup(x, y, window_.Handle());
  } catch (...) {
    foreground();
    throw;
  }
  foreground();
  return true;
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
  if (msg == kTrayCallbackMessage && enabled_) {
    POINT p{};
    GetCursorPos(&p);
    try {
      HandleNotice(static_cast<unsigned>(lp), BaseShiftState(), p.x, p.y);
    } catch (const std::exception& e) {
      ui::Application::Instance().HandleException(e);
    }
    return 0;
  }
  return DefWindowProcA(window_.Handle(), msg, wp, lp);
}

}  // namespace widgets
