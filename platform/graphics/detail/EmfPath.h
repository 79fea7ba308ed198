#pragma once
// The path of metafile playback, in device pixels: figures of points
// (curves flattened as they are added), each closed or open. Between
// BeginPath and EndPath the drawing records add to it; afterwards the fill,
// stroke and clip records consume it. The number of points is capped, so a
// file cannot grow a path without bound.

#include <cstddef>
#include <vector>

#include <orvane/gdi/detail/Rasterizer.h>

namespace orvane::emf {

class EmfPath {
 public:
  struct Figure {
    std::vector<gdi::PointD> points;
    bool closed = false;
  };

  static constexpr size_t kMaxPoints = size_t{1} << 21;

  bool Recording() const { return recording_; }
  // A finished path (EndPath seen) ready for use.
  bool Ready() const { return ready_; }

  void Begin();  // discards any previous path
  void End();
  void Abort();

  // Ends the current figure; the next segment starts a new one.
  void MoveTo() { figureOpen_ = false; }
  // Segments from the current point `from` (a new figure starts there when none is open).
  void LineTo(gdi::PointD from, gdi::PointD to);
  void BezierTo(gdi::PointD from, gdi::PointD c1, gdi::PointD c2, gdi::PointD to);
  // Whole figures (polygons, shapes: closed; polylines: open).
  void AddFigure(const std::vector<gdi::PointD>& points, bool closed);
  void CloseFigure();

  // The figures of a finished path; the path is emptied.
  std::vector<Figure> Take();
  // Room for points that a taken figure is done with, handed to the next
  // figure begun, so a figure grows in room grown before.
  void GiveBack(std::vector<gdi::PointD>&& points);
  // The same for taken figures, whose list is kept as room for the next
  // path's figures.
  void GiveBack(std::vector<Figure>&& figures);
  // Makes closed `figures` the finished path, as widening does: pieces that
  // overlap, filled and clipped by the non-zero winding rule whatever the
  // fill mode. Figures past the point cap are left out.
  void ReplaceWithWidened(std::vector<Figure> figures);
  bool Widened() const { return widened_; }
  // Puts back a widened path whose next widening went beyond its budget;
  // it is not widened again.
  void StopWidening(std::vector<Figure> figures) {
    ReplaceWithWidened(std::move(figures));
    wideningStopped_ = true;
  }
  bool WideningStopped() const { return wideningStopped_; }

 private:
  bool Room(size_t more) const { return points_ + more <= kMaxPoints; }
  Figure& Current(gdi::PointD from);

  bool recording_ = false;
  bool ready_ = false;
  bool figureOpen_ = false;
  bool widened_ = false;
  bool wideningStopped_ = false;
  size_t points_ = 0;
  std::vector<Figure> figures_;
  std::vector<gdi::PointD> spare_;
};

}  // namespace orvane::emf
