#include "bells/bell_manners_win.h"

#include <windows.h>

#include "base/error.h"
#include "settings/options.h"
#include "ui/library_win.h"

namespace bells {

namespace {

struct VolumeItem {
  int percent;
  const char* caption;
};
constexpr VolumeItem kVolumeItems[] = {
    {100, "Full"}, {75, "Three Quarters"}, {50, "Half"}, {25, "Quarter"}};

}  // namespace

std::optional<int> UserNotificationState() {
  // The state is an enumeration, an int, written through the pointer.
  using Query = HRESULT(WINAPI*)(int*);
  static const HMODULE shell = LoadLibraryA("shell32.dll");
  static const auto query = ui::LibraryEntry<Query>(shell, "SHQueryUserNotificationState");
  int state = 0;
  if (!query || FAILED(query(&state))) return std::nullopt;
  return state;
}

WinBellManners::WinBellManners(settings::ProfileStore& store) : store_(store) {
  const std::string volume = store_.ReadString(settings::kOptionsSection, kBellVolumeKey, "100");
  for (const VolumeItem& v : kVolumeItems) {
    if (volume == std::to_string(v.percent)) manners_.choices.volume = v.percent;
  }
  manners_.choices.halfAtNight = settings::ReadSwitch(store_, kHalfVolumeAtNightKey);
  manners_.choices.quietWhenPresenting = settings::ReadSwitch(store_, kQuietWhenPresentingKey);
  manners_.choices.sixteenAtNewYear = settings::ReadSwitch(store_, kSixteenBellsKey);
  manners_.notificationState = [] { return UserNotificationState(); };
}

void WinBellManners::ChooseVolume(int percent) {
  // Written first, as a switch is: a choice that cannot be kept is not taken.
  if (!store_.WriteString(settings::kOptionsSection, kBellVolumeKey, std::to_string(percent)))
    throw base::WriteError(store_.Path());
  manners_.choices.volume = percent;
}

void WinBellManners::Toggle(bool MannerChoices::*choice, const char* key) {
  settings::FlipSwitch(store_, key, manners_.choices.*choice);
}

std::vector<ui::SubmenuEntry> WinBellManners::MenuEntries() {
  const MannerChoices& c = manners_.choices;
  ui::SubmenuEntry volume;
  volume.caption = "Volume";
  for (const VolumeItem& v : kVolumeItems) {
    ui::SubmenuEntry e;
    e.caption = v.caption;
    e.radio = true;
    e.checked = c.volume == v.percent;
    e.onClick = [this, percent = v.percent] { ChooseVolume(percent); };
    volume.children.push_back(e);
  }
  auto toggle = [this](const char* caption, bool MannerChoices::*choice, const char* key) {
    ui::SubmenuEntry e;
    e.caption = caption;
    e.checked = manners_.choices.*choice;
    e.onClick = [this, choice, key] { Toggle(choice, key); };
    return e;
  };
  return {volume,
          toggle("Half Volume at Night", &MannerChoices::halfAtNight, kHalfVolumeAtNightKey),
          toggle("Quiet During Presentations and Full Screen", &MannerChoices::quietWhenPresenting,
                 kQuietWhenPresentingKey),
          toggle("Sixteen Bells at New Year", &MannerChoices::sixteenAtNewYear, kSixteenBellsKey)};
}

}  // namespace bells
