#pragma once
// Placeable Windows metafiles (WMF with the 22-byte placeable header, key
// 0x9AC6CDD7) converted into enhanced-metafile bytes, so that one player
// draws both kinds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane::vcl {

constexpr uint32_t kPlaceableWmfKey = 0x9AC6CDD7;

// True when the data starts with the placeable key.
bool IsPlaceableWmf(const uint8_t* data, size_t size);

// Converts a placeable WMF into EMF bytes (header with frame and reference
// device derived from the placeable header, records converted one by one,
// EOF). Returns false when the data is not a usable placeable WMF; records
// that fail their checks are skipped.
bool ConvertPlaceableWmfToEmf(const uint8_t* data, size_t size, std::vector<uint8_t>& emf);

}  // namespace orvane::vcl
