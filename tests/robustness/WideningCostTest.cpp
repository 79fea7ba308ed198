// Widening a path again and again multiplies its pieces and how deeply they
// overlap; what a picture that does so costs stays within a budget, counted
// in pages first touched and in the pieces' overlap. Also frames of regions
// under turning transforms with strokes and rectangles at the ends of the
// coordinate range.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <climits>

#include "../graphics/EmfTestSupport.h"
#include "InputBuilders.h"
#include <orvane/gdi/detail/Strokers.h>

using namespace robust;
using namespace emftest;
namespace emf = orvane::emf;
namespace gdi = orvane::gdi;

namespace {

// The square [20,80)² in a 100 x 100 picture, made a path and widened
// `widenings` times by a 4-pixel geometric pen with round joins, then
// filled by the winding rule with a red brush of `brushStyle` (by the
// alternate rule, bands of odd and even counts of figures would take
// turns). Each widening strokes every figure's outline, which grows the
// band about the square's edge by 2 pixels each side: after k widenings the
// fill covers [20-2k, 80+2k)² less [20+2k, 80-2k)², but for the places near
// the corners where the figures overlap themselves inside their joins.
std::vector<uint8_t> WidenedSquare(int widenings, uint32_t brushStyle) {
  auto w = Writer(100, 100);
  w.SetPolyFillMode(emf::WINDING);
  w.SelectObject(w.ExtCreatePen(emf::PS_GEOMETRIC | emf::PS_JOIN_ROUND | emf::PS_ENDCAP_FLAT, 4, C(kBlue)));
  w.SelectObject(w.CreateBrushIndirect(brushStyle, C(kRed)));
  w.BeginPath();
  w.Rectangle({20, 20, 80, 80});
  w.EndPath();
  for (int i = 0; i < widenings; ++i) w.WidenPath();
  w.FillPath();
  return w.Finish();
}

bool InBand(int x, int y, int k) {
  const auto inside = [&](int lo, int hi) { return x >= lo && x < hi && y >= lo && y < hi; };
  return inside(20 - 2 * k, 80 + 2 * k) && !inside(20 + 2 * k, 80 - 2 * k);
}

bool NearCorner(int x, int y, int k) {
  const auto near = [&](int c) { return std::abs(c - 20) <= 2 * k + 1 || std::abs(c - 80) <= 2 * k + 1; };
  return near(x) && near(y);
}

// Sixteen widenings (the picture is 432 bytes) stop where the budget runs
// out, whole: the fill is the band of some number of widenings, never a
// part of one. Without a budget, the pieces of sixteen widenings touch
// gigabytes, and filling six takes seconds, each further one some fifty
// times longer. Two widenings are well within it.
TEST(WideningCostTest, RepeatedWideningStopsWithinItsBudget) {
  const struct {
    int widenings;
    uint32_t brush;
  } cases[] = {{16, emf::BS_NULL}, {16, emf::BS_SOLID}, {2, emf::BS_SOLID}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.widenings << " widenings, brush style " << c.brush);
    const std::vector<uint8_t> bytes = WidenedSquare(c.widenings, c.brush);
    if (c.widenings == 16) {
      EXPECT_EQ(bytes.size(), 432u);
    }
    Canvas canvas(100, 100);
    const int64_t before = MinorFaults(RUSAGE_SELF);
    canvas.Play(bytes);
    ASSERT_LT(MinorFaults(RUSAGE_SELF) - before, kFewFaults);
    if (c.brush == emf::BS_NULL) {
      EXPECT_EQ(canvas.Count(kBackground), 100 * 100);
      continue;
    }
    // The band's outer edge on row 50 tells how many widenings were made.
    const int k = (20 - canvas.Span(50, kRed).first) / 2;
    if (c.widenings == 2) {
      EXPECT_EQ(k, 2);
    }
    EXPECT_GE(k, 2);
    EXPECT_LT(k, 16);
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) wrong += !NearCorner(x, y, k) && (canvas.At(x, y) == kRed) != InBand(x, y, k);
    EXPECT_EQ(wrong, 0) << "band of " << k;
  }
}

// The overlap of a budget counts the pairs of pieces that reach into the
// same cell of the 64 x 64 grid over the clip (here 10-pixel cells). A
// closed 4-pixel square widened by a 2-pixel miter pen makes 8 pieces (4
// sides, 4 corners) within [2,8)² of its cell: 28 pairs. 512 such squares
// in cells of their own make 512 x 28 = 14,336 pairs; at one place, the
// 4,096 pieces make 4,096 x 4,095 / 2 pairs.
TEST(WideningCostTest, OverlapCountsThePiecesThatMeet) {
  gdi::StrokeStyle pen;
  pen.cosmetic = false;
  pen.width = 2;
  pen.join = gdi::PenJoin::Miter;
  const gdi::Rect clip{0, 0, 640, 640};
  // The pieces made within a budget of `overlap` pairs, or -1 when it ran out.
  const auto pieces = [&](bool spread, double overlap) {
    gdi::OutlineBudget budget(size_t{1} << 20, 1e12, overlap, clip);
    std::vector<gdi::PointD> points;
    std::vector<uint32_t> counts;
    int made = 0;
    for (int i = 0; i < 512; ++i) {
      const double x = spread ? 10.0 * (i % 64) : 0, y = spread ? 10.0 * (i / 64) : 0;
      gdi::WidePolylineOutline({{x + 3, y + 3}, {x + 7, y + 3}, {x + 7, y + 7}, {x + 3, y + 7}}, true, pen, clip,
                               points, counts, &budget);
      made += static_cast<int>(counts.size());
    }
    return budget.Exceeded() ? -1 : made;
  };
  EXPECT_EQ(pieces(true, 14336), 4096);
  EXPECT_EQ(pieces(true, 14335), -1);
  EXPECT_EQ(pieces(false, 4096.0 * 4095 / 2), 4096);
  EXPECT_EQ(pieces(false, 1e6), -1);
  // The points: an outline stops at the first piece past them.
  gdi::OutlineBudget few(20);
  std::vector<gdi::PointD> points;
  std::vector<uint32_t> counts;
  gdi::WidePolylineOutline({{3, 3}, {7, 3}, {7, 7}, {3, 7}}, true, pen, clip, points, counts, &few);
  EXPECT_TRUE(few.Exceeded());
  EXPECT_EQ(points.size(), 20u);  // five 4-point pieces
}

// FrameRgn under a quarter turn, (x, y) -> (8 - y, x): the frame of
// [1,6) x [1,5) lands on columns 3..6 and rows 1..5. A stroke wider or
// higher than the region leaves no hole: the whole region is painted. A
// second rectangle at the top of the coordinate range lands far off the
// canvas; moving it by the stroke must not leave that range.
TEST(WideningCostTest, TurnedFramesOfHugeStrokesAndFarRectangles) {
  const std::vector<std::string> ring = {"........", "...####.", "...#..#.", "...#..#.",
                                         "...#..#.", "...####.", "........", "........"};
  const std::vector<std::string> whole = {"........", "...####.", "...####.", "...####.",
                                          "...####.", "...####.", "........", "........"};
  const struct {
    int32_t width, height;
    const std::vector<std::string>& rows;
  } cases[] = {{1, 1, ring},  {INT_MAX, 1, whole}, {1, INT_MAX, whole}, {INT_MIN, INT_MIN, whole},
               {-1, -1, ring}, {INT_MAX, INT_MAX, whole}};
  for (const auto& c : cases) {
    auto w = Writer(8, 8);
    const uint32_t red = w.CreateBrushIndirect(emf::BS_SOLID, C(kRed));
    w.SetWorldTransform({0, 1, -1, 0, 8, 0});
    w.FrameRgn(red, c.width, c.height, {{1, 1, 6, 5}, {INT_MAX - 10, 1, INT_MAX, 5}});
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Rows(kRed), c.rows) << c.width << " x " << c.height;
  }
}

}  // namespace
