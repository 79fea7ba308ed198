// Target rows rendered with two key-colour surfaces of the supersampled
// width, a band of whole target rows at a time.

#include <algorithm>
#include <memory>
#include <utility>

#include <orvane/ColorTriple.h>
#include <orvane/Quality.h>
#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/detail/PixelMemory.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/detail/FilteredRendering.h>

namespace orvane {

namespace {

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
  // The samples of the rows held from column `first`, the band's first row first.
  SampleRows Samples(int64_t first) const {
    return {bitmap_->Bits() + static_cast<ptrdiff_t>(first) * 4, bitmap_->Stride(), 4};
  }

 private:
  // The bitmap outlives the device context that selects it.
  std::unique_ptr<gdi::BitmapObject> bitmap_;
  std::unique_ptr<gdi::DeviceContext> dc_;
  vcl::TCanvas canvas_;
};

// Target rows per band: as many as keep one key surface's band within the
// budget, at least one.
int32_t TargetRowsPerBand(const SupersampledTarget& t, int32_t rows) {
  const int64_t stride = gdi::DibRowBytes(t.SampledWidth(), 32);
  if (stride <= 0) return rows;
  const uint64_t targetRowBytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(t.factor);
  const uint64_t fit = KeySurfaceBandBytes() / targetRowBytes;
  return fit >= static_cast<uint64_t>(rows) ? rows : std::max<int32_t>(1, static_cast<int32_t>(fit));
}

}  // namespace

// The playback is the same for every band, only the rows held differ, so
// every band gets the pixels the whole surface would have. The reduction
// reads the two surfaces directly: their fourth bytes are ignored, so the
// result is that of reducing 24-bit copies of them.
void RenderRowsWithKeySurfaces(const vcl::TGraphic& graphic, const SupersampledTarget& t, const TargetRows& part,
                               const TripleRows& color, const TripleRows& coverage) {
  const int32_t top = part.top, rows = part.rows;
  if (part.width <= 0 || rows <= 0 || part.left < 0) return;
  const int32_t bandRows = TargetRowsPerBand(t, rows);
  const int32_t n = t.factor;
  KeySurface a(t.SampledWidth(), t.SampledHeight(), bandRows * n);
  KeySurface b(t.SampledWidth(), t.SampledHeight(), bandRows * n);
  const vcl::TRect whole = MakeBounds(0, 0, t.SampledWidth(), t.SampledHeight());
  const std::pair<int32_t, KeySurface*> renderings[] = {{KeyColorA, &a}, {KeyColorB, &b}};
  for (int32_t done = 0; done < rows; done += bandRows) {
    const int32_t bandHeight = std::min(bandRows, rows - done);
    for (const auto& [key, surface] : renderings) {
      surface->MoveBand((top + done) * n, bandHeight * n);
      // The fill covers the band, so only the graphic differs between the two.
      surface->FillKey(key);
      surface->Canvas().Handle()->thinPenWidth = t.thinPenWidth;
      surface->Canvas().StretchDraw(whole, &graphic);
    }
    const int64_t firstSample = int64_t{part.left} * n;
    ReduceKeyRenderings(a.Samples(firstSample), b.Samples(firstSample), {color.Row(done), color.stride},
                        {coverage.Row(done), coverage.stride}, part.width, bandHeight, n);
  }
}

}  // namespace orvane
