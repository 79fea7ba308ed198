#include "render/PngEncoding.h"

#include <algorithm>
#include <optional>
#include <vector>

#include <orvane/FastBMP.h>
#include <orvane/gdi/BitmapObject.h>

namespace orvanetools {

namespace {

// Pixels of B, G, R(, x) `step` bytes apart as R, G, B, with the red byte
// of each coverage pixel (three bytes apart) as alpha when there is coverage.
void ToPngRow(const uint8_t* colour, int32_t step, const uint8_t* coverage, int32_t width, uint8_t* out) {
  for (int32_t x = 0; x < width; ++x, colour += step) {
    *out++ = colour[2];
    *out++ = colour[1];
    *out++ = colour[0];
    if (coverage) *out++ = coverage[3 * x + 2];
  }
}

}  // namespace

void WritePngOfSprite(const orvane::TOrvaneBitmap& sprite, const PngSink& sink) {
  const orvane::TFastBMP* colour = sprite.ColorRaster();
  const orvane::TFastBMP* coverage = sprite.CoverageRaster();
  const bool rasters = colour && coverage;
  const int32_t width = rasters ? std::max(0, colour->Width()) : 0, height = rasters ? colour->Height() : 0;
  orvane::PngRowWriter png(width, height, 4, sink);
  std::vector<uint8_t> row(size_t(width) * 4);
  for (int32_t y = 0; y < height; ++y) {
    ToPngRow(colour->RowStarts()[y], 3, coverage->RowStarts()[y], width, row.data());
    png.WriteRow(row.data());
  }
  png.Finish();
}

void WritePngOfBitmap(const orvane::vcl::TBitmap& bitmap, const PngSink& sink) {
  const orvane::gdi::BitmapObject* surface = bitmap.Surface();
  const int32_t width = surface ? std::max(0, bitmap.Width()) : 0, height = surface ? bitmap.Height() : 0;
  orvane::PngRowWriter png(width, height, 3, sink);
  std::vector<uint8_t> row(size_t(width) * 3);
  for (int32_t y = 0; y < height; ++y) {
    ToPngRow(surface->Row(y), surface->BytesPerPixel(), nullptr, width, row.data());
    png.WriteRow(row.data());
  }
  png.Finish();
}

void WritePngOfDrawing(const orvane::vcl::TGraphic& graphic, orvane::PixelSize size,
                       const orvane::RgbaOptions& options, const PngSink& sink) {
  const bool opaque = options.alpha == orvane::AlphaMode::Opaque;
  const auto width = static_cast<int32_t>(size.width), height = static_cast<int32_t>(size.height);
  // Made with the first rows, after the drawing has raised whatever it raises for its size.
  std::optional<orvane::PngRowWriter> png;
  std::vector<uint8_t> rgb(opaque ? size_t(width) * 3 : 0);
  orvane::DrawRgbaRows(graphic, orvane::PictureSize::Exact(width, height), options, [&](const orvane::RgbaRows& rows) {
    if (!png) png.emplace(width, height, opaque ? 3 : 4, sink);
    for (int32_t r = 0; r < rows.count; ++r) {
      const uint8_t* row = rows.Row(r);
      if (opaque) {
        // An opaque drawing's alpha is 255 throughout: RGB says the same.
        for (int32_t x = 0; x < width; ++x) std::copy_n(row + 4 * size_t(x), 3, &rgb[3 * size_t(x)]);
        row = rgb.data();
      }
      png->WriteRow(row);
    }
  });
  png->Finish();
}

}  // namespace orvanetools
