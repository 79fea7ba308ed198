// Enhanced-metafile playback: the entry point, the record loop and dispatch,
// and the records that change mapping, modes and clipping.
//
// Record loop: each record's size is checked against the data left (at
// least 8, a multiple of 4, inside the file); the first record that fails
// ends playback, as does EOF. Header counts (nRecords, nBytes) are not
// trusted: the loop runs on the bytes alone.

#include <orvane/graphics/detail/EmfPlayer.h>

#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::vcl {

namespace {

uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(Load32(p)); }

// Values outside 1..16 are ignored by the player.
bool Rop2ValueReadsDestination(uint32_t rop2) {
  return rop2 >= 1 && rop2 <= 16 && gdi::Rop2ReadsDestination(static_cast<gdi::Rop2>(rop2));
}

bool RopReadsDestination(uint32_t rop) { return gdi::RopTableReadsDestination(static_cast<uint8_t>(rop >> 16)); }

}  // namespace

void PlayEnhancedMetafile(TCanvas& canvas, const TRect& r, const std::vector<uint8_t>& data, PlaybackReport* report,
                          ShapeRules rules) {
  using namespace emf;
  const size_t size = data.size();
  if (size < header::kBaseSize) return;
  const uint8_t* h = data.data();
  const uint32_t headerSize = Load32(h + 4);
  if (Load32(h) != EMR_HEADER || headerSize < header::kBaseSize || headerSize > size || headerSize % 4) return;

  gdi::HDC dc = canvas.Handle();
  if (!dc || !dc->Surface()) return;

  const double frameLeft = LoadI32(h + header::kFrame), frameTop = LoadI32(h + header::kFrame + 4);
  const double frameWidth = double(LoadI32(h + header::kFrame + 8)) - frameLeft;
  const double frameHeight = double(LoadI32(h + header::kFrame + 12)) - frameTop;
  const double pixelsX = LoadI32(h + header::kDevice), pixelsY = LoadI32(h + header::kDevice + 4);
  const double mmX = LoadI32(h + header::kMillimeters), mmY = LoadI32(h + header::kMillimeters + 4);
  if (frameWidth == 0 || frameHeight == 0 || pixelsX == 0 || pixelsY == 0 || mmX == 0 || mmY == 0) return;

  // The destination in device pixels; right/bottom below left/top mirror the picture.
  const double left = double(r.left) + dc->origin.x, top = double(r.top) + dc->origin.y;
  const double destWidth = double(r.right) - r.left, destHeight = double(r.bottom) - r.top;
  // Reference-device units -> 0.01 mm -> destination pixels, frame.left on dest.left.
  Affine playback;
  playback.a = destWidth * 100 * mmX / (frameWidth * pixelsX);
  playback.d = destHeight * 100 * mmY / (frameHeight * pixelsY);
  playback.e = left - frameLeft * destWidth / frameWidth;
  playback.f = top - frameTop * destHeight / frameHeight;
  if (!playback.Finite()) return;

  const gdi::Rect dest{RoundToInt(std::min(left, left + destWidth)), RoundToInt(std::min(top, top + destHeight)),
                       RoundToInt(std::max(left, left + destWidth)), RoundToInt(std::max(top, top + destHeight))};
  // Laid out against the whole surface even when only a band of it is held.
  gdi::Region universe = dc->WholeClip();
  universe.IntersectRect(dest);
  if (universe.IsEmpty()) return;

  // The header's handle count is 16 bits wide, so the table is bounded by 65535.
  const uint32_t handles = uint32_t{h[header::kHandles]} | (uint32_t{h[header::kHandles + 1]} << 8);
  EmfPlaybackState state(dc->Surface(), universe, playback, pixelsX, pixelsY, mmX, mmY, handles);
  state.Dc().font.faceName = "";  // the default font: whatever face matches best
  state.Dc().font.height = 0;
  EmfRecordPlayer player(state);
  player.SetThinPenWidth(dc->thinPenWidth);
  player.SetShapeRules(rules);

  for (size_t pos = headerSize; size - pos >= 8;) {
    const uint32_t type = Load32(h + pos), recordSize = Load32(h + pos + 4);
    if (recordSize < 8 || recordSize % 4 || recordSize > size - pos) break;
    if (type == EMR_EOF) break;
    EmfRecordReader record(h + pos, recordSize);
    if (!player.Play(record) && report) ++report->skipped[type];
    pos += recordSize;
  }
}

// Read from the records before anything is drawn; a record the player
// would skip may be counted, which only costs the caller a slower way.
bool MetafileMayReadDestination(const std::vector<uint8_t>& emf) {
  const size_t size = emf.size();
  if (size < 8) return false;
  const uint8_t* h = emf.data();
  for (size_t pos = Load32(h + 4); pos <= size && size - pos >= 8;) {
    const uint32_t type = Load32(h + pos), recordSize = Load32(h + pos + 4);
    if (recordSize < 8 || recordSize % 4 || recordSize > size - pos || type == emf::EMR_EOF) break;
    // Offsets of the raster operation: after the bounds and the destination
    // rectangle, or after the source fields of StretchDIBits.
    const size_t ropAt = type == emf::EMR_STRETCHDIBITS ? 68 : 40;
    if (type == emf::EMR_SETROP2 && recordSize >= 12 && Rop2ValueReadsDestination(Load32(h + pos + 8))) return true;
    if (type == emf::EMR_INVERTRGN || type == emf::EMR_ALPHABLEND) return true;
    if (type == emf::EMR_MASKBLT && recordSize >= 44) {
      // Foreground and background operations, by their truth tables.
      const uint32_t rop = Load32(h + pos + 40);
      if (RopReadsDestination(rop) || gdi::RopTableReadsDestination(static_cast<uint8_t>(rop >> 24))) return true;
    }
    if ((type == emf::EMR_BITBLT || type == emf::EMR_STRETCHBLT || type == emf::EMR_STRETCHDIBITS) &&
        recordSize >= ropAt + 4 && RopReadsDestination(Load32(h + pos + ropAt)))
      return true;
    pos += recordSize;
  }
  return false;
}

}  // namespace orvane::vcl

namespace orvane::emf {

EmfRecordPlayer::EmfRecordPlayer(EmfPlaybackState& state) : state_(state) {}

const EmfRecordPlayer::Dispatch* EmfRecordPlayer::Handlers() {
  static const auto table = [] {
    std::array<Dispatch, kRecordTypeCount> t{};
    const auto add = [&t](Handler h, std::initializer_list<uint32_t> types, bool skippedInPath = false) {
      for (uint32_t type : types) t[type] = Dispatch{h, skippedInPath};
    };
    constexpr bool kSkippedInPath = true;
    add(&EmfRecordPlayer::PlayMappingRecord,
        {EMR_SETMAPMODE, EMR_SETWINDOWEXTEX, EMR_SETVIEWPORTEXTEX, EMR_SETWINDOWORGEX, EMR_SETVIEWPORTORGEX,
         EMR_SCALEVIEWPORTEXTEX, EMR_SCALEWINDOWEXTEX, EMR_SETWORLDTRANSFORM, EMR_MODIFYWORLDTRANSFORM, EMR_SAVEDC,
         EMR_RESTOREDC});
    add(&EmfRecordPlayer::PlayModeRecord,
        {EMR_SETBKMODE, EMR_SETPOLYFILLMODE, EMR_SETBKCOLOR, EMR_SETTEXTCOLOR, EMR_SETTEXTALIGN, EMR_SETROP2,
         EMR_SETMITERLIMIT, EMR_SETARCDIRECTION, EMR_MOVETOEX, EMR_SETSTRETCHBLTMODE, EMR_SETBRUSHORGEX,
         EMR_SETMAPPERFLAGS});
    add(&EmfRecordPlayer::PlayClipRecord,
        {EMR_INTERSECTCLIPRECT, EMR_EXCLUDECLIPRECT, EMR_OFFSETCLIPRGN, EMR_EXTSELECTCLIPRGN, EMR_SETMETARGN});
    add(&EmfRecordPlayer::PlayObjectRecord,
        {EMR_CREATEPEN, EMR_EXTCREATEPEN, EMR_CREATEBRUSHINDIRECT, EMR_CREATEDIBPATTERNBRUSHPT, EMR_CREATEMONOBRUSH,
         EMR_EXTCREATEFONTINDIRECTW, EMR_SELECTOBJECT, EMR_DELETEOBJECT});
    add(&EmfRecordPlayer::PlayPathRecord,
        {EMR_BEGINPATH, EMR_ENDPATH, EMR_CLOSEFIGURE, EMR_ABORTPATH, EMR_FLATTENPATH, EMR_WIDENPATH, EMR_FILLPATH,
         EMR_STROKEPATH, EMR_STROKEANDFILLPATH, EMR_SELECTCLIPPATH});
    add(&EmfRecordPlayer::PlayShapeRecord,
        {EMR_LINETO, EMR_POLYGON, EMR_POLYLINE, EMR_POLYBEZIER, EMR_POLYLINETO, EMR_POLYBEZIERTO, EMR_POLYGON16,
         EMR_POLYLINE16, EMR_POLYBEZIER16, EMR_POLYLINETO16, EMR_POLYBEZIERTO16, EMR_POLYPOLYGON, EMR_POLYPOLYLINE,
         EMR_POLYPOLYGON16, EMR_POLYPOLYLINE16, EMR_RECTANGLE, EMR_ELLIPSE, EMR_ROUNDRECT, EMR_ARC, EMR_ARCTO,
         EMR_CHORD, EMR_PIE, EMR_ANGLEARC, EMR_SETPIXELV, EMR_POLYDRAW, EMR_POLYDRAW16});
    add(&EmfRecordPlayer::PlayRegionRecord, {EMR_FILLRGN, EMR_PAINTRGN, EMR_INVERTRGN, EMR_FRAMERGN}, kSkippedInPath);
    add(&EmfRecordPlayer::PlayTextRecord,
        {EMR_EXTTEXTOUTW, EMR_EXTTEXTOUTA, EMR_POLYTEXTOUTW, EMR_POLYTEXTOUTA, EMR_SMALLTEXTOUT}, kSkippedInPath);
    add(&EmfRecordPlayer::PlayBitmapRecord,
        {EMR_STRETCHDIBITS, EMR_BITBLT, EMR_STRETCHBLT, EMR_SETDIBITSTODEVICE, EMR_TRANSPARENTBLT, EMR_ALPHABLEND,
         EMR_MASKBLT, EMR_PLGBLT},
        kSkippedInPath);
    add(&EmfRecordPlayer::PlayGradientRecord, {EMR_GRADIENTFILL}, kSkippedInPath);
    add(&EmfRecordPlayer::PlayPaletteRecord,
        {EMR_CREATEPALETTE, EMR_SELECTPALETTE, EMR_REALIZEPALETTE, EMR_SETPALETTEENTRIES, EMR_RESIZEPALETTE});
    // Comments (EMF+ included) draw nothing here; colour management,
    // colour adjustment and layout change nothing the drawing uses.
    add(&EmfRecordPlayer::IgnoreRecord,
        {EMR_GDICOMMENT, EMR_SETCOLORADJUSTMENT, EMR_SETICMMODE, EMR_CREATECOLORSPACE, EMR_SETCOLORSPACE,
         EMR_DELETECOLORSPACE, EMR_COLORCORRECTPALETTE, EMR_SETICMPROFILEA, EMR_SETICMPROFILEW,
         EMR_COLORMATCHTOTARGETW, EMR_CREATECOLORSPACEW, EMR_SETLAYOUT});
    return t;
  }();
  return table.data();
}

bool EmfRecordPlayer::Play(EmfRecordReader& r) {
  const uint32_t type = r.Type();
  if (type >= kRecordTypeCount) return false;
  const Dispatch& dispatch = Handlers()[type];
  if (!dispatch.handler) return false;
  if (dispatch.skippedInPath && path_.Recording()) return true;
  return (this->*dispatch.handler)(r);
}

bool EmfRecordPlayer::IgnoreRecord(EmfRecordReader&) { return true; }

namespace {

bool Isotropic(uint32_t mode) { return mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC; }

// A world transform from the record's XFORM (eM11, eM12, eM21, eM22, eDx, eDy).
bool ReadXForm(EmfRecordReader& r, Affine& out) {
  const float m11 = r.F32(), m12 = r.F32(), m21 = r.F32(), m22 = r.F32(), dx = r.F32(), dy = r.F32();
  out = Affine{m11, m12, m21, m22, dx, dy};
  return r.Ok() && out.Finite();
}

// New extent = extent * num / denom, truncated; false when it cannot be applied.
bool ScaleExtent(double& extent, int32_t num, int32_t denom) {
  if (denom == 0) return false;
  const double scaled = std::trunc(extent * num / denom);
  if (scaled == 0 || !std::isfinite(scaled)) return false;
  extent = scaled;
  return true;
}

}  // namespace

bool EmfRecordPlayer::PlayMappingRecord(EmfRecordReader& r) {
  DcState& dc = state_.Dc();
  switch (r.Type()) {
    case EMR_SETMAPMODE: {
      const uint32_t mode = r.U32();
      if (r.Ok()) state_.SetMapMode(mode);
      return true;
    }
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX: {
      const int32_t cx = r.I32(), cy = r.I32();
      if (!r.Ok() || cx == 0 || cy == 0 || !Isotropic(dc.mapMode)) return true;
      if (r.Type() == EMR_SETWINDOWEXTEX) {
        dc.windowExtX = cx;
        dc.windowExtY = cy;
      } else {
        dc.viewportExtX = cx;
        dc.viewportExtY = cy;
      }
      state_.TransformChanged();
      return true;
    }
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX: {
      const gdi::Point p = r.PointL();
      if (!r.Ok()) return true;
      if (r.Type() == EMR_SETWINDOWORGEX) {
        dc.windowOrgX = p.x;
        dc.windowOrgY = p.y;
      } else {
        dc.viewportOrgX = p.x;
        dc.viewportOrgY = p.y;
      }
      state_.TransformChanged();
      return true;
    }
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
      const int32_t xNum = r.I32(), xDenom = r.I32(), yNum = r.I32(), yDenom = r.I32();
      if (!r.Ok() || !Isotropic(dc.mapMode)) return true;
      const bool viewport = r.Type() == EMR_SCALEVIEWPORTEXTEX;
      double x = viewport ? dc.viewportExtX : dc.windowExtX, y = viewport ? dc.viewportExtY : dc.windowExtY;
      if (!ScaleExtent(x, xNum, xDenom) || !ScaleExtent(y, yNum, yDenom)) return true;
      (viewport ? dc.viewportExtX : dc.windowExtX) = x;
      (viewport ? dc.viewportExtY : dc.windowExtY) = y;
      state_.TransformChanged();
      return true;
    }
    case EMR_SETWORLDTRANSFORM: {
      Affine xform;
      if (ReadXForm(r, xform)) {
        dc.world = xform;
        state_.TransformChanged();
      }
      return true;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
      Affine xform;
      const bool ok = ReadXForm(r, xform);
      const uint32_t mode = r.U32();
      if (!ok || !r.Ok()) return true;
      Affine result = dc.world;
      switch (mode) {
        case MWT_IDENTITY: result = Affine{}; break;
        case MWT_LEFTMULTIPLY: result = xform.Then(dc.world); break;
        case MWT_RIGHTMULTIPLY: result = dc.world.Then(xform); break;
        case MWT_SET: result = xform; break;
        default: return true;
      }
      if (!result.Finite()) return true;
      dc.world = result;
      state_.TransformChanged();
      return true;
    }
    case EMR_SAVEDC: state_.SaveDC(); return true;
    case EMR_RESTOREDC: {
      const int32_t relative = r.I32();
      if (r.Ok()) state_.RestoreDC(relative);
      return true;
    }
    default: return false;
  }
}

bool EmfRecordPlayer::PlayModeRecord(EmfRecordReader& r) {
  DcState& dc = state_.Dc();
  switch (r.Type()) {
    case EMR_SETBKMODE: {
      const uint32_t mode = r.U32();
      if (r.Ok() && (mode == TRANSPARENT || mode == OPAQUE)) dc.bkMode = static_cast<gdi::BackgroundMode>(mode);
      return true;
    }
    case EMR_SETPOLYFILLMODE: {
      const uint32_t mode = r.U32();
      if (r.Ok() && (mode == ALTERNATE || mode == WINDING)) dc.fillMode = static_cast<gdi::FillMode>(mode);
      return true;
    }
    case EMR_SETBKCOLOR:
    case EMR_SETTEXTCOLOR: {
      const uint32_t color = r.U32() & 0xFFFFFF;
      if (r.Ok()) (r.Type() == EMR_SETBKCOLOR ? dc.bkColor : dc.textColor) = color;
      return true;
    }
    case EMR_SETTEXTALIGN: {
      const uint32_t align = r.U32();
      if (r.Ok()) dc.textAlign = align;
      return true;
    }
    case EMR_SETROP2: {
      const uint32_t rop = r.U32();
      if (r.Ok() && rop >= 1 && rop <= 16) dc.rop2 = static_cast<gdi::Rop2>(rop);
      return true;
    }
    case EMR_SETMITERLIMIT: {
      // Written as a float by most producers, as an integer by some.
      const uint32_t bits = r.U32();
      if (!r.Ok()) return true;
      float f;
      std::memcpy(&f, &bits, 4);
      const double limit = bits < 0x10000 ? double(bits) : double(f);
      if (std::isfinite(limit) && limit >= 1 && limit <= 1e6) dc.miterLimit = limit;
      return true;
    }
    case EMR_SETARCDIRECTION: {
      const uint32_t direction = r.U32();
      if (r.Ok() && (direction == AD_CLOCKWISE || direction == AD_COUNTERCLOCKWISE))
        dc.arcClockwise = direction == AD_CLOCKWISE;
      return true;
    }
    case EMR_MOVETOEX: {
      const gdi::Point p = r.PointL();
      if (!r.Ok()) return true;
      dc.position = gdi::PointD{double(p.x), double(p.y)};
      path_.MoveTo();
      return true;
    }
    case EMR_SETSTRETCHBLTMODE: {
      // The STRETCH_* names share the numbers 1 to 4; other modes are refused.
      const uint32_t mode = r.U32();
      if (r.Ok() && mode >= 1 && mode <= 4) dc.stretchMode = mode;
      return true;
    }
    case EMR_SETBRUSHORGEX: {
      const gdi::Point origin = r.PointL();
      if (r.Ok()) dc.brushOrigin = origin;  // device pixels, not mapped
      return true;
    }
    case EMR_SETMAPPERFLAGS:
      return true;
    default: return false;
  }
}

void EmfRecordPlayer::ClipToLogicalRect(const gdi::Rect& logical, gdi::RegionOp op) {
  const Affine& m = state_.LogicalToDevice();
  gdi::Region region;
  if (m.AxisAligned()) {
    const gdi::PointD a = state_.ToDevice(gdi::Point{logical.left, logical.top});
    const gdi::PointD b = state_.ToDevice(gdi::Point{logical.right, logical.bottom});
    const gdi::Rect device{RoundToInt(std::min(a.x, b.x)), RoundToInt(std::min(a.y, b.y)),
                           RoundToInt(std::max(a.x, b.x)), RoundToInt(std::max(a.y, b.y))};
    if (!device.IsEmpty()) region = gdi::Region(device);
  } else {
    const gdi::Contour corners{state_.ToDevice(gdi::Point{logical.left, logical.top}),
                               state_.ToDevice(gdi::Point{logical.right, logical.top}),
                               state_.ToDevice(gdi::Point{logical.right, logical.bottom}),
                               state_.ToDevice(gdi::Point{logical.left, logical.bottom})};
    region = gdi::RegionFromContours({corners}, gdi::FillMode::Alternate, state_.Universe().Bounds());
  }
  state_.CombineClip(region, op);
}

bool EmfRecordPlayer::PlayClipRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_SETMETARGN: state_.SetMetaRegion(); return true;
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT: {
      const gdi::Rect rect = r.RectL();
      if (r.Ok())
        ClipToLogicalRect(rect, r.Type() == EMR_INTERSECTCLIPRECT ? gdi::RegionOp::And : gdi::RegionOp::Diff);
      return true;
    }
    case EMR_OFFSETCLIPRGN: {
      const gdi::Point p = r.PointL();
      if (!r.Ok()) return true;
      const gdi::PointD v = state_.LogicalToDevice().ApplyVector(gdi::PointD{double(p.x), double(p.y)});
      state_.OffsetClip(RoundToInt(v.x), RoundToInt(v.y));
      return true;
    }
    case EMR_EXTSELECTCLIPRGN: {
      const uint32_t dataSize = r.U32(), mode = r.U32();
      if (!r.Ok() || mode < RGN_AND || mode > RGN_COPY) return true;
      if (dataSize == 0) {
        if (mode == RGN_COPY) state_.ResetClip();  // back to the default: no clip region
        return true;
      }
      // RGNDATAHEADER, then nCount rectangles in reference-device units.
      const uint32_t headerSize = r.U32(), kind = r.U32(), count = r.U32();
      r.Skip(4 + 16);  // nRgnSize, rcBound
      if (!r.Ok() || headerSize != 32 || kind != 1 || dataSize < 32 || dataSize > r.Size() - 16 ||
          uint64_t{count} * 16 > uint64_t{dataSize} - 32 || uint64_t{count} * 16 > r.Remaining())
        return true;
      const Affine& m = state_.Playback();
      std::vector<gdi::Region> parts;
      parts.reserve(count);
      for (uint32_t i = 0; i < count; ++i) {
        const gdi::Rect q = r.RectL();
        const gdi::PointD a = m.Apply({double(q.left), double(q.top)}), b = m.Apply({double(q.right), double(q.bottom)});
        const gdi::Rect device{RoundToInt(std::min(a.x, b.x)), RoundToInt(std::min(a.y, b.y)),
                               RoundToInt(std::max(a.x, b.x)), RoundToInt(std::max(a.y, b.y))};
        if (!device.IsEmpty()) parts.emplace_back(device);
      }
      state_.CombineClip(UnionOfRegions(std::move(parts)), RegionOpForMode(mode));
      return true;
    }
    default: return false;
  }
}

}  // namespace orvane::emf
