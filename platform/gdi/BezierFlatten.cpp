// Cubic Bézier flattening by uniform subdivision. The number of segments
// comes from the bound on the distance between a polynomial curve and its
// uniformly sampled polyline: for a cubic it is at most 3/4 * M / n^2, where
// M is the largest second difference of the control points. Choosing n so
// that this stays under the tolerance makes the subdivision adapt to the
// curve's size and bend; each point is evaluated directly (no accumulated
// forward-difference error), so the result is exact to double precision and
// the same on every run.

#include <algorithm>
#include <cmath>

#include <orvane/gdi/detail/Rasterizer.h>

namespace orvane::gdi {

namespace {

constexpr double kTolerance = 0.1;  // device pixels
constexpr int kMaxSegments = 1024;

}  // namespace

void FlattenBezier(PointD p0, PointD p1, PointD p2, PointD p3, std::vector<PointD>& out) {
  const bool finite = std::isfinite(p0.x) && std::isfinite(p0.y) && std::isfinite(p1.x) && std::isfinite(p1.y) &&
                      std::isfinite(p2.x) && std::isfinite(p2.y);
  const double ax = p0.x - 2 * p1.x + p2.x, ay = p0.y - 2 * p1.y + p2.y;
  const double bx = p1.x - 2 * p2.x + p3.x, by = p1.y - 2 * p2.y + p3.y;
  // The larger second difference's length; hypot only where the squares overflow.
  const double squared = std::max(ax * ax + ay * ay, bx * bx + by * by);
  const double m = std::isfinite(squared) ? std::sqrt(squared) : std::max(std::hypot(ax, ay), std::hypot(bx, by));
  const double wanted = std::ceil(std::sqrt(0.75 * m / kTolerance));
  // A curve with NaN or infinity, or too big to measure: only p3.
  if (!finite || !std::isfinite(wanted)) {
    out.push_back(p3);
    return;
  }
  const int n = static_cast<int>(std::clamp(wanted, 1.0, static_cast<double>(kMaxSegments)));
  for (int i = 1; i < n; ++i) {
    const double t = static_cast<double>(i) / n, u = 1 - t;
    const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
    out.push_back(PointD{b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x, b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y});
  }
  out.push_back(p3);
}

}  // namespace orvane::gdi
