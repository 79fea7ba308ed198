#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "RasterTestHelpers.h"

using gditest::RasterCanvas;
using gditest::SurfaceDC;
using namespace orvane::gdi;

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Inked(const RasterCanvas& c) {
  Pixels p;
  for (int y = 0; y < c.surface.bitmap->Height(); ++y)
    for (int x = 0; x < c.surface.bitmap->Width(); ++x)
      if (c.Inked(x, y)) p.insert({x, y});
  return p;
}

void Stroke(RasterCanvas& c, const std::vector<PointD>& pts, bool closed = false, std::vector<double> dashes = {},
            const Paint* gap = nullptr) {
  StrokeStyle style;
  style.dashes = std::move(dashes);
  style.gapPaint = gap;
  StrokePolyline(c.target, pts, closed, style);
}

}  // namespace

// --- Which pixels a line lights ---

TEST(CosmeticLinePixels, LastPixelIsNotDrawn) {
  RasterCanvas right(8, 3), left(8, 3), down(3, 8);
  Stroke(right, {{1, 1}, {6, 1}});
  Stroke(left, {{6, 1}, {1, 1}});
  Stroke(down, {{1, 1}, {1, 6}});
  EXPECT_EQ(right.Picture()[1], ".#####..");
  EXPECT_EQ(left.Picture()[1], "..#####.");
  EXPECT_EQ(Inked(down), (Pixels{{1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}}));
}

TEST(CosmeticLinePixels, HalfwayTiesGoUpOrLeft) {
  // (0,0)-(4,2): y = x/2, ties at x = 1 and 3 go to the upper pixel.
  RasterCanvas a(6, 4), b(6, 4), c(4, 6), d(6, 6);
  Stroke(a, {{0, 0}, {4, 2}});
  EXPECT_EQ(Inked(a), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  // Drawn the other way: from (4,2) without (0,0); the tie at x = 3 is still upward.
  Stroke(b, {{4, 2}, {0, 0}});
  EXPECT_EQ(Inked(b), (Pixels{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));
  // y-major (0,0)-(2,4): x = y/2, ties at y = 1 and 3 go left.
  Stroke(c, {{0, 0}, {2, 4}});
  EXPECT_EQ(Inked(c), (Pixels{{0, 0}, {0, 1}, {1, 2}, {1, 3}}));
  // A diagonal has no ties.
  Stroke(d, {{5, 0}, {0, 5}});
  EXPECT_EQ(Inked(d), (Pixels{{5, 0}, {4, 1}, {3, 2}, {2, 3}, {1, 4}}));
}

TEST(CosmeticLinePixels, PointsAreRoundedToWholePixels) {
  RasterCanvas c(6, 4);
  Stroke(c, {{0.4, 0.6}, {3.5, 1.49}});  // (0,1) to (4,1)
  EXPECT_EQ(Inked(c), (Pixels{{0, 1}, {1, 1}, {2, 1}, {3, 1}}));
}

TEST(CosmeticLinePixels, PolylinesChainAndClosedOnesLightEveryCornerOnce) {
  RasterCanvas open(8, 7, 32, Rop2::XorPen), closed(8, 7, 32, Rop2::XorPen);
  const std::vector<PointD> square{{1, 1}, {6, 1}, {6, 5}, {1, 5}};
  Stroke(open, square);
  Stroke(closed, square, true);
  const std::vector<std::string> frame{
      "........",
      ".######.",
      ".#....#.",
      ".#....#.",
      ".#....#.",
      ".######.",
      "........",
  };
  std::vector<std::string> openFrame = frame;
  for (int y = 2; y <= 5; ++y) openFrame[static_cast<size_t>(y)][1] = '.';  // no closing line
  openFrame[5][1] = '.';                                                     // (1,5) is the last point
  EXPECT_EQ(closed.Picture(), frame);
  EXPECT_EQ(open.Picture(), openFrame);
}

TEST(CosmeticLinePixels, SinglePointsZeroLengthAndNaNDrawNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  RasterCanvas c(6, 6);
  Stroke(c, {});
  Stroke(c, {{2, 2}});
  Stroke(c, {{2, 2}, {2.2, 1.8}});
  Stroke(c, {{2, 2}, {2, 2}}, true);
  Stroke(c, {{0, 0}, {5, 5}, {nan, 1}});
  EXPECT_EQ(c.InkCount(), 0);
}

// --- Dash patterns ---

TEST(CosmeticLineDashes, PatternRunsOnFromLineToLine) {
  // 18 on, 6 off. Ten pixels along row 0 (positions 0-9), then down column
  // 10 from row 0 (positions 10-29): rows 0-7 on, 8-13 off, 14-19 on.
  RasterCanvas c(12, 22);
  Stroke(c, {{0, 0}, {10, 0}, {10, 20}}, false, {18, 6});
  Pixels want;
  for (int x = 0; x < 10; ++x) want.insert({x, 0});
  for (int y = 0; y < 20; ++y)
    if (y < 8 || y >= 14) want.insert({10, y});
  EXPECT_EQ(Inked(c), want);
}

TEST(CosmeticLineDashes, OddPatternsRepeatWithOnAndOffSwapped) {
  // {2, 1, 3} runs on 2, off 1, on 3, off 2, on 1, off 3: period 12.
  RasterCanvas c(26, 1);
  Stroke(c, {{0, 0}, {24, 0}}, false, {2, 1, 3});
  EXPECT_EQ(c.Picture()[0], "##.###..#...##.###..#.....");
}

TEST(CosmeticLineDashes, OpaqueGapsTakeTheGapPaintAndThePaintIsRestored) {
  const Paint gap = Paint::Solid(RGB(0, 200, 0));
  RasterCanvas c(10, 2);
  Stroke(c, {{0, 0}, {9, 0}}, false, {3, 2}, &gap);
  EXPECT_EQ(c.Picture()[0], "###??###?.");
  EXPECT_EQ(c.surface.At(3, 0), RGB(0, 200, 0));
  c.target.Span(1, 0, 1);  // the pen's paint again
  EXPECT_TRUE(c.Inked(0, 1));
}

// --- Clipping keeps the pixels of the whole line ---

TEST(CosmeticLineClipping, ClippedLinesChooseTheSamePixels) {
  // Slope 1/2 through the origin: column x lights row floor(x / 2) (ties up),
  // whether the line starts at -1000 or at -1e9.
  for (double far : {1000.0, 1e9}) {
    RasterCanvas c(40, 30);
    Stroke(c, {{-far, -far / 2}, {far, far / 2}});
    Pixels want;
    for (int x = 0; x < 40; ++x) want.insert({x, x / 2});
    EXPECT_EQ(Inked(c), want) << far;
  }
  // Steep, going up from far below: x = y / 3 rounded, ties to the left.
  RasterCanvas steep(20, 40);
  Stroke(steep, {{3e8, 9e8}, {-3e8, -9e8}});
  Pixels want;
  for (int y = 0; y < 40; ++y) {
    const int r = y % 3;  // y / 3 = q + r/3: rounds down for r = 1, up for r = 2
    want.insert({y / 3 + (r == 2 ? 1 : 0), y});
  }
  EXPECT_EQ(Inked(steep), want);
}

TEST(CosmeticLineClipping, DashPhaseCountsTheInvisiblePixels) {
  // From x = -1e9 the pixel at column x is number x + 1e9 of the line;
  // 1e9 = 41666666 * 24 + 16, so column x is on when (x + 16) % 24 < 18.
  RasterCanvas c(60, 3);
  Stroke(c, {{-1e9, 1}, {1e9, 1}}, false, {18, 6});
  for (int x = 0; x < 60; ++x) EXPECT_EQ(c.Inked(x, 1), (x + 16) % 24 < 18) << x;
}

TEST(CosmeticLineClipping, RegionClipAndLinesOutsideTheSurface) {
  SurfaceDC s(10, 10, 24);
  s.Fill(gditest::kPaper);
  const Region region(Rect{2, 0, 5, 10});
  RenderTarget target(s.bitmap, region);
  target.SetPaint(Paint::Solid(gditest::kInk));
  StrokePolyline(target, {{0, 3}, {10, 3}, {10, -1e12}, {-5, 20}}, false, StrokeStyle{});
  for (int x = 0; x < 10; ++x) EXPECT_EQ(s.At(x, 3) == gditest::kInk, x >= 2 && x < 5) << x;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if (s.At(x, y) == gditest::kInk) {
        EXPECT_TRUE(region.Contains(x, y)) << x << "," << y;
      }
}
