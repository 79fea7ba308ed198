#include <orvane/OrvaneBitmap.h>

#include <orvane/FilteredDraw.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>
#include <orvane/rtl/Messages.h>

namespace orvane {

TOrvaneBitmap::~TOrvaneBitmap() {
  ColorRaster_.reset();
  CoverageRaster_.reset();
}

// Frees the colour raster, then the coverage raster, and makes new ones in
// the same order; if the second cannot be made, the sprite keeps the first.
void TOrvaneBitmap::ReplaceRasters(int32_t width, int32_t height) {
  ColorRaster_.reset();
  CoverageRaster_.reset();
  ColorRaster_ = std::make_unique<TFastBMP>(width, height);
  CoverageRaster_ = std::make_unique<TFastBMP>(width, height);
}

void TOrvaneBitmap::Render(const vcl::TGraphic* graphic, int32_t width, int32_t height,
                           TOrvanePictureQuality quality) {
  Render(graphic, width, height, FilteredDrawOptions{quality, ThinLines::Exact});
}

void TOrvaneBitmap::Render(const vcl::TGraphic* graphic, int32_t width, int32_t height,
                           const FilteredDrawOptions& options) {
  if (!graphic) throw rtl::EInvalidOperation(rtl::msg::NoGraphic);
  if (width < 0 || height < 0) throw rtl::EInvalidOperation(rtl::msg::NegativeSize);
  Width_ = width;
  Height_ = height;
  ReplaceRasters(width, height);
  const double scaleX = rtl::CheckedDivide(width, graphic->Width());
  const double scaleY = rtl::CheckedDivide(height, graphic->Height());
  RenderFiltered(*ColorRaster_, *CoverageRaster_, *graphic, options, scaleX, scaleY);
}

void TOrvaneBitmap::Draw(vcl::TCanvas& canvas, int32_t x, int32_t y) const {
  if (!ColorRaster_ || !CoverageRaster_) return;
  // The size is the colour raster's own: after a failed load it still
  // describes what the rasters hold.
  const int32_t w = ColorRaster_->Width(), h = ColorRaster_->Height();
  if (w <= 0 || h <= 0) return;  // no pixels to blend
  TFastBMP backdrop(w, h);
  gdi::HDC target = canvas.Handle();
  gdi::BitBlt(backdrop.MemoryDC(), 0, 0, w, h, target, x, y, gdi::SRCCOPY);
  backdrop.BlendWithCoverage(*ColorRaster_, *CoverageRaster_, std::min(w, CoverageRaster_->Width()),
                             std::min(h, CoverageRaster_->Height()));
  gdi::BitBlt(target, x, y, w, h, backdrop.MemoryDC(), 0, 0, gdi::SRCCOPY);
}

}  // namespace orvane
