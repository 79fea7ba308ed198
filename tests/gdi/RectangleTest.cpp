#include <gtest/gtest.h>

#include "GdiTestHelpers.h"
#include <orvane/gdi/RectangleShape.h>

using gditest::SurfaceDC;
using namespace orvane::gdi;

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPen = RGB(200, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 200);
}  // namespace

TEST(RectangleTest, PenOutlinesTheBorderPixelsAndBrushFillsInside) {
  SurfaceDC s(8, 8, 32);
  s.Fill(kWhite);
  s.dc->pen.color = kPen;
  s.dc->brush.color = kBrush;
  ASSERT_TRUE(Rectangle(s.dc, 1, 2, 6, 7));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      COLORREF want = kWhite;
      if (x >= 1 && x <= 5 && y >= 2 && y <= 6) want = (x == 1 || x == 5 || y == 2 || y == 6) ? kPen : kBrush;
      EXPECT_EQ(s.At(x, y), want) << x << "," << y;
    }
  }
}

TEST(RectangleTest, NullPenFillsOneLessOnRightAndBottom) {
  SurfaceDC s(6, 6, 24);
  s.Fill(kWhite);
  s.dc->pen.style = PenStyle::Null;
  s.dc->brush.color = kBrush;
  Rectangle(s.dc, 1, 1, 4, 4);
  EXPECT_EQ(s.At(1, 1), kBrush);
  EXPECT_EQ(s.At(2, 2), kBrush);
  EXPECT_EQ(s.At(3, 2), kWhite);
  EXPECT_EQ(s.At(2, 3), kWhite);
}

TEST(RectangleTest, SwappedCornersAndOriginAreHonoured) {
  SurfaceDC s(6, 6, 24);
  s.Fill(kWhite);
  s.dc->origin = Point{2, 1};
  s.dc->pen.color = kPen;
  s.dc->brush.color = kPen;
  Rectangle(s.dc, 2, 2, 0, 0);  // device columns 2..3, rows 1..2
  EXPECT_EQ(s.At(2, 1), kPen);
  EXPECT_EQ(s.At(3, 2), kPen);
  EXPECT_EQ(s.At(4, 2), kWhite);
  EXPECT_EQ(s.At(2, 3), kWhite);
  EXPECT_EQ(s.At(1, 1), kWhite);
}

TEST(RectangleTest, DashedCosmeticOutlineRunsAroundTheCorners) {
  // 30 x 2 rectangle: the border walk goes 29 pixels right along row 0, 1 down
  // column 29, 29 left along row 1, 1 up column 0. Dash: 18 on, 6 off.
  SurfaceDC s(32, 4, 32);
  s.Fill(kWhite);
  s.dc->pen.style = PenStyle::Dash;
  s.dc->pen.color = kPen;
  s.dc->brush.style = BrushStyle::Null;
  s.dc->bkMode = BackgroundMode::Transparent;
  Rectangle(s.dc, 0, 0, 30, 2);
  for (int x = 0; x < 18; ++x) EXPECT_EQ(s.At(x, 0), kPen) << x;
  for (int x = 18; x < 24; ++x) EXPECT_EQ(s.At(x, 0), kWhite) << x;
  for (int x = 24; x < 29; ++x) EXPECT_EQ(s.At(x, 0), kPen) << x;
  EXPECT_EQ(s.At(29, 0), kPen);  // position 29: still in the second dash (24..41)
  // Bottom row walks leftwards: position 30 + (29 - x).
  EXPECT_EQ(s.At(29, 1), kPen);  // position 30
  EXPECT_EQ(s.At(18, 1), kPen);  // position 41
  EXPECT_EQ(s.At(17, 1), kWhite);  // position 42: gap 42..47
  EXPECT_EQ(s.At(12, 1), kWhite);  // position 47
  EXPECT_EQ(s.At(11, 1), kPen);    // position 48: third dash
  EXPECT_EQ(s.At(30, 0), kWhite);
}

TEST(RectangleTest, OpaqueBackgroundPaintsDashGaps) {
  SurfaceDC s(32, 2, 32);
  s.Fill(kWhite);
  s.dc->pen.style = PenStyle::Dash;
  s.dc->pen.color = kPen;
  s.dc->brush.style = BrushStyle::Null;
  s.dc->bkMode = BackgroundMode::Opaque;
  s.dc->bkColor = RGB(0, 99, 0);
  Rectangle(s.dc, 0, 0, 30, 1);
  EXPECT_EQ(s.At(17, 0), kPen);
  EXPECT_EQ(s.At(18, 0), RGB(0, 99, 0));
}

TEST(RectangleTest, HugeCoordinatesCostOnlyTheVisiblePart) {
  SurfaceDC s(4, 4, 24);
  s.Fill(kWhite);
  s.dc->pen.color = kPen;
  s.dc->brush.color = kBrush;
  Rectangle(s.dc, -1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(s.At(0, 0), kBrush);
  EXPECT_EQ(s.At(3, 3), kBrush);
}

// The horizontal line of both hatches lies on row 3 of each 8 x 8 cell; the
// cross's vertical line on column 4, so column 5 shows only the rows.
TEST(RectangleTest, HatchBrushRepeatsEveryEightPixels) {
  for (HatchStyle style : {HatchStyle::Horizontal, HatchStyle::Cross}) {
    SurfaceDC s(16, 16, 32);
    s.Fill(kWhite);
    s.dc->bkMode = BackgroundMode::Transparent;
    Brush hatch;
    hatch.style = BrushStyle::Hatched;
    hatch.hatch = style;
    hatch.color = kBrush;
    FillRect(s.dc, Rect{0, 0, 16, 16}, hatch);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(s.At(5, y), y % 8 == 3 ? kBrush : kWhite) << y;
    EXPECT_EQ(s.At(12, 6), style == HatchStyle::Cross ? kBrush : kWhite);
  }
}
