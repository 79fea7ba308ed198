#include <orvane/graphics/ClipPathRegions.h>

#include <algorithm>
#include <memory>
#include <utility>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/PixelMemory.h>
#include <orvane/gdi/SpanPaint.h>
#include <orvane/graphics/EmfPlaybackState.h>

namespace orvane::vcl {

namespace {

thread_local uint64_t masksFilled = 0;

// The contours are filled into a mask a strip of rows at a time: the mask
// spans the whole of `bounds` (so the rasteriser lays out exactly as for one
// mask), but only a strip's rows are held in memory, and a clip path over a
// large drawing area costs a few megabytes rather than four bytes a pixel.
gdi::Region FillClipMask(const std::vector<gdi::Contour>& contours, gdi::FillMode mode, const gdi::Rect& bounds) {
  ++masksFilled;
  const int32_t width = bounds.Width(), height = bounds.Height();
  const int64_t stride = gdi::DibRowBytes(width, 32);
  // A mask that could not be made whole is refused, as a whole one would be.
  if (stride < 0 || stride > INT32_MAX ||
      static_cast<uint64_t>(stride) * static_cast<uint64_t>(height) > gdi::kMaxSurfaceBytes)
    return gdi::Region();
  constexpr int64_t kStripBytes = int64_t{4} << 20;
  const int32_t stripRows = static_cast<int32_t>(std::clamp<int64_t>(kStripBytes / stride, 1, height));
  const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(stripRows);
  uint8_t* bits = gdi::AcquirePixelMemory(bytes);
  if (!bits) return gdi::Region();
  std::unique_ptr<gdi::BitmapObject> mask;
  try {
    mask = std::make_unique<gdi::BitmapObject>(width, height, gdi::PixelFormat::Bgrx32, static_cast<int32_t>(stride),
                                               bits, bytes);
  } catch (...) {
    gdi::ReleasePixelMemory(bits, bytes);
    throw;
  }
  // The bitmap owns the memory from here on.
  std::vector<gdi::Contour> moved = contours;
  for (gdi::Contour& c : moved)
    for (gdi::PointD& p : c) p = gdi::PointD{p.x - bounds.left, p.y - bounds.top};

  // Rows with the same runs form one band; the bands' rectangles are joined pairwise.
  std::vector<gdi::Region> parts;
  std::vector<std::pair<int32_t, int32_t>> runs, bandRuns;
  int32_t bandTop = 0;
  const auto flush = [&](int32_t bottom) {
    for (const auto& [x0, x1] : bandRuns)
      parts.emplace_back(gdi::Rect{x0 + bounds.left, bandTop + bounds.top, x1 + bounds.left, bottom + bounds.top});
  };
  for (int32_t stripTop = 0; stripTop < height; stripTop += stripRows) {
    const int32_t rows = std::min(stripRows, height - stripTop);
    if (!mask->SetBand(stripTop, rows)) return gdi::Region();
    if (stripTop > 0) std::fill(bits, bits + bytes, uint8_t{0});
    gdi::RenderTarget target(mask.get(), gdi::Region(mask->Extent()));
    target.SetPaint(gdi::Paint::Solid(gdi::RGB(255, 255, 255)));
    gdi::FillPolygons(target, moved, mode);
    for (int32_t y = stripTop; y < stripTop + rows; ++y) {
      runs.clear();
      const auto* row = reinterpret_cast<const uint32_t*>(mask->Row(y));
      for (int32_t x = 0; x < width;) {
        if (!row[x]) { ++x; continue; }
        const int32_t start = x;
        while (x < width && row[x]) ++x;
        runs.emplace_back(start, x);
      }
      if (runs != bandRuns) {
        flush(y);
        bandRuns = runs;
        bandTop = y;
      }
    }
  }
  flush(height);
  return emf::UnionOfRegions(std::move(parts));
}

// The regions kept in the current scope. Clip paths are few in a picture,
// so a short list searched from the newest is enough; it is bounded in
// entries and bytes, the oldest dropped first.
class KeptClipRegions {
 public:
  static constexpr size_t kMaxEntries = 256;
  static constexpr size_t kMaxBytes = size_t{32} << 20;

  void Enter() { ++depth_; }
  void Leave() {
    if (--depth_ == 0) {
      entries_.clear();
      bytes_ = 0;
    }
  }
  bool Active() const { return depth_ > 0; }

  const gdi::Region* Find(const std::vector<gdi::Contour>& contours, gdi::FillMode mode, const gdi::Rect& bounds) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
      if (it->mode == mode && it->bounds == bounds && it->contours == contours) return &it->region;
    return nullptr;
  }

  void Keep(const std::vector<gdi::Contour>& contours, gdi::FillMode mode, const gdi::Rect& bounds,
            const gdi::Region& region) {
    Entry entry{contours, mode, bounds, region};
    const size_t bytes = entry.Bytes();
    if (bytes > kMaxBytes) return;
    while (!entries_.empty() && (entries_.size() >= kMaxEntries || bytes_ + bytes > kMaxBytes)) {
      bytes_ -= entries_.front().Bytes();
      entries_.erase(entries_.begin());
    }
    bytes_ += bytes;
    entries_.push_back(std::move(entry));
  }

 private:
  struct Entry {
    std::vector<gdi::Contour> contours;
    gdi::FillMode mode;
    gdi::Rect bounds;
    gdi::Region region;
    size_t Bytes() const {
      size_t n = region.Rects().size() * sizeof(gdi::Rect);
      for (const auto& c : contours) n += c.size() * sizeof(gdi::PointD);
      return n;
    }
  };
  std::vector<Entry> entries_;
  size_t bytes_ = 0;
  int depth_ = 0;
};

KeptClipRegions& Kept() {
  thread_local KeptClipRegions kept;
  return kept;
}

}  // namespace

RepeatedClipPathScope::RepeatedClipPathScope() { Kept().Enter(); }
RepeatedClipPathScope::~RepeatedClipPathScope() { Kept().Leave(); }

gdi::Region ClipRegionFromContours(const std::vector<gdi::Contour>& contours, gdi::FillMode mode,
                                   const gdi::Rect& bounds) {
  if (bounds.IsEmpty() || contours.empty()) return gdi::Region();
  KeptClipRegions& kept = Kept();
  if (!kept.Active()) return FillClipMask(contours, mode, bounds);
  if (const gdi::Region* region = kept.Find(contours, mode, bounds)) return *region;
  gdi::Region region = FillClipMask(contours, mode, bounds);
  kept.Keep(contours, mode, bounds, region);
  return region;
}

uint64_t ClipMasksFilled() { return masksFilled; }

}  // namespace orvane::vcl
