// WMF-to-EMF record conversion: the dispatch, the state records and the
// shapes. WMF parameters come in reverse order for most records (the last
// argument of the GDI call first), so a rectangle reads bottom, right, top,
// left; polygon points are the exception and come as x, y pairs.

#include <orvane/graphics/detail/WmfRecordConverter.h>

#include <algorithm>
#include <limits>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/graphics/detail/EmfRecords.h>
#include <orvane/graphics/detail/WmfRecordTypes.h>

namespace orvane::vcl {

using namespace wmf;

namespace {

// An origin moved by a record's offset. Offsets add up record by record, so
// the origin is held at the ends of the 32-bit range rather than wrapping.
int32_t Offset(int32_t origin, int32_t by) { return gdi::ClampToInt32(int64_t{origin} + by); }

}  // namespace

WmfRecordConverter::WmfRecordConverter(EmfRecordWriter& out, uint32_t objectLimit, WmfPoint windowOrg)
    : out_(out), objectLimit_(objectLimit) {
  state_.windowOrg = windowOrg;
}

void WmfRecordConverter::Convert(uint16_t function, const WmfParams& p) {
  const size_t n = p.Words();
  // Records of one 16-bit value (some producers add a reserved word).
  auto single = [&](uint32_t type) {
    if (n >= 1) out_.Record(type, {p.U16(0)});
  };
  auto colour = [&](uint32_t type) {
    if (n >= 2) out_.Record(type, {static_cast<int32_t>(p.U32(0))});
  };
  // Records of a point or size given as y, x.
  auto pair = [&](uint32_t type) {
    if (n >= 2) out_.Record(type, {p.I16(1), p.I16(0)});
  };
  // Scale records: yDenom, yNum, xDenom, xNum; a zero denominator fails in GDI.
  auto scale = [&](uint32_t type) {
    if (n >= 4 && p.I16(0) != 0 && p.I16(2) != 0) out_.Record(type, {p.I16(3), p.I16(2), p.I16(1), p.I16(0)});
  };

  switch (function) {
    case kSetBkColor: return colour(emf::EMR_SETBKCOLOR);
    case kSetTextColor: return colour(emf::EMR_SETTEXTCOLOR);
    case kSetBkMode: return single(emf::EMR_SETBKMODE);
    case kSetMapMode: return single(emf::EMR_SETMAPMODE);
    case kSetRop2: return single(emf::EMR_SETROP2);
    case kSetPolyFillMode: return single(emf::EMR_SETPOLYFILLMODE);
    case kSetStretchBltMode: return single(emf::EMR_SETSTRETCHBLTMODE);
    case kSetTextAlign: return single(emf::EMR_SETTEXTALIGN);

    case kSetWindowOrg:
      if (n >= 2) SetOrigin(emf::EMR_SETWINDOWORGEX, state_.windowOrg, p.I16(1), p.I16(0));
      return;
    case kSetViewportOrg:
      if (n >= 2) SetOrigin(emf::EMR_SETVIEWPORTORGEX, state_.viewportOrg, p.I16(1), p.I16(0));
      return;
    case kOffsetWindowOrg:
      if (n >= 2)
        SetOrigin(emf::EMR_SETWINDOWORGEX, state_.windowOrg, Offset(state_.windowOrg.x, p.I16(1)),
                  Offset(state_.windowOrg.y, p.I16(0)));
      return;
    case kOffsetViewportOrg:
      if (n >= 2)
        SetOrigin(emf::EMR_SETVIEWPORTORGEX, state_.viewportOrg, Offset(state_.viewportOrg.x, p.I16(1)),
                  Offset(state_.viewportOrg.y, p.I16(0)));
      return;
    case kSetWindowExt: return pair(emf::EMR_SETWINDOWEXTEX);
    case kSetViewportExt: return pair(emf::EMR_SETVIEWPORTEXTEX);
    case kScaleWindowExt: return scale(emf::EMR_SCALEWINDOWEXTEX);
    case kScaleViewportExt: return scale(emf::EMR_SCALEVIEWPORTEXTEX);

    case kMoveTo: return pair(emf::EMR_MOVETOEX);
    case kLineTo: return pair(emf::EMR_LINETO);
    case kSetPixel:
      if (n >= 4) out_.Record(emf::EMR_SETPIXELV, {p.I16(3), p.I16(2), static_cast<int32_t>(p.U32(0))});
      return;

    case kOffsetClipRgn: return pair(emf::EMR_OFFSETCLIPRGN);
    case kExcludeClipRect: return Box(emf::EMR_EXCLUDECLIPRECT, p, 0);
    case kIntersectClipRect: return Box(emf::EMR_INTERSECTCLIPRECT, p, 0);
    case kEllipse: return Box(emf::EMR_ELLIPSE, p, 0);
    case kRectangle: return Box(emf::EMR_RECTANGLE, p, 0);
    case kRoundRect:
      if (n >= 6) {
        out_.Record(emf::EMR_ROUNDRECT, {p.I16(5), p.I16(4), p.I16(3), p.I16(2), p.I16(1), p.I16(0)});
      }
      return;
    case kArc: return Box(emf::EMR_ARC, p, 4);
    case kPie: return Box(emf::EMR_PIE, p, 4);
    case kChord: return Box(emf::EMR_CHORD, p, 4);

    case kPolygon: return Polygon(emf::EMR_POLYGON16, p);
    case kPolyline: return Polygon(emf::EMR_POLYLINE16, p);
    case kPolyPolygon: return PolyPolygon(p);

    case kSaveDc:
      saved_.push_back(state_);
      out_.Record(emf::EMR_SAVEDC, {});
      return;
    case kRestoreDc: return RestoreDc(p);

    case kCreatePenIndirect: return CreatePen(p);
    case kCreateBrushIndirect: return CreateBrush(p);
    case kCreateFontIndirect: return CreateFont(p);
    case kDibCreatePatternBrush: return CreateDibPatternBrush(p);
    case kCreatePalette:
    case kCreatePatternBrush:
    case kCreateRegion: return CreatePlaceholder();
    case kSelectObject: return SelectObject(p);
    case kDeleteObject: return DeleteObject(p);

    case kTextOut: return TextOut(p);
    case kExtTextOut: return ExtTextOut(p);

    case kPatBlt: return PatBlt(p);
    case kStretchDib: return StretchDib(p);
    case kSetDibToDev: return SetDibToDev(p);
    case kDibStretchBlt: return DibStretchBlt(p);
    case kDibBitBlt: return DibBitBlt(p);

    default: return;  // escapes, palettes, regions and the rest have no effect here
  }
}

void WmfRecordConverter::SetOrigin(uint32_t emfType, WmfPoint& origin, int32_t x, int32_t y) {
  origin = {x, y};
  out_.Record(emfType, {x, y});
}

void WmfRecordConverter::RestoreDc(const WmfParams& p) {
  if (p.Words() < 1) return;
  const int32_t index = p.I16(0);
  const int32_t depth = static_cast<int32_t>(saved_.size());
  // A positive index names a saved state absolutely (1 = the first saved);
  // EMF only knows the relative form.
  const int32_t relative = index > 0 ? index - depth - 1 : index;
  if (relative >= 0 || -relative > depth) return;  // GDI fails such a restore
  state_ = saved_[static_cast<size_t>(depth + relative)];
  saved_.resize(static_cast<size_t>(depth + relative));
  out_.Record(emf::EMR_RESTOREDC, {relative});
}

// A box (bottom, right, top, left from word `firstBoxWord` on), preceded for
// arcs by the end and start points (yEnd, xEnd, yStart, xStart).
void WmfRecordConverter::Box(uint32_t emfType, const WmfParams& p, size_t firstBoxWord) {
  const size_t b = firstBoxWord;
  if (p.Words() < b + 4) return;
  out_.Begin(emfType);
  for (int32_t v : {p.I16(b + 3), p.I16(b + 2), p.I16(b + 1), p.I16(b)}) out_.I32(v);
  if (b == 4) {
    for (int32_t v : {p.I16(3), p.I16(2), p.I16(1), p.I16(0)}) out_.I32(v);
  }
  out_.End();
}

namespace {

// Writes the inclusive bounds of `count` x, y pairs starting at word `first`.
void WriteBounds(EmfRecordWriter& out, const WmfParams& p, size_t first, size_t count) {
  int32_t left = std::numeric_limits<int16_t>::max(), top = left;
  int32_t right = std::numeric_limits<int16_t>::min(), bottom = right;
  for (size_t i = 0; i < count; ++i) {
    const int32_t x = p.I16(first + 2 * i), y = p.I16(first + 2 * i + 1);
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  if (count == 0) left = top = right = bottom = 0;
  for (int32_t v : {left, top, right, bottom}) out.I32(v);
}

}  // namespace

// POLYGON and POLYLINE: count, then count x, y pairs.
void WmfRecordConverter::Polygon(uint32_t emfType, const WmfParams& p) {
  if (p.Words() < 1) return;
  const size_t count = p.U16(0);
  if (count == 0 || 1 + 2 * count > p.Words()) return;
  out_.Begin(emfType);
  WriteBounds(out_, p, 1, count);
  out_.U32(static_cast<uint32_t>(count));
  out_.Bytes(p.Bytes(1), 4 * count);
  out_.End();
}

// POLYPOLYGON: polygon count, the point count of each, then all points.
void WmfRecordConverter::PolyPolygon(const WmfParams& p) {
  if (p.Words() < 1) return;
  const size_t polygons = p.U16(0);
  if (polygons == 0 || 1 + polygons > p.Words()) return;
  uint64_t points = 0;
  for (size_t i = 0; i < polygons; ++i) points += p.U16(1 + i);
  const size_t first = 1 + polygons;
  if (points == 0 || first + 2 * points > p.Words()) return;
  out_.Begin(emf::EMR_POLYPOLYGON16);
  WriteBounds(out_, p, first, points);
  out_.U32(static_cast<uint32_t>(polygons));
  out_.U32(static_cast<uint32_t>(points));
  for (size_t i = 0; i < polygons; ++i) out_.U32(p.U16(1 + i));
  out_.Bytes(p.Bytes(first), 4 * points);
  out_.End();
}

}  // namespace orvane::vcl
