#include <orvane/forms/Component.h>

#include <algorithm>

namespace orvane::vcl {

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_) {
    // From the back: DestroyComponents deletes from the back.
    auto& list = owner_->components_;
    const auto it = std::find(list.rbegin(), list.rend(), this);
    if (it != list.rend()) list.erase(std::next(it).base());
  }
}

void TComponent::DestroyComponents() {
  // Each destructor removes its component from this list.
  while (!components_.empty()) delete components_.back();
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->Name(), name)) return c;
  return nullptr;
}

}  // namespace orvane::vcl
