#pragma once
// Windows metafiles (WMF) converted into enhanced-metafile bytes, so that
// one player draws both kinds: placeable ones (the 22-byte placeable header,
// key 0x9AC6CDD7, gives the box and its units) and standard ones (the WMF
// header right at the start), whose box is measured from their records.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane::vcl {

constexpr uint32_t kPlaceableWmfKey = 0x9AC6CDD7;

// The picture's box in the metafile's logical units (either corner first),
// and how many of them make an inch.
struct WmfBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  uint16_t unitsPerInch = 0;
};

// True when the data starts with the placeable key.
bool IsPlaceableWmf(const uint8_t* data, size_t size);
// True when the data starts with a standard WMF header: type 1 (in memory)
// or 2 (on disk), then a header size of 9 words.
bool IsStandardWmf(const uint8_t* data, size_t size);

// Converts a placeable WMF into EMF bytes (header with frame and reference
// device derived from the placeable header, records converted one by one,
// EOF). Returns false when the data is not a usable placeable WMF; records
// that fail their checks are skipped.
bool ConvertPlaceableWmfToEmf(const uint8_t* data, size_t size, std::vector<uint8_t>& emf);

// The same for a standard WMF, in the box MeasureStandardWmf gives;
// false when it gives none.
bool ConvertStandardWmfToEmf(const uint8_t* data, size_t size, std::vector<uint8_t>& emf);

// The box of a standard WMF (`data` its header and records), at 96 logical
// units an inch, one a pixel as a screen draws it: the window of its first
// SETWINDOWEXT record with both sides non-zero, from the origin of its first
// SETWINDOWORG record (0, 0 without one); without such an extent, the
// bounds of the points its drawing records give (lines from the current
// position, shapes' boxes, polygon and polyline points, pixels, where text
// starts, block transfers' destinations), a side of 0 counted as 1. False
// when neither gives a box.
bool MeasureStandardWmf(const uint8_t* data, size_t size, WmfBox& box);

}  // namespace orvane::vcl
