#include "ui/component.h"

#include <algorithm>

namespace ui {
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

}  // namespace ui
