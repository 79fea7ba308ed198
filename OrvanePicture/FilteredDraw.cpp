#include "OrvanePicture/FilteredDraw.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "OrvanePicture/ColorTriple.h"
#include "OrvanePicture/CoverageOps.h"
#include "gdi/PixelMemory.h"
#include "gdi/SpanPaint.h"
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

// A screen-format surface of the supersampled size in its own memory device
// context, with a canvas over it. Its pixel memory comes from the platform's
// recycling, so repeated paints of the same size fault in no fresh pages, and
// is not cleared first: the key fill paints over all of it.
class KeySurface {
 public:
  KeySurface(int32_t width, int32_t height) {
    const int64_t stride = gdi::DibRowBytes(width, 32);
    if (width <= 0 || height <= 0 || stride < 0 || stride > INT32_MAX ||
        static_cast<uint64_t>(stride) * static_cast<uint64_t>(height) > gdi::kMaxSurfaceBytes)
      throw rtl::EOutOfResources();
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);
    uint8_t* bits = gdi::AcquirePixelMemoryForOverwrite(bytes);
    if (!bits) throw rtl::EOutOfResources();
    try {
      bitmap_ = std::make_unique<gdi::BitmapObject>(width, height, gdi::PixelFormat::Bgrx32,
                                                    static_cast<int32_t>(stride), bits, bytes);
    } catch (...) {
      gdi::ReleasePixelMemory(bits, bytes);
      throw rtl::EOutOfResources();
    }
    dc_ = std::make_unique<gdi::DeviceContext>();
    dc_->Select(bitmap_.get());
    canvas_.SetHandle(dc_.get());
  }
  KeySurface(const KeySurface&) = delete;
  KeySurface& operator=(const KeySurface&) = delete;

  vcl::TCanvas& Canvas() { return canvas_; }

  // What FillSolid over the whole surface does, without its rectangle
  // outline drawn pixel by pixel: the canvas gets the key colour as pen
  // and solid brush colour, every pixel the key colour.
  void FillKey(int32_t key) {
    canvas_.Pen().SetColor(key);
    canvas_.Brush().SetStyle(vcl::bsSolid);
    canvas_.Brush().SetColor(key);
    gdi::FillSurface(*bitmap_, vcl::ColorToRGB(key));
  }
  SampleRows Samples() const { return {bitmap_->Bits(), bitmap_->Stride(), 4}; }

 private:
  // The bitmap outlives the device context that selects it.
  std::unique_ptr<gdi::BitmapObject> bitmap_;
  std::unique_ptr<gdi::DeviceContext> dc_;
  vcl::TCanvas canvas_;
};

// The graphic drawn over KeyColorA into one surface and over KeyColorB into
// another, both at the supersampled size. The reduction reads the two
// surfaces directly: their fourth bytes are ignored, so the result is that of
// reducing 24-bit copies of them.
struct KeyRenderings {
  KeySurface a, b;
  KeyRenderings(const vcl::TGraphic& graphic, const TargetSize& t)
      : a(t.sampledWidth(), t.sampledHeight()), b(t.sampledWidth(), t.sampledHeight()) {
    const vcl::TRect whole = MakeBounds(0, 0, t.sampledWidth(), t.sampledHeight());
    const std::pair<int32_t, KeySurface*> renderings[] = {{KeyColorA, &a}, {KeyColorB, &b}};
    // The second playback repeats the first's polygons at the same size: their spans are written again.
    const gdi::RepeatedFillScope repeatedFills;
    for (const auto& [key, surface] : renderings) {
      // The fill covers the whole surface, so only the graphic differs between the two.
      surface->FillKey(key);
      surface->Canvas().StretchDraw(whole, &graphic);
    }
  }
  void Reduce(TFastBMP& color, TFastBMP& coverage, int32_t width, int32_t height, int32_t factor) const {
    ReduceKeyRenderings(a.Samples(), b.Samples(), {color.PixelData(), color.RowStride()},
                        {coverage.PixelData(), coverage.RowStride()}, width, height, factor);
  }
};

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
  const KeyRenderings renderings(graphic, t);
  TFastBMP backdrop(t.width, t.height);
  TFastBMP color(t.width, t.height);
  TFastBMP coverage(t.width, t.height);
  renderings.Reduce(color, coverage, t.width, t.height, t.factor);

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
  const KeyRenderings renderings(graphic, t);
  // Never write past the caller's rasters.
  const int32_t w = std::min({t.width, colorRaster.Width(), coverageRaster.Width()});
  const int32_t h = std::min({t.height, colorRaster.Height(), coverageRaster.Height()});
  renderings.Reduce(colorRaster, coverageRaster, w, h, t.factor);
}

}  // namespace orvane
