#include <orvane/FilteredDraw.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <optional>

#include <orvane/ColorTriple.h>
#include <orvane/detail/FilteredDrawTesting.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>
#include <orvane/detail/FilteredRendering.h>
#include <orvane/detail/FilteredRows.h>
#include <orvane/detail/RecordedRowBlend.h>

namespace orvane {

namespace {

int32_t RoundedExtent(int32_t graphicExtent, double scale) {
  const int64_t extent = rtl::RoundHalfEven(static_cast<double>(graphicExtent) * scale);
  if (extent > INT32_MAX) throw rtl::EOutOfResources();
  return extent < 0 ? -1 : static_cast<int32_t>(extent);
}

// W, H and N. Supersampled coordinates are 32-bit: a side beyond that
// cannot be drawn. Nothing else limits the size; the supersampled surface
// never exists as a whole.
SupersampledTarget ComputeTarget(const vcl::TGraphic& graphic, const FilteredDrawOptions& options, double scaleX,
                                 double scaleY) {
  SupersampledTarget t{0, 0, SupersampleFactor(options.quality)};
  if (options.thinLines == ThinLines::OnePixel) t.thinPenWidth = t.factor;
  t.width = RoundedExtent(graphic.Width(), scaleX);
  t.height = RoundedExtent(graphic.Height(), scaleY);
  if (!t.Empty() && (int64_t{t.width} * t.factor > INT32_MAX || int64_t{t.height} * t.factor > INT32_MAX))
    throw rtl::EOutOfResources();
  return t;
}

// Bytes of one key surface drawn at once. Two bands of this size and the
// target rasters stay within the processor's last-level cache on the
// machines measured, and well within the recycled pixel memory.
std::atomic<size_t> bandBudget{size_t{4} << 20};
std::atomic<FilteredRendering> rendering{FilteredRendering::Automatic};
std::atomic<size_t> keySurfaceFallbacks{0};

}  // namespace

// Renders target rows in order, from spans while the graphic allows it and
// with key surfaces from the first rows it does not.
class FilteredRows::Renderer {
 public:
  // Rows are asked for below `endRow` only.
  Renderer(const vcl::TGraphic& graphic, const SupersampledTarget& t, int32_t endRow)
      : graphic_(graphic), target_(t) {
    if (rendering.load(std::memory_order_relaxed) == FilteredRendering::Automatic)
      spans_.emplace(graphic, t, endRow);
  }

  // Working memory that cannot be had is the runtime's out-of-memory error.
  void Render(const TargetRows& part, const TripleRows& color, const TripleRows& coverage) try {
    if (spans_ && spans_->RenderRows(part, color, coverage)) return;
    DropSpans();
    RenderRowsWithKeySurfaces(graphic_, target_, part, color, coverage);
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }

  // Rows from spans are reduced and blended straight onto the device
  // context's surface; returns the rows done from part.top, fewer than asked
  // (none at all once the rows come from key surfaces) when the rest must be
  // rendered and blended through Render.
  int32_t BlendOnto(gdi::HDC target, int64_t deviceX, int64_t deviceY, const TargetRows& part) try {
    if (!spans_) return 0;
    const int32_t done = BlendRecordedRows(*spans_, target_.factor, target, deviceX, deviceY, part);
    if (done < part.rows) DropSpans();
    return done;
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }

 private:
  void DropSpans() {
    if (spans_) keySurfaceFallbacks.fetch_add(1, std::memory_order_relaxed);
    spans_.reset();
  }

  const vcl::TGraphic& graphic_;
  SupersampledTarget target_;
  std::optional<SpanRendering> spans_;
};

namespace {

TripleRows RowsOf(TFastBMP& raster, int32_t row) { return {raster.RowStarts()[row], raster.RowStride()}; }

// Target rows blended at once by FilteredDraw: the three working rasters of
// a chunk together hold about this many bytes.
constexpr size_t kChunkBytes = size_t{12} << 20;

}  // namespace

size_t KeySurfaceBandBytes() { return bandBudget.load(std::memory_order_relaxed); }
// Runs take far less than pixels: six key bands' worth keeps the bands of
// a large draw few, and the playbacks with them.
size_t SpanBandBytes() { return KeySurfaceBandBytes() * 6; }

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
  FilteredDraw(canvas, x, y, graphic, FilteredDrawOptions{quality, ThinLines::Exact}, scaleX, scaleY);
}

void FilteredDraw(vcl::TCanvas& canvas, int32_t x, int32_t y, const vcl::TGraphic& graphic,
                  const FilteredDrawOptions& options, double scaleX, double scaleY) {
  const SupersampledTarget t = ComputeTarget(graphic, options, scaleX, scaleY);
  if (t.Empty()) return;
  gdi::HDC target = canvas.Handle();
  if (!target) return;
  // Only the part of the target the canvas can show is rendered: outside
  // its drawable region the blend's result would not be written back.
  const gdi::Rect drawable = target->HeldClip().Bounds();
  const int64_t deviceX = int64_t{x} + target->origin.x, deviceY = int64_t{y} + target->origin.y;
  const int64_t left = std::max<int64_t>(0, drawable.left - deviceX);
  const int64_t right = std::min<int64_t>(t.width, drawable.right - deviceX);
  const int64_t top = std::max<int64_t>(0, drawable.top - deviceY);
  const int64_t bottom = std::min<int64_t>(t.height, drawable.bottom - deviceY);
  if (left >= right || top >= bottom) return;
  const int32_t width = static_cast<int32_t>(right - left);
  // The part is rendered and blended a chunk of rows at a time. Rows from
  // spans go straight onto the surface; others are rendered to colour and
  // coverage, blended over a copy of the surface and written back, so that
  // each pixel is read once and written once, as by one pass.
  const int32_t chunkRows = static_cast<int32_t>(
      std::clamp<int64_t>(static_cast<int64_t>(kChunkBytes / 9 / static_cast<size_t>(width)), 1, bottom - top));
  std::optional<TFastBMP> backdrop, color, coverage;
  FilteredRows::Renderer renderer(graphic, t, static_cast<int32_t>(bottom));
  const int32_t partX = static_cast<int32_t>(x + left);
  for (int32_t row = static_cast<int32_t>(top); row < bottom; row += chunkRows) {
    const int32_t rows = static_cast<int32_t>(std::min<int64_t>(chunkRows, bottom - row));
    const int32_t done = renderer.BlendOnto(target, deviceX, deviceY, {row, rows, static_cast<int32_t>(left), width});
    if (done == rows) continue;
    if (!backdrop) {
      backdrop.emplace(width, chunkRows);
      color.emplace(width, chunkRows);
      coverage.emplace(width, chunkRows);
    }
    const int32_t from = row + done, count = rows - done;
    renderer.Render({from, count, static_cast<int32_t>(left), width}, RowsOf(*color, 0), RowsOf(*coverage, 0));
    // The canvas's pen and brush stay as they are.
    gdi::BitBlt(backdrop->MemoryDC(), 0, 0, width, count, target, partX, y + from, gdi::SRCCOPY);
    backdrop->BlendWithCoverage(*color, *coverage, width, count);
    gdi::BitBlt(target, partX, y + from, width, count, backdrop->MemoryDC(), 0, 0, gdi::SRCCOPY);
  }
}

void RenderFiltered(TFastBMP& colorRaster, TFastBMP& coverageRaster, const vcl::TGraphic& graphic,
                    TOrvanePictureQuality quality, double scaleX, double scaleY) {
  RenderFiltered(colorRaster, coverageRaster, graphic, FilteredDrawOptions{quality, ThinLines::Exact}, scaleX, scaleY);
}

void RenderFiltered(TFastBMP& colorRaster, TFastBMP& coverageRaster, const vcl::TGraphic& graphic,
                    const FilteredDrawOptions& options, double scaleX, double scaleY) {
  const SupersampledTarget t = ComputeTarget(graphic, options, scaleX, scaleY);
  if (t.Empty()) return;
  // Never write past the caller's rasters.
  const int32_t w = std::min({t.width, colorRaster.Width(), coverageRaster.Width()});
  const int32_t h = std::min({t.height, colorRaster.Height(), coverageRaster.Height()});
  if (w <= 0 || h <= 0) return;
  FilteredRows::Renderer(graphic, t, h).Render({0, h, 0, w}, RowsOf(colorRaster, 0), RowsOf(coverageRaster, 0));
}

FilteredRows::FilteredRows(const vcl::TGraphic& graphic, const FilteredDrawOptions& options, double scaleX,
                           double scaleY) {
  const SupersampledTarget t = ComputeTarget(graphic, options, scaleX, scaleY);
  if (t.Empty()) return;
  width_ = t.width;
  height_ = t.height;
  renderer_ = std::make_unique<Renderer>(graphic, t, t.height);
}

FilteredRows::~FilteredRows() = default;

int32_t FilteredRows::Width() const { return width_; }
int32_t FilteredRows::Height() const { return height_; }

void FilteredRows::Render(int32_t top, int32_t rows, const TripleRows& color, const TripleRows& coverage) {
  if (!renderer_ || top < 0 || rows <= 0 || top >= height_) return;
  renderer_->Render({top, std::min(rows, height_ - top), 0, width_}, color, coverage);
}

size_t SetBandBudgetForTesting(size_t bytes) {
  return bandBudget.exchange(bytes, std::memory_order_relaxed);
}

size_t KeySurfaceFallbacksForTesting() { return keySurfaceFallbacks.load(std::memory_order_relaxed); }

FilteredRendering SetFilteredRenderingForTesting(FilteredRendering how) {
  return rendering.exchange(how, std::memory_order_relaxed);
}

}  // namespace orvane
