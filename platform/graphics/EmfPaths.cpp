// Path records: the bracket (BeginPath, EndPath, AbortPath, CloseFigure) and
// the records that use a finished path: fill, stroke, both, or make it the
// clip region. A path still open, or none at all, makes them do nothing, as
// GDI refuses them. Curves were flattened as they entered the path, so
// FlattenPath has nothing left to do. WidenPath replaces the path by the
// outline the current pen would paint, when that pen is geometric and wider
// than a pixel, within a budget of what filling the outline may cost.

#include <orvane/gdi/detail/Strokers.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

bool EmfRecordPlayer::PlayPathRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_BEGINPATH: path_.Begin(); return true;
    case EMR_ENDPATH: path_.End(); return true;
    case EMR_CLOSEFIGURE: path_.CloseFigure(); return true;
    case EMR_ABORTPATH: path_.Abort(); return true;
    case EMR_FLATTENPATH: return true;
    case EMR_WIDENPATH: WidenPath(); return true;
    case EMR_FILLPATH:
    case EMR_STROKEPATH:
    case EMR_STROKEANDFILLPATH: {
      if (!path_.Ready()) return true;
      const gdi::FillMode mode = state_.Dc().fillMode;
      std::vector<EmfPath::Figure> figures = path_.Take();
      if (r.Type() != EMR_STROKEPATH) {
        // A path only filled gives its points up; one stroked too keeps them.
        const bool keep = r.Type() == EMR_STROKEANDFILLPATH;
        std::vector<gdi::Contour>& contours = pathContours_;
        contours.clear();
        for (EmfPath::Figure& f : figures)
          if (f.points.size() >= 2) contours.push_back(keep ? f.points : std::move(f.points));
        Fill(contours, mode);
        for (gdi::Contour& c : contours) path_.GiveBack(std::move(c));
        contours.clear();
      }
      if (r.Type() != EMR_FILLPATH)
        for (const EmfPath::Figure& f : figures) Stroke(f.points, f.closed);
      path_.GiveBack(std::move(figures));
      return true;
    }
    case EMR_SELECTCLIPPATH: {
      const uint32_t mode = r.U32();
      if (!r.Ok() || mode < RGN_AND || mode > RGN_COPY || !path_.Ready()) return true;
      const gdi::FillMode fillMode = state_.Dc().fillMode;
      std::vector<gdi::Contour> contours;
      for (EmfPath::Figure& f : path_.Take())
        if (f.points.size() >= 2) contours.push_back(std::move(f.points));
      state_.CombineClip(gdi::RegionFromContours(contours, fillMode, state_.Universe().Bounds()),
                         RegionOpForMode(mode));
      return true;
    }
    default: return false;
  }
}

void EmfRecordPlayer::WidenPath() {
  if (!path_.Ready() || path_.WideningStopped() || state_.Dc().pen.style == gdi::PenStyle::Null) return;
  const gdi::StrokeStyle style = PenStyle();
  if (style.cosmetic) return;
  // Every widening multiplies the pieces, and how deeply they overlap: a
  // small figure widened a dozen times would cost the fill more than any
  // file could carry. A first widening keeps to the points a path may hold
  // (pieces past them are left out); filled, it costs what stroking the
  // path costs. Widening an outline again must also keep within what wide
  // dashes may cost: its pieces may cover at most 16 destination areas (and
  // a little). Their overlap (the pairs of pieces that meet in a cell of a
  // grid over the destination, which bounds how often the fill sorts
  // crossing edges past each other) does not change with the scale the
  // picture is drawn at, so its limit is a fixed number of pairs. An
  // outline that would go beyond stays as it was, and later widenings leave
  // it alone rather than try again.
  constexpr double kMaxOverlap = double{1 << 24};
  const bool again = path_.Widened();
  const gdi::Rect area = state_.Universe().Bounds();
  const double cover = 16.0 * (double(area.Width()) * area.Height() + 1024);
  gdi::OutlineBudget budget = again ? gdi::OutlineBudget(EmfPath::kMaxPoints, cover, kMaxOverlap, area)
                                    : gdi::OutlineBudget(EmfPath::kMaxPoints);
  std::vector<EmfPath::Figure> figures = path_.Take();
  std::vector<EmfPath::Figure> widened;
  std::vector<gdi::PointD> points;
  std::vector<uint32_t> counts;
  for (const EmfPath::Figure& f : figures) {
    gdi::StrokeStyle figureStyle = style;
    LimitDashCost(figureStyle, f.points);
    gdi::WidePolylineOutline(f.points, f.closed, figureStyle, area, points, counts, &budget,
                              gdi::OutlineForm::Figures);
    size_t at = 0;
    for (uint32_t n : counts) {
      widened.push_back(EmfPath::Figure{{points.begin() + static_cast<ptrdiff_t>(at),
                                         points.begin() + static_cast<ptrdiff_t>(at + n)},
                                        true});
      at += n;
    }
    if (budget.Exceeded()) break;
  }
  if (again && budget.Exceeded()) path_.StopWidening(std::move(figures));
  else path_.ReplaceWithWidened(std::move(widened));
}

}  // namespace orvane::emf
