#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "RasterTestHelpers.h"

using gditest::RasterCanvas;
using gditest::SurfaceDC;
using namespace orvane::gdi;

namespace {

using Picture = std::vector<std::string>;

void Fill(RasterCanvas& c, std::vector<Contour> contours, FillMode mode = FillMode::Alternate) {
  FillPolygons(c.target, contours, mode);
}

// A picture with ink in columns [x0, x1) of rows [y0, y1).
Picture Block(int w, int h, int x0, int y0, int x1, int y1) {
  Picture p(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.'));
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) p[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
  return p;
}

Contour Rect4(double l, double t, double r, double b) { return {{l, t}, {r, t}, {r, b}, {l, b}}; }
Contour Reversed(Contour c) { return Contour(c.rbegin(), c.rend()); }

// One contour filled on a 9 x 9 canvas gives `want` in either direction
// round and under both fill modes.
void ExpectEveryWayRound(const Contour& contour, const Picture& want) {
  for (const Contour& c : {contour, Reversed(contour)})
    for (FillMode mode : {FillMode::Alternate, FillMode::Winding}) {
      RasterCanvas canvas(9, 9);
      Fill(canvas, {c}, mode);
      EXPECT_EQ(canvas.Picture(), want) << (c == contour ? "as given, " : "reversed, ")
                                        << (mode == FillMode::Winding ? "winding" : "alternate");
    }
}

}  // namespace

// --- The fill rule: the point (i, j) itself, left/top in, right/bottom out ---

TEST(PolygonFillRule, TriangleFillsRowsOneToEightNarrowingByOne) {
  RasterCanvas c(11, 11);
  Fill(c, {{{1, 1}, {9, 1}, {1, 9}}});
  EXPECT_EQ(c.Picture(), (Picture{
                             "...........",
                             ".########..",
                             ".#######...",
                             ".######....",
                             ".#####.....",
                             ".####......",
                             ".###.......",
                             ".##........",
                             ".#.........",
                             "...........",
                             "...........",
                         }));
}

TEST(PolygonFillRule, RectangleCoversLeftToRightMinusOneInEitherDirection) {
  for (bool reversed : {false, true}) {
    RasterCanvas c(10, 8);
    const Contour r = Rect4(2, 3, 7, 6);
    Fill(c, {reversed ? Reversed(r) : r});
    EXPECT_EQ(c.Picture(), Block(10, 8, 2, 3, 7, 6)) << reversed;
  }
}

TEST(PolygonFillRule, FractionalVerticesCoverTheLatticePointsInside) {
  // x in [1.5, 4.5) holds 2, 3, 4; y in [0.5, 2.5) holds 1, 2.
  RasterCanvas c(7, 4);
  Fill(c, {Rect4(1.5, 0.5, 4.5, 2.5)});
  EXPECT_EQ(c.Picture(), Block(7, 4, 2, 1, 5, 3));
  // A sliver between two lattice columns covers nothing.
  RasterCanvas d(7, 4);
  Fill(d, {Rect4(2.1, 0, 2.9, 4)});
  EXPECT_EQ(d.InkCount(), 0);
}

TEST(PolygonFillRule, BowTieCrossingItself) {
  // Edges x = 0, x = y, x = 8 - y, x = 8: spans [0, y) and [8 - y, 8) above
  // the crossing, and the mirror below; the crossing row is full.
  RasterCanvas c(9, 9);
  Fill(c, {{{0, 0}, {8, 8}, {8, 0}, {0, 8}}});
  EXPECT_EQ(c.Picture(), (Picture{
                             ".........",
                             "#......#.",
                             "##....##.",
                             "###..###.",
                             "########.",
                             "###..###.",
                             "##....##.",
                             "#......#.",
                             ".........",
                         }));
}

TEST(PolygonFillRule, HourglassWhoseTwoSidesCross) {
  // One edge down x = y, one up x = 8 - y, joined by horizontal edges: the
  // span on row y runs from the smaller crossing to the larger; the
  // crossing row is empty.
  const Picture want{
      "########.",
      ".######..",
      "..####...",
      "...##....",
      ".........",
      "...##....",
      "..####...",
      ".######..",
      ".........",
  };
  ExpectEveryWayRound({{0, 0}, {8, 8}, {0, 8}, {8, 0}}, want);
}

TEST(PolygonFillRule, CrownWhoseRightSideBends) {
  // Three prongs down to row 4, over a body whose right side bends at (7, 4):
  // the side's first edge x = 8 - y/4 hands on to x = 7 + (y - 4)/4 there.
  const Picture want{
      ".........",
      "#...#....",
      "#..##..#.",
      "##.###.#.",
      "#######..",
      "########.",
      "########.",
      "########.",
      ".........",
  };
  ExpectEveryWayRound({{0, 0}, {2, 4}, {4, 0}, {6, 4}, {8, 0}, {7, 4}, {8, 8}, {0, 8}}, want);
}

// Random contours on a 1/256 grid, crossing themselves and each other:
// every pixel is covered exactly where the winding number of the point
// (i, j), counted over the edges crossing row j at or left of i (an edge
// crossing row j where y0 <= j < y1), says so. Worked in whole numbers.
TEST(PolygonFillRule, RandomContoursCoverThePointsTheirWindingSays) {
  std::mt19937 rng(2026);
  std::uniform_int_distribution<int> coordinate(-4 * 256, 36 * 256), vertices(3, 12), contours(1, 3);
  for (int trial = 0; trial < 150; ++trial) {
    std::vector<Contour> shape(static_cast<size_t>(contours(rng)));
    for (Contour& c : shape)
      for (int k = vertices(rng); k > 0; --k) c.push_back({coordinate(rng) / 256.0, coordinate(rng) / 256.0});
    for (FillMode mode : {FillMode::Alternate, FillMode::Winding}) {
      RasterCanvas canvas(32, 32);
      Fill(canvas, shape, mode);
      Picture want(32, std::string(32, '.'));
      for (int64_t j = 0; j < 32; ++j)
        for (int64_t i = 0; i < 32; ++i) {
          int winding = 0;
          for (const Contour& c : shape)
            for (size_t k = 0; k < c.size(); ++k) {
              int64_t x0 = std::lround(c[k].x * 256), y0 = std::lround(c[k].y * 256);
              int64_t x1 = std::lround(c[(k + 1) % c.size()].x * 256), y1 = std::lround(c[(k + 1) % c.size()].y * 256);
              const int direction = y0 < y1 ? 1 : -1;
              if (y0 > y1) {
                std::swap(x0, x1);
                std::swap(y0, y1);
              }
              // Crossing row j at or left of i: x0 + (256 j - y0) dx / dy <= 256 i.
              if (y0 <= 256 * j && 256 * j < y1 && x0 * (y1 - y0) + (256 * j - y0) * (x1 - x0) <= 256 * i * (y1 - y0))
                winding += direction;
            }
          const bool inside = mode == FillMode::Winding ? winding != 0 : winding % 2 != 0;
          if (inside) want[static_cast<size_t>(j)][static_cast<size_t>(i)] = '#';
        }
      // The same spans written to a recorder (the way filtered draws take), read back as a region.
      const Region recorded = RegionFromContours(shape, mode, Rect{0, 0, 32, 32});
      Picture fromRecorder(32, std::string(32, '.'));
      for (int32_t j = 0; j < 32; ++j)
        for (int32_t i = 0; i < 32; ++i)
          if (recorded.Contains(i, j)) fromRecorder[static_cast<size_t>(j)][static_cast<size_t>(i)] = '#';
      const char* modeName = mode == FillMode::Winding ? " winding" : " alternate";
      EXPECT_EQ(canvas.Picture(), want) << "trial " << trial << modeName;
      EXPECT_EQ(fromRecorder, want) << "trial " << trial << modeName << ", recorded";
    }
  }
}

TEST(PolygonFillRule, HorizontalAndZeroLengthEdgesChangeNothing) {
  RasterCanvas c(10, 8);
  // The rectangle again, with repeated points and extra points along its top.
  Fill(c, {{{2, 3}, {2, 3}, {4, 3}, {7, 3}, {7, 3}, {7, 6}, {2, 6}}});
  EXPECT_EQ(c.Picture(), Block(10, 8, 2, 3, 7, 6));
}

// --- Fill modes and several contours ---

TEST(PolygonFillModes, SquareWithSquareHole) {
  const Contour outer = Rect4(0, 0, 8, 8), inner = Rect4(2, 2, 6, 6);
  Picture ring = Block(9, 9, 0, 0, 8, 8);
  for (int y = 2; y < 6; ++y) ring[static_cast<size_t>(y)].replace(2, 4, "....");

  RasterCanvas alt(9, 9), altReversed(9, 9), windSame(9, 9), windReversed(9, 9);
  Fill(alt, {outer, inner}, FillMode::Alternate);
  Fill(altReversed, {outer, Reversed(inner)}, FillMode::Alternate);
  Fill(windSame, {outer, inner}, FillMode::Winding);
  Fill(windReversed, {outer, Reversed(inner)}, FillMode::Winding);
  EXPECT_EQ(alt.Picture(), ring);
  EXPECT_EQ(altReversed.Picture(), ring);
  EXPECT_EQ(windSame.Picture(), Block(9, 9, 0, 0, 8, 8));  // winding 2 inside
  EXPECT_EQ(windReversed.Picture(), ring);                 // winding 0 inside
}

TEST(PolygonFillModes, ContourGoingRoundTwice) {
  const Contour twice{{2, 2}, {6, 2}, {6, 6}, {2, 6}, {2, 2}, {6, 2}, {6, 6}, {2, 6}};
  RasterCanvas alt(8, 8), wind(8, 8);
  Fill(alt, {twice}, FillMode::Alternate);
  Fill(wind, {twice}, FillMode::Winding);
  EXPECT_EQ(alt.InkCount(), 0);
  EXPECT_EQ(wind.Picture(), Block(8, 8, 2, 2, 6, 6));
}

TEST(PolygonFillModes, PentagramCentreIsEmptyOnlyInAlternateMode) {
  // Star points on a circle of radius 18 about (20, 20), drawn every second point.
  Contour star;
  for (int k = 0; k < 5; ++k) {
    const double a = -M_PI / 2 + 2 * M_PI * (2 * k % 5) / 5;
    star.push_back({20 + 18 * std::cos(a), 20 + 18 * std::sin(a)});
  }
  RasterCanvas alt(41, 41), wind(41, 41);
  Fill(alt, {star}, FillMode::Alternate);
  Fill(wind, {star}, FillMode::Winding);
  // The inner pentagon reaches 18 * cos(72°) / cos(36°) = 6.9 from the centre.
  for (auto [x, y] : {std::pair{20, 20}, {17, 20}, {23, 21}, {20, 15}}) {
    EXPECT_FALSE(alt.Inked(x, y)) << x << "," << y;
    EXPECT_TRUE(wind.Inked(x, y)) << x << "," << y;
  }
  // The top point and the left arm are inside once: filled in both modes.
  for (auto [x, y] : {std::pair{20, 5}, {6, 15}, {34, 15}}) {
    EXPECT_TRUE(alt.Inked(x, y)) << x << "," << y;
    EXPECT_TRUE(wind.Inked(x, y)) << x << "," << y;
  }
  EXPECT_FALSE(wind.Inked(20, 1));  // above the top point
  EXPECT_GT(wind.InkCount(), alt.InkCount());
}

TEST(PolygonFillModes, SharedEdgesPaintEveryPixelOnceUnderXor) {
  // A square split along a diagonal, and a 24-gon fanned into triangles from
  // an off-centre point with fractional coordinates: painted with XOR, every
  // pixel of the whole is inked exactly once.
  {
    RasterCanvas c(13, 11, 32, Rop2::XorPen);
    Fill(c, {{{1, 1}, {11, 1}, {11, 9}}});
    Fill(c, {{{1, 1}, {11, 9}, {1, 9}}});
    EXPECT_EQ(c.Picture(), Block(13, 11, 1, 1, 11, 9));
  }
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> jitter(-3, 3);
  Contour polygon;
  for (int k = 0; k < 24; ++k) {
    const double a = 2 * M_PI * k / 24, r = 20 + jitter(rng);
    polygon.push_back({32.3 + r * std::cos(a), 31.7 + r * std::sin(a)});
  }
  const PointD hub{30.37, 33.11};
  RasterCanvas whole(64, 64), pieces(64, 64, 24, Rop2::XorPen);
  Fill(whole, {polygon});
  for (size_t k = 0; k < polygon.size(); ++k) Fill(pieces, {{hub, polygon[k], polygon[(k + 1) % polygon.size()]}});
  EXPECT_EQ(pieces.Picture(), whole.Picture()) << "seed 12345";
  EXPECT_GT(whole.InkCount(), 1000);
}

TEST(PolygonFillModes, PolyPolygonCountsSplitTheContours) {
  const std::vector<PointD> pts{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {5, 1}, {8, 1}, {8, 3}, {5, 3}};
  RasterCanvas c(10, 6);
  const std::vector<uint32_t> counts{4, 4};
  FillPolyPolygon(c.target, pts, counts, FillMode::Alternate);
  Picture want = Block(10, 6, 0, 0, 4, 4);
  for (int y = 1; y < 3; ++y) want[static_cast<size_t>(y)].replace(5, 3, "###");
  EXPECT_EQ(c.Picture(), want);

  // Counts that run past the points stop there; the contours before still fill.
  RasterCanvas d(10, 6);
  const std::vector<uint32_t> tooMany{4, 4, 1000000, 4};
  FillPolyPolygon(d.target, pts, tooMany, FillMode::Alternate);
  EXPECT_EQ(d.Picture(), want);
  RasterCanvas e(10, 6);
  const std::vector<uint32_t> wrapping{4, 0xFFFFFFFFu};
  FillPolyPolygon(e.target, pts, wrapping, FillMode::Alternate);
  EXPECT_EQ(e.Picture(), Block(10, 6, 0, 0, 4, 4));
}

// --- Clipping, huge and bad coordinates ---

TEST(PolygonFillClipping, OnlyTheDrawableRegionIsPainted) {
  SurfaceDC s(10, 10, 32);
  s.Fill(gditest::kPaper);
  Region region = Region::Combine(Region(Rect{1, 1, 4, 9}), Region(Rect{6, 2, 9, 5}), RegionOp::Or);
  RenderTarget target(s.bitmap, region);
  target.SetPaint(Paint::Solid(gditest::kInk));
  FillPolygons(target, {Rect4(-5, -5, 50, 50)}, FillMode::Winding);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(s.At(x, y) == gditest::kInk, region.Contains(x, y)) << x << "," << y;
}

TEST(PolygonFillClipping, HugeCoordinatesKeepTheExactEdges) {
  // The triangle (0,0) (1e12,1e12) (0,1e12) holds the points with 0 <= x <= y;
  // its diagonal is a right edge, so (i, i) stays out: 0 <= i < j.
  for (double far : {1e12, 2147483648.0, 1e300}) {
    RasterCanvas c(20, 20);
    Fill(c, {{{0, 0}, {far, far}, {0, far}}});
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) EXPECT_EQ(c.Inked(x, y), x < y) << far << ": " << x << "," << y;
  }
  // A band from -1e300 to 1e300 across rows 3 and 4, and one far off to the side.
  RasterCanvas band(16, 8);
  Fill(band, {Rect4(-1e300, 2.5, 1e300, 4.5), Rect4(1e9, 0, 2e9, 8)});
  EXPECT_EQ(band.Picture(), Block(16, 8, 0, 3, 16, 5));
}

TEST(PolygonFillClipping, ShapesOutsideOrDegenerateOrNotFinitePaintNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  RasterCanvas c(8, 8);
  Fill(c, {});
  Fill(c, {{}});
  Fill(c, {{{1, 1}}, {{1, 1}, {6, 6}}});               // fewer than three points
  Fill(c, {{{1, 1}, {6, 1}, {6, 6}, {1, nan}}});      // NaN: the shape is skipped
  Fill(c, {Rect4(1, 1, 6, 6), {{1, 1}, {inf, 1}, {2, 2}}});
  Fill(c, {Rect4(8, 0, 20, 8), Rect4(-9, 0, 0, 8)});  // right of and left of the surface
  Fill(c, {Rect4(0, 8, 8, 20), Rect4(0, -9, 8, 0)});  // below and above
  Fill(c, {Rect4(2, 2, 2, 6), Rect4(1, 4, 6, 4)});    // no area
  EXPECT_EQ(c.InkCount(), 0);
}

TEST(PolygonFillClipping, TwentyFourBitSurfacesFillTheSame) {
  RasterCanvas c24(11, 11, 24), c32(11, 11, 32);
  const Contour t{{1, 1}, {9, 1}, {1, 9}};
  Fill(c24, {t});
  Fill(c32, {t});
  EXPECT_EQ(c24.Picture(), c32.Picture());
  EXPECT_EQ(c24.InkCount(), 8 * 9 / 2);
}
