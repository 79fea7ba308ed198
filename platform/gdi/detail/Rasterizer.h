#pragma once
// The aliased rasteriser: polygons, Bézier curves, lines and pen strokes in
// device space, turned into spans of a RenderTarget. Nothing is ever
// anti-aliased: a pixel takes the paint or keeps its own colour.
//
// Fill rule (as GDI's): pixel (i, j) is covered when the point (i, j)
// itself lies inside the shape; left and top edges are inside, right and
// bottom edges outside, horizontal edges are ignored. Coordinates are
// doubles in device pixels; they are clipped to the target's drawable
// bounds before rasterising, so huge coordinates cost no more than the
// target's area.

#include <cstdint>
#include <span>
#include <vector>

#include <orvane/gdi/DrawingObjects.h>
#include <orvane/gdi/detail/SpanPaint.h>

namespace orvane::gdi {

struct PointD {
  double x = 0;
  double y = 0;
  friend constexpr bool operator==(PointD, PointD) = default;
};

using Contour = std::vector<PointD>;  // closed implicitly (last point joins the first)

// Fills a set of contours with the target's current paint by a fill mode.
void FillPolygons(RenderTarget& target, const std::vector<Contour>& contours, FillMode mode);

// The same for contours stored one after another, `counts[i]` points each
// (as polypolygon records hold them). Counts beyond the points given are
// ignored; contours of fewer than 3 points add nothing.
void FillPolyPolygon(RenderTarget& target, std::span<const PointD> points, std::span<const uint32_t> counts,
                     FillMode mode);

// The pixels covered by contours under a fill mode, cut to `bounds`, as a
// region made from the fill's spans (the cost follows the spans, not the
// area of the bounds).
Region RegionFromContours(const std::vector<Contour>& contours, FillMode mode, const Rect& bounds);
// The runs held by a recorder, moved by `offset`, as a region.
Region RegionFromRecordedRows(const SpanRecorder& rows, Point offset);

// Appends the flattened cubic Bézier p0 p1 p2 p3 to `out`, without p0 and
// ending exactly at p3; the polyline stays within a small fraction of a
// device pixel of the true curve.
void FlattenBezier(PointD p0, PointD p1, PointD p2, PointD p3, std::vector<PointD>& out);

// How a pen strokes, in device units.
struct StrokeStyle {
  bool cosmetic = true;          // one device pixel wide whatever the scale
  double width = 1;              // geometric pens: the width in device pixels
  std::vector<double> dashes;    // on, off, on, ... in device pixels; empty for solid
  PenEndCap endCap = PenEndCap::Round;
  PenJoin join = PenJoin::Round;
  double miterLimit = 10;
  bool insideFrame = false;
  // Cosmetic dashed pens in opaque background mode: the paint of the gap
  // pixels (nullptr leaves the gaps alone). The caller owns it.
  const Paint* gapPaint = nullptr;
};

// The stroke style of a pen whose width is already in device pixels
// (`deviceWidth`): width 0 or 1 are cosmetic.
StrokeStyle StrokeStyleFor(const Pen& pen, double deviceWidth);

// Strokes a polyline (closed: the last point joins the first) with the
// target's current paint. Cosmetic pens draw GDI lines between the points
// rounded to whole pixels, without the last pixel of each line, with dash
// patterns running on from segment to segment; geometric pens fill the
// outline of the widened path (joins, caps, dashes) in one pass, so no
// pixel is painted twice (raster operations such as XOR stay correct).
void StrokePolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed, const StrokeStyle& style);

// Outlines of GDI's shapes, in device space, for a bounding box
// (left, top, right, bottom) given as GDI takes it (right and bottom outside).
Contour EllipseContour(double left, double top, double right, double bottom);
Contour RoundRectContour(double left, double top, double right, double bottom, double cornerWidth, double cornerHeight);
// The arc of the ellipse in the box from the ray towards `start` to the ray
// towards `end`, counter-clockwise unless `clockwise`.
std::vector<PointD> ArcPoints(double left, double top, double right, double bottom, PointD start, PointD end,
                              bool clockwise);

}  // namespace orvane::gdi
