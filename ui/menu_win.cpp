#include "ui/menu_win.h"

#include <stdexcept>

#include "ui/dpi_win.h"
#include "ui/window_win.h"

namespace ui {
namespace {

UINT NextCommandId() {
  static UINT id = 1000;
  return id++;
}

}  // namespace

MenuItem::MenuItem(base::Component* owner, PopupMenu* menu, std::string name,
                   const std::string& caption)
    : base::Component(owner, std::move(name), "TMenuItem"),
      menu_(menu),
      caption_(caption),
      id_(NextCommandId()) {
  menu_->Attach(this);
  PublishString("Caption", [this] { return caption_; });
  PublishBool(
      "Checked", [this] { return checked_; }, [this](bool b) { SetChecked(b); });
  PublishBool(
      "Default", [this] { return default_; }, [this](bool b) { SetDefault(b); });
  PublishBool(
      "Enabled", [this] { return enabled_; }, [this](bool b) { SetEnabled(b); });
  PublishOther("Bitmap");
}

void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  Update();
}

void MenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void MenuItem::SetDefault(bool isDefault) {
  if (isDefault) {
    for (MenuItem* other : menu_->items_) other->default_ = false;
  }
  default_ = isDefault;
  SetMenuDefaultItem(menu_->Handle(), isDefault ? id_ : static_cast<UINT>(-1), FALSE);
}

void MenuItem::SetPictureResource(int id) {
  pictureResource_ = id;
  // A picture the program lacks is a broken build, told at once.
  if (!DrawPicture()) throw std::runtime_error("Cannot load resource " + std::to_string(id));
}

bool MenuItem::DrawPicture() {
  const std::string bmp = LoadRcData(pictureResource_);
  HBITMAP picture = MenuPictureFromBmp(bmp.data(), bmp.size(), menu_->pictureDpi_);
  if (!picture) return false;
  // The old picture goes only once the menu holds the new one.
  Bitmap old = std::move(picture_);
  picture_.Reset(picture);
  Update();
  return true;
}

void MenuItem::SetPicture(HBITMAP picture) {
  pictureResource_ = 0;
  // The old picture goes only once the menu holds the new one.
  Bitmap old = std::move(picture_);
  picture_.Reset(picture);
  Update();
}

void MenuItem::Click() {
  if (OnClick) OnClick();
}

void MenuItem::SetSubmenu(std::vector<SubmenuEntry> entries) {
  if (!submenu_) {
    submenu_ = CreatePopupMenu();
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    info.hSubMenu = submenu_;
    SetMenuItemInfoA(menu_->Handle(), id_, FALSE, &info);
  }
  while (GetMenuItemCount(submenu_) > 0) DeleteMenu(submenu_, 0, MF_BYPOSITION);
  while (entryIds_.size() < entries.size()) entryIds_.push_back(NextCommandId());
  for (size_t i = 0; i < entries.size(); ++i) {
    const SubmenuEntry& e = entries[i];
    if (e.separatorBefore && i > 0) AppendMenuA(submenu_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(submenu_,
                MF_STRING | (e.checked ? MF_CHECKED : MF_UNCHECKED) | (e.enabled ? 0 : MF_GRAYED),
                entryIds_[i], e.caption.c_str());
  }
  entries_ = std::move(entries);
}

std::function<void()> MenuItem::SubmenuAction(UINT id) const {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entryIds_[i] == id) return entries_[i].onClick;
  }
  return nullptr;
}

void MenuItem::Update() {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE | MIIM_BITMAP;
  info.fState =
      (checked_ ? MFS_CHECKED : 0) | (enabled_ ? 0 : MFS_DISABLED) | (default_ ? MFS_DEFAULT : 0);
  info.hbmpItem = picture_.Get();
  SetMenuItemInfoA(menu_->Handle(), id_, FALSE, &info);
}

PopupMenu::PopupMenu(base::Component* owner, std::string name)
    : base::Component(owner, std::move(name), "TPopupMenu"),
      dpiAtPoint(DpiAtPoint),
      menu_(CreatePopupMenu()),
      pictureDpi_(SystemDpi()) {
  PublishBool(
      "AutoPopup", [this] { return autoPopup; }, [this](bool b) { autoPopup = b; });
}

PopupMenu::~PopupMenu() {
  // Items are owned by the window, not by the menu: they may outlive it.
  DestroyMenu(menu_);
}

void PopupMenu::Attach(MenuItem* item) {
  items_.push_back(item);
  if (item->Caption() == "-") {
    AppendMenuA(menu_, MF_SEPARATOR, item->Id(), nullptr);
  } else {
    AppendMenuA(menu_, MF_STRING, item->Id(), item->Caption().c_str());
  }
}

void PopupMenu::Popup(int x, int y, HWND owner) {
  const UINT chosen = TrackCommand(x, y, owner);
  if (!chosen) return;
  if (MenuItem* item = FindItem(chosen)) {
    Dispatch([item] { item->Click(); });
    return;
  }
  for (MenuItem* item : items_) {
    // A copy: the handler may fill the submenu anew.
    if (auto action = item->SubmenuAction(chosen)) {
      Dispatch(action);
      return;
    }
  }
}

MenuItem* PopupMenu::Track(int x, int y, HWND owner) {
  const UINT chosen = TrackCommand(x, y, owner);
  return chosen ? FindItem(chosen) : nullptr;
}

UINT PopupMenu::TrackCommand(int x, int y, HWND owner) {
  // Menus are drawn at the scale of the monitor they open on; their pictures
  // are not scaled for them.
  if (const int dpi = dpiAtPoint(POINT{x, y}); dpi != pictureDpi_) {
    pictureDpi_ = dpi;
    for (MenuItem* item : items_) {
      if (item->pictureResource_) item->DrawPicture();
    }
  }
  return static_cast<UINT>(
      TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0,
                     owner, nullptr));
}

MenuItem* PopupMenu::FindItem(UINT id) const {
  for (MenuItem* item : items_) {
    if (item->Id() == id) return item;
  }
  return nullptr;
}

}  // namespace ui
