#include "base/component.h"

#include <algorithm>

namespace base {
namespace {

void Erase(std::vector<Component*>& v, Component* c) { std::erase(v, c); }

}  // namespace

Component::Component(Component* owner, std::string name, std::string className)
    : owner_(owner), name_(std::move(name)), className_(std::move(className)) {
  if (owner_) owner_->components_.push_back(this);
}

Component::~Component() {
  destroying_ = true;
  DestroyComponents();
  for (Component* observer : std::vector<Component*>(notifyTo_)) {
    Erase(observer->notifyFrom_, this);
    observer->Notification(this);
  }
  for (Component* subject : notifyFrom_) Erase(subject->notifyTo_, this);
  if (owner_) Erase(owner_->components_, this);
}

void Component::DestroyComponents() {
  while (!owned_.empty()) {
    // Pop first so the component's own destructor sees a consistent owner.
    auto last = std::move(owned_.back());
    owned_.pop_back();
    last.reset();
  }
}

Component* Component::FindComponent(const std::string& name) const {
  for (Component* c : components_) {
    if (c->Name() == name) return c;
  }
  return nullptr;
}

const PublishedProperty* Component::FindProperty(const std::string& name) const {
  for (const auto& p : properties_) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

void Component::FreeNotification(Component* observer) {
  if (!observer || observer == this) return;
  if (std::find(notifyTo_.begin(), notifyTo_.end(), observer) == notifyTo_.end()) {
    notifyTo_.push_back(observer);
    observer->notifyFrom_.push_back(this);
  }
}

void Component::RemoveFreeNotification(Component* observer) {
  Erase(notifyTo_, observer);
  if (observer) Erase(observer->notifyFrom_, this);
}

void Component::Publish(std::string name, PropertyKind kind, std::function<PropertyValue()> get,
                        std::function<void(const PropertyValue&)> set) {
  properties_.push_back({std::move(name), kind, std::move(get), std::move(set)});
}

namespace {

// A setter taking the value of one alternative; other values are ignored.
template <class T, class Set>
std::function<void(const PropertyValue&)> Typed(Set set) {
  if (!set) return nullptr;
  return [set = std::move(set)](const PropertyValue& v) {
    if (const T* value = std::get_if<T>(&v)) set(*value);
  };
}

}  // namespace

void Component::PublishBool(std::string name, std::function<bool()> get,
                            std::function<void(bool)> set) {
  Publish(
      std::move(name), PropertyKind::Boolean,
      [get = std::move(get)] { return PropertyValue(get()); }, Typed<bool>(std::move(set)));
}

void Component::PublishInt(std::string name, std::function<long long()> get,
                           std::function<void(long long)> set) {
  Publish(
      std::move(name), PropertyKind::Integer,
      [get = std::move(get)] { return PropertyValue(get()); }, Typed<long long>(std::move(set)));
}

void Component::PublishString(std::string name, std::function<std::string()> get,
                              std::function<void(const std::string&)> set) {
  Publish(
      std::move(name), PropertyKind::LongString,
      [get = std::move(get)] { return PropertyValue(get()); }, Typed<std::string>(std::move(set)));
}

void Component::PublishOther(std::string name) {
  Publish(
      std::move(name), PropertyKind::Other, [] { return PropertyValue(); }, nullptr);
}

}  // namespace base
