#pragma once
// The two halves of StrokePolyline: one-pixel GDI lines for cosmetic pens and
// filled outlines for geometric (wide) pens.

#include <vector>

#include <orvane/gdi/Rasterizer.h>

namespace orvane::gdi {

// Lines between the points rounded to whole pixels, each without its last
// pixel; `dashes` (pixels) run on from line to line. Gap pixels take
// `gapPaint` when given; the target's paint is restored afterwards.
void StrokeCosmeticPolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                            const std::vector<double>& dashes, const Paint* gapPaint);

// The widened polyline (joins, caps, dashes) filled in one pass.
void StrokeWidePolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                        const StrokeStyle& style);

}  // namespace orvane::gdi
