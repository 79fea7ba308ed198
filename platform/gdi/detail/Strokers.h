#pragma once
// The two halves of StrokePolyline: one-pixel GDI lines for cosmetic pens and
// filled outlines for geometric (wide) pens.

#include <vector>

#include <orvane/gdi/detail/Rasterizer.h>

namespace orvane::gdi {

// Lines between the points rounded to whole pixels, each without its last
// pixel; `dashes` (pixels) run on from line to line. Gap pixels take
// `gapPaint` when given; the target's paint is restored afterwards.
void StrokeCosmeticPolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                            const std::vector<double>& dashes, const Paint* gapPaint);

// The pieces of a widened polyline (segments, joins, caps, dashes), all
// turning the same way, so that their union is what the non-zero winding
// rule fills; pieces wholly outside `clip` are left out.
void WidePolylineOutline(const std::vector<PointD>& points, bool closed, const StrokeStyle& style, const Rect& clip,
                         std::vector<PointD>& outlinePoints, std::vector<uint32_t>& outlineCounts);

// The widened polyline (joins, caps, dashes) filled in one pass.
void StrokeWidePolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                        const StrokeStyle& style);

}  // namespace orvane::gdi
