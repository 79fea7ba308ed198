#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RasterTestHelpers.h"

using gditest::RasterCanvas;
using namespace orvane::gdi;

namespace {

using Picture = std::vector<std::string>;

StrokeStyle Wide(double width, PenEndCap cap = PenEndCap::Flat, PenJoin join = PenJoin::Miter,
                 std::vector<double> dashes = {}) {
  StrokeStyle s;
  s.cosmetic = false;
  s.width = width;
  s.endCap = cap;
  s.join = join;
  s.dashes = std::move(dashes);
  return s;
}

// A picture with ink in columns [x0, x1) of rows [y0, y1) added to `p`.
void Ink(Picture& p, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) p[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
}
Picture Blank(int w, int h) { return Picture(static_cast<size_t>(h), std::string(static_cast<size_t>(w), '.')); }

const std::vector<PointD> kElbow{{2, 5}, {20, 5}, {20, 20}};  // right, then down

}  // namespace

// --- Caps ---

TEST(WideStrokeCaps, FlatSquareAndRoundEnds) {
  // (2,5)-(12,5), width 4: the band y in [3, 7] holds rows 3-6.
  RasterCanvas flat(16, 10), square(16, 10), round(16, 10);
  StrokePolyline(flat.target, {{2, 5}, {12, 5}}, false, Wide(4, PenEndCap::Flat));
  StrokePolyline(square.target, {{2, 5}, {12, 5}}, false, Wide(4, PenEndCap::Square));
  StrokePolyline(round.target, {{2, 5}, {12, 5}}, false, Wide(4, PenEndCap::Round));
  Picture want = Blank(16, 10);
  Ink(want, 2, 3, 12, 7);
  EXPECT_EQ(flat.Picture(), want);
  Ink(want, 0, 3, 14, 7);  // square caps reach half the width beyond the ends
  EXPECT_EQ(square.Picture(), want);
  // Round caps: discs of radius 2 about the ends.
  for (auto [x, y] : {std::pair{1, 4}, {1, 6}, {13, 5}, {13, 6}, {13, 4}}) EXPECT_TRUE(round.Inked(x, y)) << x << "," << y;
  for (auto [x, y] : {std::pair{1, 3}, {0, 4}, {14, 4}, {14, 6}, {13, 3}}) EXPECT_FALSE(round.Inked(x, y)) << x << "," << y;
}

// --- Joins ---

TEST(WideStrokeJoins, MiterFillsTheCornerAndBevelCutsIt) {
  // Width 4 along y = 5 to x = 20, then down x = 20 to y = 20, flat ends.
  Picture miter = Blank(24, 22);
  Ink(miter, 2, 3, 22, 7);
  Ink(miter, 18, 7, 22, 20);
  // The bevel drops the triangle (20,3) (22,3) (22,5): row 3 ends before
  // column 20, row 4 before column 21.
  Picture bevel = miter;
  bevel[3].replace(20, 2, "..");
  bevel[4].replace(21, 1, ".");
  for (Rop2 rop : {Rop2::CopyPen, Rop2::XorPen}) {
    RasterCanvas m(24, 22, 32, rop), b(24, 22, 32, rop);
    StrokePolyline(m.target, kElbow, false, Wide(4, PenEndCap::Flat, PenJoin::Miter));
    StrokePolyline(b.target, kElbow, false, Wide(4, PenEndCap::Flat, PenJoin::Bevel));
    EXPECT_EQ(m.Picture(), miter) << static_cast<int>(rop);
    EXPECT_EQ(b.Picture(), bevel) << static_cast<int>(rop);
  }
  // A right angle's miter is sqrt(2) times the width: limit 1.5 keeps it,
  // limit 1.4 bevels it.
  RasterCanvas keep(24, 22), cut(24, 22);
  StrokeStyle s = Wide(4, PenEndCap::Flat, PenJoin::Miter);
  s.miterLimit = 1.5;
  StrokePolyline(keep.target, kElbow, false, s);
  s.miterLimit = 1.4;
  StrokePolyline(cut.target, kElbow, false, s);
  EXPECT_EQ(keep.Picture(), miter);
  EXPECT_EQ(cut.Picture(), bevel);
}

TEST(WideStrokeJoins, RoundJoinRoundsTheOuterCorner) {
  // The corner about (20,5), radius 2: (21,4) lies 1.41 away, (21,3) 2.24.
  RasterCanvas c(24, 22, 32, Rop2::XorPen);
  StrokePolyline(c.target, kElbow, false, Wide(4, PenEndCap::Flat, PenJoin::Round));
  EXPECT_TRUE(c.Inked(21, 4));
  EXPECT_FALSE(c.Inked(21, 3));
  EXPECT_TRUE(c.Inked(19, 3));   // inside the first segment's band
  EXPECT_TRUE(c.Inked(21, 6));   // inside the second's
  EXPECT_FALSE(c.Inked(22, 5));  // the band ends at x = 22
}

TEST(WideStrokeJoins, ClosedPolylineJoinsAtTheStart) {
  // Square (5,5)-(15,15), width 2, mitered: the ring between [4,16] and [6,14].
  Picture ring = Blank(20, 20);
  Ink(ring, 4, 4, 16, 16);
  for (int y = 6; y < 14; ++y) ring[static_cast<size_t>(y)].replace(6, 8, "........");
  RasterCanvas c(20, 20, 32, Rop2::XorPen);
  StrokePolyline(c.target, {{5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}}, true, Wide(2));
  EXPECT_EQ(c.Picture(), ring);
}

TEST(WideStrokeJoins, NoPixelIsPaintedTwice) {
  // Painted with XOR, a pixel hit twice would turn white again; so XOR and
  // plain copy must ink the same pixels, for every join and cap, including
  // a reversal, sharp turns, fractional points and dashes.
  const std::vector<PointD> zigzag{{4, 30}, {14.5, 6}, {22, 34.2}, {30, 8}, {31, 40}, {48, 20}, {40, 20}, {56.3, 21.7}};
  for (PenJoin join : {PenJoin::Round, PenJoin::Bevel, PenJoin::Miter}) {
    for (PenEndCap cap : {PenEndCap::Round, PenEndCap::Square, PenEndCap::Flat}) {
      for (bool dashed : {false, true}) {
        for (bool closed : {false, true}) {
          const StrokeStyle s = Wide(5.5, cap, join, dashed ? std::vector<double>{16.5, 5.5, 5.5, 5.5} : std::vector<double>{});
          RasterCanvas copy(64, 48), xored(64, 48, 24, Rop2::XorPen);
          StrokePolyline(copy.target, zigzag, closed, s);
          StrokePolyline(xored.target, zigzag, closed, s);
          EXPECT_EQ(xored.Picture(), copy.Picture()) << "join " << static_cast<int>(join) << " cap "
                                                     << static_cast<int>(cap) << " dashed " << dashed << " closed "
                                                     << closed;
          EXPECT_GT(copy.InkCount(), 300);
        }
      }
    }
  }
}

// --- Dashes ---

TEST(WideStrokeDashes, DashesRunOnThroughAVertex) {
  // Width 2, dashes 6 on 2 off, flat ends, mitered. Path positions: 0-10
  // along y = 5, then 10-35 down x = 10. Dashes [0,6), [8,14) turning the
  // corner down to y = 9, [16,22) y 11-17, [24,30) y 19-25, [32,35) y 27-30.
  Picture want = Blank(14, 32);
  Ink(want, 0, 4, 6, 6);
  Ink(want, 8, 4, 11, 6);  // includes the miter corner (10..11, 4..5)
  Ink(want, 9, 6, 11, 9);
  Ink(want, 9, 11, 11, 17);
  Ink(want, 9, 19, 11, 25);
  Ink(want, 9, 27, 11, 30);
  RasterCanvas c(14, 32);
  StrokePolyline(c.target, {{0, 5}, {10, 5}, {10, 30}}, false, Wide(2, PenEndCap::Flat, PenJoin::Miter, {6, 2}));
  EXPECT_EQ(c.Picture(), want);
}

TEST(WideStrokeDashes, HugeDashedLineKeepsItsPhase) {
  // From x = -1e9 (a multiple of 8), column x is on when x % 8 < 6.
  RasterCanvas c(60, 10);
  StrokePolyline(c.target, {{-1e9, 5}, {1e9, 5}}, false, Wide(2, PenEndCap::Flat, PenJoin::Miter, {6, 2}));
  Picture want = Blank(60, 10);
  for (int x = 0; x < 60; ++x)
    if (x % 8 < 6) Ink(want, x, 4, x + 1, 6);
  EXPECT_EQ(c.Picture(), want);
}

TEST(WideStrokeDashes, DegenerateInputsDrawNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  RasterCanvas c(10, 10);
  StrokePolyline(c.target, {}, false, Wide(3));
  StrokePolyline(c.target, {{5, 5}}, false, Wide(3, PenEndCap::Round));
  StrokePolyline(c.target, {{5, 5}, {5, 5}}, true, Wide(3, PenEndCap::Round));
  StrokePolyline(c.target, {{1, 1}, {8, 8}, {nan, 2}}, false, Wide(3));
  StrokePolyline(c.target, {{1, 1}, {8, 8}}, false, Wide(0));
  StrokePolyline(c.target, {{1, 1}, {8, 8}}, false, Wide(nan));
  StrokePolyline(c.target, {{1, 1}, {8, 8}}, false, Wide(3, PenEndCap::Flat, PenJoin::Miter, {0, 5}));
  EXPECT_EQ(c.InkCount(), 0);
  // A pattern of zero total length is solid.
  StrokePolyline(c.target, {{1, 5}, {8, 5}}, false, Wide(2, PenEndCap::Flat, PenJoin::Miter, {0, 0}));
  EXPECT_EQ(c.InkCount(), 14);
}

TEST(WideStrokeDashes, AbsurdPensCostNoMoreThanTheCanvas) {
  // A pen millions of pixels wide with a one-pixel pattern, round joins on
  // a zigzag of far-off points: the canvas is simply covered.
  std::vector<PointD> zigzag;
  for (int i = 0; i < 200; ++i) zigzag.push_back({i * 1e5, (i % 2) * 3e6 - 1e6});
  RasterCanvas c(16, 16, 32, Rop2::XorPen);
  StrokePolyline(c.target, zigzag, false, Wide(4e6, PenEndCap::Round, PenJoin::Round, {1, 1}));
  EXPECT_EQ(c.InkCount(), 16 * 16);
}

// --- Pen to stroke style ---

TEST(StrokeStyleFor, CosmeticWhenOneDevicePixelOrLess) {
  Pen pen;
  pen.style = PenStyle::Dash;
  for (double w : {0.0, 1.0, 1.4}) {
    const StrokeStyle s = StrokeStyleFor(pen, w);
    EXPECT_TRUE(s.cosmetic) << w;
    EXPECT_EQ(s.dashes, (std::vector<double>{18, 6})) << w;
  }
  const StrokeStyle wide = StrokeStyleFor(pen, 1.6);
  EXPECT_FALSE(wide.cosmetic);
  EXPECT_EQ(wide.width, 2);
  EXPECT_TRUE(wide.dashes.empty());  // a plain wide pen is solid, round-ended
  EXPECT_EQ(wide.endCap, PenEndCap::Round);
  EXPECT_EQ(wide.join, PenJoin::Round);

  pen.style = PenStyle::InsideFrame;
  EXPECT_TRUE(StrokeStyleFor(pen, 1).insideFrame);
  EXPECT_TRUE(StrokeStyleFor(pen, 7).insideFrame);
}

TEST(StrokeStyleFor, GeometricPensDashInMultiplesOfTheWidth) {
  Pen pen;
  pen.geometric = true;
  pen.endCap = PenEndCap::Square;
  pen.join = PenJoin::Bevel;
  pen.width = 2;
  const std::pair<PenStyle, std::vector<double>> cases[] = {
      {PenStyle::Solid, {}},
      {PenStyle::Dash, {12, 4}},
      {PenStyle::Dot, {4, 4}},
      {PenStyle::DashDot, {12, 4, 4, 4}},
      {PenStyle::DashDotDot, {12, 4, 4, 4, 4, 4}},
  };
  for (const auto& [style, dashes] : cases) {
    pen.style = style;
    const StrokeStyle s = StrokeStyleFor(pen, 4);
    EXPECT_FALSE(s.cosmetic);
    EXPECT_EQ(s.width, 4);
    EXPECT_EQ(s.dashes, dashes) << static_cast<int>(style);
    EXPECT_EQ(s.endCap, PenEndCap::Square);
    EXPECT_EQ(s.join, PenJoin::Bevel);
  }
  // User lengths are in the pen's units: a 2-unit pen drawn 4 pixels wide doubles them.
  pen.style = PenStyle::UserStyle;
  pen.userDashes = {5, 1, 2};
  EXPECT_EQ(StrokeStyleFor(pen, 4).dashes, (std::vector<double>{10, 2, 4}));
  // A geometric pen stays geometric however thin.
  pen.style = PenStyle::Solid;
  EXPECT_FALSE(StrokeStyleFor(pen, 0.3).cosmetic);
}
