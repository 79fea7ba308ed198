#pragma once
// Resources compiled into the program: named byte blocks of three kinds. The
// build embeds files with orvane_add_resources (cmake/OrvaneTargets.cmake),
// which generates a source that registers each block at start-up; a form's
// definition is found under its class name in capitals ("TFORM1").

#include <cstddef>
#include <cstdint>
#include <string>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

enum class ResourceKind : uint8_t { FormDefinition, Binary, IconGroup };

struct Resource {
  std::string name;
  ResourceKind kind = ResourceKind::Binary;
  const uint8_t* data = nullptr;  // lives as long as the program (or the registering test)
  size_t size = 0;
};

// Adds a resource; a later one of the same name and kind replaces it.
void RegisterResource(const std::string& name, ResourceKind kind, const uint8_t* data, size_t size);
// Removes a resource (for tests that register their own).
void UnregisterResource(const std::string& name, ResourceKind kind);
// The resource, or nullptr; names compare case-insensitively.
const Resource* FindResource(const std::string& name, ResourceKind kind);
// The resource, or EResNotFound "Ressource <name> wurde nicht gefunden".
const Resource& GetResource(const std::string& name, ResourceKind kind);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
