// Region records: FillRgn with a brush from the object table, PaintRgn with
// the selected brush, InvertRgn. Their region data holds rectangles in
// logical units; each is mapped through the transform (a turned rectangle
// becomes a parallelogram) and all are filled in one winding pass, so a
// pixel under overlapping rectangles is painted once. Nothing is drawn
// inside a path bracket.

#include <orvane/graphics/EmfRecordPlayer.h>
#include <orvane/graphics/EmfRecords.h>

namespace orvane::emf {

namespace {

constexpr uint32_t kRegionHeaderSize = 32;
constexpr uint32_t kStockBrushes = 6;  // WHITE_BRUSH to NULL_BRUSH

}  // namespace

bool EmfRecordPlayer::RegionContours(EmfRecordReader& r, uint32_t dataSize, std::vector<gdi::Contour>& out) {
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
    out.push_back({state_.ToDevice(gdi::Point{q.left, q.top}), state_.ToDevice(gdi::Point{q.right, q.top}),
                   state_.ToDevice(gdi::Point{q.right, q.bottom}), state_.ToDevice(gdi::Point{q.left, q.bottom})});
  }
  return r.Ok();
}

bool EmfRecordPlayer::PlayRegionRecord(EmfRecordReader& r) {
  const uint32_t type = r.Type();
  if (type != EMR_FILLRGN && type != EMR_PAINTRGN && type != EMR_INVERTRGN) return false;
  r.Skip(16);  // bounds
  const uint32_t dataSize = r.U32();
  const uint32_t brushHandle = type == EMR_FILLRGN ? r.U32() : 0;
  std::vector<gdi::Contour> contours;
  if (!r.Ok() || path_.Recording() || !RegionContours(r, dataSize, contours) || contours.empty()) return true;

  gdi::Paint paint;
  if (type == EMR_INVERTRGN) {
    paint = gdi::Paint::Solid(0, gdi::Rop2::Not);
  } else if (type == EMR_PAINTRGN) {
    if (!BrushPaint(paint)) return true;
  } else {
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
  gdi::FillPolygons(target, contours, gdi::FillMode::Winding);
  return true;
}

}  // namespace orvane::emf
