// The tray menu's home for the options a person opts into: a separator below
// the program's own items, then one submenu for each group of options. The
// items belong to this object, not to the main window, so the window's saved
// state never lists them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/component.h"
#include "ui/menu_win.h"

namespace settings {

class OptionsMenu : public base::Component {
 public:
  explicit OptionsMenu(ui::PopupMenu& menu);

  // A submenu at the end of the menu, below the separator (made with the
  // first one). Its entries are asked of `fill` now and each time the menu
  // is about to open, so what they show is the state of that moment.
  ui::MenuItem* AddSubmenu(const std::string& name, const std::string& caption,
                           std::function<std::vector<ui::SubmenuEntry>()> fill);
  // Fills every submenu again from its options.
  void Refresh();

 private:
  struct Group {
    ui::MenuItem* item;
    std::function<std::vector<ui::SubmenuEntry>()> fill;
  };
  ui::PopupMenu& menu_;
  std::vector<Group> groups_;
};

}  // namespace settings
