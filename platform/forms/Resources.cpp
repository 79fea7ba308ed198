#include <orvane/forms/Resources.h>

#include <algorithm>
#include <vector>

#include <orvane/forms/Component.h>
#include <orvane/rtl/Exceptions.h>

namespace orvane::vcl {

namespace {

std::vector<Resource>& Table() {
  static std::vector<Resource> table;
  return table;
}

}  // namespace

void RegisterResource(const std::string& name, ResourceKind kind, const uint8_t* data, size_t size) {
  UnregisterResource(name, kind);
  Table().push_back(Resource{name, kind, data, size});
}

void UnregisterResource(const std::string& name, ResourceKind kind) {
  auto& table = Table();
  table.erase(std::remove_if(table.begin(), table.end(),
                             [&](const Resource& r) { return r.kind == kind && SameText(r.name, name); }),
              table.end());
}

const Resource* FindResource(const std::string& name, ResourceKind kind) {
  for (const Resource& r : Table())
    if (r.kind == kind && SameText(r.name, name)) return &r;
  return nullptr;
}

const Resource& GetResource(const std::string& name, ResourceKind kind) {
  const Resource* r = FindResource(name, kind);
  if (!r) throw rtl::EResNotFound(name);
  return *r;
}

}  // namespace orvane::vcl
