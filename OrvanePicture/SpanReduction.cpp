// Reduction of recorded sample rows to colour and coverage. For each target
// row the painted runs of its sample rows are added up per target pixel as
// range additions on difference arrays (a run costs the same however wide
// it is), then one pass over the row turns the sums into colour and
// coverage with the arithmetic of the key-rendering reduction.

#include <algorithm>
#include <vector>

#include <orvane/detail/CoverageOps.h>
#include <orvane/gdi/detail/SpanRecorder.h>
#include <orvane/detail/Reciprocals.h>

namespace orvane {

namespace {

// Per target pixel: sums of blue, green and red of the painted samples and
// their count. Kept as differences from the pixel before; unsigned
// arithmetic wraps, and every final sum fits (at most 256 * 255 a channel).
struct PixelSums {
  uint32_t blue, green, red, count;
};

inline void AddRange(std::vector<PixelSums>& d, int32_t from, int32_t to, uint32_t samples, gdi::COLORREF c) {
  const PixelSums v{samples * gdi::GetBValue(c), samples * gdi::GetGValue(c), samples * gdi::GetRValue(c), samples};
  PixelSums& a = d[static_cast<size_t>(from)];
  PixelSums& b = d[static_cast<size_t>(to)];
  a.blue += v.blue;
  a.green += v.green;
  a.red += v.red;
  a.count += v.count;
  b.blue -= v.blue;
  b.green -= v.green;
  b.red -= v.red;
  b.count -= v.count;
}

void AddRun(std::vector<PixelSums>& d, int32_t x0, int32_t x1, int32_t factor, gdi::COLORREF c) {
  const int32_t first = x0 / factor, last = (x1 - 1) / factor;
  if (first == last) {
    AddRange(d, first, first + 1, static_cast<uint32_t>(x1 - x0), c);
    return;
  }
  AddRange(d, first, first + 1, static_cast<uint32_t>((first + 1) * factor - x0), c);
  if (last > first + 1) AddRange(d, first + 1, last, static_cast<uint32_t>(factor), c);
  AddRange(d, last, last + 1, static_cast<uint32_t>(x1 - last * factor), c);
}

}  // namespace

void ReduceRecordedRows(const gdi::SpanRecorder& samples, int32_t firstRow, int32_t firstColumn,
                        const TripleRows& color, const TripleRows& coverage, int32_t width, int32_t height,
                        int32_t factor) {
  if (factor <= 0 || width <= 0 || height <= 0 || firstColumn < 0) return;
  const uint64_t perPixel = static_cast<uint64_t>(factor) * static_cast<uint64_t>(factor);
  // The samples of the columns asked for, and where they start.
  const int64_t from = int64_t{firstColumn} * factor, to = from + int64_t{width} * factor;
  std::vector<PixelSums> d(static_cast<size_t>(width) + 1);
  for (int32_t y = 0; y < height; ++y) {
    std::fill(d.begin(), d.end(), PixelSums{0, 0, 0, 0});
    for (int32_t k = 0; k < factor; ++k) {
      const std::span<const gdi::PaintedRun> runs = samples.Row(firstRow + y * factor + k);
      auto run = std::lower_bound(runs.begin(), runs.end(), from,
                                  [](const gdi::PaintedRun& r, int64_t x) { return r.x1 <= x; });
      for (; run != runs.end() && run->x0 < to; ++run)
        AddRun(d, static_cast<int32_t>(std::max<int64_t>(run->x0, from) - from),
               static_cast<int32_t>(std::min<int64_t>(run->x1, to) - from), factor, run->color);
    }
    uint8_t* c = color.Row(y);
    uint8_t* v = coverage.Row(y);
    PixelSums s{0, 0, 0, 0};
    const uint64_t perSample = perPixel <= kMaxReciprocal ? kReciprocal.value[perPixel] : 0;
    for (int32_t x = 0; x < width; ++x, c += 3, v += 3) {
      const PixelSums& step = d[static_cast<size_t>(x)];
      s.blue += step.blue;
      s.green += step.green;
      s.red += step.red;
      s.count += step.count;
      const uint64_t picture = s.count;
      if (perPixel <= kMaxReciprocal) {
        if (picture > 0) {
          const uint64_t m = kReciprocal.value[picture];
          c[0] = static_cast<uint8_t>((s.blue * m) >> 32);
          c[1] = static_cast<uint8_t>((s.green * m) >> 32);
          c[2] = static_cast<uint8_t>((s.red * m) >> 32);
        }
        v[0] = v[1] = v[2] = static_cast<uint8_t>((picture * 255 * perSample) >> 32);
      } else {
        if (picture > 0) {
          c[0] = static_cast<uint8_t>(s.blue / picture);
          c[1] = static_cast<uint8_t>(s.green / picture);
          c[2] = static_cast<uint8_t>(s.red / picture);
        }
        v[0] = v[1] = v[2] = static_cast<uint8_t>(picture * 255 / perPixel);
      }
    }
  }
}

}  // namespace orvane
