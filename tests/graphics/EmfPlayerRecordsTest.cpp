// One test per record group: shapes, lines and curves, brushes and stock
// objects, raster operations, pixels, bitmaps, text, and skipped records.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <algorithm>

#include "EmfTestSupport.h"
#include <orvane/graphics/detail/EmfPlayer.h>

using namespace emftest;
using orvane::emf::PointL;

namespace {

// Metafiles play in the advanced graphics mode: a rectangle takes its right
// and bottom edges.
TEST(EmfPlayerRecordsTest, RectangleTakesItsRightAndBottomEdges) {
  auto w = Writer(10, 10);
  w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 1, C(kRed)));
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kBlue)));
  w.Rectangle({1, 1, 6, 5});
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  w.Rectangle({1, 6, 6, 10});  // without a pen: the whole box, right and bottom edges out
  Canvas canvas(10, 10);
  canvas.Play(w.Finish());
  const std::vector<std::string> expected = {
      "..........",  //
      ".RRRRRR...",  //
      ".RBBBBR...",  //
      ".RBBBBR...",  //
      ".RBBBBR...",  //
      ".RRRRRR...",  //
      ".BBBBB....",  //
      ".BBBBB....",  //
      ".BBBBB....",  //
      ".BBBBB....",
  };
  for (int y = 0; y < 10; ++y) {
    std::string row;
    for (int x = 0; x < 10; ++x) {
      const orvane::vcl::TColor c = canvas.At(x, y);
      row.push_back(c == kRed ? 'R' : c == kBlue ? 'B' : c == kBackground ? '.' : '?');
    }
    EXPECT_EQ(row, expected[static_cast<size_t>(y)]) << "row " << y;
  }
}

TEST(EmfPlayerRecordsTest, EllipseRoundRectChordAndPie) {
  const auto play = [](auto&& draw) {
    auto w = Writer(20, 20);
    SolidFill(w, C(kBlue));
    draw(w);
    auto canvas = std::make_unique<Canvas>(20, 20);
    canvas->Play(w.Finish());
    return canvas;
  };
  auto ellipse = play([](orvane::emf::EmfWriter& w) { w.Ellipse({0, 0, 20, 20}); });
  EXPECT_EQ(ellipse->At(10, 10), kBlue);
  EXPECT_EQ(ellipse->At(1, 10), kBlue);
  EXPECT_EQ(ellipse->At(1, 1), kBackground);
  EXPECT_EQ(ellipse->At(18, 18), kBackground);

  auto round = play([](orvane::emf::EmfWriter& w) { w.RoundRect({0, 0, 20, 20}, {10, 10}); });
  EXPECT_EQ(round->At(10, 1), kBlue);
  EXPECT_EQ(round->At(0, 0), kBackground);
  EXPECT_EQ(round->At(4, 4), kBlue);

  // The quarter from the ray towards (20, 10) counter-clockwise to the ray towards (10, 0).
  auto pie = play([](orvane::emf::EmfWriter& w) { w.Pie({0, 0, 20, 20}, {20, 10}, {10, 0}); });
  EXPECT_EQ(pie->At(14, 6), kBlue);
  EXPECT_EQ(pie->At(6, 6), kBackground);
  EXPECT_EQ(pie->At(14, 14), kBackground);

  auto chord = play([](orvane::emf::EmfWriter& w) { w.Chord({0, 0, 20, 20}, {20, 10}, {10, 0}); });
  EXPECT_EQ(chord->At(16, 4), kBlue);       // between the arc and the chord
  EXPECT_EQ(chord->At(12, 7), kBackground);  // on the centre's side of the chord
}

TEST(EmfPlayerRecordsTest, LinesAndCurvesIn16And32BitForms) {
  auto w = Writer(20, 20);
  w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 0, C(kRed)));
  w.Polyline16({{1, 1}, {10, 1}});                 // row 1: 1..9
  w.PolyPolyline({{{1, 3}, {5, 3}}, {{8, 3}, {12, 3}}});  // row 3: 1..4 and 8..11
  w.MoveToEx(1, 5);
  w.PolylineTo({{6, 5}});                          // row 5: 1..5
  w.LineTo(6, 9);                                  // column 6: rows 5..8
  w.PolyBezier({{1, 12}, {4, 12}, {8, 12}, {11, 12}});  // a straight curve: row 12, 1..10
  w.MoveToEx(1, 14);
  w.PolyBezierTo16({{3, 14}, {5, 14}, {7, 14}});   // row 14: 1..6
  Canvas canvas(20, 20);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Span(1, kRed), std::make_pair(1, 9));
  EXPECT_EQ(canvas.At(4, 3), kRed);
  EXPECT_EQ(canvas.At(5, 3), kBackground);
  EXPECT_EQ(canvas.At(8, 3), kRed);
  EXPECT_EQ(canvas.Span(3, kRed), std::make_pair(1, 11));
  EXPECT_EQ(canvas.Span(5, kRed), std::make_pair(1, 6));
  EXPECT_EQ(canvas.At(6, 8), kRed);
  EXPECT_EQ(canvas.At(6, 9), kBackground);
  EXPECT_EQ(canvas.Span(12, kRed), std::make_pair(1, 10));
  EXPECT_EQ(canvas.Span(14, kRed), std::make_pair(1, 6));
}

TEST(EmfPlayerRecordsTest, ArcArcToAndAngleArcMoveTheCurrentPosition) {
  auto w = Writer(30, 30);
  w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 0, C(kRed)));
  w.MoveToEx(15, 15);
  w.AngleArc({15, 15}, 10, 0, 90);  // line to (25, 15), arc up to (15, 5)
  w.LineTo(5, 5);                   // from (15, 5)
  Canvas canvas(30, 30);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(20, 15), kRed);
  EXPECT_EQ(canvas.At(10, 5), kRed);
  EXPECT_EQ(canvas.At(15, 25), kBackground);  // no arc below
}

TEST(EmfPlayerRecordsTest, HatchedBrushesAreEightPixelsWithBackgroundByMode) {
  for (uint32_t mode : {orvane::emf::OPAQUE, orvane::emf::TRANSPARENT}) {
    auto w = Writer(16, 16);
    w.SetBkMode(mode);
    w.SetBkColor(C(kWhite));
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_HATCHED, C(kRed), orvane::emf::HS_HORIZONTAL));
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    w.Polygon({{0, 0}, {16, 0}, {16, 16}, {0, 16}});
    Canvas canvas(16, 16);
    canvas.Play(w.Finish());
    const orvane::vcl::TColor gap = mode == orvane::emf::OPAQUE ? kWhite : kBackground;
    for (int y = 0; y < 16; ++y) EXPECT_EQ(canvas.At(5, y), y % 8 == 3 ? kRed : gap) << "row " << y;
  }
}

// Some producers set the top byte of colour values in pen and brush
// records; the colour is the low three bytes all the same.
TEST(EmfPlayerRecordsTest, ColoursWithATopByteAreReadAsRgb) {
  for (uint32_t top : {0x01000000u, 0x02000000u, 0xFF000000u}) {
    auto w = Writer(8, 8);
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kRed) | top));
    w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 0, C(kGreen) | top));
    w.Rectangle({0, 0, 8, 8});
    w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_SOLID, 1, C(kBlue) | top));
    w.MoveToEx(2, 4);
    w.LineTo(6, 4);
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.At(0, 0), kGreen) << std::hex << top;
    EXPECT_EQ(canvas.At(2, 2), kRed) << std::hex << top;
    EXPECT_EQ(canvas.At(3, 4), kBlue) << std::hex << top;
  }
}

// Turned a quarter, a 20 x 10 rounded rectangle with 4 x 4 corners keeps
// its area of 200 - (4 - pi) * 2 * 2 = 196.6 pixels; its ellipse would
// have pi * 10 * 5 = 157.
TEST(EmfPlayerRecordsTest, RoundRectanglesKeepTheirShapeWhenTurned) {
  auto w = Writer(24, 24);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  SolidFill(w, C(kRed));
  w.SetWorldTransform({0, 1, -1, 0, 17, 2});  // (x, y) -> (17 - y, 2 + x)
  w.RoundRect({0, 0, 20, 10}, {4, 4});
  Canvas canvas(24, 24);
  canvas.Play(w.Finish());
  EXPECT_NEAR(canvas.Count(kRed), 197, 6);
  // The turned box covers columns 7..16 and rows 2..21. Its top corners
  // are cut by arcs of radius 2 about (9, 4) and (15, 4); (9, 3) lies
  // inside the first, which its ellipse would not reach.
  EXPECT_EQ(canvas.At(7, 2), kBackground);
  EXPECT_EQ(canvas.At(16, 2), kBackground);
  EXPECT_EQ(canvas.At(9, 3), kRed);
  EXPECT_EQ(canvas.At(12, 2), kRed);
}

TEST(EmfPlayerRecordsTest, PatternAndMonochromeBrushes) {
  const orvane::emf::Dib checker = orvane::emf::MakeDib24(2, 2, {C(kRed), C(kBlue), C(kBlue), C(kRed)});
  const orvane::emf::Dib mono = orvane::emf::MakeDibIndexed(2, 1, 1, {C(kBlack), C(kWhite)}, {0, 1});
  auto w = Writer(8, 4);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  w.SelectObject(w.CreateDIBPatternBrushPt(checker));
  w.Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  w.SetTextColor(C(kGreen));
  w.SetBkColor(C(kBlue));
  w.SelectObject(w.CreateMonoBrush(mono));
  w.Polygon({{4, 0}, {8, 0}, {8, 4}, {4, 4}});
  Canvas canvas(8, 4);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(0, 0), kRed);
  EXPECT_EQ(canvas.At(1, 0), kBlue);
  EXPECT_EQ(canvas.At(0, 1), kBlue);
  EXPECT_EQ(canvas.At(3, 3), kRed);
  // Mono brush: 0 bits in the text colour, 1 bits in the background colour.
  EXPECT_EQ(canvas.At(4, 0), kGreen);
  EXPECT_EQ(canvas.At(5, 0), kBlue);
  EXPECT_EQ(canvas.At(6, 2), kGreen);
}

// A pattern brush shows its own pixels repeated, whatever tile it is kept as:
// one row of red (R) and blue, painted across 12 columns from the origin.
TEST(EmfPlayerRecordsTest, PatternBrushRowsRepeatAsGiven) {
  const struct {
    const char* pattern;
    const char* shows;  // red columns #, blue ?
  } cases[] = {
      {"RBRB", "#?#?#?#?#?#?"},    // repeats every 2
      {"RBBRBB", "#??#??#??#??"},  // every 3
      {"RRBRR", "##?####?####"},   // a shortest period of 3 that does not divide 5: kept whole
      {"RRRRRRB", "######?#####"},
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> pixels;
    for (const char* k = c.pattern; *k; ++k) pixels.push_back(C(*k == 'R' ? kRed : kBlue));
    auto w = Writer(12, 1);
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    w.SelectObject(w.CreateDIBPatternBrushPt(orvane::emf::MakeDib24(static_cast<int32_t>(pixels.size()), 1, pixels)));
    w.Polygon({{0, 0}, {12, 0}, {12, 1}, {0, 1}});
    Canvas canvas(12, 1);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{c.shows})) << c.pattern;
  }
}

TEST(EmfPlayerRecordsTest, StockObjects) {
  auto w = Writer(12, 4);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  const uint32_t brushes[] = {orvane::emf::BLACK_BRUSH, orvane::emf::DKGRAY_BRUSH, orvane::emf::LTGRAY_BRUSH, orvane::emf::WHITE_BRUSH};
  for (int i = 0; i < 4; ++i) {
    w.SelectObject(orvane::emf::kStockObjectFlag | brushes[i]);
    w.Polygon({{3 * i, 0}, {3 * i + 3, 0}, {3 * i + 3, 2}, {3 * i, 2}});
  }
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::WHITE_PEN);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_BRUSH);
  w.Rectangle({0, 2, 11, 3});  // its border takes columns 0 to 11, rows 2 and 3
  Canvas canvas(12, 4);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(1, 0), kBlack);
  EXPECT_EQ(canvas.At(4, 0), 0x404040);
  EXPECT_EQ(canvas.At(7, 0), 0xC0C0C0);
  EXPECT_EQ(canvas.At(10, 0), kWhite);
  EXPECT_EQ(canvas.At(5, 2), kWhite);  // the white pen's border
  EXPECT_EQ(canvas.At(12 - 1, 3), kWhite);
}

TEST(EmfPlayerRecordsTest, XorRasterOperationTwiceRestoresTheBackground) {
  auto w = Writer(6, 6);
  w.SetROP2(7);  // R2_XORPEN
  SolidFill(w, C(0x0000FF));
  w.Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  w.Polygon({{2, 2}, {6, 2}, {6, 6}, {2, 6}});
  Canvas canvas(6, 6);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(1, 1), kBackground ^ 0x0000FF);
  EXPECT_EQ(canvas.At(3, 3), kBackground);
  EXPECT_EQ(canvas.At(5, 5), kBackground ^ 0x0000FF);
}

TEST(EmfPlayerRecordsTest, SetPixelPaintsOnePixel) {
  auto w = Writer(5, 5);
  w.SetPixelV(2, 3, C(kGreen));
  Canvas canvas(5, 5);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(2, 3), kGreen);
  EXPECT_EQ(canvas.Count(kGreen), 1);
}

TEST(EmfPlayerRecordsTest, StretchDibBitsKeepsTheTopRowOnTopAndStretches) {
  const orvane::emf::Dib image = orvane::emf::MakeDib24(2, 2, {C(kRed), C(kGreen), C(kBlue), C(kWhite)});
  auto w = Writer(8, 8);
  w.StretchDIBits(2, 2, 4, 4, 0, 0, 2, 2, image);
  Canvas canvas(8, 8);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(2, 2), kRed);
  EXPECT_EQ(canvas.At(3, 3), kRed);
  EXPECT_EQ(canvas.At(4, 2), kGreen);
  EXPECT_EQ(canvas.At(2, 4), kBlue);
  EXPECT_EQ(canvas.At(5, 5), kWhite);
  EXPECT_EQ(canvas.At(6, 6), kBackground);
  EXPECT_EQ(canvas.At(1, 1), kBackground);
}

TEST(EmfPlayerRecordsTest, BitBltWithAndWithoutSourceAndSetDibitsToDevice) {
  const orvane::emf::Dib image = orvane::emf::MakeDibIndexed(2, 1, 8, {C(kRed), C(kBlue)}, {0, 1});
  auto w = Writer(12, 4);
  w.BitBlt(0, 0, 2, 2, orvane::emf::BLACKNESS);
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kGreen)));
  w.BitBlt(2, 0, 2, 2, orvane::emf::PATCOPY);
  w.BitBlt(4, 0, 2, 1, orvane::emf::SRCCOPY, &image, 0, 0);
  w.StretchBlt(6, 0, 4, 2, orvane::emf::SRCCOPY, image, 0, 0, 2, 1);
  w.SetDIBitsToDevice(10, 2, 0, 0, 2, 1, image);
  Canvas canvas(12, 4);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(1, 1), kBlack);
  EXPECT_EQ(canvas.At(3, 1), kGreen);
  EXPECT_EQ(canvas.At(4, 0), kRed);
  EXPECT_EQ(canvas.At(5, 0), kBlue);
  EXPECT_EQ(canvas.At(4, 1), kBackground);
  EXPECT_EQ(canvas.At(7, 1), kRed);
  EXPECT_EQ(canvas.At(8, 1), kBlue);
  EXPECT_EQ(canvas.At(10, 2), kRed);
  EXPECT_EQ(canvas.At(11, 2), kBlue);
  EXPECT_EQ(canvas.At(10, 3), kBackground);
}

TEST(EmfPlayerRecordsTest, TextDrawsInsideItsCellAndOpaqueRectangle) {
  auto w = Writer(80, 40);
  orvane::emf::LogFontW font;
  font.height = -20;
  font.faceName = u"Liberation Sans;Arial";
  w.SelectObject(w.ExtCreateFontIndirectW(font));
  w.SetTextColor(C(kBlack));
  w.SetBkMode(orvane::emf::TRANSPARENT);
  w.ExtTextOutW({5, 5}, u"HH");  // top-left alignment: the cell starts at (5, 5)
  w.SetBkColor(C(kBlue));
  w.ExtTextOutW({40, 30}, u"", orvane::emf::ETO_OPAQUE, {40, 30, 50, 36});
  Canvas canvas(80, 40);
  canvas.Play(w.Finish());
  int inked = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 80; ++x)
      if (canvas.At(x, y) == kBlack) {
        ++inked;
        EXPECT_TRUE(x >= 5 && x < 45 && y >= 5 && y < 30) << x << "," << y;
      }
  EXPECT_GT(inked, 20);
  EXPECT_EQ(canvas.At(40, 30), kBlue);
  EXPECT_EQ(canvas.At(49, 35), kBlue);
  EXPECT_EQ(canvas.At(50, 35), kBackground);
}

// PolyDraw worked by hand with a black cosmetic pen: each GDI line leaves
// out its last pixel, a closing point draws back to the figure's start.
TEST(EmfPlayerRecordsTest, PolyDrawStrokesItsFiguresOrAddsThemToThePath) {
  using orvane::emf::PT_BEZIERTO;
  using orvane::emf::PT_CLOSEFIGURE;
  using orvane::emf::PT_LINETO;
  using orvane::emf::PT_MOVETO;
  {
    auto w = Writer(10, 10);
    w.PolyDraw({{1, 1}, {8, 1}, {8, 8}}, {PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE});
    w.MoveToEx(2, 9);  // no move-to in the record: from the current position
    w.PolyDraw16({{6, 9}}, {PT_LINETO});
    Canvas canvas(10, 10);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Rows(kBlack), (std::vector<std::string>{
                                       "..........", ".########.", "..#.....#.", "...#....#.", "....#...#.",
                                       ".....#..#.", "......#.#.", ".......##.", "........#.", "..####....",
                                   }));
  }
  {
    // In a path: a closed triangle and a curve whose figure is never drawn
    // open, filled by the path's fill.
    auto w = Writer(8, 8);
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    SolidFill(w, C(kRed));
    w.BeginPath();
    w.PolyDraw({{1, 1}, {6, 1}, {6, 6}}, {PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE});
    w.EndPath();
    w.FillPath();
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{"........", ".#####..", "..####..", "...###..",
                                                           "....##..", ".....#..", "........", "........"}));
  }
  // Bad types or a Bézier run cut short: the record draws nothing.
  const std::vector<std::vector<uint8_t>> badTypes = {
      {PT_MOVETO, 3}, {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO}, {PT_MOVETO, PT_BEZIERTO | PT_CLOSEFIGURE, PT_BEZIERTO},
      {PT_MOVETO | PT_CLOSEFIGURE, PT_LINETO, PT_LINETO}};
  for (const auto& types : badTypes) {
    auto w = Writer(10, 10);
    w.PolyDraw({{1, 1}, {8, 1}, {8, 8}}, types);
    Canvas canvas(10, 10);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Count(kBlack), 0) << int(types[1]);
  }
}

// A region record's payload: bounds, the data size, `extra` words (brush,
// ...), then RGNDATA with the rectangles.
std::vector<uint8_t> RegionRecord(const std::vector<orvane::emf::RectL>& rects, std::vector<uint32_t> extra = {},
                                  uint32_t headerSize = 32, uint32_t claimedCount = UINT32_MAX) {
  std::vector<uint32_t> words = {0, 0, 0, 0, uint32_t(32 + 16 * rects.size())};
  words.insert(words.end(), extra.begin(), extra.end());
  const uint32_t count = claimedCount == UINT32_MAX ? uint32_t(rects.size()) : claimedCount;
  for (uint32_t v : {headerSize, 1u, count, uint32_t(16 * rects.size()), 0u, 0u, 0u, 0u}) words.push_back(v);
  for (const auto& q : rects)
    for (int32_t v : {q.left, q.top, q.right, q.bottom}) words.push_back(uint32_t(v));
  std::vector<uint8_t> bytes(words.size() * 4);
  std::memcpy(bytes.data(), words.data(), bytes.size());
  return bytes;
}

// Region records worked by hand: overlapping rectangles painted once each
// (an inversion twice would undo itself), FillRgn's own brush used for that
// record only, a turned transform making parallelograms.
// A polyline (2,5)-(10,5)-(10,12) widened by a 4-unit pen with flat ends
// and a miter join: [2,12) x [3,7) and [8,12) x [7,12), 60 pixels, as one
// figure that runs from (10,7) straight to (8,5) inside the corner. There it
// overlaps itself: the alternate rule leaves out the triangle (8,5) (10,7)
// (8,7), whose one pixel inside is (8,6); the winding rule fills it. A
// cosmetic pen leaves the path as it is: filled, it is closed into the
// triangle whose rows 5..11 hold 8, 6, 5, 4, 3, 2 and 1 pixels.
TEST(EmfPlayerRecordsTest, WidenPathGivesTheOutlineOfThePen) {
  for (const bool geometric : {true, false}) {
    for (const bool asClip : {false, true}) {
      for (const uint32_t fillMode : {orvane::emf::ALTERNATE, orvane::emf::WINDING}) {
        auto w = Writer(14, 14);
        w.SetPolyFillMode(fillMode);
        w.SelectObject(geometric ? w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_ENDCAP_FLAT |
                                                      orvane::emf::PS_JOIN_MITER,
                                                  4, C(kBlue))
                                 : w.CreatePen(orvane::emf::PS_SOLID, 1, C(kBlue)));
        w.BeginPath();
        w.MoveToEx(2, 5);
        w.PolylineTo({{10, 5}, {10, 12}});
        w.EndPath();
        w.WidenPath();
        w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kRed)));
        if (asClip) {
          w.SelectClipPath(orvane::emf::RGN_COPY);
          w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
          w.Rectangle({0, 0, 15, 15});
        } else {
          w.FillPath();
        }
        Canvas canvas(14, 14);
        canvas.Play(w.Finish());
        const bool alternate = fillMode == orvane::emf::ALTERNATE;
        EXPECT_EQ(canvas.Count(kRed), geometric ? (alternate ? 59 : 60) : 29) << geometric << asClip << alternate;
        if (geometric) {
          EXPECT_EQ(canvas.Span(3, kRed), std::make_pair(2, 11));
          EXPECT_EQ(canvas.Span(11, kRed), std::make_pair(8, 11));
          EXPECT_EQ(canvas.At(8, 6) == kRed, !alternate);
        }
      }
    }
  }
}

TEST(EmfPlayerRecordsTest, RegionRecordsFillTheirRectangles) {
  const std::vector<orvane::emf::RectL> overlapping = {{1, 1, 5, 4}, {3, 2, 7, 6}};
  // 12 + 16 pixels, 4 of them in both: 24.
  const std::vector<std::string> unionRows = {"........", ".####...", ".######.", ".######.",
                                              "...####.", "...####.", "........", "........"};
  {
    auto w = Writer(8, 8);
    const uint32_t red = w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kRed));
    SolidFill(w, C(kBlue));
    w.Record(orvane::emf::EMR_FILLRGN, RegionRecord(overlapping, {red}));
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    w.Polygon({{0, 7}, {2, 7}, {2, 8}, {0, 8}});  // still the selected blue brush
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    std::vector<std::string> rows = unionRows;
    rows[7] = "??......";  // the blue polygon
    EXPECT_EQ(canvas.Rows(kRed), rows);
    EXPECT_EQ(canvas.Count(kBlue), 2);
  }
  {
    auto w = Writer(8, 8);
    SolidFill(w, C(kGreen));
    w.Record(orvane::emf::EMR_PAINTRGN, RegionRecord(overlapping));
    w.Record(orvane::emf::EMR_INVERTRGN, RegionRecord({{0, 0, 2, 1}, {1, 0, 3, 1}}));
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Count(kGreen), 24);
    EXPECT_EQ(canvas.At(0, 0), 0x7F7F7F);  // the grey background inverted once
    EXPECT_EQ(canvas.At(2, 0), 0x7F7F7F);
    EXPECT_EQ(canvas.At(3, 0), kBackground);
  }
  {
    auto w = Writer(24, 24);
    SolidFill(w, C(kRed));
    w.SetWorldTransform({0, 1, -1, 0, 17, 2});  // (x, y) -> (17 - y, 2 + x)
    w.Record(orvane::emf::EMR_PAINTRGN, RegionRecord({{0, 0, 20, 10}}));
    Canvas canvas(24, 24);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Count(kRed), 200);  // columns 7..16, rows 2..21
    EXPECT_EQ(canvas.At(7, 2), kRed);
    EXPECT_EQ(canvas.At(16, 21), kRed);
  }
  // Frames inside their region on an 8 x 8 picture, upright or turned a
  // quarter, (x, y) -> (8 - y, x); regions running past the picture by a
  // stroke or more keep the sides that lie outside out of sight.
  const struct {
    const char* what;
    bool turned;
    int32_t strokeWidth, strokeHeight;
    orvane::emf::RectL region;
    std::vector<std::string> rows;
  } frames[] = {
      {"two wide at the sides, one high at top and bottom", false, 2, 1, {1, 1, 7, 6},
       {"........", ".######.", ".##..##.", ".##..##.", ".##..##.", ".######.", "........", "........"}},
      {"two past the right edge and one past the bottom", false, 2, 1, {1, 1, 10, 9},
       {"........", ".#######", ".##.....", ".##.....", ".##.....", ".##.....", ".##.....", ".##....."}},
      // The logical frame of [1,6) x [1,5) around its hole [2,5) x [2,4)
      // lands on columns 3..6 and rows 1..5.
      {"turned", true, 1, 1, {1, 1, 6, 5},
       {"........", "...####.", "...#..#.", "...#..#.", "...#..#.", "...####.", "........", "........"}},
      {"turned, running far past the bottom", true, 1, 1, {1, 1, 20, 5},
       {"........", "...####.", "...#..#.", "...#..#.", "...#..#.", "...#..#.", "...#..#.", "...#..#."}},
  };
  for (const auto& f : frames) {
    auto w = Writer(8, 8);
    const uint32_t red = w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kRed));
    if (f.turned) w.SetWorldTransform({0, 1, -1, 0, 8, 0});
    w.FrameRgn(red, f.strokeWidth, f.strokeHeight, {f.region});
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Rows(kRed), f.rows) << f.what;
  }
  // Bad data: a wrong header size, more rectangles claimed than the data
  // holds, a brush that is not one. Nothing is drawn.
  const std::vector<std::vector<uint8_t>> bad = {RegionRecord(overlapping, {1}, 28), RegionRecord(overlapping, {1}, 32, 3),
                                                 RegionRecord(overlapping, {99}), RegionRecord(overlapping, {2})};
  for (size_t i = 0; i < bad.size(); ++i) {
    auto w = Writer(8, 8);
    w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kRed));
    w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 0, C(kRed)));
    w.Record(orvane::emf::EMR_FILLRGN, bad[i]);
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Count(kRed), 0) << "case " << i;
  }
}

// Small text (one-byte or UTF-16 characters, with or without its opaque
// rectangle) and several strings in one record draw exactly what
// ExtTextOutW draws with the same strings and places.
TEST(EmfPlayerRecordsTest, SmallAndPolyTextDrawAsExtTextOut) {
  using orvane::emf::ETO_NO_RECT;
  using orvane::emf::ETO_OPAQUE;
  using orvane::emf::ETO_SMALL_CHARS;
  const auto draw = [](const std::function<void(orvane::emf::EmfWriter&)>& text) {
    auto w = Writer(60, 30);
    orvane::emf::LogFontW font;
    font.height = -12;
    w.SelectObject(w.ExtCreateFontIndirectW(font));
    w.SetBkColor(C(kBlue));
    w.SetBkMode(orvane::emf::TRANSPARENT);
    text(w);
    Canvas canvas(60, 30);
    canvas.Play(w.Finish());
    return canvas.Rows(kBlack, kBackground);
  };
  const auto reference = draw([](auto& w) {
    w.ExtTextOutW({2, 2}, u"Wg1");
    w.ExtTextOutW({20, 15}, u"Hi", ETO_OPAQUE, {18, 14, 40, 29});
  });
  EXPECT_NE(std::count(reference[8].begin(), reference[8].end(), '#') + std::count(reference[5].begin(), reference[5].end(), '#'), 0);
  EXPECT_EQ(draw([](auto& w) {
              w.SmallTextOut({2, 2}, u"Wg1", ETO_NO_RECT | ETO_SMALL_CHARS);
              w.SmallTextOut({20, 15}, u"Hi", ETO_OPAQUE, {18, 14, 40, 29});
            }),
            reference);
  EXPECT_EQ(draw([](auto& w) {
              w.PolyTextOutW({{{2, 2}, u"Wg1"}});
              w.ExtTextOutW({20, 15}, u"Hi", ETO_OPAQUE, {18, 14, 40, 29});
            }),
            reference);
  // Characters claimed beyond the record: nothing drawn.
  const auto blank = draw([](auto&) {});
  EXPECT_EQ(draw([](auto& w) {
              w.Record(orvane::emf::EMR_SMALLTEXTOUT, {2, 0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0, 0, 3, 0, 0, 1, 0, 0, 0,
                                                       0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 'W', 'g', 0, 0});
            }),
            blank);
}

// Under a turning transform the opaque rectangle of text turns with it:
// 10 x 4 logical units turned a quarter cover 4 x 10 pixels.
TEST(EmfPlayerRecordsTest, TheOpaqueRectangleOfTextTurnsWithTheTransform) {
  auto w = Writer(20, 20);
  w.SetBkColor(C(kBlue));
  w.SetWorldTransform({0, 1, -1, 0, 15, 3});  // (x, y) -> (15 - y, 3 + x)
  w.ExtTextOutW({0, 0}, u"", orvane::emf::ETO_OPAQUE, {0, 0, 10, 4});
  Canvas canvas(20, 20);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Count(kBlue), 40);
  EXPECT_EQ(canvas.At(11, 3), kBlue);   // columns 11..14, rows 3..12
  EXPECT_EQ(canvas.At(14, 12), kBlue);
  EXPECT_EQ(canvas.At(10, 3), kBackground);

  // Clipped to it, text drawn across it inks only inside.
  auto clipped = Writer(20, 20);
  orvane::emf::LogFontW font;
  font.height = -16;
  clipped.SelectObject(clipped.ExtCreateFontIndirectW(font));
  clipped.SetBkMode(orvane::emf::TRANSPARENT);
  clipped.SetTextAlign(2);  // TA_RIGHT: the text ends at the reference point
  clipped.SetWorldTransform({0, 1, -1, 0, 15, 3});
  clipped.ExtTextOutW({-1, -3}, u"WWWW", orvane::emf::ETO_CLIPPED, {0, 0, 10, 4});  // ends at (18, 2)
  Canvas text(20, 20);
  text.Play(clipped.Finish());
  int inside = 0, outside = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (text.At(x, y) != kBackground) ++(x >= 11 && x <= 14 && y >= 3 && y <= 12 ? inside : outside);
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

// TransparentBlt: a 2 x 2 checker stretched to 4 x 4, its blue pixels left out.
TEST(EmfPlayerRecordsTest, TransparentBltLeavesOutItsTransparentColour) {
  const orvane::emf::Dib checker = orvane::emf::MakeDib24(2, 2, {C(kRed), C(kBlue), C(kBlue), C(kRed)});
  auto w = Writer(6, 4);
  w.TransparentBlt(0, 0, 4, 4, C(kBlue) | 0x02000000, checker, 0, 0, 2, 2);
  w.TransparentBlt(4, 0, 2, 2, C(kGreen), checker, 0, 0, 2, 2);  // nothing green: all copied
  Canvas canvas(6, 4);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{"##..#?", "##..?#", "..##..", "..##.."}));
}

TEST(EmfPlayerRecordsTest, CommentsAndUnknownRecordsAreSkipped) {
  auto w = Writer(4, 4);
  w.GdiComment({'E', 'M', 'F', '+', 1, 2, 3, 4});
  w.Record(0x7FFF, {1, 2, 3, 4});
  w.Record(orvane::emf::EMR_EXTFLOODFILL, {});
  w.Record(0x7FFF, {});
  // State the drawing does not use: read and left, not reported.
  w.Record(orvane::emf::EMR_SETICMMODE, {1, 0, 0, 0});
  w.Record(orvane::emf::EMR_SETLAYOUT, {0, 0, 0, 0});
  w.Record(orvane::emf::EMR_SETCOLORADJUSTMENT, std::vector<uint8_t>(24, 0));
  SolidFill(w, C(kRed));
  w.Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  const std::vector<uint8_t> bytes = w.Finish();
  Canvas canvas(4, 4);
  canvas.Play(bytes);
  EXPECT_EQ(canvas.Count(kRed), 16);

  // What was left out, by type and count: the unknown type and the flood
  // fill; the comment and the state records are not drawing left out.
  orvane::vcl::PlaybackReport report;
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromBytes(bytes.data(), bytes.size());
  orvane::vcl::PlayEnhancedMetafile(canvas.bitmap.Canvas(), orvane::vcl::Rect(0, 0, 4, 4), *metafile.Data(), &report);
  const std::map<uint32_t, uint64_t> expected = {{orvane::emf::EMR_EXTFLOODFILL, 1}, {0x7FFF, 2}};
  EXPECT_EQ(report.skipped, expected);
}

}  // namespace

// Hatch styles 6 to 11 fill solid: 6 and 7 in the brush colour, 8 and 9 in
// the text colour, 10 and 11 in the background colour of the moment.
TEST(EmfPlayerRecordsTest, SolidHatchStylesTakeTheirColourWhenTheyPaint) {
  const struct {
    uint32_t hatch;
    orvane::vcl::TColor expected;
  } cases[] = {{6, kRed}, {7, kRed}, {8, kGreen}, {9, kGreen}, {10, kBlue}, {11, kBlue}};
  for (const auto& c : cases) {
    auto w = Writer(4, 4);
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_HATCHED, C(kRed), c.hatch));
    w.SetTextColor(C(kGreen));  // after the brush is made: the colour at painting counts
    w.SetBkColor(C(kBlue));
    w.Rectangle({0, 0, 4, 4});
    Canvas canvas(4, 4);
    canvas.Play(w.Finish());
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) ASSERT_EQ(canvas.At(x, y), c.expected) << "hatch " << c.hatch << " at " << x << "," << y;
  }
}
