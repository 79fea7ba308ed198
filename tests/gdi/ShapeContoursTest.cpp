#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RasterTestHelpers.h"

using gditest::RasterCanvas;
using namespace orvane::gdi;

namespace {

using Picture = std::vector<std::string>;

Picture Mirrored(Picture p) {
  for (auto& row : p) row = std::string(row.rbegin(), row.rend());
  return p;
}
Picture Flipped(Picture p) { return Picture(p.rbegin(), p.rend()); }

}  // namespace

// --- Ellipses ---

TEST(EllipseShape, TenByTenBoxIsCentredOnFourAndAHalf) {
  // The curve through the outer pixels: centre (4.5, 4.5), radius 4.5. Row y
  // holds the columns within 4.5 +- sqrt(4.5^2 - (y - 4.5)^2): rows 2-7 reach
  // 0.26 or less from column 0 (so start at 1), rows 1 and 8 start at 1.67.
  RasterCanvas c(10, 10);
  FillPolygons(c.target, {EllipseContour(0, 0, 10, 10)}, FillMode::Alternate);
  EXPECT_EQ(c.Picture(), (Picture{
                             "..........",
                             "..######..",
                             ".########.",
                             ".########.",
                             ".########.",
                             ".########.",
                             ".########.",
                             ".########.",
                             "..######..",
                             "..........",
                         }));
}

TEST(EllipseShape, WholeNumberBoxesFillSymmetricallyInsideTheBox) {
  for (int w = 1; w <= 40; ++w) {
    for (int h = 1; h <= 40; ++h) {
      RasterCanvas c(44, 44);
      FillPolygons(c.target, {EllipseContour(2, 2, 2 + w, 2 + h)}, FillMode::Winding);
      Picture p = c.Picture();
      // Cut out the box; nothing may lie outside it.
      Picture box;
      for (int y = 0; y < 44; ++y) {
        const std::string& row = p[static_cast<size_t>(y)];
        const bool inRows = y >= 2 && y < 2 + h;
        for (int x = 0; x < 44; ++x) {
          if (!inRows || x < 2 || x >= 2 + w) {
            ASSERT_EQ(row[static_cast<size_t>(x)], '.') << w << "x" << h << " at " << x << "," << y;
          }
        }
        if (inRows) box.push_back(row.substr(2, static_cast<size_t>(w)));
      }
      EXPECT_EQ(box, Mirrored(box)) << w << "x" << h;
      EXPECT_EQ(box, Flipped(box)) << w << "x" << h;
    }
  }
}

TEST(EllipseShape, LargeEllipseFollowsTheTrueCurve) {
  // Box (0,0,201,121): centre (100, 60), radii 100 and 60. Points clearly
  // inside are filled, points clearly outside are not.
  RasterCanvas c(201, 121);
  FillPolygons(c.target, {EllipseContour(0, 0, 201, 121)}, FillMode::Alternate);
  int checked = 0;
  for (int y = 0; y < 121; ++y) {
    for (int x = 0; x < 201; ++x) {
      const double dx = (x - 100) / 100.0, dy = (y - 60) / 60.0, f = std::sqrt(dx * dx + dy * dy);
      // f - 1 times the smaller radius under-estimates the distance to the curve.
      if (std::abs(f - 1) * 60 < 0.25) continue;
      EXPECT_EQ(c.Inked(x, y), f < 1) << x << "," << y;
      ++checked;
    }
  }
  EXPECT_GT(checked, 20000);
}

TEST(EllipseShape, OutlineTouchesTheBoxSidesAndStaysInside) {
  RasterCanvas c(14, 14);
  StrokePolyline(c.target, EllipseContour(2, 3, 12, 11), true, StrokeStyle{});
  const Picture p = c.Picture();
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 14; ++x)
      if (p[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#') {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  EXPECT_EQ(minX, 2);
  EXPECT_EQ(maxX, 11);
  EXPECT_EQ(minY, 3);
  EXPECT_EQ(maxY, 10);
}

TEST(EllipseShape, DegenerateBoxes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(EllipseContour(3, 3, 3, 9).empty());
  EXPECT_TRUE(EllipseContour(nan, 0, 5, 5).empty());
  // Swapped corners describe the same box.
  EXPECT_EQ(EllipseContour(10, 8, 0, 0).size(), EllipseContour(0, 0, 10, 8).size());
  RasterCanvas a(12, 12), b(12, 12);
  FillPolygons(a.target, {EllipseContour(10, 8, 1, 1)}, FillMode::Alternate);
  FillPolygons(b.target, {EllipseContour(1, 1, 10, 8)}, FillMode::Alternate);
  EXPECT_EQ(a.Picture(), b.Picture());
  EXPECT_GT(a.InkCount(), 20);
  // A one-pixel box is a single point, filling nothing.
  RasterCanvas one(4, 4);
  FillPolygons(one.target, {EllipseContour(1, 1, 2, 2)}, FillMode::Alternate);
  EXPECT_EQ(one.InkCount(), 0);
}

// --- Rounded rectangles ---

TEST(RoundRectShape, CornersAreCutAndSidesAreStraight) {
  // Box (0,0,20,10): the outline runs (0,0)-(19,9); corners of radius 3 x 2.
  RasterCanvas c(20, 10);
  FillPolygons(c.target, {RoundRectContour(0, 0, 20, 10, 6, 4)}, FillMode::Alternate);
  const Picture p = c.Picture();
  EXPECT_EQ(p[5], "###################.");  // between the corners: columns 0-18
  EXPECT_EQ(p[0], "...#############....");  // the top side runs x = 3 to 16, right end out
  // Corner arcs about (3,2), (16,2), (3,7), (16,7) with radii 3 and 2:
  // (18, 8) lies inside ((2/3)^2 + (1/2)^2 < 1); the other three corners outside.
  EXPECT_FALSE(c.Inked(0, 0));
  EXPECT_FALSE(c.Inked(18, 0));
  EXPECT_FALSE(c.Inked(0, 8));
  EXPECT_TRUE(c.Inked(18, 8));
  EXPECT_EQ(p[9], std::string(20, '.'));
  // Left and right sides are straight between the corners: rows 2-6.
  for (int y = 2; y < 7; ++y) {
    EXPECT_TRUE(c.Inked(0, y)) << y;
    EXPECT_TRUE(c.Inked(18, y)) << y;
  }
}

TEST(RoundRectShape, NoCornersIsTheRectangleAndHugeCornersTheEllipse) {
  RasterCanvas square(12, 12), rect(12, 12);
  FillPolygons(square.target, {RoundRectContour(1, 1, 11, 9, 0, 5)}, FillMode::Alternate);
  FillPolygons(rect.target, {{{1, 1}, {10, 1}, {10, 8}, {1, 8}}}, FillMode::Alternate);
  EXPECT_EQ(square.Picture(), rect.Picture());
  RasterCanvas round(12, 12), ellipse(12, 12);
  FillPolygons(round.target, {RoundRectContour(1, 1, 11, 9, 100, 100)}, FillMode::Alternate);
  FillPolygons(ellipse.target, {EllipseContour(1, 1, 11, 9)}, FillMode::Alternate);
  EXPECT_EQ(round.Picture(), ellipse.Picture());
}

// --- Arcs ---

TEST(ArcShape, CounterClockwiseFromStartRayToEndRay) {
  // Box (0,0,11,11): centre (5,5), radius 5. From the ray to the right to
  // the ray upwards on screen, counter-clockwise: the upper right quarter.
  const auto arc = ArcPoints(0, 0, 11, 11, {100, 5}, {5, -50}, false);
  ASSERT_GE(arc.size(), 3u);
  EXPECT_NEAR(arc.front().x, 10, 1e-9);
  EXPECT_NEAR(arc.front().y, 5, 1e-9);
  EXPECT_NEAR(arc.back().x, 5, 1e-9);
  EXPECT_NEAR(arc.back().y, 0, 1e-9);
  for (const PointD& p : arc) {
    EXPECT_GE(p.x, 5 - 1e-9);
    EXPECT_LE(p.y, 5 + 1e-9);
    EXPECT_NEAR(std::hypot(p.x - 5, p.y - 5), 5, 1e-9);
  }
  // Clockwise the same rays give the other three quarters, through (5,10) and (0,5).
  const auto rest = ArcPoints(0, 0, 11, 11, {100, 5}, {5, -50}, true);
  double nearBottom = 1e9, nearLeft = 1e9;
  for (const PointD& p : rest) {
    nearBottom = std::min(nearBottom, std::hypot(p.x - 5, p.y - 10));
    nearLeft = std::min(nearLeft, std::hypot(p.x - 0, p.y - 5));
  }
  EXPECT_LT(nearBottom, 0.5);
  EXPECT_LT(nearLeft, 0.5);
  EXPECT_GT(rest.size(), arc.size());
}

TEST(ArcShape, RaysMeetTheEllipseWhereTheyCrossIt) {
  // Box (0,0,21,11): radii 10 and 5 about (10,5). The ray towards (13, 2)
  // (direction (1,-1)) meets the ellipse at t with t^2 (1/100 + 1/25) = 1.
  const double t = 1 / std::sqrt(0.01 + 0.04);
  const auto arc = ArcPoints(0, 0, 21, 11, {13, 2}, {0, 5}, false);
  ASSERT_FALSE(arc.empty());
  EXPECT_NEAR(arc.front().x, 10 + t, 1e-9);
  EXPECT_NEAR(arc.front().y, 5 - t, 1e-9);
  EXPECT_NEAR(arc.back().x, 0, 1e-9);
  EXPECT_NEAR(arc.back().y, 5, 1e-9);
}

TEST(ArcShape, SameRayTwiceIsTheWholeEllipse) {
  const auto arc = ArcPoints(0, 0, 11, 11, {10, 5}, {20, 5}, false);
  ASSERT_GE(arc.size(), 8u);
  EXPECT_NEAR(arc.front().x, arc.back().x, 1e-9);
  EXPECT_NEAR(arc.front().y, arc.back().y, 1e-9);
  double minX = 1e9, maxY = -1e9;
  for (const PointD& p : arc) {
    minX = std::min(minX, p.x);
    maxY = std::max(maxY, p.y);
  }
  EXPECT_NEAR(minX, 0, 0.05);
  EXPECT_NEAR(maxY, 10, 0.05);
  EXPECT_TRUE(ArcPoints(0, 0, 0, 10, {1, 1}, {2, 2}, false).empty());
}
