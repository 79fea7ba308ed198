#include "graphics/WmfConverter.h"

namespace vcl {

// The record conversion comes with the WMF reader.
bool IsPlaceableWmf(const uint8_t*, size_t) { return false; }
bool ConvertPlaceableWmfToEmf(const uint8_t*, size_t, std::vector<uint8_t>&) { return false; }

}  // namespace vcl
