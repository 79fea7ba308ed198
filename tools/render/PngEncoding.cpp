#include "render/PngEncoding.h"

#include <orvane/FastBMP.h>
#include <orvane/Png.h>
#include <orvane/gdi/BitmapObject.h>

namespace orvanetools {

namespace {

// Appends a row of B, G, R(, x) pixels `step` bytes apart as R, G, B, and
// the red channel of a coverage row as alpha when there is one.
void AppendRow(std::vector<uint8_t>& out, const uint8_t* colour, int32_t step, const uint8_t* coverage, int32_t width) {
  for (int32_t x = 0; x < width; ++x, colour += step) {
    out.insert(out.end(), {colour[2], colour[1], colour[0]});
    if (coverage) out.push_back(coverage[3 * x + 2]);
  }
}

orvane::PngImage Image(int32_t width, int32_t height, int channels) {
  orvane::PngImage png;
  png.width = width;
  png.height = height;
  png.channels = channels;
  png.pixels.reserve(size_t(width) * size_t(height) * size_t(channels));
  return png;
}

}  // namespace

std::vector<uint8_t> PngOfSprite(const orvane::TOrvaneBitmap& sprite) {
  const orvane::TFastBMP* colour = sprite.ColorRaster();
  const orvane::TFastBMP* coverage = sprite.CoverageRaster();
  const bool rasters = colour && coverage;
  orvane::PngImage png = Image(rasters ? colour->Width() : 0, rasters ? colour->Height() : 0, 4);
  for (int32_t y = 0; y < png.height; ++y)
    AppendRow(png.pixels, colour->RowStarts()[y], 3, coverage->RowStarts()[y], png.width);
  return orvane::EncodePng(png);
}

std::vector<uint8_t> PngOfBitmap(const orvane::vcl::TBitmap& bitmap) {
  const orvane::gdi::BitmapObject* surface = bitmap.Surface();
  orvane::PngImage png = Image(surface ? bitmap.Width() : 0, surface ? bitmap.Height() : 0, 3);
  for (int32_t y = 0; y < png.height; ++y) AppendRow(png.pixels, surface->Row(y), surface->BytesPerPixel(), nullptr, png.width);
  return orvane::EncodePng(png);
}

}  // namespace orvanetools
