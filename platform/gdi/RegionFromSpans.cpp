// Regions made from the spans of a fill: the contours are filled into a
// span recorder and its rows read as bands, so the cost follows the number
// of spans and no pixel of the area is touched.

#include <algorithm>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/detail/Rasterizer.h>
#include <orvane/gdi/detail/SpanRecorder.h>

namespace orvane::gdi {

Region RegionFromRecordedRows(const SpanRecorder& rows, Point offset) {
  // Rows with the same runs form one band, as the region's canonical form has them.
  std::vector<Rect> rects;
  std::span<const PaintedRun> bandRuns;  // of the band above; empty when there is none
  size_t bandStart = 0;
  const auto same = [](std::span<const PaintedRun> a, std::span<const PaintedRun> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const PaintedRun& p, const PaintedRun& q) { return p.x0 == q.x0 && p.x1 == q.x1; });
  };
  for (int32_t y = rows.Top(); y < rows.Top() + rows.Rows(); ++y) {
    const std::span<const PaintedRun> runs = rows.Row(y);
    if (!bandRuns.empty() && !runs.empty() && same(runs, bandRuns)) {
      for (size_t i = bandStart; i < rects.size(); ++i) ++rects[i].bottom;
      continue;
    }
    bandRuns = runs;
    bandStart = rects.size();
    for (const PaintedRun& run : runs)
      rects.push_back(Rect{run.x0 + offset.x, y + offset.y, run.x1 + offset.x, y + 1 + offset.y});
  }
  return Region::FromCanonicalRects(std::move(rects));
}

Region RegionFromContours(const std::vector<Contour>& contours, FillMode mode, const Rect& bounds) {
  if (bounds.IsEmpty() || contours.empty()) return Region();
  // Filled as onto a surface of the bounds' size, so the rasteriser lays the
  // shape out as it does for drawing.
  SpanRecorder recorder(bounds.Width(), 0, bounds.Height());
  BitmapObject surface(bounds.Width(), bounds.Height(), recorder);
  std::vector<Contour> moved = contours;
  for (Contour& c : moved)
    for (PointD& p : c) p = PointD{p.x - bounds.left, p.y - bounds.top};
  RenderTarget target(&surface, Region(surface.WholeBounds()));
  target.SetPaint(Paint::Solid(RGB(255, 255, 255)));
  FillPolygons(target, moved, mode);
  return RegionFromRecordedRows(recorder, Point{bounds.left, bounds.top});
}

}  // namespace orvane::gdi
