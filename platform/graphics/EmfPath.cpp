#include <orvane/graphics/detail/EmfPath.h>

#include <algorithm>

namespace orvane::emf {

void EmfPath::Begin() {
  figures_.clear();
  points_ = 0;
  recording_ = true;
  ready_ = widened_ = wideningStopped_ = false;
  figureOpen_ = false;
}

void EmfPath::End() {
  if (!recording_) return;
  recording_ = false;
  ready_ = true;
  figureOpen_ = false;
}

void EmfPath::Abort() {
  figures_.clear();
  points_ = 0;
  recording_ = ready_ = figureOpen_ = widened_ = wideningStopped_ = false;
}

void EmfPath::ReplaceWithWidened(std::vector<Figure> figures) {
  Abort();
  for (Figure& f : figures) {
    if (!Room(f.points.size())) break;
    points_ += f.points.size();
    figures_.push_back(std::move(f));
  }
  ready_ = widened_ = true;
}

EmfPath::Figure& EmfPath::Current(gdi::PointD from) {
  if (!figureOpen_ || figures_.empty()) {
    Figure figure;
    figure.points.swap(spare_);
    figure.points.clear();
    figure.points.push_back(from);
    figures_.push_back(std::move(figure));
    ++points_;
    figureOpen_ = true;
  }
  return figures_.back();
}

void EmfPath::LineTo(gdi::PointD from, gdi::PointD to) {
  if (!recording_ || !Room(2)) return;
  Current(from).points.push_back(to);
  ++points_;
}

void EmfPath::BezierTo(gdi::PointD from, gdi::PointD c1, gdi::PointD c2, gdi::PointD to) {
  if (!recording_ || !Room(2)) return;
  Figure& figure = Current(from);
  const gdi::PointD start = figure.points.back();
  const size_t before = figure.points.size();
  gdi::FlattenBezier(start, c1, c2, to, figure.points);
  points_ += figure.points.size() - before;
  if (points_ > kMaxPoints) {  // drop what does not fit, keep the end point
    const size_t excess = points_ - kMaxPoints;
    figure.points.resize(figure.points.size() - std::min(excess, figure.points.size() - before));
    figure.points.push_back(to);
    points_ = kMaxPoints;
  }
}

void EmfPath::AddFigure(const std::vector<gdi::PointD>& points, bool closed) {
  if (!recording_ || points.empty() || !Room(points.size())) return;
  figures_.push_back(Figure{points, closed});
  points_ += points.size();
  figureOpen_ = false;  // the current position is not part of a whole figure
}

void EmfPath::CloseFigure() {
  if (!recording_ || !figureOpen_ || figures_.empty()) return;
  figures_.back().closed = true;
  figureOpen_ = false;
}

void EmfPath::GiveBack(std::vector<gdi::PointD>&& points) {
  // Room of up to 64 Ki points is kept, more is let go.
  constexpr size_t kMostKept = size_t{1} << 16;
  if (points.capacity() > spare_.capacity() && points.capacity() <= kMostKept) spare_.swap(points);
}

void EmfPath::GiveBack(std::vector<Figure>&& figures) {
  for (Figure& f : figures) GiveBack(std::move(f.points));
  figures.clear();
  if (figures_.empty() && figures.capacity() > figures_.capacity()) figures_.swap(figures);
}

std::vector<EmfPath::Figure> EmfPath::Take() {
  std::vector<Figure> out = std::move(figures_);
  Abort();
  return out;
}

}  // namespace orvane::emf
