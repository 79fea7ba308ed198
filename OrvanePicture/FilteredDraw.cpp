#include <orvane/FilteredDraw.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>

#include <orvane/ColorTriple.h>
#include <orvane/CoverageOps.h>
#include <orvane/gdi/PixelMemory.h>
#include <orvane/gdi/SpanPaint.h>
#include <orvane/graphics/ClipPathRegions.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>

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

// W, H and N. A supersampled side beyond 32 bits cannot be had, nor a
// supersampled surface beyond the platform's limit, even where it would be
// drawn in bands.
TargetSize ComputeTarget(const vcl::TGraphic& graphic, TOrvanePictureQuality quality, double scaleX, double scaleY) {
  TargetSize t{0, 0, SupersampleFactor(quality)};
  t.width = RoundedExtent(graphic.Width(), scaleX);
  t.height = RoundedExtent(graphic.Height(), scaleY);
  if (!t.Empty() && (int64_t{t.width} * t.factor > INT32_MAX || int64_t{t.height} * t.factor > INT32_MAX))
    throw rtl::EOutOfResources();
  if (!t.Empty()) {
    const int64_t stride = gdi::DibRowBytes(t.sampledWidth(), 32);
    if (stride < 0 || stride > INT32_MAX ||
        static_cast<uint64_t>(stride) * static_cast<uint64_t>(t.sampledHeight()) > gdi::kMaxSurfaceBytes)
      throw rtl::EOutOfResources();
  }
  return t;
}

// Bytes of one key surface drawn at once. Two bands of this size and the
// target rasters stay within the processor's last-level cache on the
// machines measured, and well within the recycled pixel memory.
std::atomic<size_t> bandBudget{size_t{4} << 20};

// A screen-format surface of the supersampled size in its own memory device
// context, with a canvas over it, holding `heldRows` of its rows at a time (a
// band moved down the surface). Its pixel memory comes from the platform's
// recycling, so repeated paints of the same size fault in no fresh pages, and
// is not cleared first: the key fill paints over all of it.
class KeySurface {
 public:
  KeySurface(int32_t width, int32_t height, int32_t heldRows) {
    const int64_t stride = gdi::DibRowBytes(width, 32);
    if (width <= 0 || height <= 0 || heldRows <= 0 || heldRows > height || stride < 0 || stride > INT32_MAX ||
        static_cast<uint64_t>(stride) * static_cast<uint64_t>(heldRows) > gdi::kMaxSurfaceBytes)
      throw rtl::EOutOfResources();
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(heldRows);
    uint8_t* bits = gdi::AcquirePixelMemoryForOverwrite(bytes);
    if (!bits) throw rtl::EOutOfResources();
    try {
      bitmap_ = std::make_unique<gdi::BitmapObject>(width, height, gdi::PixelFormat::Bgrx32,
                                                    static_cast<int32_t>(stride), bits, bytes);
    } catch (...) {
      gdi::ReleasePixelMemory(bits, bytes);
      throw rtl::EOutOfResources();
    }
    MoveBand(0, heldRows);
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
  // Holds rows [top, top + rows) from now on; their pixels are undefined until filled.
  void MoveBand(int32_t top, int32_t rows) {
    if (!bitmap_->SetBand(top, rows)) throw rtl::EOutOfResources();
  }
  // The samples of the rows held, the band's first row first.
  SampleRows Samples() const { return {bitmap_->Bits(), bitmap_->Stride(), 4}; }

 private:
  // The bitmap outlives the device context that selects it.
  std::unique_ptr<gdi::BitmapObject> bitmap_;
  std::unique_ptr<gdi::DeviceContext> dc_;
  vcl::TCanvas canvas_;
};

// Target rows per band: as many as keep one key surface's band within the
// budget, at least one; all of them when the whole surface fits.
int32_t TargetRowsPerBand(const TargetSize& t) {
  const int64_t stride = gdi::DibRowBytes(t.sampledWidth(), 32);
  if (stride <= 0) return t.height;
  const uint64_t targetRowBytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(t.factor);
  const uint64_t rows = bandBudget.load(std::memory_order_relaxed) / targetRowBytes;
  return rows >= static_cast<uint64_t>(t.height) ? t.height : std::max<int32_t>(1, static_cast<int32_t>(rows));
}

// The graphic drawn over KeyColorA into one surface and over KeyColorB into
// another, both at the supersampled size, and reduced into the first
// `height` rows of `color` and `coverage` (width x height target pixels).
// A surface too large for the budget is drawn a band of whole target rows at
// a time: the playback is the same for every band, only the rows held
// differ, so every band gets the pixels the whole surface would have. The
// reduction reads the two surfaces directly: their fourth bytes are ignored,
// so the result is that of reducing 24-bit copies of them.
void RenderAndReduce(const vcl::TGraphic& graphic, const TargetSize& t, TFastBMP& color, TFastBMP& coverage,
                     int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  const int32_t bandRows = std::min(TargetRowsPerBand(t), height);
  const int32_t n = t.factor;
  KeySurface a(t.sampledWidth(), t.sampledHeight(), bandRows * n);
  KeySurface b(t.sampledWidth(), t.sampledHeight(), bandRows * n);
  const vcl::TRect whole = MakeBounds(0, 0, t.sampledWidth(), t.sampledHeight());
  const std::pair<int32_t, KeySurface*> renderings[] = {{KeyColorA, &a}, {KeyColorB, &b}};
  // Every playback of the call makes the same clip regions from paths over
  // the same drawing area: each is made once.
  const vcl::RepeatedClipPathScope repeatedClipPaths;
  for (int32_t top = 0; top < height; top += bandRows) {
    const int32_t rows = std::min(bandRows, height - top);
    {
      // The second playback repeats the first's polygons in the same band:
      // their spans are written again. One scope a band keeps only its spans.
      const gdi::RepeatedFillScope repeatedFills;
      for (const auto& [key, surface] : renderings) {
        surface->MoveBand(top * n, rows * n);
        // The fill covers the band, so only the graphic differs between the two.
        surface->FillKey(key);
        surface->Canvas().StretchDraw(whole, &graphic);
      }
    }
    ReduceKeyRenderings(a.Samples(), b.Samples(), {color.RowStarts()[top], color.RowStride()},
                        {coverage.RowStarts()[top], coverage.RowStride()}, width, rows, n);
  }
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
  TFastBMP backdrop(t.width, t.height);
  TFastBMP color(t.width, t.height);
  TFastBMP coverage(t.width, t.height);
  RenderAndReduce(graphic, t, color, coverage, t.width, t.height);

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
  // Never write past the caller's rasters.
  const int32_t w = std::min({t.width, colorRaster.Width(), coverageRaster.Width()});
  const int32_t h = std::min({t.height, colorRaster.Height(), coverageRaster.Height()});
  RenderAndReduce(graphic, t, colorRaster, coverageRaster, w, h);
}

size_t SetBandBudgetForTesting(size_t bytes) {
  return bandBudget.exchange(bytes, std::memory_order_relaxed);
}

}  // namespace orvane
