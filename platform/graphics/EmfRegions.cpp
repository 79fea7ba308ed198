// Region records: FillRgn with a brush from the object table, PaintRgn with
// the selected brush, InvertRgn, FrameRgn. Their region data holds
// rectangles in logical units; each is mapped through the transform (a
// turned rectangle becomes a parallelogram) and all are filled in one
// winding pass, so a pixel under overlapping rectangles is painted once.
// FrameRgn paints the region less the part of it that stays inside when the
// region is moved by the stroke's width left and right and by its height up
// and down: in device pixels under transforms that keep rectangles upright,
// else in logical units, the frame's rectangles then mapped like the region's;
// either way the stroke is at most 4096 device pixels.
// Nothing is drawn inside a path bracket.

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include <orvane/gdi/detail/BrushPaint.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

constexpr uint32_t kRegionHeaderSize = 32;
constexpr uint32_t kStockBrushes = 6;  // WHITE_BRUSH to NULL_BRUSH
constexpr double kMaxFrameStroke = 4096;  // device pixels

// `r` widened by w across and h down on each side, within the 32-bit range.
gdi::Rect Widened(const gdi::Rect& r, int32_t w, int32_t h) {
  return gdi::Rect{gdi::ClampToInt32(int64_t{r.left} - w), gdi::ClampToInt32(int64_t{r.top} - h),
                   gdi::ClampToInt32(int64_t{r.right} + w), gdi::ClampToInt32(int64_t{r.bottom} + h)};
}

// The logical units whose cells can land on `device` under `toDevice`, with
// two device pixels to spare for the rounding of device points; all of them
// when the transform cannot be undone.
gdi::Rect LogicalBoxOver(const Affine& toDevice, const gdi::Rect& device) {
  constexpr gdi::Rect kAll{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  const double det = toDevice.Determinant();
  if (!std::isfinite(det) || det == 0) return kAll;
  double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (const double x : {double(device.left) - 2, double(device.right) + 2})
    for (const double y : {double(device.top) - 2, double(device.bottom) + 2}) {
      const double dx = x - toDevice.e, dy = y - toDevice.f;
      const double lx = (toDevice.d * dx - toDevice.c * dy) / det, ly = (toDevice.a * dy - toDevice.b * dx) / det;
      minX = std::min(minX, lx);
      maxX = std::max(maxX, lx);
      minY = std::min(minY, ly);
      maxY = std::max(maxY, ly);
    }
  if (!std::isfinite(minX) || !std::isfinite(minY) || !std::isfinite(maxX) || !std::isfinite(maxY)) return kAll;
  const auto edge = [](double v) { return static_cast<int32_t>(std::clamp(v, double(INT32_MIN), double(INT32_MAX))); };
  return gdi::Rect{edge(std::floor(minX) - 1), edge(std::floor(minY) - 1), edge(std::ceil(maxX) + 1),
                   edge(std::ceil(maxY) + 1)};
}

// The region of rectangles cut to `box`.
gdi::Region RegionWithin(const std::vector<gdi::Rect>& rects, const gdi::Rect& box) {
  std::vector<gdi::Region> parts;
  parts.reserve(rects.size());
  for (const gdi::Rect& r : rects) {
    const gdi::Rect cut = r.Intersect(box);
    if (!cut.IsEmpty()) parts.emplace_back(cut);
  }
  return UnionOfRegions(std::move(parts));
}

// The region of device contours that are upright rectangles, cut to `box`.
gdi::Region UprightRegion(const std::vector<gdi::Contour>& contours, const gdi::Rect& box) {
  std::vector<gdi::Rect> rects;
  rects.reserve(contours.size());
  for (const gdi::Contour& c : contours)
    rects.push_back(gdi::Rect{RoundToInt(std::min(c[0].x, c[2].x)), RoundToInt(std::min(c[0].y, c[2].y)),
                              RoundToInt(std::max(c[0].x, c[2].x)), RoundToInt(std::max(c[0].y, c[2].y))});
  return RegionWithin(rects, box);
}

// The region less what stays inside it when moved by w across and h down
// and back (w, h from 1 to INT32_MAX). What a move would carry beyond the
// coordinate range cannot land on the region and is cut off first.
gdi::Region Frame(const gdi::Region& region, int32_t w, int32_t h) {
  constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;
  gdi::Region inner = region;
  for (const auto& [dx, dy] : {std::pair{w, 0}, std::pair{-w, 0}, std::pair{0, h}, std::pair{0, -h}}) {
    gdi::Region moved = region;
    moved.IntersectRect(gdi::Rect{dx < 0 ? kMin - dx : kMin, dy < 0 ? kMin - dy : kMin, dx > 0 ? kMax - dx : kMax,
                                  dy > 0 ? kMax - dy : kMax});
    moved.Offset(dx, dy);
    inner = gdi::Region::Combine(inner, moved, gdi::RegionOp::And);
  }
  return gdi::Region::Combine(region, inner, gdi::RegionOp::Diff);
}

}  // namespace

bool EmfRecordPlayer::RegionContours(EmfRecordReader& r, uint32_t dataSize, std::vector<gdi::Contour>& out,
                                     std::vector<gdi::Rect>* logical) {
  // RGNDATAHEADER (size, type, count, byte size, bounds), then the rectangles,
  // all within the record.
  if (dataSize > r.Remaining()) return false;
  const uint32_t headerSize = r.U32(), kind = r.U32(), count = r.U32();
  r.Skip(4 + 16);
  if (!r.Ok() || headerSize != kRegionHeaderSize || kind != 1 || dataSize < kRegionHeaderSize ||
      uint64_t{count} * 16 > uint64_t{dataSize} - kRegionHeaderSize || uint64_t{count} * 16 > r.Remaining())
    return false;
  out.clear();
  out.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const gdi::Rect q = r.RectL();
    if (q.IsEmpty()) continue;
    if (logical) logical->push_back(q);
    out.push_back({state_.ToDevice(gdi::Point{q.left, q.top}), state_.ToDevice(gdi::Point{q.right, q.top}),
                   state_.ToDevice(gdi::Point{q.right, q.bottom}), state_.ToDevice(gdi::Point{q.left, q.bottom})});
  }
  return r.Ok();
}

bool EmfRecordPlayer::PlayRegionRecord(EmfRecordReader& r) {
  const uint32_t type = r.Type();
  if (type != EMR_FILLRGN && type != EMR_PAINTRGN && type != EMR_INVERTRGN && type != EMR_FRAMERGN) return false;
  r.Skip(16);  // bounds
  const uint32_t dataSize = r.U32();
  const uint32_t brushHandle = type == EMR_FILLRGN || type == EMR_FRAMERGN ? r.U32() : 0;
  int32_t strokeWidth = 0, strokeHeight = 0;
  if (type == EMR_FRAMERGN) {
    strokeWidth = r.I32();
    strokeHeight = r.I32();
  }
  std::vector<gdi::Contour> contours;
  std::vector<gdi::Rect> logicalRects;
  if (!r.Ok() || !RegionContours(r, dataSize, contours, &logicalRects) || contours.empty())
    return true;

  gdi::Paint paint;
  if (type == EMR_INVERTRGN) {
    paint = gdi::Paint::Solid(0, gdi::Rop2::Not);
  } else if (type == EMR_PAINTRGN) {
    if (!BrushPaint(paint)) return true;
  } else {  // FillRgn, FrameRgn
    // The record's brush, in place of the selected one for this record only.
    DcState& dc = state_.Dc();
    const BrushObject selected = dc.brush;
    const bool stock = (brushHandle & kStockObjectFlag) && (brushHandle & ~kStockObjectFlag) < kStockBrushes;
    const EmfObject* object = state_.ValidIndex(brushHandle) ? state_.FindObject(brushHandle) : nullptr;
    if (!stock && (!object || object->kind != EmfObject::Kind::Brush)) return true;
    if (stock) SelectStockObject(brushHandle & ~kStockObjectFlag);
    else dc.brush = object->brush;
    const bool painted = BrushPaint(paint);
    dc.brush = selected;
    if (!painted) return true;
  }
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return true;
  target.SetPaint(paint);
  if (type != EMR_FRAMERGN) {
    gdi::FillPolygons(target, contours, gdi::FillMode::Winding);
    return true;
  }
  const auto stroke = [](double deviceLength) {
    return static_cast<int32_t>(std::clamp(std::round(std::fabs(deviceLength)), 1.0, kMaxFrameStroke));
  };
  if (!state_.LogicalToDevice().AxisAligned()) {
    // In logical units (`unit` device pixels each), no longer than
    // kMaxFrameStroke device pixels, as upright frames are.
    const auto logicalStroke = [](int32_t length, double unit) {
      double units = std::fabs(double(length));
      if (units * unit > kMaxFrameStroke) units = kMaxFrameStroke / unit;
      return static_cast<int32_t>(std::clamp(std::round(units), 1.0, double(INT32_MAX)));
    };
    // Cut, as upright frames are, to a stroke around what can show.
    const int32_t w = logicalStroke(strokeWidth, state_.DeviceLengthX(1));
    const int32_t h = logicalStroke(strokeHeight, state_.DeviceLengthY(1));
    const gdi::Rect reach = Widened(LogicalBoxOver(state_.LogicalToDevice(), state_.Universe().Bounds()), w, h);
    const gdi::Region logicalFrame = Frame(RegionWithin(logicalRects, reach), w, h);
    std::vector<gdi::Contour> turned;
    for (const gdi::Rect& q : logicalFrame.Rects())
      turned.push_back({state_.ToDevice(gdi::Point{q.left, q.top}), state_.ToDevice(gdi::Point{q.right, q.top}),
                        state_.ToDevice(gdi::Point{q.right, q.bottom}), state_.ToDevice(gdi::Point{q.left, q.bottom})});
    gdi::FillPolygons(target, turned, gdi::FillMode::Winding);
    return true;
  }
  // Whether a pixel lies on the frame depends on the region no further than a
  // stroke away, so the region is cut that far outside the universe: strips
  // far outside it would otherwise join into a grid of rectangles nobody sees.
  const int32_t w = stroke(state_.DeviceLengthX(strokeWidth)), h = stroke(state_.DeviceLengthY(strokeHeight));
  const gdi::Rect reach = Widened(state_.Universe().Bounds(), w, h);
  const gdi::Region frame = Frame(UprightRegion(contours, reach), w, h);
  for (const gdi::Rect& rect : frame.Rects()) target.FillRect(rect);
  return true;
}

}  // namespace orvane::emf
