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

namespace {

// Appends the entries, and the submenus they open, to `menu`; `next` walks
// the command ids depth first.
void FillMenu(HMENU menu, const std::vector<SubmenuEntry>& entries, std::vector<UINT>& ids,
              size_t& next) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const SubmenuEntry& e = entries[i];
    if (e.separatorBefore && i > 0) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    if (next == ids.size()) ids.push_back(NextCommandId());
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.fType = MFT_STRING | (e.radio ? MFT_RADIOCHECK : 0);
    info.fState = (e.checked ? MFS_CHECKED : 0) | (e.enabled ? 0 : MFS_DISABLED);
    info.wID = ids[next++];
    info.dwTypeData = const_cast<char*>(e.caption.c_str());
    if (!e.children.empty()) {
      // Destroyed with the menu that holds it.
      info.hSubMenu = CreatePopupMenu();
      info.fMask |= MIIM_SUBMENU;
      FillMenu(info.hSubMenu, e.children, ids, next);
    }
    InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
  }
}

std::function<void()> FindAction(const std::vector<SubmenuEntry>& entries,
                                 const std::vector<UINT>& ids, size_t& next, UINT id) {
  for (const SubmenuEntry& e : entries) {
    if (next < ids.size() && ids[next++] == id) return e.onClick;
    if (auto action = FindAction(e.children, ids, next, id)) return action;
  }
  return nullptr;
}

}  // namespace

void MenuItem::SetSubmenu(std::vector<SubmenuEntry> entries) {
  if (!submenu_) {
    submenu_ = CreatePopupMenu();
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    info.hSubMenu = submenu_;
    SetMenuItemInfoA(menu_->Handle(), id_, FALSE, &info);
  }
  // DeleteMenu destroys the nested submenus too.
  while (GetMenuItemCount(submenu_) > 0) DeleteMenu(submenu_, 0, MF_BYPOSITION);
  size_t next = 0;
  FillMenu(submenu_, entries, entryIds_, next);
  entries_ = std::move(entries);
}

std::function<void()> MenuItem::SubmenuAction(UINT id) const {
  size_t next = 0;
  return FindAction(entries_, entryIds_, next, id);
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
  if (onPopup) onPopup();
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
