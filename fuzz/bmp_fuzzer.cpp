// Loads any bytes as a BMP file and draws what loads; then reads the bytes
// after the first as a packed DIB where they lie and transfers it (upright,
// turned, masked by itself, through a transparent colour, blended) with the
// raster operation the first byte names; then decodes it and stretches it.

#include "FuzzHelpers.h"
#include <orvane/gdi/DibImage.h>
#include <orvane/gdi/DibSource.h>
#include <orvane/gdi/detail/ImageDrawing.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvane::vcl::TBitmap target;
  target.SetSize(16, 16);
  // A loaded bitmap holds every pixel it declares: huge ones only slow the fuzzer.
  if (size < 14 || !fuzzhelp::ClaimsHugeImage(data + 14, size - 14)) {
    try {
      orvane::vcl::TBitmap bitmap;
      bitmap.LoadFromBytes(data, size);
      target.Canvas().StretchDraw(orvane::vcl::Rect(-3, 2, 20, 11), &bitmap);
      target.Canvas().StretchDraw(orvane::vcl::Rect(15, 15, 0, 0), &bitmap);
    } catch (const orvane::rtl::Exception&) {
    }
  }

  if (size < 2) return 0;
  orvane::gdi::RenderTarget surface(*target.Canvas().Handle());
  static const uint32_t kRops[] = {0x00CC0020, 0x00EE0086, 0x008800C6, 0x00660046,
                                   0x00330008, 0x00000042, 0x00FF0062, 0x00550009, 0x00F00021};
  const uint32_t rop = kRops[data[0] % (sizeof(kRops) / sizeof(kRops[0]))];
  // Read where it lies, a DIB costs its bytes and the pixels drawn, whatever it claims.
  orvane::gdi::DibSource dib;
  if (dib.OpenPacked(data + 1, size - 1)) {
    const int32_t w = dib.Width(), h = dib.Height();
    orvane::gdi::ImageTransfer how;
    how.rasterOp = rop;
    orvane::gdi::TransferImage(surface, dib, {-2.5, 1.5, 16.5, 1.5, -2.5, -10.5}, -1, 0, w + 2, h, how);
    how.mask = &dib;
    how.maskOffset = {1, -1};
    how.maskedOutRasterOp = 0x00550009;
    orvane::gdi::TransferImage(surface, dib, {3, 0, 15, 9, -6, 12}, w, h, -w, -h, how);
    how.mask = nullptr;
    how.transparentColor = 0xFFFFFF;
    orvane::gdi::TransferImage(surface, dib, {0, 0, 16, 0, 0, 16}, 0, 0, w, h, how);
    how.blend = true;
    how.sourceAlpha = true;
    how.constantAlpha = data[0];
    orvane::gdi::TransferImage(surface, dib, {16, 16, 0, 16, 16, 0}, 0, 0, w, h, how);
  }

  if (fuzzhelp::ClaimsHugeImage(data + 1, size - 1)) return 0;
  orvane::gdi::DibImage image;
  if (orvane::gdi::DecodePackedDib(data + 1, size - 1, image)) {
    orvane::gdi::StretchImage(surface, image, -2.5, 1.5, 19.0, -12.0, -1, 0, image.width + 2, image.height, rop);
    orvane::gdi::StretchImage(surface, image, 1e12, -1e12, -2e12, 3e12, image.width, 0, -image.width, image.height, rop);
  }
  return 0;
}
