#include "settings/persistent_properties.h"

#include "base/error.h"
#include "settings/profile_values.h"

namespace settings {
namespace {

bool IsListedKind(base::PropertyKind kind) { return kind != base::PropertyKind::Other; }

template <class Visit>
void WalkPersistent(const base::Component& owner, const IsPersistent& isPersistent, Visit visit) {
  for (const base::Component* c : owner.Components()) {
    for (const auto& p : c->Properties()) {
      if (IsListedKind(p.kind) && isPersistent(c->ClassName(), p.name)) {
        visit(c->Name() + "." + p.name, p);
      }
    }
  }
}

void Write(ProfileStore& store, const std::string& section, const std::string& key,
           const std::string& value) {
  if (!store.WriteString(section, key, value)) throw base::WriteError(store.Path());
}

}  // namespace

bool PersistentNames::IsPersistentProperty(const std::string& className,
                                           const std::string& propertyName) const {
  return names_.contains(propertyName) || names_.contains(className + "." + propertyName);
}

IsPersistent ByNames(const PersistentNames& names) {
  return [&names](const std::string& cls, const std::string& property) {
    return names.IsPersistentProperty(cls, property);
  };
}

void AddDefaultPersistentNames(PersistentNames& names) {
  for (const char* n : {"Text", "Checked", "Position", "InitialDir", "FileName"}) names.Add(n);
}

Bounds ReadBounds(ProfileStore& store, const std::string& section) {
  auto read = [&](const char* key) { return ParseBound(store.ReadString(section, key, "0")); };
  Bounds b;
  b.top = read("Top");
  b.left = read("Left");
  b.width = read("Width");
  b.height = read("Height");
  return b;
}

void WriteBounds(ProfileStore& store, const std::string& section, const Bounds& bounds) {
  Write(store, section, "Top", std::to_string(bounds.top));
  Write(store, section, "Left", std::to_string(bounds.left));
  Write(store, section, "Width", std::to_string(bounds.width));
  Write(store, section, "Height", std::to_string(bounds.height));
}

void LoadProperties(ProfileStore& store, const std::string& section, const base::Component& owner,
                    const IsPersistent& isPersistent) {
  WalkPersistent(owner, isPersistent,
                 [&](const std::string& key, const base::PublishedProperty& p) {
                   ApplyPropertyText(p, store.ReadString(section, key, ""));
                 });
}

void SaveProperties(ProfileStore& store, const std::string& section, const base::Component& owner,
                    const IsPersistent& isPersistent) {
  WalkPersistent(owner, isPersistent,
                 [&](const std::string& key, const base::PublishedProperty& p) {
                   const auto text = PropertyToText(p);
                   if (text && !text->empty()) Write(store, section, key, *text);
                 });
}

}  // namespace settings
