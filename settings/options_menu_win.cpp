#include "settings/options_menu_win.h"

namespace settings {

OptionsMenu::OptionsMenu(ui::PopupMenu& menu)
    : base::Component(nullptr, "OptionsMenu", "TOptionsMenu"), menu_(menu) {
  menu_.onPopup = [this] { Refresh(); };
}

ui::MenuItem* OptionsMenu::AddSubmenu(const std::string& name, const std::string& caption,
                                      std::function<std::vector<ui::SubmenuEntry>()> fill) {
  if (groups_.empty()) Create<ui::MenuItem>(&menu_, "OptionsSeparator", "-");
  ui::MenuItem* item = Create<ui::MenuItem>(&menu_, name, caption);
  groups_.push_back({item, std::move(fill)});
  item->SetSubmenu(groups_.back().fill());
  return item;
}

void OptionsMenu::Refresh() {
  for (const Group& g : groups_) g.item->SetSubmenu(g.fill());
}

}  // namespace settings
