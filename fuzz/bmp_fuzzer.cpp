// Loads any bytes as a BMP file and draws what loads; then decodes the bytes
// after the first as a packed DIB and stretches it with the raster operation
// the first byte names.

#include "FuzzHelpers.h"
#include <orvane/gdi/DibImage.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 14 && fuzzhelp::ClaimsHugeImage(data + 14, size - 14)) return 0;
  orvane::vcl::TBitmap target;
  target.SetSize(16, 16);
  try {
    orvane::vcl::TBitmap bitmap;
    bitmap.LoadFromBytes(data, size);
    target.Canvas().StretchDraw(orvane::vcl::Rect(-3, 2, 20, 11), &bitmap);
    target.Canvas().StretchDraw(orvane::vcl::Rect(15, 15, 0, 0), &bitmap);
  } catch (const orvane::rtl::Exception&) {
  }

  if (size < 2 || fuzzhelp::ClaimsHugeImage(data + 1, size - 1)) return 0;
  orvane::gdi::DibImage image;
  if (orvane::gdi::DecodePackedDib(data + 1, size - 1, image)) {
    orvane::gdi::RenderTarget surface(*target.Canvas().Handle());
    static const uint32_t kRops[] = {0x00CC0020, 0x00EE0086, 0x008800C6, 0x00660046,
                                     0x00330008, 0x00000042, 0x00FF0062, 0x00550009, 0x00F00021};
    const uint32_t rop = kRops[data[0] % (sizeof(kRops) / sizeof(kRops[0]))];
    orvane::gdi::StretchImage(surface, image, -2.5, 1.5, 19.0, -12.0, -1, 0, image.width + 2, image.height, rop);
    orvane::gdi::StretchImage(surface, image, 1e12, -1e12, -2e12, 3e12, image.width, 0, -image.width, image.height, rop);
  }
  return 0;
}
