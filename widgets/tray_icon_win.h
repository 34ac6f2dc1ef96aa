// The notification-area icon of the program: one icon with its tooltip, the
// shell's mouse notices turned into component events, and the popup menu on
// the right button.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "base/component.h"
#include "ui/dpi_win.h"
#include "ui/gdi_win.h"
#include "ui/menu_win.h"
#include "ui/window_win.h"
#include "widgets/tray_icon_core.h"

namespace widgets {

// The icon's hidden message window: a hidden top-level window, since a
// message-only window cannot be brought to the foreground, which the popup
// menu needs to close when the user clicks elsewhere.
class TrayMessageWindow : public ui::Window {
 public:
  explicit TrayMessageWindow(class TTrayIcon& owner);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  TTrayIcon& owner_;
};

class TTrayIcon : public base::Component, public TrayMouse {
 public:
  TTrayIcon(base::Component* owner, std::string name);
  ~TTrayIcon() override;

  void Loaded() override;

  bool Active() const { return active_; }
  void SetActive(bool active);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  // A tooltip of up to 127 characters, set as it stands (a "|" is kept, line
  // breaks show from XP on). While it is not empty, or while `longRecord`
  // (a tip that may be empty for a while), it stands in for the hint, and
  // every call the icon makes carries the larger record that holds it, so
  // that no refresh cuts it back; otherwise the icon's calls are as they were.
  void SetLongTip(const std::string& tip, bool longRecord = false);
  const std::string& LongTip() const { return longTip_; }
  const ui::Icon& Icon() const { return icon_; }
  // Copies the picture; an empty one takes the icon out of the area.
  void SetIcon(const ui::Icon& icon);
  // This module's icon, drawn for the notification area's DPI, and again
  // whenever that may have changed (a new scale, a new display, a new
  // taskbar).
  void SetIconResource(int id);
  // Where that DPI comes from: the taskbar's monitor.
  std::function<int()> taskbarDpi = ui::TaskbarDpi;
  ui::PopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(ui::PopupMenu* menu);

  bool Added() const { return added_; }
  HWND MessageWindow() const { return window_.Handle(); }

  void Show();
  void Hide();
  void Refresh();

  // A failed add is tried again this many times, this far apart.
  static constexpr int kAddRetries = 5;
  static constexpr UINT kAddRetryMs = 2000;

  // A balloon over the icon, with a warning sign. It goes in a record of its
  // own that carries only the balloon, so the icon's own record, picture
  // and tip stay as they are. False when the shell did not take it; asked
  // while the icon is not in the area, it is shown once the icon is added.
  bool ShowBalloon(const std::string& title, const std::string& text);
  // The person clicked the balloon.
  std::function<void()> OnBalloonClick;
  // The shell call the balloon goes through.
  std::function<BOOL(DWORD, NOTIFYICONDATAW*)> notifyWide = [](DWORD m, NOTIFYICONDATAW* d) {
    return Shell_NotifyIconW(m, d);
  };

  // The shell's callback for one notice, as the message window receives it.
  LRESULT HandleTrayMessage(UINT msg, WPARAM wp, LPARAM lp);

 protected:
  bool ShowPopupMenu(int x, int y) override;
  bool ClickDefaultMenuItem() override;
  void Notification(base::Component* component) override;

 private:
  void FillRecord();
  void Add();
  // The resource's icon at the taskbar's DPI; false when there is none.
  bool LoadIconResource();
  // Draws the icon again if the taskbar's DPI changed.
  void FollowTaskbarDpi();
  // Shows the menu and waits until it closes; the chosen command runs later.
  void TrackMenu(int x, int y);
  // The menu closes when the user clicks elsewhere only if its owner window
  // is in the foreground.
  void TakeForeground();
  NOTIFYICONDATAA record_{};
  bool active_ = true;
  bool enabled_ = true;
  bool added_ = false;
  int retriesLeft_ = 0;
  std::string hint_;
  std::string longTip_;
  bool longRecord_ = false;
  // The last balloon asked for while the icon was not in the area.
  std::optional<std::pair<std::string, std::string>> pendingBalloon_;
  ui::Icon icon_;
  int iconResource_ = 0;
  int iconDpi_ = 0;
  ui::PopupMenu* popupMenu_ = nullptr;
  // Last, so the state it forwards messages to exists before it does.
  TrayMessageWindow window_;
};

}  // namespace widgets
