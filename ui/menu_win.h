// Popup menus with item pictures, check marks and a default item.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/component.h"
#include "ui/gdi_win.h"

namespace ui {

class PopupMenu;

// One item of a submenu that the window makes afresh before it is shown.
struct SubmenuEntry {
  std::string caption;  // a "&" meant as itself is doubled
  bool checked = false;
  bool enabled = true;
  bool separatorBefore = false;
  std::function<void()> onClick;
  // Checked as one of a group of choices: a dot rather than a tick.
  bool radio = false;
  // Entries of a submenu this entry opens; it then has no handler of its own.
  std::vector<SubmenuEntry> children;
};

// An item whose caption is "-" is a separator line, as in the toolkit's
// menus.
class MenuItem : public base::Component {
 public:
  MenuItem(base::Component* owner, PopupMenu* menu, std::string name, const std::string& caption);

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Default() const { return default_; }
  void SetDefault(bool isDefault);
  // Takes ownership of the picture (a 32-bit bitmap with alpha).
  void SetPicture(HBITMAP picture);
  // The picture from a BMP resource of this module (RCDATA), drawn for the
  // DPI of the monitor the menu opens on.
  void SetPictureResource(int id);
  HBITMAP Picture() const { return picture_.Get(); }
  UINT Id() const { return id_; }
  const std::string& Caption() const { return caption_; }

  std::function<void()> OnClick;
  // Runs the item's handler as if it were chosen from the menu.
  void Click();

  // The item opens a submenu of these entries, in place of the ones it had:
  // for a list that changes (the items are not components).
  void SetSubmenu(std::vector<SubmenuEntry> entries);
  const std::vector<SubmenuEntry>& Submenu() const { return entries_; }
  // The handler of the submenu's entry with that command, or none.
  std::function<void()> SubmenuAction(UINT id) const;

 private:
  friend class PopupMenu;
  void Update();
  // The resource's picture at the menu's DPI; false when there is none.
  bool DrawPicture();
  PopupMenu* menu_;
  int pictureResource_ = 0;
  std::string caption_;
  UINT id_;
  bool checked_ = false;
  bool enabled_ = true;
  bool default_ = false;
  Bitmap picture_;
  HMENU submenu_ = nullptr;  // destroyed with the menu that holds it
  std::vector<SubmenuEntry> entries_;
  std::vector<UINT> entryIds_;  // reused from one filling to the next, depth first
};

class PopupMenu : public base::Component {
 public:
  PopupMenu(base::Component* owner, std::string name);
  ~PopupMenu() override;

  HMENU Handle() const { return menu_; }
  const std::vector<MenuItem*>& Items() const { return items_; }
  bool autoPopup = true;
  base::Component* popupComponent = nullptr;

  // Shows the menu at a screen position and waits until it closes; the chosen
  // item's handler then runs. The owner window receives the menu's messages.
  void Popup(int x, int y, HWND owner);
  // The same, but returns the chosen item (or null) without running it.
  MenuItem* Track(int x, int y, HWND owner);
  // The command chosen, an item's or a submenu entry's; 0 for none.
  UINT TrackCommand(int x, int y, HWND owner);
  MenuItem* FindItem(UINT id) const;
  // Runs just before the menu opens, so items can show the state of now.
  std::function<void()> onPopup;
  // Where the DPI of the monitor at a point of the screen comes from.
  std::function<int(POINT)> dpiAtPoint;

 private:
  friend class MenuItem;
  void Attach(MenuItem* item);
  HMENU menu_;
  std::vector<MenuItem*> items_;
  int pictureDpi_;  // the DPI the items' pictures are drawn for
};

}  // namespace ui
