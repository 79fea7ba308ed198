#pragma once
// Writing sprite files, the format TOrvaneBitmap::LoadSpriteFile reads:
// width and height (4 bytes each, little-endian), the colour plane (red,
// green, blue per pixel, rows without gaps) and the coverage plane.

#include <cstdint>
#include <string>
#include <vector>

#include <orvane/OrvaneBitmap.h>

namespace orvanetools {

// The file bytes of a sprite (just the 8-byte header for a sprite without rasters).
std::vector<uint8_t> EncodeSprite(const orvane::TOrvaneBitmap& sprite);

// Writes the sprite so that the file appears complete or not at all.
void WriteSpriteFile(const std::string& path, const orvane::TOrvaneBitmap& sprite);

}  // namespace orvanetools
