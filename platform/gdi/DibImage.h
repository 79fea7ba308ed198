#pragma once
// Device-independent bitmaps decoded into memory (DibSource reads them
// where they lie). Drawing images into device space is the rasteriser's
// (detail/ImageDrawing.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// A decoded image: top row first, each pixel a colour value (red in bits 0-7).
struct DibImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<COLORREF> pixels;
};

// Decodes a DIB whose header (with colour table) and bits are given
// separately, as metafile records hold them. Returns false on any
// inconsistency (and leaves `out` empty). Images above `maxPixels` are refused.
bool DecodeDib(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize, DibImage& out,
               uint64_t maxPixels = uint64_t{1} << 26);

// Decodes a packed DIB: header, colour table and bits in one block (bitsOffset
// 0 means the bits follow the colour table).
bool DecodePackedDib(const uint8_t* data, size_t size, DibImage& out, size_t bitsOffset = 0);

// Bytes taken by a DIB's header, bit-field masks and colour table (where the
// bits of a packed DIB begin); 0 when the header is not a valid DIB header.
uint64_t DibHeaderLength(const uint8_t* data, size_t size);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
