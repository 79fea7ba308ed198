#pragma once
// TComponent: the root of everything a form definition creates. A component
// may have an owner; the owner destroys what it owns, the last one first,
// when it is destroyed itself. A component destroyed on its own leaves its
// owner's list.

#include <cstdint>
#include <string>
#include <vector>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  virtual const char* ClassName() const { return "TComponent"; }

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& value) { name_ = value; }
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t value) { tag_ = value; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  // The owned component of that name (case-insensitive), or nullptr.
  TComponent* FindComponent(const std::string& name) const;

  // Design state: true only inside a form designer; tests may set it.
  bool IsDesigning() const { return designing_; }
  void SetDesigning(bool value) { designing_ = value; }
  // True while a form definition is being read into the component.
  bool IsLoading() const { return loading_; }
  void SetLoading(bool value) { loading_ = value; }
  // Called once a form definition has been read completely.
  virtual void Loaded() { loading_ = false; }

 protected:
  // Destroys the owned components, the last one first. Classes whose owned
  // components refer back to them call this from their own destructor.
  void DestroyComponents();

 private:
  TComponent* owner_;
  std::string name_;
  intptr_t tag_ = 0;
  bool designing_ = false;
  bool loading_ = false;
  std::vector<TComponent*> components_;
};

// ASCII case-insensitive comparison, as component and property names compare.
bool SameText(const std::string& a, const std::string& b);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
