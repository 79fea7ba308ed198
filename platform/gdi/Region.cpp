#include <orvane/gdi/Region.h>

#include <algorithm>

namespace orvane::gdi {

namespace {

struct Interval {
  int32_t x0, x1;
};

// The x intervals of a banded region within the band [y0, y1) (which lies
// entirely inside or outside each of its rectangles). Bands are asked for
// from the top down, so `cursor` skips for good the rectangles that end
// above y0 instead of rescanning them for every band.
void IntervalsAt(const std::vector<Rect>& rects, int32_t y0, size_t& cursor, std::vector<Interval>& out) {
  out.clear();
  while (cursor < rects.size() && rects[cursor].bottom <= y0) ++cursor;
  for (size_t i = cursor; i < rects.size(); ++i) {
    const Rect& r = rects[i];
    if (r.top > y0) break;
    if (r.bottom > y0) out.push_back({r.left, r.right});
  }
}

bool Inside(RegionOp op, bool a, bool b) {
  switch (op) {
    case RegionOp::And: return a && b;
    case RegionOp::Or: return a || b;
    case RegionOp::Diff: return a && !b;
    case RegionOp::Xor: return a != b;
    case RegionOp::Copy: return a;
  }
  return false;
}

// Combines two sorted interval lists by sweeping their end points.
void CombineIntervals(const std::vector<Interval>& a, const std::vector<Interval>& b, RegionOp op,
                      std::vector<Interval>& out) {
  out.clear();
  std::vector<int32_t> xs;
  xs.reserve(2 * (a.size() + b.size()));
  for (auto& i : a) { xs.push_back(i.x0); xs.push_back(i.x1); }
  for (auto& i : b) { xs.push_back(i.x0); xs.push_back(i.x1); }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  size_t ia = 0, ib = 0;
  for (size_t k = 0; k + 1 < xs.size(); ++k) {
    const int32_t x = xs[k];
    while (ia < a.size() && a[ia].x1 <= x) ++ia;
    while (ib < b.size() && b[ib].x1 <= x) ++ib;
    const bool inA = ia < a.size() && a[ia].x0 <= x;
    const bool inB = ib < b.size() && b[ib].x0 <= x;
    if (!Inside(op, inA, inB)) continue;
    if (!out.empty() && out.back().x1 == x) out.back().x1 = xs[k + 1];
    else out.push_back({x, xs[k + 1]});
  }
}

}  // namespace

Region::Region(const Rect& rect) {
  if (!rect.IsEmpty()) rects_.push_back(rect);
}

Region Region::Combine(const Region& a, const Region& b, RegionOp op) {
  std::vector<int32_t> ys;
  for (auto& r : a.rects_) { ys.push_back(r.top); ys.push_back(r.bottom); }
  for (auto& r : b.rects_) { ys.push_back(r.top); ys.push_back(r.bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  Region result;
  std::vector<Interval> ia, ib, band, previous;
  size_t previousStart = 0, cursorA = 0, cursorB = 0;
  int32_t previousBottom = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const int32_t y0 = ys[k], y1 = ys[k + 1];
    IntervalsAt(a.rects_, y0, cursorA, ia);
    IntervalsAt(b.rects_, y0, cursorB, ib);
    CombineIntervals(ia, ib, op, band);
    if (band.empty()) { previous.clear(); continue; }
    // Coalesce with the band just above when it holds the same intervals.
    const bool same = !previous.empty() && previousBottom == y0 && previous.size() == band.size() &&
                      std::equal(band.begin(), band.end(), previous.begin(),
                                 [](const Interval& p, const Interval& q) { return p.x0 == q.x0 && p.x1 == q.x1; });
    if (same) {
      for (size_t i = previousStart; i < result.rects_.size(); ++i) result.rects_[i].bottom = y1;
    } else {
      previousStart = result.rects_.size();
      for (auto& i : band) result.rects_.push_back(Rect{i.x0, y0, i.x1, y1});
      previous = band;
    }
    previousBottom = y1;
  }
  return result;
}

Rect Region::Bounds() const {
  if (rects_.empty()) return Rect{};
  Rect b = rects_.front();
  for (auto& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::Contains(int32_t x, int32_t y) const {
  bool inside = false;
  ForEachSpanPart(y, x, x + 1, [&](int32_t, int32_t) { inside = true; });
  return inside;
}

void Region::IntersectRect(const Rect& rect) {
  std::vector<Rect> kept;
  for (auto& r : rects_) {
    const Rect i = r.Intersect(rect);
    if (!i.IsEmpty()) kept.push_back(i);
  }
  // Cutting a banded region by a rectangle can make neighbouring bands equal;
  // re-banding keeps the canonical form.
  Region cut;
  cut.rects_ = std::move(kept);
  *this = Combine(cut, Region(), RegionOp::Copy);
}

void Region::ExcludeRect(const Rect& rect) { *this = Combine(*this, Region(rect), RegionOp::Diff); }

void Region::Offset(int32_t dx, int32_t dy) {
  for (auto& r : rects_) r = r.Offset(dx, dy);
}

size_t Region::FirstRectAtOrBelow(int32_t y) const {
  // Rectangles are sorted by top; the first that can contain y has bottom > y.
  size_t lo = 0, hi = rects_.size();
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    if (rects_[mid].bottom <= y) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

}  // namespace orvane::gdi
