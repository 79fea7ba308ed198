#pragma once
// A clip region: a set of pixels kept as y-x banded rectangles (bands
// sorted top to bottom, rectangles in a band sorted left to right, none
// overlapping or touching). Combining follows the usual region algebra.

#include <vector>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

enum class RegionOp { And, Or, Diff, Xor, Copy };

class Region {
 public:
  Region() = default;
  explicit Region(const Rect& rect);

  static Region Combine(const Region& a, const Region& b, RegionOp op);
  // A region of rectangles already in the form above: banded, sorted, each
  // band's rectangles apart, and two bands that touch differing in their
  // rectangles' sides.
  static Region FromCanonicalRects(std::vector<Rect> rects) {
    Region r;
    r.rects_ = std::move(rects);
    return r;
  }

  bool IsEmpty() const { return rects_.empty(); }
  Rect Bounds() const;
  bool Contains(int32_t x, int32_t y) const;
  const std::vector<Rect>& Rects() const { return rects_; }

  void IntersectRect(const Rect& rect);
  void ExcludeRect(const Rect& rect);
  void Offset(int32_t dx, int32_t dy);

  // Calls fn(x0, x1) for each part of the row span [x0, x1) at y that lies in the region.
  template <class Fn>
  void ForEachSpanPart(int32_t y, int32_t x0, int32_t x1, Fn&& fn) const {
    for (size_t i = FirstRectAtOrBelow(y); i < rects_.size() && rects_[i].top <= y; ++i) {
      const Rect& r = rects_[i];
      if (y >= r.bottom) continue;
      const int32_t a = x0 > r.left ? x0 : r.left;
      const int32_t b = x1 < r.right ? x1 : r.right;
      if (a < b) fn(a, b);
    }
  }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  size_t FirstRectAtOrBelow(int32_t y) const;
  std::vector<Rect> rects_;
};

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
