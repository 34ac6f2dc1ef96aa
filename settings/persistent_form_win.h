// A window that keeps its bounds and its controls' chosen properties in an
// initialization file beside the executable, named after the application.
#pragma once

#include <string>

#include "settings/persistent_properties.h"
#include "ui/form_win.h"
#include "ui/paths_win.h"

namespace settings {

// The initialization file through the profile API.
class IniProfileStore : public ProfileStore {
 public:
  // `shownPath` is the file the messages name, when the values go to a
  // working copy of it.
  explicit IniProfileStore(const std::string& path) : path_(ui::FilePath(path)), shown_(path) {}
  IniProfileStore(std::wstring path, std::string shownPath)
      : path_(std::move(path)), shown_(std::move(shownPath)) {}
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;
  bool RemoveKey(const std::string& section, const std::string& key) override;
  std::string Path() const override { return shown_; }

 private:
  std::wstring path_;
  std::string shown_;
};

class TPersistentForm : public ui::Form {
 public:
  TPersistentForm(std::string name, std::string className);

  // Saves the state; throws base::WriteError when the file cannot be written.
  void BeforeDestruction() override;

  const std::string& FilePath() const { return filePath_; }
  // For a window that keeps its file elsewhere (tests); set before construction ends.
  void SetFilePath(std::string path) { filePath_ = std::move(path); }

  virtual void SaveProperties();
  virtual void LoadProperties();
  virtual bool IsPersistentProperty(const std::string& className,
                                    const std::string& propertyName) const;
  virtual void AddPersistentNames();
  // More of the window's own state, saved in the same step as its
  // properties (other sections of the same file).
  virtual void SaveMoreState(ProfileStore&) {}

 protected:
  void RestoreState() override;
  PersistentNames& Names() { return names_; }

 private:
  void ComputeFilePath();
  // The chosen properties into any store (the file, or a copy of it).
  void SaveProperties(ProfileStore& store);
  std::string filePath_;
  PersistentNames names_;
};

// A window's initialization file for values of other sections that must be
// kept the moment they change (a killed program keeps them): each written
// through a copy that then replaces the file, as the window's own save is.
class StateFileStore : public ProfileStore {
 public:
  explicit StateFileStore(const TPersistentForm& form) : form_(form) {}
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  bool WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;
  bool RemoveKey(const std::string& section, const std::string& key) override;
  std::string Path() const override { return form_.FilePath(); }

 private:
  const TPersistentForm& form_;
};

}  // namespace settings
