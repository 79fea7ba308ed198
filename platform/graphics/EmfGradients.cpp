// EMR_GRADIENTFILL: rectangles shaded from left to right or top to
// bottom, and triangles shaded between their corners. Vertex colours have
// 16-bit channels; a pixel's channel is the interpolated 16-bit value,
// truncated, then its high byte. Triangles cover the pixels a polygon fill
// of the three corners covers, and each takes the colour at its own point.
// A rectangle under a turning transform is two triangles, which shade it
// the same way.
//
// A triangle costs the rows of its own box cut to the target's held clip,
// and the pixels it shades: one far outside the target or a band costs
// next to nothing. The triangles of one record are shaded last first, each
// only where none after it has painted (a cover mask over the record's
// extent), so a pixel is shaded once however many triangles lie over it.
// Their paint never reads what is under it, so that gives the pixels
// painting them in order would; a record whose extent would take a mask
// beyond its budget (16 MiB) paints them in order.

#include <algorithm>
#include <bit>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

struct Vertex {
  gdi::PointD device;
  double channels[3];  // red, green, blue: 0 .. 65535
};

// The 8 bits of a 16-bit channel value: its whole part, kept within
// 0 .. 65535, over 256. Above 0 truncation is the floor; below it, and for
// NaN, the channel is 0.
inline uint8_t Channel8(double v) {
  return static_cast<uint8_t>((v > 0 ? (v < 65535 ? static_cast<uint32_t>(v) : 65535u) : 0u) >> 8);
}

gdi::COLORREF ColorOf(const double channels[3]) {
  return gdi::RGB(Channel8(channels[0]), Channel8(channels[1]), Channel8(channels[2]));
}

// Paints the pixels [x0, x1) of row y, each in the colour `colorAt` gives, in runs of one colour.
template <class ColorAt>
void ShadeSpan(gdi::RenderTarget& target, int32_t y, int32_t x0, int32_t x1, ColorAt colorAt) {
  for (int32_t x = x0; x < x1;) {
    const gdi::COLORREF c = colorAt(x);
    int32_t end = x + 1;
    while (end < x1 && colorAt(end) == c) ++end;
    target.SetPaint(gdi::Paint::Solid(c));
    target.Span(y, x, end);
    x = end;
  }
}

// Which pixels of a rectangle some triangle has painted: a bit a pixel,
// and a bit for each fully painted 64-pixel word, so that painted stretches
// are passed over a word or 4,096 pixels at a time.
class CoverMask {
 public:
  static constexpr uint64_t kMaxBytes = uint64_t{16} << 20;
  static bool Fits(const gdi::Rect& area) {
    return uint64_t(area.Width()) * uint64_t(area.Height()) / 8 <= kMaxBytes;
  }
  explicit CoverMask(const gdi::Rect& area)
      : area_(area),
        words_((size_t(area.Width()) + 63) / 64),
        fullWords_((words_ + 63) / 64),
        bits_(words_ * size_t(area.Height())),
        full_(fullWords_ * size_t(area.Height())) {}

  // Calls paint(x0, x1) for each stretch of [x0, x1) on row y that nothing
  // has painted, then marks it painted.
  template <class Paint>
  void PaintUncovered(int32_t y, int32_t x0, int32_t x1, Paint paint) {
    const size_t row = size_t(y - area_.top);
    uint64_t* bits = &bits_[row * words_];
    uint64_t* full = &full_[row * fullWords_];
    const size_t end = size_t(x1 - area_.left);
    for (size_t x = NextClear(bits, full, size_t(x0 - area_.left), end); x < end;) {
      const size_t stop = NextSet(bits, x, end);
      paint(int32_t(x) + area_.left, int32_t(stop) + area_.left);
      Mark(bits, full, x, stop);
      x = NextClear(bits, full, stop, end);
    }
  }

 private:
  static uint64_t From(size_t bit) { return ~uint64_t{0} << (bit & 63); }
  // The first clear bit at or after x, or `end`.
  size_t NextClear(const uint64_t* bits, const uint64_t* full, size_t x, size_t end) const {
    if (x >= end) return end;
    size_t w = x / 64;
    uint64_t clear = ~bits[w] & From(x);
    while (!clear) {
      if (++w * 64 >= end) return end;
      // Whole painted words are passed by their bits in `full`.
      size_t f = w / 64;
      uint64_t open = ~full[f] & From(w);
      while (!open) {
        if (++f * 4096 >= end) return end;
        open = ~full[f];
      }
      w = f * 64 + size_t(std::countr_zero(open));
      if (w * 64 >= end) return end;
      clear = ~bits[w];
    }
    return std::min(end, w * 64 + size_t(std::countr_zero(clear)));
  }
  static size_t NextSet(const uint64_t* bits, size_t x, size_t end) {
    size_t w = x / 64;
    uint64_t set = bits[w] & From(x);
    while (!set) {
      if (++w * 64 >= end) return end;
      set = bits[w];
    }
    return std::min(end, w * 64 + size_t(std::countr_zero(set)));
  }
  void Mark(uint64_t* bits, uint64_t* full, size_t x0, size_t x1) {
    for (size_t w = x0 / 64; w * 64 < x1; ++w) {
      const uint64_t from = w == x0 / 64 ? From(x0) : ~uint64_t{0};
      const uint64_t to = (w + 1) * 64 <= x1 ? ~uint64_t{0} : ~From(x1);
      bits[w] |= from & to;
      if (bits[w] == ~uint64_t{0}) full[w / 64] |= uint64_t{1} << (w & 63);
    }
  }

  gdi::Rect area_;
  size_t words_, fullWords_;
  std::vector<uint64_t> bits_, full_;
};

// The pixels a triangle may cover (those whose point lies inside it), cut to `clip`.
gdi::Rect TriangleBox(const Vertex& a, const Vertex& b, const Vertex& c, const gdi::Rect& clip) {
  const auto [left, right] = std::minmax({a.device.x, b.device.x, c.device.x});
  const auto [top, bottom] = std::minmax({a.device.y, b.device.y, c.device.y});
  // A pixel of margin beyond the points' own box; device points lie well inside int32.
  const gdi::Rect box{RoundToInt(std::floor(left) - 1), RoundToInt(std::floor(top) - 1),
                      RoundToInt(std::floor(right) + 2), RoundToInt(std::floor(bottom) + 2)};
  return box.Intersect(clip);
}

bool Shadeable(const Vertex& a, const Vertex& b, const Vertex& c) {
  const double det = (b.device.x - a.device.x) * (c.device.y - a.device.y) -
                     (b.device.y - a.device.y) * (c.device.x - a.device.x);
  return det != 0 && std::isfinite(det);
}

// Shades the pixels of the triangle inside `box` (its TriangleBox) that
// `mask` does not hold painted, or all of them without a mask.
void ShadeTriangle(gdi::RenderTarget& target, const Vertex& a, const Vertex& b, const Vertex& c, const gdi::Rect& box,
                   CoverMask* mask) {
  const double x0 = a.device.x, y0 = a.device.y;
  const double ux = b.device.x - x0, uy = b.device.y - y0, vx = c.device.x - x0, vy = c.device.y - y0;
  const double det = ux * vy - uy * vx;
  PlaybackWork work;
  work.gradientRows = uint64_t(box.Height());
  const gdi::Region covered = gdi::RegionFromContours({{a.device, b.device, c.device}}, gdi::FillMode::Winding, box);
  thread_local std::vector<gdi::COLORREF> colors;
  for (const gdi::Rect& rect : covered.Rects()) {
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      const auto shade = [&](int32_t from, int32_t to) {
        work.gradientPixels += uint64_t(to - from);
        // Each pixel's weights of the three corners, worked out alone (not
        // stepped from its neighbour's), so that a corner's own pixel gets
        // exactly the corner's colour. The loop has no call in it.
        colors.resize(size_t(to - from));
        const double py = y - y0, vxpy = vx * py, uxpy = ux * py;
        int32_t x = from;
#if defined(__SSE2__)
        // Two pixels a step, by the same operations in the same order.
        const __m128d vyv = _mm_set1_pd(vy), uyv = _mm_set1_pd(uy), detv = _mm_set1_pd(det);
        const __m128d vxpyv = _mm_set1_pd(vxpy), uxpyv = _mm_set1_pd(uxpy), one = _mm_set1_pd(1.0);
        const __m128d zero = _mm_setzero_pd(), top = _mm_set1_pd(65535.0);
        for (; x + 2 <= to; x += 2) {
          const __m128d px = _mm_sub_pd(_mm_set_pd(double(x + 1), double(x)), _mm_set1_pd(x0));
          const __m128d wb = _mm_div_pd(_mm_sub_pd(_mm_mul_pd(px, vyv), vxpyv), detv);
          const __m128d wc = _mm_div_pd(_mm_sub_pd(uxpyv, _mm_mul_pd(px, uyv)), detv);
          const __m128d wa = _mm_sub_pd(_mm_sub_pd(one, wb), wc);
          __m128i channel[3];
          for (int i = 0; i < 3; ++i) {
            const __m128d v = _mm_add_pd(_mm_add_pd(_mm_mul_pd(wa, _mm_set1_pd(a.channels[i])),
                                                    _mm_mul_pd(wb, _mm_set1_pd(b.channels[i]))),
                                         _mm_mul_pd(wc, _mm_set1_pd(c.channels[i])));
            // max(v, 0) takes 0 for NaN, as Channel8 does.
            channel[i] = _mm_srli_epi32(_mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(v, zero), top)), 8);
          }
          const __m128i rgb = _mm_or_si128(_mm_or_si128(channel[0], _mm_slli_epi32(channel[1], 8)),
                                           _mm_slli_epi32(channel[2], 16));
          _mm_storel_epi64(reinterpret_cast<__m128i*>(&colors[size_t(x - from)]), rgb);
        }
#endif
        for (; x < to; ++x) {
          const double px = x - x0;
          const double wb = (px * vy - vxpy) / det, wc = (uxpy - px * uy) / det, wa = 1 - wb - wc;
          colors[size_t(x - from)] = gdi::RGB(Channel8(wa * a.channels[0] + wb * b.channels[0] + wc * c.channels[0]),
                                              Channel8(wa * a.channels[1] + wb * b.channels[1] + wc * c.channels[1]),
                                              Channel8(wa * a.channels[2] + wb * b.channels[2] + wc * c.channels[2]));
        }
        ShadeSpan(target, y, from, to, [&](int32_t x) { return colors[size_t(x - from)]; });
      };
      if (mask) mask->PaintUncovered(y, rect.left, rect.right, shade);
      else shade(rect.left, rect.right);
    }
  }
  CountPlaybackWork(work);
}

struct Triangle {
  const Vertex* corners[3];
  gdi::Rect box;
};

// Triangles in record order; the last to paint a pixel gives its colour.
void ShadeTriangles(gdi::RenderTarget& target, const std::vector<Triangle>& triangles) {
  gdi::Rect extent;
  for (const Triangle& t : triangles)
    extent = extent.IsEmpty() ? t.box
                              : gdi::Rect{std::min(extent.left, t.box.left), std::min(extent.top, t.box.top),
                                          std::max(extent.right, t.box.right), std::max(extent.bottom, t.box.bottom)};
  if (triangles.size() < 2 || !CoverMask::Fits(extent)) {
    for (const Triangle& t : triangles)
      ShadeTriangle(target, *t.corners[0], *t.corners[1], *t.corners[2], t.box, nullptr);
    return;
  }
  CoverMask mask(extent);
  for (auto t = triangles.rbegin(); t != triangles.rend(); ++t)
    ShadeTriangle(target, *t->corners[0], *t->corners[1], *t->corners[2], t->box, &mask);
}

}  // namespace

bool EmfRecordPlayer::PlayGradientRecord(EmfRecordReader& r) {
  r.Skip(16);  // bounds
  const uint32_t vertexCount = r.U32(), objectCount = r.U32(), mode = r.U32();
  if (!r.Ok() || mode > GRADIENT_FILL_TRIANGLE) return true;
  const uint64_t perObject = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
  if (uint64_t{vertexCount} * 16 + uint64_t{objectCount} * perObject * 4 > r.Remaining()) return true;
  std::vector<gdi::Point> logical(vertexCount);
  std::vector<Vertex> vertices(vertexCount);
  for (uint32_t i = 0; i < vertexCount; ++i) {
    logical[i] = r.PointL();
    vertices[i].device = state_.ToDevice(logical[i]);
    for (double& channel : vertices[i].channels) channel = static_cast<uint16_t>(r.I16());
    r.Skip(2);  // alpha: not used on a plain surface
  }
  std::vector<uint32_t> indices;
  if (!r.U32Array(uint64_t{objectCount} * perObject, indices)) return true;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return true;
  const bool upright = state_.LogicalToDevice().AxisAligned();
  const gdi::Rect clip = target.HeldClipBounds();
  // Shades a triangle now, or keeps it for the record's triangles shaded together.
  std::vector<Triangle> triangles;
  const auto triangle = [&](const Vertex& a, const Vertex& b, const Vertex& c, bool now) {
    if (!Shadeable(a, b, c)) return;
    const gdi::Rect box = TriangleBox(a, b, c, clip);
    if (box.IsEmpty()) return;
    if (now) ShadeTriangle(target, a, b, c, box, nullptr);
    else triangles.push_back(Triangle{{&a, &b, &c}, box});
  };

  for (size_t k = 0; k + perObject <= indices.size(); k += perObject) {
    if (std::any_of(indices.begin() + k, indices.begin() + k + perObject, [&](uint32_t i) { return i >= vertexCount; }))
      continue;
    if (mode == GRADIENT_FILL_TRIANGLE) {
      triangle(vertices[indices[k]], vertices[indices[k + 1]], vertices[indices[k + 2]], false);
      continue;
    }
    const Vertex &v0 = vertices[indices[k]], &v1 = vertices[indices[k + 1]];
    const bool horizontal = mode == GRADIENT_FILL_RECT_H;
    if (!upright) {
      // The other two corners take the colours of the side they lie on.
      const gdi::Point p0 = logical[indices[k]], p1 = logical[indices[k + 1]];
      Vertex c01{state_.ToDevice(gdi::Point{p1.x, p0.y}), {}}, c10{state_.ToDevice(gdi::Point{p0.x, p1.y}), {}};
      std::copy_n(horizontal ? v1.channels : v0.channels, 3, c01.channels);
      std::copy_n(horizontal ? v0.channels : v1.channels, 3, c10.channels);
      triangle(v0, c01, v1, true);
      triangle(v0, v1, c10, true);
      continue;
    }
    const int32_t ax = RoundToInt(v0.device.x), ay = RoundToInt(v0.device.y);
    const int32_t bx = RoundToInt(v1.device.x), by = RoundToInt(v1.device.y);
    // Shading runs from the vertex on the left (top) to the one on the right (bottom).
    const bool swapped = horizontal ? bx < ax : by < ay;
    const Vertex& from = swapped ? v1 : v0;
    const Vertex& to = swapped ? v0 : v1;
    const gdi::Rect box{std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
    const int32_t top = std::max(box.top, clip.top), bottom = std::min(box.bottom, clip.bottom);
    const int32_t left = std::max(box.left, clip.left), right = std::min(box.right, clip.right);
    const int64_t length = horizontal ? int64_t{box.right} - box.left : int64_t{box.bottom} - box.top;
    if (length <= 0) continue;
    const auto colorAt = [&](int64_t pos) {
      double channels[3];
      for (int i = 0; i < 3; ++i)
        channels[i] = std::floor((from.channels[i] * static_cast<double>(length - pos) +
                                  to.channels[i] * static_cast<double>(pos)) / static_cast<double>(length));
      return ColorOf(channels);
    };
    for (int32_t y = top; y < bottom; ++y) {
      if (horizontal) {
        ShadeSpan(target, y, left, right, [&](int32_t x) { return colorAt(int64_t{x} - box.left); });
      } else {
        const gdi::COLORREF c = colorAt(int64_t{y} - box.top);
        ShadeSpan(target, y, left, right, [c](int32_t) { return c; });
      }
    }
  }
  ShadeTriangles(target, triangles);
  return true;
}

}  // namespace orvane::emf
