// Components: named parts of a window, owned by it in creation order, each
// publishing a list of typed properties that form state persistence can walk
// the way run-time type information would allow.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace base {

enum class PropertyKind {
  Integer,
  Char,
  Boolean,      // the one enumeration whose values have texts
  Enumeration,  // any other enumeration
  Float,
  ShortString,
  LongString,
  Other,  // classes, methods, sets: never listed for persistence
};

using PropertyValue = std::variant<std::monostate, long long, char, bool, double, std::string>;

struct PublishedProperty {
  std::string name;
  PropertyKind kind;
  std::function<PropertyValue()> get;
  std::function<void(const PropertyValue&)> set;
};

class Component {
 public:
  Component(Component* owner, std::string name, std::string className);
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& ClassName() const { return className_; }
  Component* Owner() const { return owner_; }

  // Owned components in the order they were created.
  const std::vector<Component*>& Components() const { return components_; }
  Component* FindComponent(const std::string& name) const;

  const std::vector<PublishedProperty>& Properties() const { return properties_; }
  const PublishedProperty* FindProperty(const std::string& name) const;

  // Called once the owning window has built all its components.
  virtual void Loaded() {}

  // Asks `this` to tell `observer` (through Notification) when it is destroyed.
  void FreeNotification(Component* observer);
  void RemoveFreeNotification(Component* observer);

  // Creates a component owned by this one; the owner destroys it.
  template <class T, class... Args>
  T* Create(Args&&... args) {
    auto owned = std::make_unique<T>(this, std::forward<Args>(args)...);
    T* raw = owned.get();
    owned_.push_back(std::move(owned));
    return raw;
  }

 protected:
  void Publish(std::string name, PropertyKind kind, std::function<PropertyValue()> get,
               std::function<void(const PropertyValue&)> set);
  // Typed shorthands; a missing setter makes the property read-only.
  void PublishBool(std::string name, std::function<bool()> get,
                   std::function<void(bool)> set = nullptr);
  void PublishInt(std::string name, std::function<long long()> get,
                  std::function<void(long long)> set = nullptr);
  void PublishString(std::string name, std::function<std::string()> get,
                     std::function<void(const std::string&)> set = nullptr);
  // Published for completeness (fonts, pictures, events): never saved.
  void PublishOther(std::string name);
  // `component`, which this one asked to hear about, is being destroyed.
  virtual void Notification(Component* /*component*/) {}
  // Owned components are destroyed last created first.
  void DestroyComponents();
  bool Destroying() const { return destroying_; }

 private:
  Component* owner_;
  std::string name_;
  std::string className_;
  std::vector<Component*> components_;
  std::vector<std::unique_ptr<Component>> owned_;
  std::vector<PublishedProperty> properties_;
  std::vector<Component*> notifyTo_;    // told when this one goes
  std::vector<Component*> notifyFrom_;  // those this one listens to
  bool destroying_ = false;
};

}  // namespace base
