#pragma once
// The two halves of StrokePolyline: one-pixel GDI lines for cosmetic pens and
// filled outlines for geometric (wide) pens.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <orvane/gdi/detail/Rasterizer.h>

namespace orvane::gdi {

// Lines between the points rounded to whole pixels, each without its last
// pixel; `dashes` (pixels) run on from line to line. Gap pixels take
// `gapPaint` when given; the target's paint is restored afterwards.
void StrokeCosmeticPolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                            const std::vector<double>& dashes, const Paint* gapPaint);

// What the pieces of widened outlines may cost, shared by all outlines made
// against it. Filled together, pieces cost their points, the rows each spans
// (two edges stepped a row) and the pixels each covers, and the pairs of
// pieces that overlap (crossing edges the fill must sort past each other).
// Cover is counted within `clip`, a piece's rows plus the lesser of its area
// and its clipped bounding box; overlap as the pairs of pieces that reach
// into the same cell of a grid of at most 64 x 64 cells over `clip`. The
// first piece that does not fit exhausts the budget for good.
class OutlineBudget {
 public:
  static constexpr int kGrid = 64;

  // Only the points are limited.
  explicit OutlineBudget(size_t points) : points_(points) {}
  OutlineBudget(size_t points, double cover, double overlap, const Rect& clip);

  bool Exceeded() const { return exceeded_; }
  // Charges the closed convex piece `p` (n points, `area` its area); false
  // when it goes beyond the budget.
  bool Take(const PointD* p, size_t n, double area);

 private:
  size_t points_;
  bool limited_ = false;
  bool exceeded_ = false;
  double cover_ = 0, overlap_ = 0;
  double left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  int columns_ = 0, rows_ = 0;
  double cellWidth_ = 1, cellHeight_ = 1;
  std::vector<uint32_t> cells_;  // pieces reaching into each cell so far
  std::vector<double> rowLeft_, rowRight_;
};

// How a widened polyline's outline is laid out. Pieces: a convex piece per
// segment, join and cap, all turning the same way, so that their union is
// what the non-zero winding rule fills (strokes). Figures: what a widened
// path holds, one figure per open line or dash (along one side and back
// along the other) and two rings per closed line; they overlap themselves
// inside the joins, so that the alternate rule leaves those places out.
enum class OutlineForm { Pieces, Figures };

// The outline of a widened polyline (joins, caps, dashes); pieces or figures
// wholly outside `clip` are left out. With a budget, charged by the pieces
// in either form, the outline stops at the first piece that does not fit.
void WidePolylineOutline(const std::vector<PointD>& points, bool closed, const StrokeStyle& style, const Rect& clip,
                         std::vector<PointD>& outlinePoints, std::vector<uint32_t>& outlineCounts,
                         OutlineBudget* budget = nullptr, OutlineForm form = OutlineForm::Pieces);

// The widened polyline (joins, caps, dashes) filled in one pass.
void StrokeWidePolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                        const StrokeStyle& style);

}  // namespace orvane::gdi
