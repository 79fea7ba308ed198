// Path records: the bracket (BeginPath, EndPath, AbortPath, CloseFigure) and
// the records that use a finished path: fill, stroke, both, or make it the
// clip region. A path still open, or none at all, makes them do nothing, as
// GDI refuses them. Curves were flattened as they entered the path, so
// FlattenPath has nothing left to do; WidenPath is not carried out.

#include <orvane/graphics/EmfRecordPlayer.h>
#include <orvane/graphics/EmfRecords.h>

namespace orvane::emf {

bool EmfRecordPlayer::PlayPathRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_BEGINPATH: path_.Begin(); return true;
    case EMR_ENDPATH: path_.End(); return true;
    case EMR_CLOSEFIGURE: path_.CloseFigure(); return true;
    case EMR_ABORTPATH: path_.Abort(); return true;
    case EMR_FLATTENPATH:
    case EMR_WIDENPATH: return true;
    case EMR_FILLPATH:
    case EMR_STROKEPATH:
    case EMR_STROKEANDFILLPATH: {
      if (!path_.Ready()) return true;
      const std::vector<EmfPath::Figure> figures = path_.Take();
      if (r.Type() != EMR_STROKEPATH) {
        std::vector<gdi::Contour> contours;
        for (const EmfPath::Figure& f : figures)
          if (f.points.size() >= 2) contours.push_back(f.points);
        Fill(contours);
      }
      if (r.Type() != EMR_FILLPATH)
        for (const EmfPath::Figure& f : figures) Stroke(f.points, f.closed);
      return true;
    }
    case EMR_SELECTCLIPPATH: {
      const uint32_t mode = r.U32();
      if (!r.Ok() || mode < RGN_AND || mode > RGN_COPY || !path_.Ready()) return true;
      std::vector<gdi::Contour> contours;
      for (EmfPath::Figure& f : path_.Take())
        if (f.points.size() >= 2) contours.push_back(std::move(f.points));
      state_.CombineClip(gdi::RegionFromContours(contours, state_.Dc().fillMode, state_.Universe().Bounds()),
                         RegionOpForMode(mode));
      return true;
    }
    default: return false;
  }
}

}  // namespace orvane::emf
