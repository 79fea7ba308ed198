#include "emf/EmfWriter.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace orvane::emf {

namespace {

// Little-endian payload builder.
class Payload {
 public:
  Payload& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Payload& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Payload& U16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  Payload& F32(float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return U32(u);
  }
  Payload& Rect(const RectL& r) { return I32(r.left).I32(r.top).I32(r.right).I32(r.bottom); }
  Payload& Point(PointL p) { return I32(p.x).I32(p.y); }
  Payload& Append(const std::vector<uint8_t>& b) {
    bytes.insert(bytes.end(), b.begin(), b.end());
    return *this;
  }
  Payload& Pad4() {
    while (bytes.size() % 4) bytes.push_back(0);
    return *this;
  }
  std::vector<uint8_t> bytes;
};

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

template <class P>
RectL BoundsOf(const std::vector<P>& points) {
  if (points.empty()) return RectL{};
  RectL r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const P& p : points) {
    r.left = std::min<int32_t>(r.left, p.x);
    r.top = std::min<int32_t>(r.top, p.y);
    r.right = std::max<int32_t>(r.right, p.x);
    r.bottom = std::max<int32_t>(r.bottom, p.y);
  }
  return r;
}

std::vector<uint8_t> InfoHeader(int32_t width, int32_t height, int bitCount, uint32_t colours, size_t imageSize) {
  Payload p;
  p.U32(40).I32(width).I32(height).U16(1).U16(static_cast<uint16_t>(bitCount)).U32(0);
  p.U32(static_cast<uint32_t>(imageSize)).I32(3780).I32(3780).U32(colours).U32(0);
  return p.bytes;
}

Dib MakeDibDirect(int32_t width, int32_t height, int bitCount, const std::vector<uint32_t>& pixels) {
  const size_t bpp = static_cast<size_t>(bitCount / 8);
  const size_t stride = (static_cast<size_t>(width) * bpp + 3) / 4 * 4;
  Dib dib;
  dib.bits.assign(stride * static_cast<size_t>(height), 0);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.bits.data() + stride * static_cast<size_t>(height - 1 - y);  // bottom-up
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t c = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      uint8_t* p = row + static_cast<size_t>(x) * bpp;
      p[0] = static_cast<uint8_t>(c >> 16);
      p[1] = static_cast<uint8_t>(c >> 8);
      p[2] = static_cast<uint8_t>(c);
      if (bpp == 4) p[3] = static_cast<uint8_t>(c >> 24);
    }
  }
  dib.info = InfoHeader(width, height, bitCount, 0, dib.bits.size());
  return dib;
}

}  // namespace

HeaderInfo HeaderForPixels(int32_t width, int32_t height, SizeL devicePixels, SizeL deviceMillimeters) {
  HeaderInfo h;
  h.devicePixels = devicePixels;
  h.deviceMillimeters = deviceMillimeters;
  h.bounds = RectL{0, 0, width - 1, height - 1};
  const auto frame = [](int64_t pixels, int64_t px, int64_t mm) {
    return static_cast<int32_t>((pixels * mm * 100 + px / 2) / px);
  };
  h.frame = RectL{0, 0, frame(width, devicePixels.cx, deviceMillimeters.cx),
                  frame(height, devicePixels.cy, deviceMillimeters.cy)};
  return h;
}

Dib MakeDib24(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  return MakeDibDirect(width, height, 24, pixels);
}

Dib MakeDib32(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  return MakeDibDirect(width, height, 32, pixels);
}

Dib MakeDibPaletteIndexed(int32_t width, int32_t height, int bitCount, const std::vector<uint16_t>& paletteIndices,
                          const std::vector<uint8_t>& indices) {
  Dib dib = MakeDibIndexed(width, height, bitCount, std::vector<uint32_t>(paletteIndices.size(), 0), indices);
  dib.info.resize(40);
  Payload table;
  for (uint16_t n : paletteIndices) table.U16(n);
  dib.info.insert(dib.info.end(), table.bytes.begin(), table.bytes.end());
  return dib;
}

Dib MakeDibIndexed(int32_t width, int32_t height, int bitCount, const std::vector<uint32_t>& palette,
                   const std::vector<uint8_t>& indices) {
  const size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32 * 4;
  Dib dib;
  dib.bits.assign(stride * static_cast<size_t>(height), 0);
  const int perByte = 8 / bitCount;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.bits.data() + stride * static_cast<size_t>(height - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t index = indices[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      const int shift = 8 - bitCount * (x % perByte + 1);
      row[x / perByte] |= static_cast<uint8_t>((index & ((1 << bitCount) - 1)) << shift);
    }
  }
  Payload info;
  info.Append(InfoHeader(width, height, bitCount, static_cast<uint32_t>(palette.size()), dib.bits.size()));
  for (uint32_t c : palette) info.U32(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));  // RGBQUAD
  dib.info = std::move(info.bytes);
  return dib;
}

Dib MakeDibRle(int32_t width, int32_t height, int bitCount, const std::vector<uint32_t>& palette,
               const std::vector<uint8_t>& stream) {
  Dib dib;
  dib.bits = stream;
  dib.info = InfoHeader(width, height, bitCount, static_cast<uint32_t>(palette.size()), stream.size());
  const uint32_t compression = bitCount == 8 ? 1 : 2;  // BI_RLE8, BI_RLE4
  for (int i = 0; i < 4; ++i) dib.info[16 + static_cast<size_t>(i)] = static_cast<uint8_t>(compression >> (8 * i));
  Payload table;
  for (uint32_t c : palette) table.U32(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));  // RGBQUAD
  dib.info.insert(dib.info.end(), table.bytes.begin(), table.bytes.end());
  return dib;
}

EmfWriter::EmfWriter(const HeaderInfo& h) : used_(1, true) {
  Payload p;
  p.U32(EMR_HEADER).U32(0);  // size patched below
  p.Rect(h.bounds).Rect(h.frame);
  p.U32(header::kSignatureValue).U32(header::kVersionValue);
  p.U32(0).U32(0);     // nBytes, nRecords: patched by Finish
  p.U16(0).U16(0);     // nHandles (patched), reserved
  const uint32_t descriptionUnits = static_cast<uint32_t>(h.description.size()) + 1;
  p.U32(descriptionUnits).U32(header::kBaseSize);
  p.U32(0);            // palette entries
  p.I32(h.devicePixels.cx).I32(h.devicePixels.cy).I32(h.deviceMillimeters.cx).I32(h.deviceMillimeters.cy);
  for (char16_t c : h.description) p.U16(static_cast<uint16_t>(c));
  p.U16(0).Pad4();
  bytes_ = std::move(p.bytes);
  Put32(bytes_, 4, static_cast<uint32_t>(bytes_.size()));
  records_ = 1;
}

void EmfWriter::Record(uint32_t type, const std::vector<uint8_t>& payload) {
  Payload p;
  p.U32(type).U32(static_cast<uint32_t>((8 + payload.size() + 3) / 4 * 4)).Append(payload).Pad4();
  Raw(p.bytes);
  ++records_;
}

void EmfWriter::Raw(const std::vector<uint8_t>& bytes) {
  if (finished_) return;
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void EmfWriter::OverrideHeaderCounts(int64_t nBytes, int64_t nRecords, int64_t nHandles) {
  overrideBytes_ = nBytes;
  overrideRecords_ = nRecords;
  overrideHandles_ = nHandles;
}

std::vector<uint8_t> EmfWriter::Finish() {
  if (!finished_) {
    Record(EMR_EOF, Payload().U32(0).U32(16).U32(20).bytes);  // no palette; nSizeLast = 20
    finished_ = true;
    Put32(bytes_, header::kBytes,
          static_cast<uint32_t>(overrideBytes_ >= 0 ? overrideBytes_ : static_cast<int64_t>(bytes_.size())));
    Put32(bytes_, header::kRecords, static_cast<uint32_t>(overrideRecords_ >= 0 ? overrideRecords_ : records_));
    Put16(bytes_, header::kHandles,
          static_cast<uint16_t>(overrideHandles_ >= 0 ? overrideHandles_ : int64_t{maxHandle_} + 1));
  }
  return bytes_;
}

uint32_t EmfWriter::AllocateHandle() {
  uint32_t index = 1;
  while (index < used_.size() && used_[index]) ++index;
  if (index == used_.size()) used_.push_back(false);
  used_[index] = true;
  maxHandle_ = std::max(maxHandle_, index);
  return index;
}

// --- mapping and transforms -------------------------------------------------

void EmfWriter::SetMapMode(uint32_t mode) { Record(EMR_SETMAPMODE, Payload().U32(mode).bytes); }
void EmfWriter::SetWindowExtEx(int32_t cx, int32_t cy) { Record(EMR_SETWINDOWEXTEX, Payload().I32(cx).I32(cy).bytes); }
void EmfWriter::SetWindowOrgEx(int32_t x, int32_t y) { Record(EMR_SETWINDOWORGEX, Payload().I32(x).I32(y).bytes); }
void EmfWriter::SetViewportExtEx(int32_t cx, int32_t cy) {
  Record(EMR_SETVIEWPORTEXTEX, Payload().I32(cx).I32(cy).bytes);
}
void EmfWriter::SetViewportOrgEx(int32_t x, int32_t y) { Record(EMR_SETVIEWPORTORGEX, Payload().I32(x).I32(y).bytes); }
void EmfWriter::ScaleViewportExtEx(int32_t xNum, int32_t xDenom, int32_t yNum, int32_t yDenom) {
  Record(EMR_SCALEVIEWPORTEXTEX, Payload().I32(xNum).I32(xDenom).I32(yNum).I32(yDenom).bytes);
}
void EmfWriter::ScaleWindowExtEx(int32_t xNum, int32_t xDenom, int32_t yNum, int32_t yDenom) {
  Record(EMR_SCALEWINDOWEXTEX, Payload().I32(xNum).I32(xDenom).I32(yNum).I32(yDenom).bytes);
}
void EmfWriter::SetWorldTransform(const XForm& x) {
  Record(EMR_SETWORLDTRANSFORM, Payload().F32(x.m11).F32(x.m12).F32(x.m21).F32(x.m22).F32(x.dx).F32(x.dy).bytes);
}
void EmfWriter::ModifyWorldTransform(const XForm& x, uint32_t mode) {
  Record(EMR_MODIFYWORLDTRANSFORM,
         Payload().F32(x.m11).F32(x.m12).F32(x.m21).F32(x.m22).F32(x.dx).F32(x.dy).U32(mode).bytes);
}
void EmfWriter::SaveDC() { Record(EMR_SAVEDC, {}); }
void EmfWriter::RestoreDC(int32_t relative) { Record(EMR_RESTOREDC, Payload().I32(relative).bytes); }

// --- modes and colours ------------------------------------------------------

void EmfWriter::SetPolyFillMode(uint32_t mode) { Record(EMR_SETPOLYFILLMODE, Payload().U32(mode).bytes); }
void EmfWriter::SetBkMode(uint32_t mode) { Record(EMR_SETBKMODE, Payload().U32(mode).bytes); }
void EmfWriter::SetBrushOrgEx(int32_t x, int32_t y) { Record(EMR_SETBRUSHORGEX, Payload().I32(x).I32(y).bytes); }
void EmfWriter::SetBkColor(uint32_t color) { Record(EMR_SETBKCOLOR, Payload().U32(color).bytes); }
void EmfWriter::SetTextColor(uint32_t color) { Record(EMR_SETTEXTCOLOR, Payload().U32(color).bytes); }
void EmfWriter::SetTextAlign(uint32_t align) { Record(EMR_SETTEXTALIGN, Payload().U32(align).bytes); }
void EmfWriter::SetROP2(uint32_t rop) { Record(EMR_SETROP2, Payload().U32(rop).bytes); }
void EmfWriter::SetMiterLimit(float limit) { Record(EMR_SETMITERLIMIT, Payload().F32(limit).bytes); }
void EmfWriter::SetStretchBltMode(uint32_t mode) { Record(EMR_SETSTRETCHBLTMODE, Payload().U32(mode).bytes); }
void EmfWriter::SetArcDirection(uint32_t direction) { Record(EMR_SETARCDIRECTION, Payload().U32(direction).bytes); }
void EmfWriter::SetPixelV(int32_t x, int32_t y, uint32_t color) {
  Record(EMR_SETPIXELV, Payload().I32(x).I32(y).U32(color).bytes);
}

// --- objects ----------------------------------------------------------------

uint32_t EmfWriter::CreatePen(uint32_t style, int32_t width, uint32_t color) {
  const uint32_t h = AllocateHandle();
  Record(EMR_CREATEPEN, Payload().U32(h).U32(style).I32(width).I32(0).U32(color).bytes);
  return h;
}

uint32_t EmfWriter::ExtCreatePen(uint32_t style, uint32_t width, uint32_t color,
                                 const std::vector<uint32_t>& styleEntries, uint32_t brushStyle, uint32_t hatch) {
  const uint32_t h = AllocateHandle();
  // ihPen, offBmi, cbBmi, offBits, cbBits, then the extended LOGPEN.
  Payload p;
  p.U32(h).U32(0).U32(0).U32(0).U32(0);
  p.U32(style).U32(width).U32(brushStyle).U32(color).U32(hatch).U32(static_cast<uint32_t>(styleEntries.size()));
  for (uint32_t e : styleEntries) p.U32(e);
  Record(EMR_EXTCREATEPEN, p.bytes);
  return h;
}

uint32_t EmfWriter::CreateBrushIndirect(uint32_t style, uint32_t color, uint32_t hatch) {
  const uint32_t h = AllocateHandle();
  Record(EMR_CREATEBRUSHINDIRECT, Payload().U32(h).U32(style).U32(color).U32(hatch).bytes);
  return h;
}

uint32_t EmfWriter::BrushFromDib(uint32_t type, const Dib& dib) {
  const uint32_t h = AllocateHandle();
  const uint32_t fixed = 8 + 24;  // record head, ihBrush, iUsage, offBmi, cbBmi, offBits, cbBits
  const uint32_t infoSize = static_cast<uint32_t>(dib.info.size());
  const uint32_t bitsOffset = fixed + (infoSize + 3) / 4 * 4;
  Payload p;
  p.U32(h).U32(DIB_RGB_COLORS).U32(fixed).U32(infoSize).U32(bitsOffset).U32(static_cast<uint32_t>(dib.bits.size()));
  p.Append(dib.info).Pad4().Append(dib.bits);
  Record(type, p.bytes);
  return h;
}

uint32_t EmfWriter::CreateDIBPatternBrushPt(const Dib& dib) { return BrushFromDib(EMR_CREATEDIBPATTERNBRUSHPT, dib); }
uint32_t EmfWriter::CreateMonoBrush(const Dib& dib) { return BrushFromDib(EMR_CREATEMONOBRUSH, dib); }

uint32_t EmfWriter::ExtCreateFontIndirectW(const LogFontW& f) {
  const uint32_t h = AllocateHandle();
  Payload p;
  p.U32(h).I32(f.height).I32(f.width).I32(f.escapement).I32(f.orientation).I32(f.weight);
  p.bytes.push_back(f.italic);
  p.bytes.push_back(f.underline);
  p.bytes.push_back(f.strikeOut);
  p.bytes.push_back(f.charSet);
  p.bytes.insert(p.bytes.end(), {0, 0, 2, 0});  // precision, clip precision, quality, pitch and family
  for (size_t i = 0; i < 32; ++i) p.U16(i < 31 && i < f.faceName.size() ? static_cast<uint16_t>(f.faceName[i]) : 0);
  Record(EMR_EXTCREATEFONTINDIRECTW, p.bytes);
  return h;
}

void EmfWriter::SelectObject(uint32_t handle) { Record(EMR_SELECTOBJECT, Payload().U32(handle).bytes); }

void EmfWriter::DeleteObject(uint32_t handle) {
  Record(EMR_DELETEOBJECT, Payload().U32(handle).bytes);
  if (handle < used_.size() && handle != 0) used_[handle] = false;
}

// --- paths ------------------------------------------------------------------

void EmfWriter::BeginPath() { Record(EMR_BEGINPATH, {}); }
void EmfWriter::EndPath() { Record(EMR_ENDPATH, {}); }
void EmfWriter::CloseFigure() { Record(EMR_CLOSEFIGURE, {}); }
void EmfWriter::AbortPath() { Record(EMR_ABORTPATH, {}); }
void EmfWriter::FlattenPath() { Record(EMR_FLATTENPATH, {}); }
void EmfWriter::WidenPath() { Record(EMR_WIDENPATH, {}); }
// The fill and stroke records carry the path's bounds; a zero box is what a player needs to ignore.
void EmfWriter::FillPath() { Record(EMR_FILLPATH, Payload().Rect({}).bytes); }
void EmfWriter::StrokePath() { Record(EMR_STROKEPATH, Payload().Rect({}).bytes); }
void EmfWriter::StrokeAndFillPath() { Record(EMR_STROKEANDFILLPATH, Payload().Rect({}).bytes); }
void EmfWriter::SelectClipPath(uint32_t mode) { Record(EMR_SELECTCLIPPATH, Payload().U32(mode).bytes); }

// --- lines and curves -------------------------------------------------------

void EmfWriter::MoveToEx(int32_t x, int32_t y) { Record(EMR_MOVETOEX, Payload().I32(x).I32(y).bytes); }
void EmfWriter::LineTo(int32_t x, int32_t y) { Record(EMR_LINETO, Payload().I32(x).I32(y).bytes); }

void EmfWriter::PointsRecord(uint32_t type, const std::vector<PointL>& points) {
  Payload p;
  p.Rect(BoundsOf(points)).U32(static_cast<uint32_t>(points.size()));
  for (PointL q : points) p.Point(q);
  Record(type, p.bytes);
}

void EmfWriter::Points16Record(uint32_t type, const std::vector<PointS>& points) {
  Payload p;
  p.Rect(BoundsOf(points)).U32(static_cast<uint32_t>(points.size()));
  for (PointS q : points) p.U16(static_cast<uint16_t>(q.x)).U16(static_cast<uint16_t>(q.y));
  Record(type, p.bytes);
}

void EmfWriter::PolyDraw(const std::vector<PointL>& points, const std::vector<uint8_t>& types) {
  Payload p;
  p.Rect(BoundsOf(points)).U32(static_cast<uint32_t>(points.size()));
  for (PointL q : points) p.Point(q);
  Record(EMR_POLYDRAW, p.Append(types).Pad4().bytes);
}

void EmfWriter::PolyDraw16(const std::vector<PointS>& points, const std::vector<uint8_t>& types) {
  Payload p;
  p.Rect(BoundsOf(points)).U32(static_cast<uint32_t>(points.size()));
  for (PointS q : points) p.U16(static_cast<uint16_t>(q.x)).U16(static_cast<uint16_t>(q.y));
  Record(EMR_POLYDRAW16, p.Append(types).Pad4().bytes);
}

void EmfWriter::PolyPolyRecord(uint32_t type, const std::vector<std::vector<PointL>>& polys) {
  std::vector<PointL> all;
  for (const auto& poly : polys) all.insert(all.end(), poly.begin(), poly.end());
  Payload p;
  p.Rect(BoundsOf(all)).U32(static_cast<uint32_t>(polys.size())).U32(static_cast<uint32_t>(all.size()));
  for (const auto& poly : polys) p.U32(static_cast<uint32_t>(poly.size()));
  for (PointL q : all) p.Point(q);
  Record(type, p.bytes);
}

void EmfWriter::PolyPoly16Record(uint32_t type, const std::vector<std::vector<PointS>>& polys) {
  std::vector<PointS> all;
  for (const auto& poly : polys) all.insert(all.end(), poly.begin(), poly.end());
  Payload p;
  p.Rect(BoundsOf(all)).U32(static_cast<uint32_t>(polys.size())).U32(static_cast<uint32_t>(all.size()));
  for (const auto& poly : polys) p.U32(static_cast<uint32_t>(poly.size()));
  for (PointS q : all) p.U16(static_cast<uint16_t>(q.x)).U16(static_cast<uint16_t>(q.y));
  Record(type, p.bytes);
}

void EmfWriter::Polygon(const std::vector<PointL>& pts) { PointsRecord(EMR_POLYGON, pts); }
void EmfWriter::Polygon16(const std::vector<PointS>& pts) { Points16Record(EMR_POLYGON16, pts); }
void EmfWriter::Polyline(const std::vector<PointL>& pts) { PointsRecord(EMR_POLYLINE, pts); }
void EmfWriter::Polyline16(const std::vector<PointS>& pts) { Points16Record(EMR_POLYLINE16, pts); }
void EmfWriter::PolylineTo(const std::vector<PointL>& pts) { PointsRecord(EMR_POLYLINETO, pts); }
void EmfWriter::PolylineTo16(const std::vector<PointS>& pts) { Points16Record(EMR_POLYLINETO16, pts); }
void EmfWriter::PolyBezier(const std::vector<PointL>& pts) { PointsRecord(EMR_POLYBEZIER, pts); }
void EmfWriter::PolyBezier16(const std::vector<PointS>& pts) { Points16Record(EMR_POLYBEZIER16, pts); }
void EmfWriter::PolyBezierTo(const std::vector<PointL>& pts) { PointsRecord(EMR_POLYBEZIERTO, pts); }
void EmfWriter::PolyBezierTo16(const std::vector<PointS>& pts) { Points16Record(EMR_POLYBEZIERTO16, pts); }
void EmfWriter::PolyPolygon(const std::vector<std::vector<PointL>>& p) { PolyPolyRecord(EMR_POLYPOLYGON, p); }
void EmfWriter::PolyPolygon16(const std::vector<std::vector<PointS>>& p) { PolyPoly16Record(EMR_POLYPOLYGON16, p); }
void EmfWriter::PolyPolyline(const std::vector<std::vector<PointL>>& p) { PolyPolyRecord(EMR_POLYPOLYLINE, p); }
void EmfWriter::PolyPolyline16(const std::vector<std::vector<PointS>>& p) {
  PolyPoly16Record(EMR_POLYPOLYLINE16, p);
}

// --- shapes -----------------------------------------------------------------

void EmfWriter::BoxRecord(uint32_t type, const RectL& box) { Record(type, Payload().Rect(box).bytes); }
void EmfWriter::ArcRecord(uint32_t type, const RectL& box, PointL start, PointL end) {
  Record(type, Payload().Rect(box).Point(start).Point(end).bytes);
}

void EmfWriter::Rectangle(const RectL& box) { BoxRecord(EMR_RECTANGLE, box); }
void EmfWriter::Ellipse(const RectL& box) { BoxRecord(EMR_ELLIPSE, box); }
void EmfWriter::RoundRect(const RectL& box, SizeL corner) {
  Record(EMR_ROUNDRECT, Payload().Rect(box).I32(corner.cx).I32(corner.cy).bytes);
}
void EmfWriter::Arc(const RectL& box, PointL s, PointL e) { ArcRecord(EMR_ARC, box, s, e); }
void EmfWriter::ArcTo(const RectL& box, PointL s, PointL e) { ArcRecord(EMR_ARCTO, box, s, e); }
void EmfWriter::Chord(const RectL& box, PointL s, PointL e) { ArcRecord(EMR_CHORD, box, s, e); }
void EmfWriter::Pie(const RectL& box, PointL s, PointL e) { ArcRecord(EMR_PIE, box, s, e); }
void EmfWriter::AngleArc(PointL center, uint32_t radius, float startAngle, float sweepAngle) {
  Record(EMR_ANGLEARC, Payload().Point(center).U32(radius).F32(startAngle).F32(sweepAngle).bytes);
}

// --- clipping ---------------------------------------------------------------

void EmfWriter::IntersectClipRect(const RectL& r) { BoxRecord(EMR_INTERSECTCLIPRECT, r); }
void EmfWriter::ExcludeClipRect(const RectL& r) { BoxRecord(EMR_EXCLUDECLIPRECT, r); }
void EmfWriter::OffsetClipRgn(int32_t dx, int32_t dy) { Record(EMR_OFFSETCLIPRGN, Payload().I32(dx).I32(dy).bytes); }

namespace {

RectL BoundOfRects(const std::vector<RectL>& rects) {
  RectL bound = rects.empty() ? RectL{} : rects[0];
  for (const RectL& r : rects) {
    bound.left = std::min(bound.left, r.left);
    bound.top = std::min(bound.top, r.top);
    bound.right = std::max(bound.right, r.right);
    bound.bottom = std::max(bound.bottom, r.bottom);
  }
  return bound;
}

// RGNDATA of the rectangles (nothing for none).
std::vector<uint8_t> RegionData(const std::vector<RectL>& rects) {
  Payload region;
  if (rects.empty()) return region.bytes;
  const RectL bound = BoundOfRects(rects);
  // RGNDATAHEADER: dwSize, iType (RDH_RECTANGLES), nCount, nRgnSize, rcBound.
  region.U32(32).U32(1).U32(static_cast<uint32_t>(rects.size())).U32(static_cast<uint32_t>(rects.size() * 16));
  region.Rect(bound);
  for (const RectL& r : rects) region.Rect(r);
  return region.bytes;
}

}  // namespace

void EmfWriter::ExtSelectClipRgn(uint32_t mode, const std::vector<RectL>& rects) {
  const std::vector<uint8_t> region = RegionData(rects);
  Record(EMR_EXTSELECTCLIPRGN, Payload().U32(static_cast<uint32_t>(region.size())).U32(mode).Append(region).bytes);
}

void EmfWriter::FillRgn(uint32_t brush, const std::vector<RectL>& rects) {
  const std::vector<uint8_t> region = RegionData(rects);
  Record(EMR_FILLRGN,
         Payload().Rect(BoundOfRects(rects)).U32(static_cast<uint32_t>(region.size())).U32(brush).Append(region).bytes);
}

void EmfWriter::PaintRgn(const std::vector<RectL>& rects) {
  const std::vector<uint8_t> region = RegionData(rects);
  Record(EMR_PAINTRGN, Payload().Rect(BoundOfRects(rects)).U32(static_cast<uint32_t>(region.size())).Append(region).bytes);
}

void EmfWriter::FrameRgn(uint32_t brush, int32_t strokeWidth, int32_t strokeHeight, const std::vector<RectL>& rects) {
  const std::vector<uint8_t> region = RegionData(rects);
  Record(EMR_FRAMERGN, Payload()
                           .Rect(BoundOfRects(rects))
                           .U32(static_cast<uint32_t>(region.size()))
                           .U32(brush)
                           .I32(strokeWidth)
                           .I32(strokeHeight)
                           .Append(region)
                           .bytes);
}

void EmfWriter::InvertRgn(const std::vector<RectL>& rects) {
  const std::vector<uint8_t> region = RegionData(rects);
  Record(EMR_INVERTRGN, Payload().Rect(BoundOfRects(rects)).U32(static_cast<uint32_t>(region.size())).Append(region).bytes);
}

// --- text -------------------------------------------------------------------

void EmfWriter::TextRecord(uint32_t type, PointL reference, const std::vector<uint8_t>& text, uint32_t chars,
                           uint32_t options, RectL rect, const std::vector<int32_t>* dx, uint32_t graphicsMode) {
  constexpr uint32_t kFixed = 76;  // head, bounds, mode, scales, EMRTEXT
  const uint32_t stringOffset = kFixed;
  const uint32_t dxOffset = stringOffset + static_cast<uint32_t>((text.size() + 3) / 4 * 4);
  Payload p;
  p.Rect({}).U32(graphicsMode).F32(1.0f).F32(1.0f);
  p.Point(reference).U32(chars).U32(stringOffset).U32(options).Rect(rect).U32(dx ? dxOffset : 0);
  p.Append(text).Pad4();
  // With ETO_PDY each character has an x and a y advance.
  const uint32_t values = (options & ETO_PDY) ? 2 * chars : chars;
  if (dx)
    for (uint32_t i = 0; i < values; ++i) p.I32(i < dx->size() ? (*dx)[i] : 0);
  Record(type, p.bytes);
}

void EmfWriter::ExtTextOutW(PointL reference, const std::u16string& text, uint32_t options, RectL rect,
                            const std::vector<int32_t>* dx, uint32_t graphicsMode) {
  std::vector<uint8_t> units;
  for (char16_t c : text) {
    units.push_back(static_cast<uint8_t>(c));
    units.push_back(static_cast<uint8_t>(c >> 8));
  }
  TextRecord(EMR_EXTTEXTOUTW, reference, units, static_cast<uint32_t>(text.size()), options, rect, dx,
             graphicsMode);
}

void EmfWriter::ExtTextOutA(PointL reference, const std::string& text, uint32_t options, RectL rect,
                            const std::vector<int32_t>* dx) {
  TextRecord(EMR_EXTTEXTOUTA, reference, std::vector<uint8_t>(text.begin(), text.end()),
             static_cast<uint32_t>(text.size()), options, rect, dx, GM_COMPATIBLE);
}

void EmfWriter::SmallTextOut(PointL reference, const std::u16string& text, uint32_t options, RectL rect) {
  Payload p;
  p.Point(reference).U32(static_cast<uint32_t>(text.size())).U32(options).U32(GM_COMPATIBLE).F32(1).F32(1);
  if (!(options & ETO_NO_RECT)) p.Rect(rect);
  for (char16_t c : text) {
    if (options & ETO_SMALL_CHARS) p.Append({static_cast<uint8_t>(c)});
    else p.U16(static_cast<uint16_t>(c));
  }
  Record(EMR_SMALLTEXTOUT, p.Pad4().bytes);
}

void EmfWriter::PolyTextOutW(const std::vector<std::pair<PointL, std::u16string>>& strings) {
  // Bounds, graphics mode, scales, count, then an EMRTEXT (40 bytes) a
  // string; the strings follow, each padded to 4 bytes. Offsets count from
  // the record's start (its 8-byte type and size included).
  uint32_t offset = 8 + 16 + 12 + 4 + 40 * static_cast<uint32_t>(strings.size());
  Payload p;
  p.Rect({0, 0, -1, -1}).U32(GM_COMPATIBLE).F32(1).F32(1).U32(static_cast<uint32_t>(strings.size()));
  Payload text;
  for (const auto& [reference, s] : strings) {
    p.Point(reference).U32(static_cast<uint32_t>(s.size())).U32(offset).U32(0).Rect({0, 0, -1, -1}).U32(0);
    for (char16_t c : s) text.U16(static_cast<uint16_t>(c));
    text.Pad4();
    offset = 8 + 16 + 12 + 4 + 40 * static_cast<uint32_t>(strings.size()) + static_cast<uint32_t>(text.bytes.size());
  }
  Record(EMR_POLYTEXTOUTW, p.Append(text.bytes).bytes);
}

void EmfWriter::PolyTextOutW(uint32_t graphicsMode, const std::vector<EmrText>& strings) {
  // As above; each string's advances follow its characters.
  const uint32_t head = 8 + 16 + 12 + 4 + 40 * static_cast<uint32_t>(strings.size());
  Payload p;
  p.Rect({0, 0, -1, -1}).U32(graphicsMode).F32(1).F32(1).U32(static_cast<uint32_t>(strings.size()));
  Payload tail;
  for (const EmrText& s : strings) {
    const uint32_t stringOffset = head + static_cast<uint32_t>(tail.bytes.size());
    for (char16_t c : s.text) tail.U16(static_cast<uint16_t>(c));
    tail.Pad4();
    const uint32_t dxOffset = s.dx.empty() ? 0 : head + static_cast<uint32_t>(tail.bytes.size());
    for (int32_t v : s.dx) tail.I32(v);
    p.Point(s.reference).U32(static_cast<uint32_t>(s.text.size())).U32(stringOffset).U32(s.options).Rect(s.rect);
    p.U32(dxOffset);
  }
  Record(EMR_POLYTEXTOUTW, p.Append(tail.bytes).bytes);
}

// --- bitmaps ----------------------------------------------------------------

void EmfWriter::StretchDIBits(int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t srcX, int32_t srcY,
                              int32_t srcCx, int32_t srcCy, const Dib& dib, uint32_t rop, uint32_t usage) {
  constexpr uint32_t kFixed = 80;
  const uint32_t infoSize = static_cast<uint32_t>(dib.info.size());
  const uint32_t bitsOffset = kFixed + (infoSize + 3) / 4 * 4;
  Payload p;
  p.Rect({x, y, x + cx - 1, y + cy - 1});
  p.I32(x).I32(y).I32(srcX).I32(srcY).I32(srcCx).I32(srcCy);
  p.U32(kFixed).U32(infoSize).U32(bitsOffset).U32(static_cast<uint32_t>(dib.bits.size()));
  p.U32(usage).U32(rop).I32(cx).I32(cy);
  p.Append(dib.info).Pad4().Append(dib.bits);
  Record(EMR_STRETCHDIBITS, p.bytes);
}

void EmfWriter::SetDIBitsToDevice(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t cx, int32_t cy,
                                  const Dib& dib) {
  constexpr uint32_t kFixed = 76;
  const uint32_t infoSize = static_cast<uint32_t>(dib.info.size());
  const uint32_t bitsOffset = kFixed + (infoSize + 3) / 4 * 4;
  int32_t height = 0;
  if (dib.info.size() >= 12) std::memcpy(&height, dib.info.data() + 8, 4);
  Payload p;
  p.Rect({x, y, x + cx - 1, y + cy - 1});
  p.I32(x).I32(y).I32(srcX).I32(srcY).I32(cx).I32(cy);
  p.U32(kFixed).U32(infoSize).U32(bitsOffset).U32(static_cast<uint32_t>(dib.bits.size()));
  p.U32(DIB_RGB_COLORS).U32(0).U32(static_cast<uint32_t>(height < 0 ? -int64_t{height} : height));
  p.Append(dib.info).Pad4().Append(dib.bits);
  Record(EMR_SETDIBITSTODEVICE, p.bytes);
}

void EmfWriter::BitBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t rop, const Dib* source, int32_t srcX,
                       int32_t srcY) {
  constexpr uint32_t kFixed = 100;
  Payload p;
  p.Rect({x, y, x + cx - 1, y + cy - 1}).I32(x).I32(y).I32(cx).I32(cy).U32(rop).I32(srcX).I32(srcY);
  p.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0);  // xformSrc
  p.U32(0xFFFFFF).U32(DIB_RGB_COLORS);
  if (source) {
    const uint32_t infoSize = static_cast<uint32_t>(source->info.size());
    const uint32_t bitsOffset = kFixed + (infoSize + 3) / 4 * 4;
    p.U32(kFixed).U32(infoSize).U32(bitsOffset).U32(static_cast<uint32_t>(source->bits.size()));
    p.Append(source->info).Pad4().Append(source->bits);
  } else {
    p.U32(0).U32(0).U32(0).U32(0);
  }
  Record(EMR_BITBLT, p.bytes);
}

void EmfWriter::StretchBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t rop, const Dib& source,
                           int32_t srcX, int32_t srcY, int32_t srcCx, int32_t srcCy) {
  StretchBltRecord(EMR_STRETCHBLT, x, y, cx, cy, rop, source, srcX, srcY, srcCx, srcCy);
}

void EmfWriter::TransparentBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t transparentColor,
                               const Dib& source, int32_t srcX, int32_t srcY, int32_t srcCx, int32_t srcCy) {
  StretchBltRecord(EMR_TRANSPARENTBLT, x, y, cx, cy, transparentColor, source, srcX, srcY, srcCx, srcCy);
}

// StretchBlt and TransparentBlt share their layout; the raster operation's
// place holds the transparent colour in the latter.
void EmfWriter::StretchBltRecord(uint32_t type, int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t ropOrColor,
                                 const Dib& source, int32_t srcX, int32_t srcY, int32_t srcCx, int32_t srcCy) {
  constexpr uint32_t kFixed = 108;
  const uint32_t infoSize = static_cast<uint32_t>(source.info.size());
  const uint32_t bitsOffset = kFixed + (infoSize + 3) / 4 * 4;
  Payload p;
  p.Rect({x, y, x + cx - 1, y + cy - 1}).I32(x).I32(y).I32(cx).I32(cy).U32(ropOrColor).I32(srcX).I32(srcY);
  p.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0);
  p.U32(0xFFFFFF).U32(DIB_RGB_COLORS);
  p.U32(kFixed).U32(infoSize).U32(bitsOffset).U32(static_cast<uint32_t>(source.bits.size()));
  p.I32(srcCx).I32(srcCy);
  p.Append(source.info).Pad4().Append(source.bits);
  Record(type, p.bytes);
}

void EmfWriter::AlphaBlend(int32_t x, int32_t y, int32_t cx, int32_t cy, uint8_t constantAlpha, bool sourceAlpha,
                           const Dib& source, int32_t srcX, int32_t srcY, int32_t srcCx, int32_t srcCy) {
  // BLENDFUNCTION: AC_SRC_OVER, no flags, the constant alpha, AC_SRC_ALPHA or 0.
  const uint32_t blend = (uint32_t{constantAlpha} << 16) | (sourceAlpha ? 0x01000000u : 0u);
  StretchBltRecord(EMR_ALPHABLEND, x, y, cx, cy, blend, source, srcX, srcY, srcCx, srcCy);
}

// The mask fields of MaskBlt and PlgBlt, with the mask's header and bits
// appended after `fixed` bytes plus what `p` already carries beyond it.
namespace {
void AppendMask(Payload& p, uint32_t recordFixed, const Dib* mask, int32_t xMask, int32_t yMask,
                std::vector<uint8_t>& tail) {
  p.I32(xMask).I32(yMask).U32(DIB_RGB_COLORS);
  if (!mask) {
    p.U32(0).U32(0).U32(0).U32(0);
    return;
  }
  const uint32_t infoOffset = recordFixed + static_cast<uint32_t>(tail.size());
  const uint32_t infoSize = static_cast<uint32_t>(mask->info.size());
  const uint32_t bitsOffset = infoOffset + (infoSize + 3) / 4 * 4;
  p.U32(infoOffset).U32(infoSize).U32(bitsOffset).U32(static_cast<uint32_t>(mask->bits.size()));
  Payload t;
  t.Append(mask->info).Pad4().Append(mask->bits).Pad4();
  tail.insert(tail.end(), t.bytes.begin(), t.bytes.end());
}

// The source DIB fields, its header and bits going to `tail` at `recordFixed`.
void AppendSource(Payload& p, uint32_t recordFixed, const Dib& source, std::vector<uint8_t>& tail) {
  const uint32_t infoSize = static_cast<uint32_t>(source.info.size());
  const uint32_t bitsOffset = recordFixed + (infoSize + 3) / 4 * 4;
  p.U32(DIB_RGB_COLORS).U32(recordFixed).U32(infoSize).U32(bitsOffset).U32(static_cast<uint32_t>(source.bits.size()));
  Payload t;
  t.Append(source.info).Pad4().Append(source.bits).Pad4();
  tail = std::move(t.bytes);
}
}  // namespace

void EmfWriter::MaskBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t rop4, const Dib& source, int32_t srcX,
                        int32_t srcY, const Dib* mask, int32_t xMask, int32_t yMask) {
  constexpr uint32_t kFixed = 128;
  Payload p;
  std::vector<uint8_t> tail;
  p.Rect({x, y, x + cx - 1, y + cy - 1}).I32(x).I32(y).I32(cx).I32(cy).U32(rop4).I32(srcX).I32(srcY);
  p.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0xFFFFFF);
  AppendSource(p, kFixed, source, tail);
  AppendMask(p, kFixed, mask, xMask, yMask, tail);
  Record(EMR_MASKBLT, p.Append(tail).bytes);
}

void EmfWriter::PlgBlt(const std::array<PointL, 3>& corners, const Dib& source, int32_t srcX, int32_t srcY,
                       int32_t srcCx, int32_t srcCy, const Dib* mask, int32_t xMask, int32_t yMask) {
  constexpr uint32_t kFixed = 140;
  Payload p;
  std::vector<uint8_t> tail;
  int32_t l = corners[0].x, t = corners[0].y, r = l, b = t;
  for (const PointL& c : corners) {
    l = std::min(l, c.x), t = std::min(t, c.y), r = std::max(r, c.x), b = std::max(b, c.y);
  }
  p.Rect({l, t, r, b});
  for (const PointL& c : corners) p.Point(c);
  p.I32(srcX).I32(srcY).I32(srcCx).I32(srcCy);
  p.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0).U32(0xFFFFFF);
  AppendSource(p, kFixed, source, tail);
  AppendMask(p, kFixed, mask, xMask, yMask, tail);
  Record(EMR_PLGBLT, p.Append(tail).bytes);
}

void EmfWriter::GradientFill(const std::vector<TriVertex>& vertices, const std::vector<uint32_t>& indices,
                             uint32_t mode) {
  const uint32_t perObject = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
  Payload p;
  p.Rect({0, 0, 0, 0}).U32(static_cast<uint32_t>(vertices.size()))
      .U32(static_cast<uint32_t>(indices.size() / perObject)).U32(mode);
  for (const TriVertex& v : vertices) p.I32(v.x).I32(v.y).U16(v.red).U16(v.green).U16(v.blue).U16(v.alpha);
  for (uint32_t i : indices) p.U32(i);
  Record(EMR_GRADIENTFILL, p.bytes);
}

uint32_t EmfWriter::CreatePalette(const std::vector<uint32_t>& colors) {
  const uint32_t h = AllocateHandle();
  Payload p;
  p.U32(h).U16(0x300).U16(static_cast<uint16_t>(colors.size()));
  for (uint32_t c : colors) p.U32(c & 0xFFFFFF);  // PALETTEENTRY: red, green, blue, flags
  Record(EMR_CREATEPALETTE, p.bytes);
  return h;
}

void EmfWriter::SelectPalette(uint32_t handle) { Record(EMR_SELECTPALETTE, Payload().U32(handle).bytes); }
void EmfWriter::RealizePalette() { Record(EMR_REALIZEPALETTE, {}); }
void EmfWriter::SetPaletteEntries(uint32_t handle, uint32_t start, const std::vector<uint32_t>& colors) {
  Payload p;
  p.U32(handle).U32(start).U32(static_cast<uint32_t>(colors.size()));
  for (uint32_t c : colors) p.U32(c & 0xFFFFFF);
  Record(EMR_SETPALETTEENTRIES, p.bytes);
}
void EmfWriter::ResizePalette(uint32_t handle, uint32_t entries) {
  Record(EMR_RESIZEPALETTE, Payload().U32(handle).U32(entries).bytes);
}

void EmfWriter::GdiComment(const std::vector<uint8_t>& data) {
  Record(EMR_GDICOMMENT, Payload().U32(static_cast<uint32_t>(data.size())).Append(data).bytes);
}

}  // namespace orvane::emf
