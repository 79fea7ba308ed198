// Enhanced-metafile playback: the entry point, the record loop and dispatch,
// and the records that change mapping, modes and clipping.
//
// Record loop: each record's size is checked against the data left (at
// least 8, a multiple of 4, inside the file); the first record that fails
// ends playback, as does EOF. Header counts (nRecords, nBytes) are not
// trusted: the loop runs on the bytes alone.

#include <orvane/graphics/detail/EmfPlayer.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/graphics/detail/EmfPlus.h>
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
    if (type == EMR_GDICOMMENT && report) report->emfPlusRecords += CountEmfPlusRecords(h + pos, recordSize);
    pos += recordSize;
  }
}

}  // namespace orvane::vcl

namespace orvane::emf {

namespace {
std::atomic<uint64_t> drawingRecords{0}, gradientRows{0}, gradientPixels{0};
}  // namespace

PlaybackWork PlaybackWorkSoFar() {
  return PlaybackWork{drawingRecords.load(std::memory_order_relaxed), gradientRows.load(std::memory_order_relaxed),
                      gradientPixels.load(std::memory_order_relaxed)};
}

void CountPlaybackWork(const PlaybackWork& more) {
  if (more.drawingRecords) drawingRecords.fetch_add(more.drawingRecords, std::memory_order_relaxed);
  if (more.gradientRows) gradientRows.fetch_add(more.gradientRows, std::memory_order_relaxed);
  if (more.gradientPixels) gradientPixels.fetch_add(more.gradientPixels, std::memory_order_relaxed);
}

EmfRecordPlayer::EmfRecordPlayer(EmfPlaybackState& state) : state_(state) {}

const EmfRecordPlayer::Dispatch* EmfRecordPlayer::Handlers() {
  static const auto table = [] {
    std::array<Dispatch, kRecordTypeCount> t{};
    const auto add = [&t](Handler h, std::initializer_list<uint32_t> types, bool skippedInPath = false,
                          bool draws = false) {
      for (uint32_t type : types) t[type] = Dispatch{h, skippedInPath, draws};
    };
    constexpr bool kSkippedInPath = true, kDraws = true;
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
         EMR_CHORD, EMR_PIE, EMR_ANGLEARC, EMR_SETPIXELV, EMR_POLYDRAW, EMR_POLYDRAW16},
        false, kDraws);
    add(&EmfRecordPlayer::PlayRegionRecord, {EMR_FILLRGN, EMR_PAINTRGN, EMR_INVERTRGN, EMR_FRAMERGN}, kSkippedInPath,
        kDraws);
    add(&EmfRecordPlayer::PlayTextRecord,
        {EMR_EXTTEXTOUTW, EMR_EXTTEXTOUTA, EMR_POLYTEXTOUTW, EMR_POLYTEXTOUTA, EMR_SMALLTEXTOUT}, kSkippedInPath,
        kDraws);
    add(&EmfRecordPlayer::PlayBitmapRecord,
        {EMR_STRETCHDIBITS, EMR_BITBLT, EMR_STRETCHBLT, EMR_SETDIBITSTODEVICE, EMR_TRANSPARENTBLT, EMR_ALPHABLEND,
         EMR_MASKBLT, EMR_PLGBLT},
        kSkippedInPath, kDraws);
    add(&EmfRecordPlayer::PlayGradientRecord, {EMR_GRADIENTFILL}, kSkippedInPath, kDraws);
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
  if (dispatch.draws && !path_.Recording()) {
    if (OutsideTarget(r)) return true;
    CountPlaybackWork(PlaybackWork{1, 0, 0});
  }
  return (this->*dispatch.handler)(r);
}

bool EmfRecordPlayer::Paints(uint32_t type) {
  if (type == EMR_FILLPATH || type == EMR_STROKEPATH || type == EMR_STROKEANDFILLPATH) return true;
  return type < kRecordTypeCount && Handlers()[type].draws;
}

bool EmfRecordPlayer::IgnoreRecord(EmfRecordReader&) { return true; }

// What is left out is decided from the record's own points, never from its
// bounds field: producers leave it zero or wrong, and a band must get
// exactly the pixels the whole surface would. The points' logical box is
// mapped as its four corners (an affine map keeps the points inside their
// image); fills stay inside the points' device box, ellipses and arcs
// inside their box's image, a pen within PenReach of its points, and the
// shape rules and rounding move edges by at most a pixel, so a margin of
// two pixels more is kept.
bool EmfRecordPlayer::OutsideTarget(const EmfRecordReader& record) {
  EmfRecordReader r(record.Data(), record.Size());
  const uint32_t type = r.Type();
  int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
  const auto take = [&](int64_t x, int64_t y) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  };
  // Points as the record holds them; false when it does not hold them all.
  const auto points = [&](uint64_t count, bool sixteenBit) {
    if (count == 0 || count * (sixteenBit ? 4 : 8) > r.Remaining()) return false;
    for (uint64_t i = 0; i < count; ++i) {
      const gdi::Point p = sixteenBit ? r.PointS() : r.PointL();
      take(p.x, p.y);
    }
    return r.Ok();
  };
  gdi::Point lineEnd;
  switch (type) {
    case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIER: case EMR_POLYGON16: case EMR_POLYLINE16:
    case EMR_POLYBEZIER16: {
      r.Skip(16);  // bounds
      const uint32_t count = r.U32();
      const bool sixteenBit = type == EMR_POLYGON16 || type == EMR_POLYLINE16 || type == EMR_POLYBEZIER16;
      if (!r.Ok() || !points(count, sixteenBit)) return false;
      break;
    }
    case EMR_POLYPOLYGON: case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON16: case EMR_POLYPOLYLINE16: {
      r.Skip(16);  // bounds
      const uint32_t polys = r.U32(), total = r.U32();
      if (!r.Ok() || uint64_t{polys} * 4 > r.Remaining()) return false;
      r.Skip(uint64_t{polys} * 4);  // the counts: their sum is the handler's to check
      if (!points(total, type == EMR_POLYPOLYGON16 || type == EMR_POLYPOLYLINE16)) return false;
      break;
    }
    case EMR_RECTANGLE: case EMR_ELLIPSE: case EMR_ROUNDRECT: case EMR_ARC: case EMR_CHORD: case EMR_PIE: {
      const gdi::Rect box = r.RectL();
      if (!r.Ok()) return false;
      take(box.left, box.top);
      take(box.right, box.bottom);
      break;
    }
    case EMR_LINETO: {
      lineEnd = r.PointL();
      if (!r.Ok()) return false;
      // The current position may lie between whole logical units.
      const gdi::PointD from = state_.Dc().position;
      if (!(std::fabs(from.x) < 1e18 && std::fabs(from.y) < 1e18)) return false;
      const int64_t fx = static_cast<int64_t>(std::floor(from.x)), fy = static_cast<int64_t>(std::floor(from.y));
      take(fx, fy);
      take(fx + 1, fy + 1);
      take(lineEnd.x, lineEnd.y);
      break;
    }
    default: return false;
  }
  gdi::RenderTarget& target = state_.Target();
  bool outside = target.IsEmpty();
  if (!outside) {
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    const double x0 = double(minX), y0 = double(minY), x1 = double(maxX), y1 = double(maxY);
    for (const gdi::PointD corner : {gdi::PointD{x0, y0}, gdi::PointD{x1, y0}, gdi::PointD{x0, y1}, gdi::PointD{x1, y1}}) {
      const gdi::PointD d = state_.ToDevice(corner);
      left = std::min(left, d.x);
      right = std::max(right, d.x);
      top = std::min(top, d.y);
      bottom = std::max(bottom, d.y);
    }
    const double reach = PenReach() + 2;
    const gdi::Rect held = target.HeldClipBounds();
    // Written so that a reach that is not a number leaves the record in.
    outside = bottom + reach < held.top || top - reach > held.bottom || right + reach < held.left ||
              left - reach > held.right;
  }
  if (outside && type == EMR_LINETO) state_.Dc().position = gdi::PointD{double(lineEnd.x), double(lineEnd.y)};
  return outside;
}

double EmfRecordPlayer::PenReach() {
  if (state_.Dc().pen.style == gdi::PenStyle::Null) return 0;
  const gdi::StrokeStyle style = PenStyle();
  // A cosmetic line paints the pixels its rounded points begin; a wide pen
  // reaches half its width, a square cap's corner or a miter's tip (the
  // stroker bevels joins sharper than 10,000 widths); a thickened thin pen
  // is moved by half its width besides.
  const double join = style.join == gdi::PenJoin::Miter ? std::clamp(style.miterLimit, 1.0, 1e4) : 1.0;
  const double reach = style.cosmetic ? 1 : style.width / 2 * std::max(join, 1.5);
  return reach + thinPenWidth_;
}

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
      // The clip is cut to the universe, so each rectangle can be cut first:
      // strips crossing far outside it would otherwise join into a grid of
      // rectangles nobody sees.
      const gdi::Rect universe = state_.Universe().Bounds();
      std::vector<gdi::Region> parts;
      parts.reserve(count);
      for (uint32_t i = 0; i < count; ++i) {
        const gdi::Rect q = r.RectL();
        const gdi::PointD a = m.Apply({double(q.left), double(q.top)}), b = m.Apply({double(q.right), double(q.bottom)});
        const gdi::Rect device = gdi::Rect{RoundToInt(std::min(a.x, b.x)), RoundToInt(std::min(a.y, b.y)),
                                           RoundToInt(std::max(a.x, b.x)), RoundToInt(std::max(a.y, b.y))}
                                     .Intersect(universe);
        if (!device.IsEmpty()) parts.emplace_back(device);
      }
      state_.CombineClip(UnionOfRegions(std::move(parts)), RegionOpForMode(mode));
      return true;
    }
    default: return false;
  }
}

}  // namespace orvane::emf
