#include "render/RenderJob.h"

#include <algorithm>
#include <cmath>

#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/Png.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Picture.h>
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
    orvane::SavePng(sprite, o.output);
    return;
  }
  orvane::vcl::TBitmap canvas;
  OpaqueCanvas(canvas, w, h, *o.background);
  if (picture.Graphic() && o.aliased) canvas.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, w, h), picture.Graphic());
  else if (picture.Graphic()) orvane::OrvaneStretchDraw(canvas.Canvas(), orvane::vcl::Rect(0, 0, w - 1, h - 1), picture.Graphic(), o.quality);
  else sprite.Draw(canvas.Canvas(), 0, 0);
  orvane::SavePng(canvas, o.output);
}

}  // namespace orvanetools
