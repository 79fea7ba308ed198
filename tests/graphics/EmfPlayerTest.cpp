// The player's geometry, worked by hand: fill rule and modes, the frame
// mapping, mapping modes, world transforms, pen widths, clipping, saved
// states, paths, and what playback leaves on the canvas.

#include <gtest/gtest.h>

#include "EmfTestSupport.h"
#include <orvane/gdi/Region.h>

using namespace emftest;
using orvane::emf::PointL;

namespace {

// The square (x0, y0)-(x1, y1) as a polygon.
std::vector<PointL> Square(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// The filled area of a square (x0..x1-1, y0..y1-1) on a canvas with nothing else painted.
void ExpectFilledBox(Canvas& canvas, orvane::vcl::TColor ink, int x0, int y0, int x1, int y1) {
  for (int32_t y = 0; y < canvas.bitmap.Height(); ++y)
    for (int32_t x = 0; x < canvas.bitmap.Width(); ++x) {
      const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
      ASSERT_EQ(canvas.At(x, y), inside ? ink : kBackground) << "pixel " << x << "," << y;
    }
}

TEST(EmfPlayerFillTest, TriangleCoversPixelsWhosePointsLieInside) {
  auto w = Writer(12, 12);
  SolidFill(w, C(kBlue));
  w.Polygon({{1, 1}, {9, 1}, {1, 9}});
  Canvas canvas(12, 12);
  canvas.Play(w.Finish());
  // Row y runs from x = 1 to the hypotenuse x = 10 - y, which is outside.
  EXPECT_EQ(canvas.Span(0, kBlue), std::make_pair(-1, -1));
  for (int y = 1; y <= 8; ++y) EXPECT_EQ(canvas.Span(y, kBlue), std::make_pair(1, 9 - y)) << "row " << y;
  EXPECT_EQ(canvas.Span(9, kBlue), std::make_pair(-1, -1));
  EXPECT_EQ(canvas.Count(kBlue), 8 + 7 + 6 + 5 + 4 + 3 + 2 + 1);
}

TEST(EmfPlayerFillTest, AlternateLeavesANestedSquareOpenWindingFillsIt) {
  for (uint32_t mode : {orvane::emf::ALTERNATE, orvane::emf::WINDING}) {
    auto w = Writer(12, 12);
    SolidFill(w, C(kRed));
    w.SetPolyFillMode(mode);
    w.PolyPolygon({Square(1, 1, 11, 11), Square(4, 4, 8, 8)});  // same direction
    Canvas canvas(12, 12);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.At(1, 1), kRed);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    EXPECT_EQ(canvas.At(11, 11), kBackground);
    EXPECT_EQ(canvas.At(4, 4), mode == orvane::emf::WINDING ? kRed : kBackground);
    EXPECT_EQ(canvas.At(7, 7), mode == orvane::emf::WINDING ? kRed : kBackground);
    EXPECT_EQ(canvas.At(8, 8), kRed);
  }
}

TEST(EmfPlayerMappingTest, FrameMapsOntoTheDestination) {
  // The square (4,4)-(12,12) of a 16 x 16 picture.
  const auto picture = [] {
    auto w = Writer(16, 16);
    SolidFill(w, C(kGreen));
    w.Polygon(Square(4, 4, 12, 12));
    return w.Finish();
  }();
  {
    Canvas canvas(16, 16);
    canvas.Play(picture);
    ExpectFilledBox(canvas, kGreen, 4, 4, 12, 12);
  }
  {
    // Half size: the frame is twice the destination.
    Canvas canvas(16, 16);
    canvas.Play(picture, orvane::vcl::Rect(0, 0, 8, 8));
    ExpectFilledBox(canvas, kGreen, 2, 2, 6, 6);
  }
  {
    // Offset destination, anisotropic: x halved, y kept.
    Canvas canvas(40, 40);
    canvas.Play(picture, orvane::vcl::Rect(20, 10, 28, 26));
    ExpectFilledBox(canvas, kGreen, 22, 14, 26, 22);
  }
  {
    // Right below left mirrors: x -> 16 - x.
    Canvas canvas(16, 16);
    canvas.Play(picture, orvane::vcl::Rect(16, 0, 0, 16));
    ExpectFilledBox(canvas, kGreen, 4, 4, 12, 12);
  }
}

TEST(EmfPlayerMappingTest, FrameOriginAndReferenceDeviceScale) {
  // Frame (100, 50)-(300, 250) in 0.01 mm on a 10 px/mm device: logical
  // (10, 5) lands on the destination's corner.
  orvane::emf::HeaderInfo h = orvane::emf::HeaderForPixels(20, 20, {1000, 1000}, {100, 100});
  h.frame = orvane::emf::RectL{100, 50, 300, 250};
  orvane::emf::EmfWriter w(h);
  SolidFill(w, C(kBlue));
  w.Polygon(Square(10, 5, 14, 9));
  Canvas canvas(30, 30);
  canvas.Play(w.Finish(), orvane::vcl::Rect(5, 5, 25, 25));
  ExpectFilledBox(canvas, kBlue, 5, 5, 9, 9);
}

TEST(EmfPlayerMappingTest, AnisotropicAndIsotropicWindowAndViewport) {
  const auto play = [](uint32_t mode) {
    auto w = Writer(20, 20);
    w.SetMapMode(mode);
    w.SetWindowExtEx(100, 100);
    w.SetViewportExtEx(10, 20);
    SolidFill(w, C(kRed));
    w.Polygon(Square(10, 10, 50, 50));
    auto canvas = std::make_unique<Canvas>(20, 20);
    canvas->Play(w.Finish());
    return canvas;
  };
  // x scale 1/10, y scale 1/5.
  ExpectFilledBox(*play(orvane::emf::MM_ANISOTROPIC), kRed, 1, 2, 5, 10);
  // Isotropic: both axes take the smaller scale, 1/10.
  ExpectFilledBox(*play(orvane::emf::MM_ISOTROPIC), kRed, 1, 1, 5, 5);
  // MM_TEXT ignores the extents.
  ExpectFilledBox(*play(orvane::emf::MM_TEXT), kRed, 10, 10, 20, 20);
}

TEST(EmfPlayerMappingTest, OriginsAndScaleRecords) {
  auto w = Writer(20, 20);
  w.SetMapMode(orvane::emf::MM_ANISOTROPIC);
  w.SetWindowExtEx(1, 1);
  w.SetViewportExtEx(1, 1);
  w.ScaleViewportExtEx(3, 1, 2, 1);  // viewport 3 x 2
  w.ScaleWindowExtEx(1, 1, 2, 1);    // window 1 x 2: scale 3 x 1
  w.SetWindowOrgEx(100, 50);
  w.SetViewportOrgEx(2, 4);
  SolidFill(w, C(kGreen));
  w.Polygon(Square(100, 50, 103, 54));  // -> (2,4)-(11,8)
  Canvas canvas(20, 20);
  canvas.Play(w.Finish());
  ExpectFilledBox(canvas, kGreen, 2, 4, 11, 8);
}

TEST(EmfPlayerMappingTest, MetricModesCountUpwardsFromTheReferenceDevice) {
  // 10 px/mm: one LOMETRIC unit (0.1 mm) is one pixel, one HIMETRIC unit a tenth.
  for (uint32_t mode : {orvane::emf::MM_LOMETRIC, orvane::emf::MM_HIMETRIC}) {
    const int k = mode == orvane::emf::MM_LOMETRIC ? 1 : 10;
    auto w = Writer(10, 10);
    w.SetMapMode(mode);
    SolidFill(w, C(kBlue));
    w.Polygon(Square(2 * k, -2 * k, 6 * k, -7 * k));
    Canvas canvas(10, 10);
    canvas.Play(w.Finish());
    ExpectFilledBox(canvas, kBlue, 2, 2, 6, 7);
  }
}

TEST(EmfPlayerMappingTest, WorldTransformSetAndModified) {
  const auto play = [](auto&& setup) {
    auto w = Writer(40, 10);
    setup(w);
    SolidFill(w, C(kRed));
    w.Polygon(Square(1, 1, 3, 3));
    auto canvas = std::make_unique<Canvas>(40, 10);
    canvas->Play(w.Finish());
    return canvas;
  };
  // Scale 2, then move by (1, 0): (3,2)-(7,6).
  ExpectFilledBox(*play([](orvane::emf::EmfWriter& w) { w.SetWorldTransform({2, 0, 0, 2, 1, 0}); }), kRed, 3, 2, 7, 6);
  // Left multiply applies the new transform first: x' = 2x + 10.
  ExpectFilledBox(*play([](orvane::emf::EmfWriter& w) {
    w.SetWorldTransform({1, 0, 0, 1, 10, 0});
    w.ModifyWorldTransform({2, 0, 0, 1, 0, 0}, orvane::emf::MWT_LEFTMULTIPLY);
  }), kRed, 12, 1, 16, 3);
  // Right multiply applies it last: x' = 2(x + 10).
  ExpectFilledBox(*play([](orvane::emf::EmfWriter& w) {
    w.SetWorldTransform({1, 0, 0, 1, 10, 0});
    w.ModifyWorldTransform({2, 0, 0, 1, 0, 0}, orvane::emf::MWT_RIGHTMULTIPLY);
  }), kRed, 22, 1, 26, 3);
  ExpectFilledBox(*play([](orvane::emf::EmfWriter& w) {
    w.SetWorldTransform({3, 0, 0, 3, 5, 5});
    w.ModifyWorldTransform({}, orvane::emf::MWT_IDENTITY);
  }), kRed, 1, 1, 3, 3);
}

TEST(EmfPlayerPenTest, CosmeticPenStaysOnePixelAtFourTimesAndSkipsTheLastPixel) {
  const auto play = [](int32_t width) {
    auto w = Writer(8, 8);
    w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, width, C(kRed)));
    w.MoveToEx(1, 1);
    w.LineTo(5, 1);
    auto canvas = std::make_unique<Canvas>(32, 32);
    canvas->Play(w.Finish());  // 4x: (4,4) to (20,4)
    return canvas;
  };
  auto cosmetic = play(0);
  EXPECT_EQ(cosmetic->Span(4, kRed), std::make_pair(4, 19));
  EXPECT_EQ(cosmetic->Count(kRed), 16);
  // Width 1 in logical units is 4 device pixels here: a wide pen, rows 2..5.
  auto wide = play(1);
  for (int y = 2; y <= 5; ++y) EXPECT_EQ(wide->At(12, y), kRed) << y;
  EXPECT_EQ(wide->At(12, 1), kBackground);
  EXPECT_EQ(wide->At(12, 6), kBackground);
}

TEST(EmfPlayerPenTest, WidePenCoversItsWidthAcrossTheLine) {
  auto w = Writer(20, 12);
  w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 3, C(kBlue)));
  w.MoveToEx(4, 5);
  w.LineTo(14, 5);
  Canvas canvas(20, 12);
  canvas.Play(w.Finish());
  for (int y : {4, 5, 6}) EXPECT_EQ(canvas.At(9, y), kBlue) << y;
  EXPECT_EQ(canvas.At(9, 3), kBackground);
  EXPECT_EQ(canvas.At(9, 7), kBackground);
}

TEST(EmfPlayerPenTest, GeometricFlatCapEndsAtTheEndPoints) {
  auto w = Writer(20, 12);
  w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_ENDCAP_FLAT, 4, C(kRed)));
  w.MoveToEx(4, 6);
  w.LineTo(14, 6);
  Canvas canvas(20, 12);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(9, 6), kRed);
  EXPECT_EQ(canvas.At(2, 6), kBackground);  // a round or square cap would reach here
  EXPECT_EQ(canvas.At(16, 6), kBackground);
}

TEST(EmfPlayerClipTest, IntersectAndExcludeClipRectangles) {
  auto w = Writer(12, 12);
  w.IntersectClipRect({2, 2, 10, 10});
  w.ExcludeClipRect({4, 4, 6, 6});
  SolidFill(w, C(kGreen));
  w.Polygon(Square(0, 0, 12, 12));
  Canvas canvas(12, 12);
  canvas.Play(w.Finish());
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool in = x >= 2 && x < 10 && y >= 2 && y < 10 && !(x >= 4 && x < 6 && y >= 4 && y < 6);
      ASSERT_EQ(canvas.At(x, y), in ? kGreen : kBackground) << x << "," << y;
    }
}

TEST(EmfPlayerClipTest, RegionModesAndReset) {
  // Region rectangles are in reference-device pixels: at 2x they double.
  auto w = Writer(10, 10);
  w.ExtSelectClipRgn(orvane::emf::RGN_COPY, {{0, 0, 2, 10}, {6, 0, 8, 10}});
  w.ExtSelectClipRgn(orvane::emf::RGN_OR, {{0, 0, 10, 1}});
  w.ExtSelectClipRgn(orvane::emf::RGN_DIFF, {{0, 8, 10, 10}});
  SolidFill(w, C(kRed));
  w.Polygon(Square(0, 0, 10, 10));
  w.ExtSelectClipRgn(orvane::emf::RGN_COPY, {});  // back to no clip
  SolidFill(w, C(kBlue));
  w.Polygon(Square(9, 9, 10, 10));
  Canvas canvas(20, 20);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(1, 5), kRed);
  EXPECT_EQ(canvas.At(13, 5), kRed);
  EXPECT_EQ(canvas.At(6, 5), kBackground);
  EXPECT_EQ(canvas.At(6, 1), kRed);     // the OR strip
  EXPECT_EQ(canvas.At(1, 17), kBackground);  // the DIFF strip
  EXPECT_EQ(canvas.At(19, 19), kBlue);  // drawn after the reset
}

TEST(EmfPlayerClipTest, DrawingStaysInsideTheCanvasClipWhichSurvivesPlayback) {
  auto w = Writer(10, 10);
  w.ExtSelectClipRgn(orvane::emf::RGN_COPY, {{0, 0, 10, 10}});  // a metafile clip cannot widen the canvas's
  SolidFill(w, C(kRed));
  w.Polygon(Square(0, 0, 10, 10));
  Canvas canvas(10, 10);
  orvane::gdi::HDC dc = canvas.bitmap.Canvas().Handle();
  dc->SetClip(orvane::gdi::Region(orvane::gdi::Rect{3, 3, 6, 6}));
  canvas.Play(w.Finish());
  dc->ClearClip();
  ExpectFilledBox(canvas, kRed, 3, 3, 6, 6);
}

TEST(EmfPlayerClipTest, SelectClipPathAndOffsetClipRgn) {
  auto w = Writer(12, 12);
  w.BeginPath();
  w.Polygon({{0, 0}, {6, 0}, {0, 6}});
  w.EndPath();
  w.SelectClipPath(orvane::emf::RGN_COPY);
  w.OffsetClipRgn(2, 1);
  SolidFill(w, C(kBlue));
  w.Polygon(Square(0, 0, 12, 12));
  Canvas canvas(12, 12);
  canvas.Play(w.Finish());
  // The triangle of rows 0..5, widths 6..1, moved by (2, 1).
  EXPECT_EQ(canvas.Span(0, kBlue), std::make_pair(-1, -1));
  for (int y = 1; y <= 6; ++y) EXPECT_EQ(canvas.Span(y, kBlue), std::make_pair(2, 2 + 6 - y)) << y;
}

// A clip path over a drawing area 4096 pixels wide is filled into its mask a
// few hundred rows at a time; the rows on either side of each strip's edge
// must come out as from one mask, and the offset region must move whole.
TEST(EmfPlayerClipTest, ClipPathOverAWideAreaIsTheSameAcrossMaskStrips) {
  constexpr int kSide = 700;
  auto w = Writer(4096, kSide);
  w.BeginPath();
  w.Polygon({{0, 0}, {kSide, 0}, {0, kSide}});
  w.EndPath();
  w.SelectClipPath(orvane::emf::RGN_COPY);
  w.OffsetClipRgn(2, 1);
  SolidFill(w, C(kBlue));
  w.Polygon(Square(0, 0, 4096, kSide));
  Canvas canvas(4096, kSide);
  canvas.Play(w.Finish());
  // Row y of the triangle spans columns 0 .. kSide - 1 - y; moved by (2, 1).
  EXPECT_EQ(canvas.Span(0, kBlue), std::make_pair(-1, -1));
  int wrong = 0;
  for (int y = 1; y < kSide; ++y)
    if (canvas.Span(y, kBlue) != std::make_pair(2, 2 + kSide - y) && ++wrong < 5)
      ADD_FAILURE() << "row " << y << ": " << canvas.Span(y, kBlue).first << ".." << canvas.Span(y, kBlue).second;
  EXPECT_EQ(wrong, 0);
}

TEST(EmfPlayerStateTest, SaveAndRestoreRelativeAndAbsolute) {
  const auto play = [](auto&& restore) {
    auto w = Writer(4, 4);
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kRed)));
    w.SaveDC();  // level 1: red
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kGreen)));
    w.IntersectClipRect({0, 0, 2, 4});
    w.SaveDC();  // level 2: green, clipped
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kBlue)));
    restore(w);
    w.Polygon(Square(0, 0, 4, 4));
    Canvas canvas(4, 4);
    canvas.Play(w.Finish());
    return std::make_pair(canvas.At(0, 0), canvas.At(3, 3));
  };
  EXPECT_EQ(play([](orvane::emf::EmfWriter& w) { w.RestoreDC(-1); }), std::make_pair(kGreen, kBackground));
  EXPECT_EQ(play([](orvane::emf::EmfWriter& w) { w.RestoreDC(-2); }), std::make_pair(kRed, kRed));
  EXPECT_EQ(play([](orvane::emf::EmfWriter& w) { w.RestoreDC(1); }), std::make_pair(kRed, kRed));
  EXPECT_EQ(play([](orvane::emf::EmfWriter& w) { w.RestoreDC(-3); }), std::make_pair(kBlue, kBackground));  // no such level
  EXPECT_EQ(play([](orvane::emf::EmfWriter& w) {
    w.RestoreDC(-1);
    w.RestoreDC(-1);
  }), std::make_pair(kRed, kRed));
}

TEST(EmfPlayerPathTest, BezierPathWithStraightControlsFillsTheTriangle) {
  auto w = Writer(12, 12);
  SolidFill(w, C(kRed));
  w.BeginPath();
  w.MoveToEx(1, 1);
  // Control points on the edges make each curve a straight segment.
  w.PolyBezierTo({{3, 1}, {6, 1}, {9, 1}, {7, 3}, {3, 7}, {1, 9}});
  w.CloseFigure();
  w.EndPath();
  w.FillPath();
  Canvas canvas(12, 12);
  canvas.Play(w.Finish());
  for (int y = 1; y <= 8; ++y) EXPECT_EQ(canvas.Span(y, kRed), std::make_pair(1, 9 - y)) << "row " << y;
  EXPECT_EQ(canvas.Count(kRed), 36);
}

TEST(EmfPlayerPathTest, CurvedPathFillsItsInsideOnly) {
  // A circle of radius 8 around (10, 10) from four Béziers (k = 0.5523 * 8 = 4.42).
  auto w = Writer(20, 20);
  SolidFill(w, C(kBlue));
  w.BeginPath();
  w.MoveToEx(18, 10);
  w.PolyBezierTo16({{18, 14}, {14, 18}, {10, 18}, {6, 18}, {2, 14}, {2, 10}, {2, 6}, {6, 2}, {10, 2}, {14, 2},
                    {18, 6}, {18, 10}});
  w.EndPath();
  w.FillPath();
  w.FillPath();  // the path is used up: nothing more
  Canvas canvas(20, 20);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(10, 10), kBlue);
  EXPECT_EQ(canvas.At(3, 10), kBlue);
  EXPECT_EQ(canvas.At(10, 17), kBlue);
  EXPECT_EQ(canvas.At(3, 3), kBackground);  // outside the curve, inside its control box
  EXPECT_EQ(canvas.At(17, 17), kBackground);
  EXPECT_EQ(canvas.At(18, 10), kBackground);  // right edge is outside
}

TEST(EmfPlayerPathTest, StrokePathAndAbortPath) {
  auto w = Writer(12, 12);
  w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 0, C(kRed)));
  w.BeginPath();
  w.MoveToEx(1, 2);
  w.LineTo(9, 2);
  w.EndPath();
  w.StrokePath();
  w.BeginPath();
  w.MoveToEx(1, 6);
  w.LineTo(9, 6);
  w.AbortPath();
  w.StrokePath();
  Canvas canvas(12, 12);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Span(2, kRed), std::make_pair(1, 8));
  EXPECT_EQ(canvas.Span(6, kRed), std::make_pair(-1, -1));
}

TEST(EmfPlayerStateTest, StartsFromTheDefaultsAndLeavesTheCanvasAsItWas) {
  // No object selected: black cosmetic pen, white brush.
  auto w = Writer(10, 10);
  w.Rectangle({1, 1, 6, 6});
  w.SetBkMode(orvane::emf::TRANSPARENT);
  w.SetROP2(9);  // R2_MASKPEN
  Canvas canvas(10, 10);
  orvane::vcl::TCanvas& c = canvas.bitmap.Canvas();
  c.Pen().SetColor(kRed);
  c.Brush().SetColor(kBlue);
  orvane::gdi::HDC dc = c.Handle();
  const orvane::gdi::Point origin = dc->origin;
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(1, 1), kBlack);
  EXPECT_EQ(canvas.At(6, 6), kBlack);  // the border takes the right and bottom edges
  EXPECT_EQ(canvas.At(5, 5), kWhite);
  EXPECT_EQ(canvas.At(7, 7), kBackground);
  EXPECT_EQ(c.Pen().Color(), kRed);
  EXPECT_EQ(c.Brush().Color(), kBlue);
  EXPECT_EQ(dc->pen.color, orvane::gdi::COLORREF(kRed));
  EXPECT_EQ(dc->brush.color, orvane::gdi::COLORREF(kBlue));
  EXPECT_EQ(dc->rop2, orvane::gdi::Rop2::CopyPen);
  EXPECT_FALSE(dc->HasClip());
  EXPECT_EQ(dc->origin, origin);
}

}  // namespace
