// The walk that keeps a window's bounds and chosen control properties in an
// initialization file between runs. The file itself is behind ProfileStore.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "base/component.h"

namespace settings {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) = 0;
  // False when the value could not be written.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
  // False when the key could not be taken out; a key that is not there is out.
  virtual bool RemoveKey(const std::string& section, const std::string& key) {
    return WriteString(section, key, "");
  }
  // The file's full path, for messages.
  virtual std::string Path() const = 0;
};

class PersistentNames {
 public:
  void Add(const std::string& name) { names_.insert(name); }
  // A bare property name, or "Class.Property" for one class only.
  bool IsPersistentProperty(const std::string& className, const std::string& propertyName) const;

 private:
  std::set<std::string> names_;
};

// The five names every persistent window starts with.
void AddDefaultPersistentNames(PersistentNames& names);

struct Bounds {
  int top = 0, left = 0, width = 0, height = 0;
};

// Each bound reads 0 when absent or not a number.
Bounds ReadBounds(ProfileStore& store, const std::string& section);
// Throws base::WriteError at the first value that cannot be written.
void WriteBounds(ProfileStore& store, const std::string& section, const Bounds& bounds);

// (class name, property name) -> whether the property is kept.
using IsPersistent = std::function<bool(const std::string&, const std::string&)>;

// Over the owner's components in creation order and each one's published
// properties of the saved kinds that the predicate picks out.
void LoadProperties(ProfileStore& store, const std::string& section, const base::Component& owner,
                    const IsPersistent& isPersistent);
void SaveProperties(ProfileStore& store, const std::string& section, const base::Component& owner,
                    const IsPersistent& isPersistent);
IsPersistent ByNames(const PersistentNames& names);

}  // namespace settings
