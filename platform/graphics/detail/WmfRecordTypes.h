#pragma once
// WMF record function numbers (as published) read by the WMF-to-EMF
// conversion; the EMF numbers it writes are in graphics/EmfRecords.h.

#include <cstdint>

namespace orvane::vcl::wmf {

// WMF record functions; the high byte is the usual parameter count, the low
// byte the function.
enum Function : uint16_t {
  kEof = 0x0000,
  kRealizePalette = 0x0035,
  kSetPalEntries = 0x0037,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetRop2 = 0x0104,
  kSetRelAbs = 0x0105,
  kSetPolyFillMode = 0x0106,
  kSetStretchBltMode = 0x0107,
  kSetTextCharExtra = 0x0108,
  kSaveDc = 0x001E,
  kRestoreDc = 0x0127,
  kSelectClipRegion = 0x012C,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDibCreatePatternBrush = 0x0142,
  kDeleteObject = 0x01F0,
  kCreatePatternBrush = 0x01F9,
  kCreatePalette = 0x00F7,
  kSetBkColor = 0x0201,
  kOffsetClipRgn = 0x0220,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kSetViewportOrg = 0x020D,
  kSetViewportExt = 0x020E,
  kOffsetWindowOrg = 0x020F,
  kOffsetViewportOrg = 0x0211,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kScaleWindowExt = 0x0410,
  kScaleViewportExt = 0x0412,
  kExcludeClipRect = 0x0415,
  kIntersectClipRect = 0x0416,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kSetPixel = 0x041F,
  kTextOut = 0x0521,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kEscape = 0x0626,
  kCreateRegion = 0x06FF,
  kArc = 0x0817,
  kPie = 0x081A,
  kChord = 0x0830,
  kDibBitBlt = 0x0940,
  kExtTextOut = 0x0A32,
  kDibStretchBlt = 0x0B41,
  kStretchDib = 0x0F43,
  kSetDibToDev = 0x0D33,
};

}  // namespace orvane::vcl::wmf
