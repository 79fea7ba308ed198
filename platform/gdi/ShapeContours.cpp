// Outlines of ellipses, rounded rectangles and elliptic arcs.
//
// A GDI box (left, top, right, bottom) puts the shape's pixels in columns
// left..right-1 and rows top..bottom-1, so the curve is the one inscribed in
// (left, top, right-1, bottom-1): stroked with a cosmetic pen it passes
// through the outermost pixels, and filled by the point-inside rule it covers
// the pixels within. For a whole-number box the ellipse of (0, 0, 10, 10)
// is centred on (4.5, 4.5).
//
// Curves are sampled at equal steps of the ellipse's parameter, as many as
// keep the chords within a fraction of a pixel of the curve. A closed
// ellipse is built from one quarter whose offsets are rounded to the fill's
// 1/256-pixel grid and mirrored, so it is exactly symmetric; its vertices sit
// a little outside the curve and the chords' middles as far inside.

#include <algorithm>
#include <cmath>
#include <numbers>

#include <orvane/gdi/detail/Rasterizer.h>

namespace orvane::gdi {

namespace {

constexpr double kTolerance = 0.125;  // device pixels
constexpr int kMaxQuarterSteps = 512;
constexpr double kGrid = 256;

struct Ellipse {
  double cx = 0, cy = 0, rx = 0, ry = 0;
};

// The ellipse of a GDI box; false when the box is empty or not finite.
bool EllipseOf(double left, double top, double right, double bottom, Ellipse& e) {
  if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(right) || !std::isfinite(bottom)) return false;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (right - left <= 0 || bottom - top <= 0) return false;
  e.rx = std::max(0.0, (right - left - 1) / 2);
  e.ry = std::max(0.0, (bottom - top - 1) / 2);
  e.cx = left + e.rx;
  e.cy = top + e.ry;
  return true;
}

// Parameter steps for a quarter of an ellipse with the larger radius r,
// given the chord error allowed.
int QuarterSteps(double r, double allowed) {
  if (r <= allowed) return 2;
  const double step = 2 * std::acos(1 - allowed / r);
  return static_cast<int>(std::clamp(std::ceil(std::numbers::pi / 2 / step), 2.0, double{kMaxQuarterSteps}));
}

double OnGrid(double v) { return std::round(v * kGrid) / kGrid; }
// Offsets of vertices that lie outside the curve are rounded outwards: a
// vertex just beyond a pixel's point must not be pulled onto it, where the
// left-in, right-out rule would take it on one side and not the other.
double OutOnGrid(double v) { return std::ceil(v * kGrid) / kGrid; }

// Offsets of the first quarter, parameter 0 to pi/2: (rx, 0) ... (0, ry),
// y pointing up, on the grid. With `exactEnds` the two ends stay on
// the radii, so the straight sides of a rounded rectangle are those of the
// rectangle.
void Quarter(double rx, double ry, std::vector<PointD>& q, bool exactEnds) {
  const int m = QuarterSteps(std::max(rx, ry), 2 * kTolerance);
  const double half = std::numbers::pi / 4 / m;
  const double grow = (1 + 1 / std::cos(half)) / 2;
  q.clear();
  for (int k = 0; k <= m; ++k) {
    const double a = std::numbers::pi / 2 * k / m;
    const double x = k == m ? 0 : OutOnGrid(rx * grow * std::cos(a));
    const double y = k == 0 ? 0 : OutOnGrid(ry * grow * std::sin(a));
    q.push_back(PointD{x, y});
  }
  if (exactEnds) {
    q.front().x = OnGrid(rx);
    q.back().y = OnGrid(ry);
  }
}

// Whether the segment a-b (in 1/256 pixel units) passes exactly through a
// pixel's point (a multiple of 256 in both coordinates).
bool HitsPixelPoint(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
  constexpr int64_t kOne = static_cast<int64_t>(kGrid);
  if (ay > by) {
    std::swap(ax, bx);
    std::swap(ay, by);
  }
  auto firstMultipleFrom = [](int64_t v) { return v >= 0 ? (v + kOne - 1) / kOne * kOne : -(-v / kOne * kOne); };
  if (ay == by) return ay % kOne == 0 && firstMultipleFrom(std::min(ax, bx)) <= std::max(ax, bx);
  for (int64_t j = firstMultipleFrom(ay); j <= by; j += kOne) {
    const int64_t num = ax * (by - ay) + (j - ay) * (bx - ax);
    if (num % ((by - ay) * kOne) == 0) return true;
  }
  return false;
}

// An ellipse whose centre lies on the half-pixel grid is symmetric with its
// pixels only when no pixel's point lies exactly on its outline: the
// left-in, right-out rule would then take the point on one side but not its
// mirror image. Vertices of the first quarter whose edges pass through one
// are moved outwards by a grid step (the other quarters are mirror images,
// and so is the pixel grid about such a centre).
void KeepOffPixelPoints(std::vector<PointD>& q, double cx, double cy) {
  constexpr double kLimit = 4096;  // larger shapes are left alone
  if (cx * 2 != std::floor(cx * 2) || cy * 2 != std::floor(cy * 2) || std::abs(cx) > kLimit ||
      std::abs(cy) > kLimit || q.size() < 2 || q.front().x > kLimit || q.back().y > kLimit)
    return;
  auto fx = [&](const PointD& o) { return static_cast<int64_t>(std::llround((cx + o.x) * kGrid)); };
  auto fy = [&](const PointD& o) { return static_cast<int64_t>(std::llround((cy - o.y) * kGrid)); };
  const size_t m = q.size() - 1;
  for (int pass = 0; pass < 4; ++pass) {
    bool moved = false;
    for (size_t k = 0; k < m; ++k) {
      for (int tries = 0; tries < 16 && HitsPixelPoint(fx(q[k]), fy(q[k]), fx(q[k + 1]), fy(q[k + 1])); ++tries) {
        // Move the edge's end that is not an end of the quarter.
        PointD& v = k + 1 < m ? q[k + 1] : q[k];
        if (&v != &q.back()) v.x += 1 / kGrid;
        if (&v != &q.front()) v.y += 1 / kGrid;
        moved = true;
      }
    }
    if (!moved) return;
  }
}

void AddPoint(Contour& c, PointD p) {
  if (c.empty() || !(c.back() == p)) c.push_back(p);
}

// Appends the four quarters around the centres of a rounded shape: the
// corners (right-top, left-top, left-bottom, right-bottom) counter-clockwise
// as seen on screen, starting on the right side.
void AddQuarters(Contour& c, const std::vector<PointD>& q, double left, double top, double right, double bottom) {
  const size_t m = q.size() - 1;
  for (size_t k = 0; k <= m; ++k) AddPoint(c, PointD{right + q[k].x, top - q[k].y});
  for (size_t k = 0; k <= m; ++k) AddPoint(c, PointD{left - q[m - k].x, top - q[m - k].y});
  for (size_t k = 0; k <= m; ++k) AddPoint(c, PointD{left - q[k].x, bottom + q[k].y});
  for (size_t k = 0; k <= m; ++k) AddPoint(c, PointD{right + q[m - k].x, bottom + q[m - k].y});
  while (c.size() > 1 && c.back() == c.front()) c.pop_back();
}

}  // namespace

Contour EllipseContour(double left, double top, double right, double bottom) {
  Contour c;
  Ellipse e;
  if (!EllipseOf(left, top, right, bottom, e)) return c;
  std::vector<PointD> q;
  Quarter(e.rx, e.ry, q, false);
  KeepOffPixelPoints(q, e.cx, e.cy);
  AddQuarters(c, q, e.cx, e.cy, e.cx, e.cy);
  return c;
}

Contour RoundRectContour(double left, double top, double right, double bottom, double cornerWidth,
                         double cornerHeight) {
  Contour c;
  Ellipse box;
  if (!EllipseOf(left, top, right, bottom, box)) return c;
  const double l = box.cx - box.rx, t = box.cy - box.ry, r = box.cx + box.rx, b = box.cy + box.ry;
  double rx = std::isfinite(cornerWidth) ? std::min(std::abs(cornerWidth) / 2, box.rx) : 0;
  double ry = std::isfinite(cornerHeight) ? std::min(std::abs(cornerHeight) / 2, box.ry) : 0;
  if (rx <= 0 || ry <= 0) rx = ry = 0;
  std::vector<PointD> q;
  if (rx > 0) Quarter(rx, ry, q, true);
  else q = {PointD{0, 0}, PointD{0, 0}};
  AddQuarters(c, q, l + rx, t + ry, r - rx, b - ry);
  return c;
}

std::vector<PointD> ArcPoints(double left, double top, double right, double bottom, PointD start, PointD end,
                              bool clockwise) {
  std::vector<PointD> out;
  Ellipse e;
  if (!EllipseOf(left, top, right, bottom, e) || !std::isfinite(start.x) || !std::isfinite(start.y) ||
      !std::isfinite(end.x) || !std::isfinite(end.y))
    return out;
  // The parameter where a ray from the centre meets the ellipse
  // (x = cx + rx cos t, y = cy - ry sin t: t grows counter-clockwise on screen).
  auto param = [&](PointD p) { return std::atan2(-(p.y - e.cy) * e.rx, (p.x - e.cx) * e.ry); };
  const double from = param(start);
  double sweep = param(end) - from;
  const double full = 2 * std::numbers::pi;
  if (clockwise) {
    while (sweep >= 0) sweep -= full;
    while (sweep < -full) sweep += full;
  } else {
    while (sweep <= 0) sweep += full;
    while (sweep > full) sweep -= full;
  }
  const int perQuarter = QuarterSteps(std::max(e.rx, e.ry), kTolerance);
  const int n = std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / (std::numbers::pi / 2) * perQuarter)));
  out.reserve(static_cast<size_t>(n) + 1);
  for (int k = 0; k <= n; ++k) {
    const double t = from + sweep * k / n;
    out.push_back(PointD{e.cx + e.rx * std::cos(t), e.cy - e.ry * std::sin(t)});
  }
  return out;
}

}  // namespace orvane::gdi
