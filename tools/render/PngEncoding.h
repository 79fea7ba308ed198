#pragma once
// PNG file bytes of what orvane-render draws.

#include <cstdint>
#include <vector>

#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Bitmap.h>

namespace orvanetools {

// A sprite as RGBA: its colours with its coverage as alpha.
std::vector<uint8_t> PngOfSprite(const orvane::TOrvaneBitmap& sprite);

// An opaque bitmap as RGB.
std::vector<uint8_t> PngOfBitmap(const orvane::vcl::TBitmap& bitmap);

}  // namespace orvanetools
