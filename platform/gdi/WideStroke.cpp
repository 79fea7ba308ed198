// Geometric (wide) pens. The stroke is built as a set of pieces, one quad per
// segment, one per join (round: a disc; bevel: the triangle across the outer
// corner; miter: the quad out to the tip) and one per end cap (round: a disc;
// square: a half-width box beyond the end), all oriented the same way. Filled
// together once by the non-zero winding rule, their union is painted, and no
// pixel twice, so raster operations such as XOR come out right.
//
// Dashes split the polyline by length into open pieces with their own caps;
// the pattern runs on through the vertices. Only the part of each segment
// near the clip bounds is dashed, the rest just advances the pattern, so a
// dashed line of any length costs what its visible part costs.

#include <algorithm>
#include <cmath>
#include <numbers>

#include <orvane/gdi/detail/DashPattern.h>
#include <orvane/gdi/RectangleShape.h>
#include <orvane/gdi/detail/Strokers.h>

namespace orvane::gdi {

namespace {

constexpr double kTolerance = 0.125;    // device pixels
constexpr double kHuge = 1e100;         // inputs are pinned to this
constexpr double kMaxMiterLimit = 1e4;  // sharper joins are bevelled
// Discs of pens wider than about 1300 pixels get coarser than the tolerance;
// the count is capped so absurd pens cost what ordinary ones do.
constexpr int kMaxDiscVertices = 256;
// More dashes than this in the visible part of a stroke (pen styles far
// shorter than the pen is wide) draw it solid.
constexpr double kMaxDashes = 5000;

struct Box {
  double left, top, right, bottom;
};

PointD operator+(PointD a, PointD b) { return PointD{a.x + b.x, a.y + b.y}; }
PointD operator-(PointD a, PointD b) { return PointD{a.x - b.x, a.y - b.y}; }
PointD operator*(PointD a, double k) { return PointD{a.x * k, a.y * k}; }

// The pieces of one stroke, stored one after another for a single fill.
class Outline {
 public:
  Outline(std::vector<PointD>& points, std::vector<uint32_t>& counts, const Box& cull, OutlineBudget* budget,
          OutlineForm form)
      : points_(points), counts_(counts), cull_(cull), budget_(budget), keepPieces_(form == OutlineForm::Pieces) {
    points_.clear();
    counts_.clear();
  }
  // Once a piece did not fit the budget, the rest of the outline is not made.
  bool Stopped() const { return budget_ && budget_->Exceeded(); }
  void Begin() { start_ = points_.size(); }
  void Add(PointD p) { points_.push_back(p); }
  // Ends a piece: dropped when it lies outside the clip bounds, has no
  // area or does not fit the budget, reversed when it runs the other way
  // round.
  void End() {
    const size_t n = points_.size() - start_;
    const auto first = points_.begin() + static_cast<ptrdiff_t>(start_);
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY, area = 0;
    for (size_t i = 0; i < n; ++i) {
      const PointD& p = points_[start_ + i];
      const PointD& q = points_[start_ + (i + 1) % n];
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
      area += p.x * q.y - q.x * p.y;
    }
    if (n < 3 || !(area != 0) || maxX < cull_.left || minX > cull_.right || maxY < cull_.top ||
        minY > cull_.bottom || (budget_ && !budget_->Take(&points_[start_], n, std::abs(area) / 2))) {
      points_.resize(start_);
      return;
    }
    if (!keepPieces_) {
      points_.resize(start_);
      return;
    }
    if (area < 0) std::reverse(first, points_.end());
    counts_.push_back(static_cast<uint32_t>(n));
  }
  // A whole figure, kept unless it lies outside the clip bounds; its cost
  // was charged as the pieces it is made of.
  void AddFigure(const std::vector<PointD>& figure) {
    if (figure.size() < 3 || Stopped()) return;
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const PointD& p : figure) {
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
    }
    if (maxX < cull_.left || minX > cull_.right || maxY < cull_.top || minY > cull_.bottom) return;
    points_.insert(points_.end(), figure.begin(), figure.end());
    counts_.push_back(static_cast<uint32_t>(figure.size()));
  }

 private:
  std::vector<PointD>& points_;
  std::vector<uint32_t>& counts_;
  Box cull_;
  OutlineBudget* budget_;
  bool keepPieces_;
  size_t start_ = 0;
};

class WideStroker {
 public:
  WideStroker(Outline& out, const StrokeStyle& style, OutlineForm form)
      : out_(out), form_(form), half_(style.width / 2), cap_(style.endCap), join_(style.join),
        miterLimit_(std::clamp(style.miterLimit, 1.0, kMaxMiterLimit)) {
    // Disc vertices: with the vertex radius between the circle and its
    // circumscribed polygon, the error is shared inside and outside.
    int n = 8;
    if (half_ > kTolerance) {
      const double step = std::acos(1 - kTolerance / half_);
      n = static_cast<int>(std::clamp(std::ceil(std::numbers::pi / step), 8.0, double{kMaxDiscVertices}));
      n = (n + 3) / 4 * 4;
    }
    const double radius = half_ * (1 + 1 / std::cos(std::numbers::pi / n)) / 2;
    discStep_ = 2 * std::numbers::pi / n;
    discRadius_ = radius;
    disc_.clear();
    for (int i = 0; i < n; ++i) {
      const double a = 2 * std::numbers::pi * i / n;
      disc_.push_back(PointD{radius * std::cos(a), radius * std::sin(a)});
    }
  }

  // The outline of an open polyline of distinct consecutive points.
  void Open(const PointD* p, size_t n) {
    if (n < 2) return;
    for (size_t i = 0; i + 1 < n && !Stopped(); ++i) Segment(p[i], p[i + 1]);
    for (size_t i = 1; i + 1 < n && !Stopped(); ++i) Join(p[i], Dir(p[i - 1], p[i]), Dir(p[i], p[i + 1]));
    if (Stopped()) return;
    Cap(p[0], Dir(p[1], p[0]));
    Cap(p[n - 1], Dir(p[n - 2], p[n - 1]));
    if (form_ == OutlineForm::Pieces) return;
    // One figure: along one side, round the end, back along the other side
    // (the first side of the reversed line) and round the start.
    figure_.clear();
    thread_local std::vector<PointD> reversed;
    reversed.assign(p, p + n);
    std::reverse(reversed.begin(), reversed.end());
    Side(p, n, false);
    FigureCap(p[n - 1], Dir(p[n - 2], p[n - 1]));
    Side(reversed.data(), n, false);
    FigureCap(p[0], Dir(p[1], p[0]));
    out_.AddFigure(figure_);
  }

  // The outline of a closed polyline (the last point joins the first).
  void Closed(const PointD* p, size_t n) {
    if (n < 2) return;
    for (size_t i = 0; i < n && !Stopped(); ++i) {
      const PointD& prev = p[(i + n - 1) % n];
      const PointD& next = p[(i + 1) % n];
      Segment(p[i], next);
      Join(p[i], Dir(prev, p[i]), Dir(p[i], next));
    }
    if (form_ == OutlineForm::Pieces) return;
    // Two rings, one along each side, the second run the other way.
    thread_local std::vector<PointD> reversed;
    reversed.assign(p, p + n);
    std::reverse(reversed.begin(), reversed.end());
    for (const PointD* ring : {p, static_cast<const PointD*>(reversed.data())}) {
      figure_.clear();
      Side(ring, n, true);
      out_.AddFigure(figure_);
    }
  }

  double MiterLimit() const { return miterLimit_; }
  bool Stopped() const { return out_.Stopped(); }

 private:
  static PointD Dir(PointD a, PointD b) {
    const PointD d = b - a;
    const double len = std::hypot(d.x, d.y);
    return len > 0 ? d * (1 / len) : PointD{1, 0};
  }
  PointD Normal(PointD d) const { return PointD{-d.y * half_, d.x * half_}; }

  void Segment(PointD a, PointD b) {
    const PointD n = Normal(Dir(a, b));
    out_.Begin();
    out_.Add(a - n);
    out_.Add(b - n);
    out_.Add(b + n);
    out_.Add(a + n);
    out_.End();
  }

  void Disc(PointD c) {
    out_.Begin();
    for (const PointD& o : disc_) out_.Add(c + o);
    out_.End();
  }

  // The sector of the disc about v from v + o0 to v + o1, the short way round.
  void Wedge(PointD v, PointD o0, PointD o1) {
    const double a0 = std::atan2(o0.y, o0.x);
    double sweep = std::atan2(o1.y, o1.x) - a0;
    if (sweep > std::numbers::pi) sweep -= 2 * std::numbers::pi;
    if (sweep < -std::numbers::pi) sweep += 2 * std::numbers::pi;
    const int k = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / discStep_)));
    out_.Begin();
    out_.Add(v);
    out_.Add(v + o0);
    for (int i = 1; i < k; ++i) {
      const double a = a0 + sweep * i / k;
      out_.Add(PointD{v.x + discRadius_ * std::cos(a), v.y + discRadius_ * std::sin(a)});
    }
    out_.Add(v + o1);
    out_.End();
  }

  void Triangle(PointD a, PointD b, PointD c) {
    out_.Begin();
    out_.Add(a);
    out_.Add(b);
    out_.Add(c);
    out_.End();
  }

  void Join(PointD v, PointD d0, PointD d1) {
    const double cross = d0.x * d1.y - d0.y * d1.x, dot = d0.x * d1.x + d0.y * d1.y;
    const bool reversal = std::abs(cross) < 1e-12 && dot < 0;
    if (std::abs(cross) < 1e-12 && !reversal) return;  // straight on
    // The outer side of the turn.
    const double side = cross > 0 ? -1 : 1;
    const PointD o0 = Normal(d0) * side, o1 = Normal(d1) * side;
    const double cosHalf = std::sqrt(std::max(0.0, (1 + dot) / 2));  // cos of half the turn
    switch (join_) {
      case PenJoin::Round:
        // The wedge between the two outer corners, closed by an arc about
        // the vertex; where the arc stays within a sixteenth of a pixel of
        // the bevel, the bevel is drawn instead.
        if (reversal) Disc(v);
        else if (half_ * (1 - cosHalf) < kTolerance / 2) Triangle(v, v + o0, v + o1);
        else Wedge(v, o0, o1);
        return;
      case PenJoin::Miter:
        // The miter length over the width is 1 / cos(turn / 2).
        if (!reversal && cosHalf * miterLimit_ >= 1) {
          out_.Begin();
          out_.Add(v);
          out_.Add(v + o0);
          out_.Add(v + (o0 + o1) * (1 / (2 * cosHalf * cosHalf)));
          out_.Add(v + o1);
          out_.End();
          return;
        }
        [[fallthrough]];
      case PenJoin::Bevel:
        if (!reversal) Triangle(v, v + o0, v + o1);
        return;
    }
  }

  // An end cap at e, `d` pointing away from the line.
  void Cap(PointD e, PointD d) {
    switch (cap_) {
      case PenEndCap::Flat: return;
      case PenEndCap::Round: Disc(e); return;
      case PenEndCap::Square: {
        const PointD n = Normal(d), ext = d * half_;
        out_.Begin();
        out_.Add(e - n);
        out_.Add(e - n + ext);
        out_.Add(e + n + ext);
        out_.Add(e + n);
        out_.End();
        return;
      }
    }
  }

  // The points along the side of p[0..n-1] its normals point to, joined at
  // each vertex: out to the corner or round it where the side is outside the
  // turn, straight from one segment's end to the next one's start where it
  // is inside (the figure overlaps itself there, as a widened path does).
  void Side(const PointD* p, size_t n, bool closed) {
    const size_t segments = closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i) {
      const PointD a = p[i], b = p[(i + 1) % n];
      const PointD d = Dir(a, b), o = Normal(d);
      if (i > 0 || closed) {
        const PointD before = p[(i + n - 1) % n];
        FigureJoin(a, Dir(before, a), d);
      } else {
        figure_.push_back(a + o);
      }
      if (i + 1 == segments && !closed) figure_.push_back(b + o);
    }
  }

  void FigureJoin(PointD v, PointD d0, PointD d1) {
    const PointD o0 = Normal(d0), o1 = Normal(d1);
    const double cross = d0.x * d1.y - d0.y * d1.x, dot = d0.x * d1.x + d0.y * d1.y;
    figure_.push_back(v + o0);
    if (std::abs(cross) < 1e-12 && dot > 0) return;  // straight on
    const bool outside = cross < 0 || std::abs(cross) < 1e-12;
    if (outside && join_ == PenJoin::Round) {
      double sweep = std::atan2(o1.y, o1.x) - std::atan2(o0.y, o0.x);
      if (sweep > std::numbers::pi) sweep -= 2 * std::numbers::pi;
      if (sweep < -std::numbers::pi) sweep += 2 * std::numbers::pi;
      if (std::abs(cross) < 1e-12) sweep = -std::numbers::pi;
      Arc(v, o0, sweep);
    } else if (outside && join_ == PenJoin::Miter) {
      const double cosHalf = std::sqrt(std::max(0.0, (1 + dot) / 2));
      if (cosHalf * miterLimit_ >= 1) figure_.push_back(v + (o0 + o1) * (1 / (2 * cosHalf * cosHalf)));
    }
    figure_.push_back(v + o1);
  }

  // The end of an open figure at e, `d` pointing away from the line: from
  // the side the normal points to over to the other.
  void FigureCap(PointD e, PointD d) {
    const PointD n = Normal(d);
    switch (cap_) {
      case PenEndCap::Flat: return;
      case PenEndCap::Round: Arc(e, n, -std::numbers::pi); return;
      case PenEndCap::Square: {
        const PointD ext = d * half_;
        figure_.push_back(e + n + ext);
        figure_.push_back(e - n + ext);
        return;
      }
    }
  }

  // The points strictly between v + o0 and the end of a sweep about v.
  void Arc(PointD v, PointD o0, double sweep) {
    const double a0 = std::atan2(o0.y, o0.x);
    const int k = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / discStep_)));
    for (int i = 1; i < k; ++i) {
      const double a = a0 + sweep * i / k;
      figure_.push_back(PointD{v.x + discRadius_ * std::cos(a), v.y + discRadius_ * std::sin(a)});
    }
  }

  Outline& out_;
  OutlineForm form_;
  std::vector<PointD> figure_;
  double half_;
  PenEndCap cap_;
  PenJoin join_;
  double miterLimit_;
  std::vector<PointD> disc_;
  double discStep_ = 0;    // angle between disc vertices
  double discRadius_ = 0;  // their distance from the centre
};

// The part [t0, t1] of the segment a-b inside a box (Liang-Barsky); false
// when it misses the box.
bool ClipSegment(PointD a, PointD b, const Box& box, double& t0, double& t1) {
  t0 = 0;
  t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  auto side = [&](double p, double q) {  // keeps p * t <= q
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  return side(-dx, a.x - box.left) && side(dx, box.right - a.x) && side(-dy, a.y - box.top) &&
         side(dy, box.bottom - a.y) && t0 <= t1;
}

// Splits the polyline into dashes and outlines each one.
void StrokeDashes(WideStroker& stroker, const std::vector<PointD>& p, bool closed, const DashPattern& pattern,
                  const Box& visible) {
  thread_local std::vector<PointD> dash;
  dash.clear();
  auto flush = [&] {
    if (dash.size() >= 2) stroker.Open(dash.data(), dash.size());
    dash.clear();
  };
  auto add = [&](PointD q) {
    if (dash.empty() || !(dash.back() == q)) dash.push_back(q);
  };
  const size_t segments = closed ? p.size() : p.size() - 1;
  double pathPos = 0;
  for (size_t i = 0; i < segments && !stroker.Stopped(); ++i) {
    const PointD a = p[i], b = p[(i + 1) % p.size()];
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    const PointD d = (b - a) * (1 / len);
    auto at = [&](double s) { return s >= len ? b : (s <= 0 ? a : a + d * s); };
    double t0, t1;
    if (!ClipSegment(a, b, visible, t0, t1)) {
      flush();
      pathPos += len;
      continue;
    }
    const double s0 = t0 * len, s1 = t1 * len;
    if (t0 > 0) flush();
    DashPattern::Cursor cursor = pattern.At(pathPos + s0);
    if (!cursor.On()) flush();
    double s = s0;
    if (cursor.On()) add(at(s));
    for (;;) {
      const double next = s + cursor.remaining;
      if (next >= s1) {
        if (cursor.On()) add(at(s1));
        break;
      }
      s = next;
      if (cursor.On()) {
        add(at(s));
        flush();
      }
      cursor.remaining = 0;
      pattern.Next(cursor);
      if (cursor.On()) add(at(s));
    }
    if (t1 < 1) flush();
    pathPos += len;
  }
  flush();
}

}  // namespace

OutlineBudget::OutlineBudget(size_t points, double cover, double overlap, const Rect& clip)
    : points_(points), limited_(true), cover_(cover), overlap_(overlap), left_(clip.left), top_(clip.top),
      right_(std::max(double(clip.right), left_ + 1)), bottom_(std::max(double(clip.bottom), top_ + 1)) {
  columns_ = static_cast<int>(std::min(right_ - left_, double{kGrid}));
  rows_ = static_cast<int>(std::min(bottom_ - top_, double{kGrid}));
  cellWidth_ = (right_ - left_) / columns_;
  cellHeight_ = (bottom_ - top_) / rows_;
  cells_.assign(size_t(columns_) * rows_, 0);
  rowLeft_.resize(rows_);
  rowRight_.resize(rows_);
}

bool OutlineBudget::Take(const PointD* p, size_t n, double area) {
  if (exceeded_ || n > points_) {
    exceeded_ = true;
    return false;
  }
  points_ -= n;
  if (!limited_) return true;
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (size_t i = 0; i < n; ++i) {
    minX = std::min(minX, p[i].x);
    maxX = std::max(maxX, p[i].x);
    minY = std::min(minY, p[i].y);
    maxY = std::max(maxY, p[i].y);
  }
  const double x0 = std::clamp(minX, left_, right_), x1 = std::clamp(maxX, left_, right_);
  const double y0 = std::clamp(minY, top_, bottom_), y1 = std::clamp(maxY, top_, bottom_);
  const double cover = y1 - y0 + 1 + std::min(area, (x1 - x0) * (y1 - y0));
  if (!(cover <= cover_)) {
    exceeded_ = true;
    return false;
  }
  cover_ -= cover;

  // The piece's x-range within each row of cells it spans, from the parts
  // of its edges inside that row (it is convex), then the cells in it.
  const auto row = [&](double y) { return static_cast<int>(std::clamp((y - top_) / cellHeight_, 0.0, rows_ - 1.0)); };
  const auto column = [&](double x) {
    return static_cast<int>(std::clamp((x - left_) / cellWidth_, 0.0, columns_ - 1.0));
  };
  const int r0 = row(y0), r1 = row(y1);
  std::fill(rowLeft_.begin() + r0, rowLeft_.begin() + r1 + 1, INFINITY);
  std::fill(rowRight_.begin() + r0, rowRight_.begin() + r1 + 1, -INFINITY);
  for (size_t i = 0; i < n; ++i) {
    const PointD a = p[i], b = p[(i + 1) % n];
    const double lo = std::max(std::min(a.y, b.y), top_), hi = std::min(std::max(a.y, b.y), bottom_);
    if (lo > hi) continue;
    const auto at = [&](double y) { return a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x); };
    for (int r = row(lo), last = row(hi); r <= last; ++r) {
      const double ya = std::max(lo, top_ + r * cellHeight_), yb = std::min(hi, top_ + (r + 1) * cellHeight_);
      const double xa = a.y == b.y ? std::min(a.x, b.x) : at(ya), xb = a.y == b.y ? std::max(a.x, b.x) : at(yb);
      rowLeft_[r] = std::min({rowLeft_[r], xa, xb});
      rowRight_[r] = std::max({rowRight_[r], xa, xb});
    }
  }
  double pairs = 0;
  for (int r = r0; r <= r1; ++r) {
    if (!(rowLeft_[r] <= rowRight_[r])) continue;
    uint32_t* cells = &cells_[size_t(r) * columns_];
    for (int c = column(rowLeft_[r]), last = column(rowRight_[r]); c <= last; ++c) pairs += cells[c]++;
  }
  if (!(pairs <= overlap_)) {
    exceeded_ = true;
    return false;
  }
  overlap_ -= pairs;
  return true;
}

void WidePolylineOutline(const std::vector<PointD>& points, bool closed, const StrokeStyle& style, const Rect& clip,
                         std::vector<PointD>& outlinePoints, std::vector<uint32_t>& outlineCounts,
                         OutlineBudget* budget, OutlineForm form) {
  outlinePoints.clear();
  outlineCounts.clear();
  if (points.empty() || !(style.width > 0) || !std::isfinite(style.width)) return;
  thread_local std::vector<PointD> clean;
  clean.clear();
  for (const PointD& q : points) {
    if (!std::isfinite(q.x) || !std::isfinite(q.y)) return;
    const PointD pinned{std::clamp(q.x, -kHuge, kHuge), std::clamp(q.y, -kHuge, kHuge)};
    if (clean.empty() || !(clean.back() == pinned)) clean.push_back(pinned);
  }
  if (closed) {
    while (clean.size() > 1 && clean.back() == clean.front()) clean.pop_back();
  }
  if (clean.size() < 2) return;

  const Box cull{clip.left - 1.0, clip.top - 1.0, clip.right + 1.0, clip.bottom + 1.0};
  Outline outline(outlinePoints, outlineCounts, cull, budget, form);
  WideStroker stroker(outline, style, form);

  const DashPattern pattern(style.dashes);
  // Anything a piece can reach: half the width, a square cap's corner or a
  // miter's tip.
  const double reach =
      style.width / 2 * std::max(style.join == PenJoin::Miter ? stroker.MiterLimit() : 1.0, 1.5) + 2;
  const Box visible{clip.left - reach, clip.top - reach, clip.right + reach, clip.bottom + reach};
  bool dashed = !pattern.IsSolid() && pattern.Period() >= kTolerance;
  if (dashed) {
    double length = 0;
    const size_t segments = closed ? clean.size() : clean.size() - 1;
    for (size_t i = 0; i < segments; ++i) {
      const PointD a = clean[i], b = clean[(i + 1) % clean.size()];
      double t0, t1;
      if (ClipSegment(a, b, visible, t0, t1)) length += (t1 - t0) * std::hypot(b.x - a.x, b.y - a.y);
    }
    dashed = length / pattern.Period() <= kMaxDashes;
  }
  if (dashed) StrokeDashes(stroker, clean, closed, pattern, visible);
  else if (closed) stroker.Closed(clean.data(), clean.size());
  else stroker.Open(clean.data(), clean.size());
}

void StrokeWidePolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                        const StrokeStyle& style) {
  if (target.IsEmpty()) return;
  thread_local std::vector<PointD> outlinePoints;
  thread_local std::vector<uint32_t> outlineCounts;
  // Laid out against the whole surface's clip: a band gets the same outline.
  WidePolylineOutline(points, closed, style, target.WholeClipBounds(), outlinePoints, outlineCounts);
  FillPolyPolygon(target, outlinePoints, outlineCounts, FillMode::Winding);
}

void StrokePolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed, const StrokeStyle& style) {
  if (style.cosmetic) StrokeCosmeticPolyline(target, points, closed, style.dashes, style.gapPaint);
  else StrokeWidePolyline(target, points, closed, style);
}

StrokeStyle StrokeStyleFor(const Pen& pen, double deviceWidth) {
  StrokeStyle s;
  s.insideFrame = pen.style == PenStyle::InsideFrame;
  const double w = std::isfinite(deviceWidth) ? std::round(std::abs(deviceWidth)) : 1.0;
  if (!pen.geometric && w <= 1) {
    s.cosmetic = true;
    s.width = 1;
    for (uint32_t d : CosmeticDashes(pen)) s.dashes.push_back(d);
    return s;
  }
  s.cosmetic = false;
  s.width = std::max(w, 1.0);
  if (!pen.geometric) {
    // A wide pen made without the extended styles: solid, round ends and
    // joins, whatever dash style was asked for.
    s.endCap = PenEndCap::Round;
    s.join = PenJoin::Round;
    return s;
  }
  s.endCap = pen.endCap;
  s.join = pen.join;
  auto scaled = [&](std::initializer_list<double> units) {
    for (double u : units) s.dashes.push_back(u * s.width);
  };
  switch (pen.style) {
    case PenStyle::Dash: scaled({3, 1}); break;
    case PenStyle::Dot: scaled({1, 1}); break;
    case PenStyle::DashDot: scaled({3, 1, 1, 1}); break;
    case PenStyle::DashDotDot: scaled({3, 1, 1, 1, 1, 1}); break;
    case PenStyle::Alternate: scaled({1, 1}); break;
    case PenStyle::UserStyle: {
      // User lengths are in the pen's own units, like its width.
      const double unit = pen.width > 0 ? std::abs(deviceWidth) / pen.width : 1.0;
      for (uint32_t d : pen.userDashes) s.dashes.push_back(d * (std::isfinite(unit) ? unit : 1.0));
      break;
    }
    default: break;
  }
  return s;
}

}  // namespace orvane::gdi
