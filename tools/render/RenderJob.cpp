#include "render/RenderJob.h"

#include <algorithm>
#include <cmath>

#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Picture.h>
#include "png/PngWriter.h"
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>
#include <orvane/rtl/Messages.h>
#include "sprite/SpriteWriter.h"

namespace orvanetools {

namespace {

constexpr int32_t kLargestDefaultSide = 2048;

// The target size: as asked, with a 0 side following the aspect ratio, or the
// picture's own size scaled down to fit 2048 x 2048.
void TargetSize(const RenderOptions& o, int32_t pictureWidth, int32_t pictureHeight, int32_t& w, int32_t& h,
                std::string& notes) {
  if (o.hasSize) {
    w = o.width;
    h = o.height;
    if (w == 0) w = static_cast<int32_t>(orvane::rtl::RoundHalfEven(orvane::rtl::CheckedDivide(double(h) * pictureWidth, pictureHeight)));
    if (h == 0) h = static_cast<int32_t>(orvane::rtl::RoundHalfEven(orvane::rtl::CheckedDivide(double(w) * pictureHeight, pictureWidth)));
    return;
  }
  w = pictureWidth;
  h = pictureHeight;
  if (w > kLargestDefaultSide || h > kLargestDefaultSide) {
    const double scale = std::min(double(kLargestDefaultSide) / w, double(kLargestDefaultSide) / h);
    w = std::max<int32_t>(1, static_cast<int32_t>(std::lround(w * scale)));
    h = std::max<int32_t>(1, static_cast<int32_t>(std::lround(h * scale)));
    notes += "the picture is " + std::to_string(pictureWidth) + "x" + std::to_string(pictureHeight) +
             " pixels; drawing it at " + std::to_string(w) + "x" + std::to_string(h) + " to fit 2048x2048\n";
  }
}

PngImage FromCanvas(orvane::vcl::TBitmap& bitmap) {
  PngImage png;
  png.width = bitmap.Width();
  png.height = bitmap.Height();
  png.channels = 3;
  png.pixels.reserve(static_cast<size_t>(png.width) * png.height * 3);
  for (int32_t y = 0; y < png.height; ++y)
    for (int32_t x = 0; x < png.width; ++x) {
      const uint32_t c = static_cast<uint32_t>(bitmap.Canvas().Pixel(x, y));
      png.pixels.insert(png.pixels.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    }
  return png;
}

// Colour from the colour raster, alpha from the coverage raster.
PngImage FromSprite(const orvane::TOrvaneBitmap& sprite) {
  PngImage png;
  const orvane::TFastBMP* color = sprite.ColorRaster();
  const orvane::TFastBMP* coverage = sprite.CoverageRaster();
  png.width = color ? std::max(0, color->Width()) : 0;
  png.height = color ? std::max(0, color->Height()) : 0;
  png.channels = 4;
  for (int32_t y = 0; y < png.height; ++y) {
    const uint8_t* c = color->RowStarts()[y];
    const uint8_t* a = coverage->RowStarts()[y];
    for (int32_t x = 0; x < png.width; ++x, c += 3, a += 3) png.pixels.insert(png.pixels.end(), {c[2], c[1], c[0], a[2]});
  }
  return png;
}

void OpaqueCanvas(orvane::vcl::TBitmap& bitmap, int32_t w, int32_t h, uint32_t colour) {
  bitmap.SetSize(w, h);
  bitmap.Canvas().Brush().SetColor(static_cast<orvane::vcl::TColor>(colour));
  bitmap.Canvas().FillRect(orvane::vcl::Rect(0, 0, w, h));
}

}  // namespace

void RunRenderJob(const RenderOptions& o, std::string& notes) {
  const bool spriteOut = LowerExtension(o.output) == "obm";
  orvane::TOrvaneBitmap sprite;
  orvane::vcl::TPicture picture;
  int32_t w = 0, h = 0;

  if (LowerExtension(o.input) == "obm") {
    sprite.LoadSpriteFile(o.input);
    w = sprite.Width();
    h = sprite.Height();
  } else {
    picture.LoadFromFile(o.input);
    TargetSize(o, picture.Width(), picture.Height(), w, h, notes);
    if (spriteOut || !o.background) sprite.Render(picture.Graphic(), w, h, o.quality);
  }

  if (w <= 0 || h <= 0) throw orvane::rtl::EInvalidOperation(orvane::rtl::msg::NegativeSize);
  if (spriteOut) {
    WriteSpriteFile(o.output, sprite);
    return;
  }
  if (!o.background) {
    WritePngFile(o.output, FromSprite(sprite));
    return;
  }
  orvane::vcl::TBitmap canvas;
  OpaqueCanvas(canvas, w, h, *o.background);
  if (picture.Graphic() && o.aliased) canvas.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, w, h), picture.Graphic());
  else if (picture.Graphic()) orvane::OrvaneStretchDraw(canvas.Canvas(), orvane::vcl::Rect(0, 0, w - 1, h - 1), picture.Graphic(), o.quality);
  else sprite.Draw(canvas.Canvas(), 0, 0);
  WritePngFile(o.output, FromCanvas(canvas));
}

}  // namespace orvanetools
