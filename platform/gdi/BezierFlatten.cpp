// Cubic Bézier flattening by uniform subdivision. The number of segments
// comes from the bound on the distance between a polynomial curve and its
// uniformly sampled polyline: for a cubic it is at most 3/4 * M / n^2, where
// M is the largest second difference of the control points. Choosing n so
// that this stays under the tolerance makes the subdivision adapt to the
// curve's size and bend; each point is evaluated directly (no accumulated
// forward-difference error), so the result is exact to double precision and
// the same on every run; the weights of the points are kept per segment
// count, worked out the same way.

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <orvane/gdi/detail/Rasterizer.h>

namespace orvane::gdi {

namespace {

constexpr double kTolerance = 0.1;  // device pixels
constexpr int kMaxSegments = 1024;
// Subdivisions up to this many segments keep their weights (about 64 KiB
// for all of them on a thread); larger ones, rare, work them out as they go.
constexpr int kMostKeptSegments = 64;

// The weights of the four control points at t = i / n, as each point is
// evaluated.
struct Weights {
  double b0, b1, b2, b3;
};

Weights WeightsAt(int i, int n) {
  const double t = static_cast<double>(i) / n, u = 1 - t;
  return Weights{u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
}

// The weights of points 1 to n - 1 of a subdivision into n segments.
const std::vector<Weights>& KeptWeights(int n) {
  thread_local std::vector<Weights> kept[kMostKeptSegments + 1];
  std::vector<Weights>& weights = kept[n];
  if (weights.empty() && n > 1)
    for (int i = 1; i < n; ++i) weights.push_back(WeightsAt(i, n));
  return weights;
}

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
  const auto point = [&](const Weights& w) {
    return PointD{w.b0 * p0.x + w.b1 * p1.x + w.b2 * p2.x + w.b3 * p3.x,
                  w.b0 * p0.y + w.b1 * p1.y + w.b2 * p2.y + w.b3 * p3.y};
  };
  if (n <= kMostKeptSegments) {
    const std::vector<Weights>& kept = KeptWeights(n);
#if defined(__SSE2__)
    // x and y side by side, each lane the same products and sums in the
    // same order as the scalar expression, so the same bits.
    const __m128d c0 = _mm_set_pd(p0.y, p0.x), c1 = _mm_set_pd(p1.y, p1.x), c2 = _mm_set_pd(p2.y, p2.x),
                  c3 = _mm_set_pd(p3.y, p3.x);
    for (const Weights& w : kept) {
      __m128d v = _mm_mul_pd(_mm_set1_pd(w.b0), c0);
      v = _mm_add_pd(v, _mm_mul_pd(_mm_set1_pd(w.b1), c1));
      v = _mm_add_pd(v, _mm_mul_pd(_mm_set1_pd(w.b2), c2));
      v = _mm_add_pd(v, _mm_mul_pd(_mm_set1_pd(w.b3), c3));
      PointD p;
      _mm_storeu_pd(&p.x, v);
      out.push_back(p);
    }
#else
    for (const Weights& w : kept) out.push_back(point(w));
#endif
  } else {
    for (int i = 1; i < n; ++i) out.push_back(point(WeightsAt(i, n)));
  }
  out.push_back(p3);
}

}  // namespace orvane::gdi
