#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <orvane/gdi/detail/Rasterizer.h>

using namespace orvane::gdi;

namespace {

PointD Cubic(PointD a, PointD b, PointD c, PointD d, double t) {
  const double u = 1 - t;
  return {u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
          u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y};
}

double DistanceToSegment(PointD p, PointD a, PointD b) {
  const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The largest distance from the true curve to the flattened polyline.
double WorstDeviation(PointD a, PointD b, PointD c, PointD d, const std::vector<PointD>& poly) {
  std::vector<PointD> line{a};
  line.insert(line.end(), poly.begin(), poly.end());
  double worst = 0;
  for (int i = 0; i <= 4000; ++i) {
    const PointD p = Cubic(a, b, c, d, i / 4000.0);
    double best = INFINITY;
    for (size_t k = 0; k + 1 < line.size(); ++k) best = std::min(best, DistanceToSegment(p, line[k], line[k + 1]));
    worst = std::max(worst, best);
  }
  return worst;
}

struct Curve {
  const char* name;
  PointD a, b, c, d;
};

}  // namespace

TEST(BezierFlatten, StaysWithinAnEighthOfAPixelOfTheTrueCurve) {
  const Curve curves[] = {
      {"small arc", {0, 0}, {2, 5}, {6, 5}, {8, 0}},
      {"quarter circle r=400", {400, 0}, {400, 220.9}, {220.9, 400}, {0, 400}},
      {"s-curve", {10, 10}, {900, 10}, {-300, 700}, {600, 700}},
      {"cusp", {0, 0}, {300, 300}, {0, 300}, {300, 0}},
      {"fractional", {0.3, 0.7}, {1.1, 3.9}, {2.2, -1.4}, {3.05, 0.5}},
  };
  for (const Curve& k : curves) {
    std::vector<PointD> out;
    FlattenBezier(k.a, k.b, k.c, k.d, out);
    ASSERT_FALSE(out.empty()) << k.name;
    EXPECT_EQ(out.back(), k.d) << k.name;  // ends exactly at p3
    EXPECT_NE(out.front(), k.a) << k.name;  // p0 is not repeated
    EXPECT_LE(WorstDeviation(k.a, k.b, k.c, k.d, out), 0.125) << k.name;
  }
}

TEST(BezierFlatten, SegmentCountFollowsTheCurvesSize) {
  std::vector<PointD> straight, small, large;
  FlattenBezier({0, 0}, {1, 1}, {2, 2}, {3, 3}, straight);  // a straight line needs no subdivision
  EXPECT_EQ(straight, (std::vector<PointD>{{3, 3}}));
  FlattenBezier({0, 0}, {0, 10}, {10, 10}, {10, 0}, small);
  FlattenBezier({0, 0}, {0, 1000}, {1000, 1000}, {1000, 0}, large);
  // The error falls with the square of the count: 100 times the size needs
  // about 10 times the segments, not 100 times.
  EXPECT_GT(large.size(), 5 * small.size());
  EXPECT_LT(large.size(), 20 * small.size());
  // Appends to what is there already.
  std::vector<PointD> out{{-1, -1}};
  FlattenBezier({0, 0}, {0, 10}, {10, 10}, {10, 0}, out);
  EXPECT_EQ(out.size(), small.size() + 1);
  EXPECT_EQ(out.front(), (PointD{-1, -1}));
}

TEST(BezierFlatten, EnormousOrBrokenCurvesStayBounded) {
  std::vector<PointD> huge;
  FlattenBezier({0, 0}, {1e12, 0}, {1e12, 1e12}, {0, 1e12}, huge);
  EXPECT_LE(huge.size(), 1024u);
  EXPECT_EQ(huge.back(), (PointD{0, 1e12}));

  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (PointD bad : {PointD{nan, 0}, PointD{0, inf}}) {
    std::vector<PointD> out;
    FlattenBezier({0, 0}, bad, {5, 5}, {7, 1}, out);
    EXPECT_EQ(out, (std::vector<PointD>{{7, 1}}));
    out.clear();
    FlattenBezier({0, 0}, {1, 1}, bad, {7, 1}, out);
    EXPECT_EQ(out, (std::vector<PointD>{{7, 1}}));
  }
  std::vector<PointD> point;
  FlattenBezier({4, 4}, {4, 4}, {4, 4}, {4, 4}, point);
  EXPECT_EQ(point, (std::vector<PointD>{{4, 4}}));
}
