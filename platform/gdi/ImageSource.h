#pragma once
// What an image transfer reads its pixels from: a decoded image in memory,
// or a DIB read where it lies (DibSource). Pixels are asked for in batches,
// so a source whose pixels are dear to find pays one call a batch.

#include <cstddef>
#include <cstdint>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// A pixel of a source image: top row 0, left column 0.
struct SourcePixel {
  int32_t row = 0, column = 0;
};

class ImageSource {
 public:
  virtual ~ImageSource() = default;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // The colour (red in bits 0-7) of each pixel asked for; every pixel lies
  // inside the image.
  virtual void Sample(const SourcePixel* at, size_t count, COLORREF* out) const = 0;
  // The alpha byte of each pixel asked for; false (and `out` untouched) for
  // a source without alpha.
  virtual bool SampleAlpha(const SourcePixel* at, size_t count, uint8_t* out) const {
    (void)at, (void)count, (void)out;
    return false;
  }
  // True when rows a and b are known to hold the same pixels, so what was
  // drawn from one may be drawn again for the other.
  virtual bool RowsAlike(int32_t a, int32_t b) const { return a == b; }
};

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
