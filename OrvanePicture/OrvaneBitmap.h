#pragma once
// TOrvaneBitmap: a pre-rendered sprite. A picture reduced once, at a fixed
// size and quality, to a colour raster and a coverage raster, then blended
// onto any canvas at any point as often as wanted. It is filled by Render
// (the filtered rendering of a graphic) or by LoadSpriteFile (a sprite file:
// width, height, colour plane, coverage plane).

#include <memory>
#include <string>

#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include <orvane/Quality.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

class TOrvaneBitmap {
 public:
  TOrvaneBitmap() = default;
  virtual ~TOrvaneBitmap();
  TOrvaneBitmap(const TOrvaneBitmap&) = delete;
  TOrvaneBitmap& operator=(const TOrvaneBitmap&) = delete;

  TFastBMP* ColorRaster() const { return ColorRaster_.get(); }
  TFastBMP* CoverageRaster() const { return CoverageRaster_.get(); }
  int32_t Width() const { return Width_; }
  int32_t Height() const { return Height_; }

  // Replaces the rasters by new ones of width x height and renders the graphic
  // into them, scaled by width / graphic width and height / graphic height.
  // A graphic of width or height 0 raises EZeroDivide (EInvalidOp when the
  // requested side is 0 as well) after the new, all-zero rasters are made.
  // No graphic, or a negative size, raises EInvalidOperation and leaves the
  // sprite as it was.
  void Render(const vcl::TGraphic* graphic, int32_t width, int32_t height, TOrvanePictureQuality quality);
  // The same with the quality and the drawing of thin lines given by `options`.
  void Render(const vcl::TGraphic* graphic, int32_t width, int32_t height, const FilteredDrawOptions& options);

  // Blends the sprite over the canvas with its top-left pixel at (x, y); the
  // canvas is read once and written once. A sprite without rasters draws nothing.
  void Draw(vcl::TCanvas& canvas, int32_t x, int32_t y) const;

  // Reads a sprite file (a regular file, opened for reading only). Failures
  // raise EInOutError with the runtime's code and text, or EOutOfMemory for
  // rasters that cannot be had; what the sprite holds afterwards depends on
  // the step that failed (see SpriteFileLoader.cpp).
  void LoadSpriteFile(const std::string& fileName);

 private:
  void ReplaceRasters(int32_t width, int32_t height);

  std::unique_ptr<TFastBMP> ColorRaster_;
  std::unique_ptr<TFastBMP> CoverageRaster_;
  int32_t Width_ = 0;
  int32_t Height_ = 0;
};

}  // namespace orvane

ORVANE_PUBLIC_END
