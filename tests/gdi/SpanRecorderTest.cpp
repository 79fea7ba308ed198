// The span recorder as a surface: later paint replaces earlier paint run by
// run, colours as the pixels would get them, paint that reads the
// destination only marked; and clip regions made from its rows.

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/detail/Rasterizer.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/gdi/detail/SpanRecorder.h>

using namespace orvane::gdi;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

// The runs of a row as the pixels show them: repeating colours taken a
// column at a time (their unpainted columns left out, touching columns of
// one colour pair joined, also to runs beside them), and runs of one
// colour over both keys written with colorB 0, as the three-field cases
// below give them. Plain runs are left as they are, so the recorder's own
// joining is seen.
std::vector<PaintedRun> RowOf(const SpanRecorder& r, int32_t y) {
  std::vector<PaintedRun> runs;
  bool lastRepeats = false;
  const auto add = [&](int32_t x0, int32_t x1, COLORREF a, COLORREF b, bool repeats) {
    if (a == r.KeyA() && b == r.KeyB()) return;
    if (b == a) b = 0;
    if ((repeats || lastRepeats) && !runs.empty() && runs.back().x1 == x0 && runs.back().color == a &&
        runs.back().colorB == b)
      runs.back().x1 = x1;
    else
      runs.push_back(PaintedRun{x0, x1, a, b});
    lastRepeats = repeats;
  };
  for (const PaintedRun& run : r.Row(y)) {
    if (!run.Repeats()) {
      add(run.x0, run.x1, run.color, run.colorB, false);
      continue;
    }
    const RepeatingColors& colors = r.Repeating(run);
    for (int32_t x = run.x0; x < run.x1; ++x)
      add(x, x + 1, colors.overA[colors.ColumnOf(x)], colors.overB[colors.ColumnOf(x)], true);
  }
  return runs;
}

}  // namespace

TEST(SpanRecorderTest, LaterPaintReplacesEarlierPaint) {
  const struct {
    const char* what;
    std::vector<PaintedRun> paints;  // in painting order
    std::vector<PaintedRun> row;
  } cases[] = {
      {"touching, one colour: joined", {{2, 5, kRed}, {5, 8, kRed}}, {{2, 8, kRed}}},
      {"touching, two colours: apart", {{0, 3, kRed}, {3, 6, kBlue}}, {{0, 3, kRed}, {3, 6, kBlue}}},
      {"touching on the right, two colours: apart", {{3, 6, kBlue}, {0, 3, kRed}}, {{0, 3, kRed}, {3, 6, kBlue}}},
      {"inside one of its colour: unchanged", {{0, 9, kRed}, {3, 6, kRed}}, {{0, 9, kRed}}},
      {"inside another: split it", {{2, 8, kRed}, {4, 6, kBlue}}, {{2, 4, kRed}, {4, 6, kBlue}, {6, 8, kRed}}},
      {"over another: replaces it", {{4, 6, kBlue}, {2, 8, kRed}}, {{2, 8, kRed}}},
      {"across two: cuts both", {{0, 3, kRed}, {6, 9, kGreen}, {2, 7, kBlue}},
       {{0, 2, kRed}, {2, 7, kBlue}, {7, 9, kGreen}}},
      {"gap filled in one colour: one run", {{0, 3, kRed}, {6, 9, kRed}, {3, 6, kRed}}, {{0, 9, kRed}}},
      {"before the first", {{5, 9, kRed}, {1, 3, kBlue}}, {{1, 3, kBlue}, {5, 9, kRed}}},
      {"same colour over a split run", {{0, 9, kRed}, {3, 6, kBlue}, {2, 7, kRed}}, {{0, 9, kRed}}},
  };
  for (const auto& c : cases) {
    SpanRecorder recorder(20, 5, 1);
    for (const PaintedRun& p : c.paints) recorder.Paint(5, p.x0, p.x1, p.color);
    EXPECT_EQ(RowOf(recorder, 5), c.row) << c.what;
  }
}

// Paint combined with what is under it, over keys A (blue) and B (green):
// each stretch gets the colour it would show over either key.
TEST(SpanRecorderTest, RasterOperationsAreRecordedOverBothKeys) {
  constexpr COLORREF kKeyA = 0xFF0000, kKeyB = 0x00FF00;
  struct Step {
    bool rop;  // false: a copy of `pen`
    int32_t x0, x1;
    Rop2 op;
    COLORREF pen;
  };
  const struct {
    const char* what;
    std::vector<Step> steps;
    std::vector<PaintedRun> row;
  } cases[] = {
      {"xor over nothing", {{true, 2, 6, Rop2::XorPen, kRed}}, {{2, 6, kRed ^ kKeyA, kRed ^ kKeyB}}},
      {"xor twice: unpainted again", {{true, 2, 6, Rop2::XorPen, kRed}, {true, 2, 6, Rop2::XorPen, kRed}}, {}},
      {"xor across a copy and a gap",
       {{false, 0, 4, Rop2::CopyPen, kBlue}, {true, 2, 8, Rop2::XorPen, kRed}},
       {{0, 2, kBlue}, {2, 4, kBlue ^ kRed}, {4, 8, kRed ^ kKeyA, kRed ^ kKeyB}}},
      {"not over paint and gap", {{false, 0, 3, Rop2::CopyPen, 0xFFFFFF}, {true, 0, 5, Rop2::Not, 0}},
       {{0, 3, 0}, {3, 5, ~kKeyA & 0xFFFFFF, ~kKeyB & 0xFFFFFF}}},
      {"and with white over a gap leaves the keys", {{true, 1, 9, Rop2::MaskPen, 0xFFFFFF}}, {}},
      {"touching stretches of one pair join",
       {{true, 0, 2, Rop2::XorPen, kRed}, {true, 2, 4, Rop2::XorPen, kRed}}, {{0, 4, kRed ^ kKeyA, kRed ^ kKeyB}}},
      {"a copy over a combined stretch replaces it",
       {{true, 0, 6, Rop2::XorPen, kRed}, {false, 2, 4, Rop2::CopyPen, kGreen}},
       {{0, 2, kRed ^ kKeyA, kRed ^ kKeyB}, {2, 4, kGreen}, {4, 6, kRed ^ kKeyA, kRed ^ kKeyB}}},
  };
  for (const auto& c : cases) {
    SpanRecorder recorder(20, 0, 1, kKeyA, kKeyB);
    for (const Step& s : c.steps) {
      if (s.rop) recorder.PaintRop(0, s.x0, s.x1, s.op, s.pen);
      else recorder.Paint(0, s.x0, s.x1, s.pen);
    }
    EXPECT_EQ(RowOf(recorder, 0), c.row) << c.what;
  }
  // Several runs at once leave the pixels between them as they were; a
  // blend of black at 128/255 keeps 127/255 of red and of either key.
  SpanRecorder recorder(20, 0, 1, kKeyA, kKeyB);
  recorder.Paint(0, 0, 10, kRed);
  const PixelOpRun ops[] = {{1, 3, PixelOp::FromRop2(Rop2::XorPen, kBlue)}, {5, 12, PixelOp::Blend(0, 128, -1)}};
  recorder.PaintOps(0, ops);
  EXPECT_EQ(RowOf(recorder, 0), (std::vector<PaintedRun>{{0, 1, kRed},
                                                         {1, 3, kRed ^ kBlue},
                                                         {3, 5, kRed},
                                                         {5, 10, RGB(127, 0, 0)},
                                                         {10, 12, RGB(0, 0, 127), RGB(0, 127, 0)}}));
}

// Pattern paint longer than a repeat is kept as one run of repeating
// colours, also when combined with paint under it; what the pixels show is
// worked column by column. The two-column pattern shows red on even
// columns and blue on odd ones.
TEST(SpanRecorderTest, PatternsAreKeptAsRepeatingColours) {
  constexpr COLORREF kYellow = kRed ^ kGreen, kCyan = kBlue ^ kGreen;
  const PixelOpRun redBlue[] = {{0, 1, PixelOp::Copy(kRed)}, {1, 2, PixelOp::Copy(kBlue)}};
  const auto pattern = [](int32_t x) { return x % 2 == 0 ? kRed : kBlue; };
  const auto columns = [](int32_t x0, int32_t x1, auto&& colorAt) {
    std::vector<PaintedRun> row;
    for (int32_t x = x0; x < x1; ++x) row.push_back(PaintedRun{x, x + 1, colorAt(x), 0});
    return row;
  };
  const auto cat = [](std::vector<PaintedRun> a, const std::vector<PaintedRun>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const struct {
    const char* what;
    void (*paint)(SpanRecorder&, std::span<const PixelOpRun>);
    size_t runs;  // as recorded
    std::vector<PaintedRun> shows;
  } cases[] = {
      {"a copy over nothing, starting on the second column",
       [](SpanRecorder& r, std::span<const PixelOpRun> p) { r.PaintRepeating(0, 1, 9, p, 2, 1); }, 1,
       columns(1, 9, pattern)},
      {"cut by a solid run: the pieces keep their columns",
       [](SpanRecorder& r, std::span<const PixelOpRun> p) {
         r.PaintRepeating(0, 0, 12, p, 2, 0);
         r.Paint(0, 3, 6, kGreen);
       },
       3, cat(cat(columns(0, 3, pattern), {{3, 6, kGreen, 0}}), columns(6, 12, pattern))},
      {"a three-column xor over it, shifted: both repeats in one run",
       [](SpanRecorder& r, std::span<const PixelOpRun> p) {
         r.PaintRepeating(0, 0, 20, p, 2, 0);
         const PixelOpRun xorSecond[] = {{1, 2, PixelOp::FromRop2(Rop2::XorPen, kGreen)}};
         r.PaintRepeating(0, 0, 20, xorSecond, 3, 2);  // column 1 falls on 2, 5, 8, ...
       },
       1, columns(0, 20, [&](int32_t x) { return x % 3 != 2 ? pattern(x) : x % 2 == 0 ? kYellow : kCyan; })},
      {"over a stretch no longer than a repeat: plain runs",
       [](SpanRecorder& r, std::span<const PixelOpRun>) {
         r.Paint(0, 0, 2, kGreen);
         const PixelOpRun xorFirst[] = {{0, 1, PixelOp::FromRop2(Rop2::XorPen, kRed)}};
         r.PaintRepeating(0, 0, 2, xorFirst, 2, 0);
       },
       2, {{0, 1, kYellow, 0}, {1, 2, kGreen, 0}}},
      {"operations over it: repeating where longer than a repeat, kept between them",
       [](SpanRecorder& r, std::span<const PixelOpRun> p) {
         r.PaintRepeating(0, 0, 16, p, 2, 0);
         const PixelOpRun ops[] = {{2, 10, PixelOp::FromRop2(Rop2::XorPen, kGreen)},
                                   {12, 14, PixelOp::FromRop2(Rop2::Not, 0)}};
         r.PaintOps(0, ops);
       },
       6, columns(0, 16, [&](int32_t x) {
         if (x >= 2 && x < 10) return pattern(x) ^ kGreen;
         if (x >= 12 && x < 14) return ~pattern(x) & 0xFFFFFF;
         return pattern(x);
       })},
  };
  for (const auto& c : cases) {
    SpanRecorder recorder(24, 0, 1);
    c.paint(recorder, std::span<const PixelOpRun>(redBlue));
    EXPECT_EQ(recorder.Row(0).size(), c.runs) << c.what;
    EXPECT_EQ(RowOf(recorder, 0), c.shows) << c.what;
  }
}

TEST(SpanRecorderTest, ManyRunsOutgrowTheirRoomAndKeepTheirOrder) {
  SpanRecorder recorder(400, 0, 3);
  for (int32_t i = 19; i >= 0; --i) recorder.Paint(1, 10 * i, 10 * i + 5, RGB(0, 0, static_cast<uint8_t>(i)));
  recorder.Paint(0, 0, 4, kRed);  // a row beside it keeps its own
  ASSERT_EQ(recorder.Row(1).size(), 20u);
  for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(RowOf(recorder, 1)[size_t(i)], (PaintedRun{10 * i, 10 * i + 5, RGB(0, 0, uint8_t(i)), 0}));
  recorder.Paint(1, 3, 397, kGreen);
  EXPECT_EQ(RowOf(recorder, 1), (std::vector<PaintedRun>{{0, 3, RGB(0, 0, 0)}, {3, 397, kGreen}}));
  EXPECT_EQ(RowOf(recorder, 0), (std::vector<PaintedRun>{{0, 4, kRed}}));
  EXPECT_TRUE(recorder.Row(2).empty());
}

TEST(SpanRecorderTest, PaintGoesInAsThePixelsWouldShowIt) {
  SpanRecorder recorder(16, 0, 4);
  BitmapObject surface(16, 10, recorder);  // holds rows 0-3 of ten
  RenderTarget target(&surface, Region(Rect{0, 0, 16, 10}));
  target.SetPaint(Paint::Solid(RGB(1, 2, 3) | 0x02000000, Rop2::NotCopyPen));  // flags dropped, colour inverted
  target.Span(0, -5, 4);
  target.SetPaint(Paint::Solid(kRed, Rop2::White));
  target.Span(1, 2, 3);
  target.Span(7, 0, 16);  // a row not held
  // A two-pixel pattern with its second pixel masked out.
  PatternImage pattern;
  pattern.width = 2;
  pattern.height = 1;
  pattern.pixels = {kBlue, kGreen};
  const uint8_t mask[] = {1, 0};
  target.SetPaint(Paint{0, Rop2::CopyPen, &pattern, mask, Point{0, 0}});
  target.Span(2, 1, 6);
  EXPECT_EQ(RowOf(recorder, 0), (std::vector<PaintedRun>{{0, 4, RGB(254, 253, 252)}}));
  EXPECT_EQ(RowOf(recorder, 1), (std::vector<PaintedRun>{{2, 3, RGB(255, 255, 255)}}));
  EXPECT_EQ(RowOf(recorder, 2), (std::vector<PaintedRun>{{2, 3, kBlue}, {4, 5, kBlue}}));
  EXPECT_FALSE(recorder.ReadsDestination());
  // Paint combined with what is under it: over both keys (by default black and white).
  target.SetPaint(Paint::Solid(kRed, Rop2::XorPen));
  target.Span(3, 0, 8);
  EXPECT_FALSE(recorder.ReadsDestination());
  EXPECT_EQ(RowOf(recorder, 3), (std::vector<PaintedRun>{{0, 8, kRed, kRed ^ 0xFFFFFF}}));
}

// Filled shapes are recorded cut to the clip's columns [2, 12), whether
// they lie within them, touch them or reach past: pixel x is covered where
// x0 <= x < x1.
TEST(SpanRecorderTest, FilledShapesAreCutToTheClipColumns) {
  struct Case {
    double x0, x1;
    std::vector<PaintedRun> row;
  };
  const Case cases[] = {
      {2, 11, {{2, 11, kRed}}},      // touching both limits from inside
      {2.3, 10.6, {{3, 11, kRed}}},  // inside
      {2, 12, {{2, 12, kRed}}},      // the right limit itself
      {2, 12.7, {{2, 12, kRed}}},    // past the right only
      {-3, 11.3, {{2, 12, kRed}}},   // past the left, its last pixel the clip's last
      {12, 20, {}},                  // right of the clip
  };
  for (const Case& c : cases) {
    SpanRecorder recorder(16, 0, 4);
    BitmapObject surface(16, 4, recorder);
    RenderTarget target(&surface, Region(Rect{2, 0, 12, 4}));
    target.SetPaint(Paint::Solid(kRed, Rop2::CopyPen));
    FillPolygons(target, {{{c.x0, 0}, {c.x1, 0}, {c.x1, 4}, {c.x0, 4}}}, FillMode::Alternate);
    for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(RowOf(recorder, y), c.row) << c.x0 << " " << c.x1 << " row " << y;
  }
}

// Block copies to or from a recording surface copy nothing and tell the
// recorder, so that the drawing is made again on real surfaces.
TEST(SpanRecorderTest, BlockCopiesMarkTheRecorder) {
  for (bool intoRecorder : {true, false}) {
    SpanRecorder recorder(8, 0, 8);
    BitmapObject recording(8, 8, recorder);
    HBITMAP pixels = CreateScreenBitmap(8, 8);
    DeviceContext recordingDc, pixelDc;
    recordingDc.Select(&recording);
    pixelDc.Select(pixels);
    DeviceContext& to = intoRecorder ? recordingDc : pixelDc;
    DeviceContext& from = intoRecorder ? pixelDc : recordingDc;
    EXPECT_FALSE(BitBlt(&to, 0, 0, 4, 4, &from, 0, 0, SRCCOPY)) << intoRecorder;
    EXPECT_TRUE(recorder.ReadsDestination()) << intoRecorder;
    EXPECT_TRUE(recorder.Row(0).empty());
    pixelDc.Select(nullptr);
    DeleteObject(pixels);
  }
}

// Regions of shapes worked by hand: a pixel is in when its corner point lies
// inside, left and top edges in, right and bottom edges out.
TEST(RegionFromContoursTest, PixelsWhosePointsLieInside) {
  const struct {
    const char* what;
    std::vector<Contour> contours;
    FillMode mode;
    Rect bounds;
    std::vector<Rect> rects;
  } cases[] = {
      {"rectangle", {{{1, 1}, {4, 1}, {4, 3}, {1, 3}}}, FillMode::Alternate, {0, 0, 10, 10}, {{1, 1, 4, 3}}},
      {"triangle", {{{0, 0}, {4, 0}, {0, 4}}}, FillMode::Alternate, {0, 0, 10, 10},
       {{0, 0, 4, 1}, {0, 1, 3, 2}, {0, 2, 2, 3}, {0, 3, 1, 4}}},
      {"ring, alternate",
       {{{0, 0}, {6, 0}, {6, 6}, {0, 6}}, {{2, 2}, {4, 2}, {4, 4}, {2, 4}}}, FillMode::Alternate, {0, 0, 10, 10},
       {{0, 0, 6, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {0, 4, 6, 6}}},
      {"ring, winding, both clockwise",
       {{{0, 0}, {6, 0}, {6, 6}, {0, 6}}, {{2, 2}, {4, 2}, {4, 4}, {2, 4}}}, FillMode::Winding, {0, 0, 10, 10},
       {{0, 0, 6, 6}}},
      {"cut to the bounds, away from the origin", {{{8, 18}, {30, 18}, {30, 40}, {8, 40}}}, FillMode::Alternate,
       {10, 20, 14, 23}, {{10, 20, 14, 23}}},
      {"outside the bounds", {{{0, 0}, {4, 0}, {4, 4}}}, FillMode::Alternate, {5, 5, 9, 9}, {}},
      // Crossings (2^31 - 1)(4 - y) / 4, too wide for the edge set-up's 64-bit products.
      {"triangle 2^31 - 1 wide", {{{0, 0}, {2147483647.0, 0}, {0, 4}}}, FillMode::Alternate, {0, 0, 2147483647, 8},
       {{0, 0, 2147483647, 1}, {0, 1, 1610612736, 2}, {0, 2, 1073741824, 3}, {0, 3, 536870912, 4}}},
  };
  for (const auto& c : cases) EXPECT_EQ(RegionFromContours(c.contours, c.mode, c.bounds).Rects(), c.rects) << c.what;
}
