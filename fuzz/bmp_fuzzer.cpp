// Loads any bytes as a BMP file and draws what loads; then decodes the bytes
// after the first as a packed DIB and stretches it with the raster operation
// the first byte names.

#include "FuzzHelpers.h"
#include "gdi/DibImage.h"
#include "graphics/Bitmap.h"
#include "rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 14 && fuzzhelp::ClaimsHugeImage(data + 14, size - 14)) return 0;
  vcl::TBitmap target;
  target.SetSize(16, 16);
  try {
    vcl::TBitmap bitmap;
    bitmap.LoadFromBytes(data, size);
    target.Canvas().StretchDraw(vcl::Rect(-3, 2, 20, 11), &bitmap);
    target.Canvas().StretchDraw(vcl::Rect(15, 15, 0, 0), &bitmap);
  } catch (const rtl::Exception&) {
  }

  if (size < 2 || fuzzhelp::ClaimsHugeImage(data + 1, size - 1)) return 0;
  gdi::DibImage image;
  if (gdi::DecodePackedDib(data + 1, size - 1, image)) {
    gdi::RenderTarget surface(*target.Canvas().Handle());
    static const uint32_t kRops[] = {0x00CC0020, 0x00EE0086, 0x008800C6, 0x00660046,
                                     0x00330008, 0x00000042, 0x00FF0062, 0x00550009, 0x00F00021};
    const uint32_t rop = kRops[data[0] % (sizeof(kRops) / sizeof(kRops[0]))];
    gdi::StretchImage(surface, image, -2.5, 1.5, 19.0, -12.0, -1, 0, image.width + 2, image.height, rop);
    gdi::StretchImage(surface, image, 1e12, -1e12, -2e12, 3e12, image.width, 0, -image.width, image.height, rop);
  }
  return 0;
}
