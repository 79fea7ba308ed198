#include "OrvanePicture/FilteredDraw.h"

#include <memory>

#include "OrvanePicture/ColorTriple.h"
#include "graphics/Bitmap.h"
#include "rtl/Exceptions.h"
#include "rtl/FloatMath.h"

namespace orvane {

namespace {

struct TargetSize {
  int32_t width;   // W
  int32_t height;  // H
  int32_t factor;  // N
  int32_t sampledWidth() const { return width * factor; }
  int32_t sampledHeight() const { return height * factor; }
  bool Empty() const { return width <= 0 || height <= 0; }
};

int32_t RoundedExtent(int32_t graphicExtent, double scale) {
  const int64_t extent = rtl::RoundHalfEven(static_cast<double>(graphicExtent) * scale);
  if (extent > INT32_MAX) throw rtl::EOutOfResources();
  return extent < 0 ? -1 : static_cast<int32_t>(extent);
}

// W, H and N; a supersampled side beyond 32 bits cannot be had.
TargetSize ComputeTarget(const vcl::TGraphic& graphic, TOrvanePictureQuality quality, double scaleX, double scaleY) {
  TargetSize t{0, 0, SupersampleFactor(quality)};
  t.width = RoundedExtent(graphic.Width(), scaleX);
  t.height = RoundedExtent(graphic.Height(), scaleY);
  if (!t.Empty() && (int64_t{t.width} * t.factor > INT32_MAX || int64_t{t.height} * t.factor > INT32_MAX))
    throw rtl::EOutOfResources();
  return t;
}

// The offscreen bitmap at the supersampled size, with the two renderings
// copied out of it: the graphic over KeyColorA into A, over KeyColorB into B.
void RenderOverKeys(const vcl::TGraphic& graphic, const TargetSize& t, vcl::TBitmap& offscreen, TFastBMP& renderingA,
                    TFastBMP& renderingB) {
  const int32_t wn = t.sampledWidth(), hn = t.sampledHeight();
  const vcl::TRect whole = MakeBounds(0, 0, wn, hn);
  vcl::TCanvas& canvas = offscreen.Canvas();
  const std::pair<int32_t, TFastBMP*> renderings[] = {{KeyColorA, &renderingA}, {KeyColorB, &renderingB}};
  for (const auto& [key, rendering] : renderings) {
    // The fill covers the whole bitmap, so nothing of the previous rendering remains.
    FillSolid(canvas, 0, 0, wn, hn, ColorToTriple(key));
    canvas.StretchDraw(whole, &graphic);
    gdi::BitBlt(rendering->MemoryDC(), 0, 0, wn, hn, canvas.Handle(), 0, 0, gdi::SRCCOPY);
  }
}

std::unique_ptr<vcl::TBitmap> MakeOffscreen(const TargetSize& t) {
  auto offscreen = std::make_unique<vcl::TBitmap>();
  offscreen->SetWidth(t.sampledWidth());
  offscreen->SetHeight(t.sampledHeight());
  return offscreen;
}

}  // namespace

void OrvaneStretchDraw(vcl::TCanvas& canvas, vcl::TRect rect, const vcl::TGraphic* graphic,
                       TOrvanePictureQuality quality) {
  if (!graphic) return;
  const int64_t extentX = int64_t{rect.right} - rect.left + 1;
  const int64_t extentY = int64_t{rect.bottom} - rect.top + 1;
  const double scaleX = rtl::CheckedDivide(static_cast<double>(extentX), graphic->Width());
  const double scaleY = rtl::CheckedDivide(static_cast<double>(extentY), graphic->Height());
  FilteredDraw(canvas, rect.left, rect.top, *graphic, quality, scaleX, scaleY);
}

void FilteredDraw(vcl::TCanvas& canvas, int32_t x, int32_t y, const vcl::TGraphic& graphic,
                  TOrvanePictureQuality quality, double scaleX, double scaleY) {
  const TargetSize t = ComputeTarget(graphic, quality, scaleX, scaleY);
  if (t.Empty()) return;
  const auto offscreen = MakeOffscreen(t);
  TFastBMP backdrop(t.width, t.height);
  TFastBMP color(t.width, t.height);
  TFastBMP coverage(t.width, t.height);
  TFastBMP renderingA(t.sampledWidth(), t.sampledHeight());
  TFastBMP renderingB(t.sampledWidth(), t.sampledHeight());

  RenderOverKeys(graphic, t, *offscreen, renderingA, renderingB);
  renderingA.ExtractCoverage(renderingB, color, coverage, t.width, t.height, t.factor);

  // The canvas is read once and written once; its pen and brush stay as they are.
  gdi::HDC target = canvas.Handle();
  gdi::BitBlt(backdrop.MemoryDC(), 0, 0, t.width, t.height, target, x, y, gdi::SRCCOPY);
  backdrop.BlendWithCoverage(color, coverage, t.width, t.height);
  gdi::BitBlt(target, x, y, t.width, t.height, backdrop.MemoryDC(), 0, 0, gdi::SRCCOPY);
}

void RenderFiltered(TFastBMP& colorRaster, TFastBMP& coverageRaster, const vcl::TGraphic& graphic,
                    TOrvanePictureQuality quality, double scaleX, double scaleY) {
  const TargetSize t = ComputeTarget(graphic, quality, scaleX, scaleY);
  if (t.Empty()) return;
  const auto offscreen = MakeOffscreen(t);
  TFastBMP renderingA(t.sampledWidth(), t.sampledHeight());
  TFastBMP renderingB(t.sampledWidth(), t.sampledHeight());
  RenderOverKeys(graphic, t, *offscreen, renderingA, renderingB);
  // Never write past the caller's rasters.
  const int32_t w = std::min({t.width, colorRaster.Width(), coverageRaster.Width()});
  const int32_t h = std::min({t.height, colorRaster.Height(), coverageRaster.Height()});
  renderingA.ExtractCoverage(renderingB, colorRaster, coverageRaster, w, h, t.factor);
}

}  // namespace orvane
