#pragma once
// EmfWriter: builds an enhanced metafile in memory, record by record, the
// way ordinary producers write one: an 88-byte header followed by a UTF-16
// description (108 bytes with the default one), the drawing records, and an
// EOF record; Finish() patches the byte count, record count and handle
// count into the header. Used by the tests and to author pictures.
//
// Object handles are table indices from 1 upward; the lowest free index is
// reused after DeleteObject, as GDI's recorder does. Record bounds are the
// inclusive bounding box of the points in logical units (players ignore
// them). Raw() and Record() write arbitrary (also malformed) records.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

struct PointL {
  int32_t x = 0;
  int32_t y = 0;
};
struct PointS {
  int16_t x = 0;
  int16_t y = 0;
};
struct SizeL {
  int32_t cx = 0;
  int32_t cy = 0;
};
struct RectL {  // as records hold it: inclusive box edges
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
struct XForm {
  float m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
};

// Colour value: red in bits 0-7.
constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return r | (uint32_t{g} << 8) | (uint32_t{b} << 16); }

struct HeaderInfo {
  RectL bounds;                 // device pixels of the reference device, inclusive
  RectL frame;                  // 0.01 mm, inclusive
  SizeL devicePixels{640, 480};  // reference device
  SizeL deviceMillimeters{169, 127};
  std::u16string description = u"OrvaneEmf";  // written with a terminating NUL
};

// A picture of `width` x `height` reference-device pixels drawn at 1:1: the
// frame covers exactly that many pixels of the reference device (frame
// right = width x 100 x mm / pixels, so the natural size is width x height).
HeaderInfo HeaderForPixels(int32_t width, int32_t height, SizeL devicePixels = {640, 480},
                           SizeL deviceMillimeters = {169, 127});

// A device-independent bitmap as records carry it: BITMAPINFO (header and
// colour table) and the bits.
struct Dib {
  std::vector<uint8_t> info;
  std::vector<uint8_t> bits;
};
// A bottom-up 24-bit DIB from colour values, top row first.
Dib MakeDib24(int32_t width, int32_t height, const std::vector<uint32_t>& pixels);
// A bottom-up 32-bit DIB from colour values, top row first; a value's top
// byte goes to the pixel's fourth (alpha) byte.
Dib MakeDib32(int32_t width, int32_t height, const std::vector<uint32_t>& pixels);
// A bottom-up 1-, 4- or 8-bit DIB from a palette (colour values) and indices, top row first.
Dib MakeDibIndexed(int32_t width, int32_t height, int bitCount, const std::vector<uint32_t>& palette,
                   const std::vector<uint8_t>& indices);
// A run-length DIB (RLE8 at 8 bits, RLE4 at 4) of the size declared, with a
// palette and the stream as given: a few bytes may declare a large image.
Dib MakeDibRle(int32_t width, int32_t height, int bitCount, const std::vector<uint32_t>& palette,
               const std::vector<uint8_t>& stream);
// The same for DIB_PAL_COLORS: the colour table holds 16-bit indices into the selected palette.
Dib MakeDibPaletteIndexed(int32_t width, int32_t height, int bitCount, const std::vector<uint16_t>& paletteIndices,
                          const std::vector<uint8_t>& indices);

// A vertex of a gradient fill: position and 16-bit colour channels.
struct TriVertex {
  int32_t x = 0, y = 0;
  uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};

struct LogFontW {
  int32_t height = -12;  // logical units; negative: character height
  int32_t width = 0;
  int32_t escapement = 0;  // tenths of a degree
  int32_t orientation = 0;
  int32_t weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t charSet = 1;
  std::u16string faceName = u"Liberation Sans";  // at most 31 units are written
};

class EmfWriter {
 public:
  explicit EmfWriter(const HeaderInfo& header);

  // The finished file: EOF appended, header counts patched. The writer can
  // be finished once; later calls return the same bytes.
  std::vector<uint8_t> Finish();

  // Escape hatches. Record() writes type, size (8 + payload, padded to 4)
  // and the payload; Raw() appends bytes verbatim and counts as no record.
  void Record(uint32_t type, const std::vector<uint8_t>& payload);
  void Raw(const std::vector<uint8_t>& bytes);
  // Overrides what Finish() patches in (for malformed headers); negative keeps the computed value.
  void OverrideHeaderCounts(int64_t nBytes, int64_t nRecords, int64_t nHandles);

  // Mapping and transforms.
  void SetMapMode(uint32_t mode);
  void SetWindowExtEx(int32_t cx, int32_t cy);
  void SetWindowOrgEx(int32_t x, int32_t y);
  void SetViewportExtEx(int32_t cx, int32_t cy);
  void SetViewportOrgEx(int32_t x, int32_t y);
  void ScaleViewportExtEx(int32_t xNum, int32_t xDenom, int32_t yNum, int32_t yDenom);
  void ScaleWindowExtEx(int32_t xNum, int32_t xDenom, int32_t yNum, int32_t yDenom);
  void SetWorldTransform(const XForm& xform);
  void ModifyWorldTransform(const XForm& xform, uint32_t mode);
  void SaveDC();
  void RestoreDC(int32_t relative);

  // Modes and colours.
  void SetPolyFillMode(uint32_t mode);
  void SetBkMode(uint32_t mode);
  // Where hatch and pattern tiles start, in device pixels.
  void SetBrushOrgEx(int32_t x, int32_t y);
  void SetBkColor(uint32_t color);
  void SetTextColor(uint32_t color);
  void SetTextAlign(uint32_t align);
  void SetROP2(uint32_t rop);
  void SetMiterLimit(float limit);
  void SetStretchBltMode(uint32_t mode);
  void SetArcDirection(uint32_t direction);
  void SetPixelV(int32_t x, int32_t y, uint32_t color);

  // Objects: each returns its handle index.
  uint32_t CreatePen(uint32_t style, int32_t width, uint32_t color);
  uint32_t ExtCreatePen(uint32_t style, uint32_t width, uint32_t color,
                        const std::vector<uint32_t>& styleEntries = {}, uint32_t brushStyle = BS_SOLID,
                        uint32_t hatch = 0);
  uint32_t CreateBrushIndirect(uint32_t style, uint32_t color, uint32_t hatch = 0);
  uint32_t CreateDIBPatternBrushPt(const Dib& dib);
  uint32_t CreateMonoBrush(const Dib& dib);
  uint32_t ExtCreateFontIndirectW(const LogFontW& font);
  void SelectObject(uint32_t handle);  // a handle index, or kStockObjectFlag | n
  void DeleteObject(uint32_t handle);

  // Paths.
  void BeginPath();
  void EndPath();
  void CloseFigure();
  void AbortPath();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();
  void FlattenPath();
  void WidenPath();
  void SelectClipPath(uint32_t mode);

  // Lines and curves (32-bit and 16-bit point forms).
  void MoveToEx(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  void Polygon(const std::vector<PointL>& points);
  void Polygon16(const std::vector<PointS>& points);
  void Polyline(const std::vector<PointL>& points);
  void Polyline16(const std::vector<PointS>& points);
  void PolylineTo(const std::vector<PointL>& points);
  void PolylineTo16(const std::vector<PointS>& points);
  void PolyBezier(const std::vector<PointL>& points);
  void PolyBezier16(const std::vector<PointS>& points);
  void PolyBezierTo(const std::vector<PointL>& points);
  void PolyBezierTo16(const std::vector<PointS>& points);
  // Points with a type byte each (PT_MOVETO, PT_LINETO, PT_BEZIERTO, each
  // optionally | PT_CLOSEFIGURE); the byte array is padded to 4.
  void PolyDraw(const std::vector<PointL>& points, const std::vector<uint8_t>& types);
  void PolyDraw16(const std::vector<PointS>& points, const std::vector<uint8_t>& types);
  void PolyPolygon(const std::vector<std::vector<PointL>>& polygons);
  void PolyPolygon16(const std::vector<std::vector<PointS>>& polygons);
  void PolyPolyline(const std::vector<std::vector<PointL>>& polylines);
  void PolyPolyline16(const std::vector<std::vector<PointS>>& polylines);

  // Shapes.
  void Rectangle(const RectL& box);
  void Ellipse(const RectL& box);
  void RoundRect(const RectL& box, SizeL corner);
  void Arc(const RectL& box, PointL start, PointL end);
  void ArcTo(const RectL& box, PointL start, PointL end);
  void Chord(const RectL& box, PointL start, PointL end);
  void Pie(const RectL& box, PointL start, PointL end);
  void AngleArc(PointL center, uint32_t radius, float startAngle, float sweepAngle);

  // Clipping: rectangles in logical units; region rectangles in device units.
  void IntersectClipRect(const RectL& rect);
  void ExcludeClipRect(const RectL& rect);
  void ExtSelectClipRgn(uint32_t mode, const std::vector<RectL>& deviceRects);
  // Region records; the rectangles in logical units.
  void FillRgn(uint32_t brush, const std::vector<RectL>& rects);
  void PaintRgn(const std::vector<RectL>& rects);
  void InvertRgn(const std::vector<RectL>& rects);
  void FrameRgn(uint32_t brush, int32_t strokeWidth, int32_t strokeHeight, const std::vector<RectL>& rects);
  void OffsetClipRgn(int32_t dx, int32_t dy);

  // Text. `dx`, when given, holds one advance per character in logical
  // units (with ETO_PDY, an x and a y advance per character).
  void ExtTextOutW(PointL reference, const std::u16string& text, uint32_t options = 0, RectL rect = {},
                   const std::vector<int32_t>* dx = nullptr, uint32_t graphicsMode = GM_COMPATIBLE);
  // Small text: one byte a character with ETO_SMALL_CHARS (each char16_t's
  // low byte), else UTF-16; the rectangle is written unless ETO_NO_RECT.
  void SmallTextOut(PointL reference, const std::u16string& text, uint32_t options = ETO_NO_RECT, RectL rect = {});
  // Several strings, each with its own reference point, in one record.
  void PolyTextOutW(const std::vector<std::pair<PointL, std::u16string>>& strings);
  // The same with each string's options, rectangle and advances as an
  // EMRTEXT holds them (logical units, one a character or two with ETO_PDY;
  // empty: none written).
  struct EmrText {
    PointL reference;
    std::u16string text;
    uint32_t options = 0;
    RectL rect = {};
    std::vector<int32_t> dx;
  };
  void PolyTextOutW(uint32_t graphicsMode, const std::vector<EmrText>& strings);
  void ExtTextOutA(PointL reference, const std::string& text, uint32_t options = 0, RectL rect = {},
                   const std::vector<int32_t>* dx = nullptr);

  // Bitmaps. Source rectangles are in DIB pixels (StretchDIBits: y from the
  // bottom row for bottom-up DIBs, as GDI counts).
  void StretchDIBits(int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t srcX, int32_t srcY, int32_t srcCx,
                     int32_t srcCy, const Dib& dib, uint32_t rop = SRCCOPY, uint32_t usage = DIB_RGB_COLORS);
  void SetDIBitsToDevice(int32_t x, int32_t y, int32_t srcX, int32_t srcY, int32_t cx, int32_t cy,
                         const Dib& dib);
  // BitBlt/StretchBlt with a source DIB (source coordinates from its top row),
  // or without one (`source` null: a pattern or solid fill by the raster operation).
  void BitBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t rop, const Dib* source = nullptr,
              int32_t srcX = 0, int32_t srcY = 0);
  void StretchBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t rop, const Dib& source, int32_t srcX,
                  int32_t srcY, int32_t srcCx, int32_t srcCy);
  // Source pixels of `transparentColor` are left out.
  void TransparentBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t transparentColor, const Dib& source,
                      int32_t srcX, int32_t srcY, int32_t srcCx, int32_t srcCy);

  // Blends the source over the destination: constant alpha, and per-pixel
  // alpha (premultiplied 32-bit source) when `sourceAlpha`.
  void AlphaBlend(int32_t x, int32_t y, int32_t cx, int32_t cy, uint8_t constantAlpha, bool sourceAlpha,
                  const Dib& source, int32_t srcX, int32_t srcY, int32_t srcCx, int32_t srcCy);
  // `rop4`: foreground operation in the low three bytes, background's truth table in the high byte.
  void MaskBlt(int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t rop4, const Dib& source, int32_t srcX,
               int32_t srcY, const Dib* mask, int32_t xMask, int32_t yMask);
  // Corners: where the source's top-left, top-right and bottom-left go.
  void PlgBlt(const std::array<PointL, 3>& corners, const Dib& source, int32_t srcX, int32_t srcY, int32_t srcCx,
              int32_t srcCy, const Dib* mask = nullptr, int32_t xMask = 0, int32_t yMask = 0);
  // `indices`: two a rectangle or three a triangle, by `mode`.
  void GradientFill(const std::vector<TriVertex>& vertices, const std::vector<uint32_t>& indices, uint32_t mode);

  // Palettes.
  uint32_t CreatePalette(const std::vector<uint32_t>& colors);
  void SelectPalette(uint32_t handle);
  void RealizePalette();
  void SetPaletteEntries(uint32_t handle, uint32_t start, const std::vector<uint32_t>& colors);
  void ResizePalette(uint32_t handle, uint32_t entries);

  void GdiComment(const std::vector<uint8_t>& data);

  // Records written so far (the header included).
  uint32_t RecordCount() const { return records_; }

 private:
  void StretchBltRecord(uint32_t type, int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t ropOrColor,
                        const Dib& source, int32_t srcX, int32_t srcY, int32_t srcCx, int32_t srcCy);
  uint32_t AllocateHandle();
  void PointsRecord(uint32_t type, const std::vector<PointL>& points);
  void Points16Record(uint32_t type, const std::vector<PointS>& points);
  void PolyPolyRecord(uint32_t type, const std::vector<std::vector<PointL>>& polys);
  void PolyPoly16Record(uint32_t type, const std::vector<std::vector<PointS>>& polys);
  void BoxRecord(uint32_t type, const RectL& box);
  void ArcRecord(uint32_t type, const RectL& box, PointL start, PointL end);
  void TextRecord(uint32_t type, PointL reference, const std::vector<uint8_t>& text, uint32_t chars,
                  uint32_t options, RectL rect, const std::vector<int32_t>* dx, uint32_t graphicsMode);
  uint32_t BrushFromDib(uint32_t type, const Dib& dib);

  std::vector<uint8_t> bytes_;
  uint32_t records_ = 0;
  std::vector<bool> used_;  // used_[i]: handle index i is taken (index 0 reserved)
  uint32_t maxHandle_ = 0;
  bool finished_ = false;
  int64_t overrideBytes_ = -1, overrideRecords_ = -1, overrideHandles_ = -1;
};

}  // namespace orvane::emf
