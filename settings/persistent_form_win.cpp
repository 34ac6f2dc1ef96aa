#include "settings/persistent_form_win.h"

#include <windows.h>

#include <functional>
#include <vector>

#include "base/error.h"
#include "ui/application_win.h"
#include "ui/paths_win.h"
#include "ui/text_files_win.h"

namespace settings {
namespace {
constexpr DWORD kReadBuffer = 2048;

// The profile API rewrites the whole file at every value: a disk that fills
// up half-way would leave it cut short. The values go to a copy, which then
// replaces the file in one step.
bool ChangeThroughCopy(const std::string& filePath,
                       const std::function<bool(IniProfileStore&)>& change) {
  return ui::ReplaceThroughTemp(filePath, [&](const std::wstring& temp) {
    const std::wstring file = ui::FilePath(filePath);
    if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !CopyFileW(file.c_str(), temp.c_str(), FALSE)) {
      return false;
    }
    IniProfileStore store(temp, filePath);
    if (!change(store)) return false;
    // Written out before the rename, as the text files are.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, temp.c_str());
    return true;
  });
}

}  // namespace

// The wide calls reach a file in a folder whose name the ANSI code page
// cannot spell; the file itself stays ANSI, as the profile API keeps a file
// in the form it was made in and makes new ones ANSI.
std::string IniProfileStore::ReadString(const std::string& section, const std::string& key,
                                        const std::string& fallback) {
  std::vector<wchar_t> buffer(kReadBuffer);
  const DWORD n = GetPrivateProfileStringW(
      ui::WideFromAnsi(section).c_str(), ui::WideFromAnsi(key).c_str(),
      ui::WideFromAnsi(fallback).c_str(), buffer.data(), kReadBuffer, path_.c_str());
  return ui::AnsiFromWide(std::wstring(buffer.data(), n));
}

bool IniProfileStore::WriteString(const std::string& section, const std::string& key,
                                  const std::string& value) {
  return WritePrivateProfileStringW(ui::WideFromAnsi(section).c_str(),
                                    ui::WideFromAnsi(key).c_str(), ui::WideFromAnsi(value).c_str(),
                                    path_.c_str()) != FALSE;
}

bool IniProfileStore::RemoveKey(const std::string& section, const std::string& key) {
  return WritePrivateProfileStringW(ui::WideFromAnsi(section).c_str(),
                                    ui::WideFromAnsi(key).c_str(), nullptr, path_.c_str()) != FALSE;
}

std::string StateFileStore::ReadString(const std::string& section, const std::string& key,
                                       const std::string& fallback) {
  return IniProfileStore(form_.FilePath()).ReadString(section, key, fallback);
}

bool StateFileStore::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value) {
  return ChangeThroughCopy(form_.FilePath(), [&](IniProfileStore& store) {
    return store.WriteString(section, key, value);
  });
}

bool StateFileStore::RemoveKey(const std::string& section, const std::string& key) {
  // Nothing to write where it is not there.
  if (ReadString(section, key, "").empty()) return true;
  return ChangeThroughCopy(form_.FilePath(),
                           [&](IniProfileStore& store) { return store.RemoveKey(section, key); });
}

TPersistentForm::TPersistentForm(std::string name, std::string className)
    : Form(std::move(name), std::move(className)) {}

void TPersistentForm::ComputeFilePath() {
  if (filePath_.empty()) {
    filePath_ = ui::ProgramFolder() + ui::Application::Instance().Title() + ".ini";
  }
}

void TPersistentForm::AddPersistentNames() { AddDefaultPersistentNames(names_); }

bool TPersistentForm::IsPersistentProperty(const std::string& className,
                                           const std::string& propertyName) const {
  return names_.IsPersistentProperty(className, propertyName);
}

void TPersistentForm::RestoreState() {
  AddPersistentNames();
  ComputeFilePath();
  IniProfileStore store(filePath_);
  const Bounds b = ReadBounds(store, Name());
  LoadProperties();
  if (b.top != 0) SetTop(b.top);
  if (b.left != 0) SetLeft(b.left);
  // A fixed-size window keeps the size its layout gives at this DPI; the
  // stored one may have been written at another scale.
  if (b.width != 0 && Sizeable()) SetWidth(b.width);
  if (b.height != 0 && Sizeable()) SetHeight(b.height);
}

void TPersistentForm::LoadProperties() {
  IniProfileStore store(filePath_);
  settings::LoadProperties(
      store, Name(), *this,
      [this](const std::string& c, const std::string& p) { return IsPersistentProperty(c, p); });
}

void TPersistentForm::SaveProperties() {
  IniProfileStore store(filePath_);
  SaveProperties(store);
}

void TPersistentForm::SaveProperties(ProfileStore& store) {
  settings::SaveProperties(
      store, Name(), *this,
      [this](const std::string& c, const std::string& p) { return IsPersistentProperty(c, p); });
}

void TPersistentForm::BeforeDestruction() {
  if (filePath_.empty()) return;
  const bool saved = ChangeThroughCopy(filePath_, [this](IniProfileStore& store) {
    WriteBounds(store, Name(), {Top(), Left(), Width(), Height()});
    SaveProperties(store);
    SaveMoreState(store);
    return true;
  });
  if (!saved) throw base::WriteError(filePath_);
}

}  // namespace settings
