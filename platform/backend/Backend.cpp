#include "backend/Backend.h"

#include "backend/HeadlessBackend.h"

namespace backend {

std::unique_ptr<Backend> CreateDefaultBackend() { return std::make_unique<HeadlessBackend>(); }

}  // namespace backend
