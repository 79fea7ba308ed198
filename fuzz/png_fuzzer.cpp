// Loads any bytes as a PNG file into a bitmap and writes what loads back
// into memory.

#include <orvane/FastBMP.h>
#include <orvane/Png.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    orvane::vcl::TBitmap bitmap;
    const auto coverage = orvane::LoadPng(bitmap, data, size);
    orvane::PngImage image;
    image.width = bitmap.Width();
    image.height = bitmap.Height();
    image.pixels.assign(size_t(image.width) * size_t(image.height) * 3, 0);
    orvane::EncodePng(image);
  } catch (const orvane::rtl::Exception&) {
  }
  return 0;
}
