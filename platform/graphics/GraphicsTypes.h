#pragma once
// Toolkit value types: colours (TColor), rectangles and the pen, brush and
// font styles of a canvas.

#include <cstdint>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

// A colour value (red in bits 0-7); values with the top byte 0x80 name a
// system colour, which ColorToRGB resolves.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGreen = 0x008000;
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);

// The colour value of a TColor, with system colours resolved.
gdi::COLORREF ColorToRGB(TColor color);

using TRect = gdi::Rect;
using TPoint = gdi::Point;

// A rectangle from its four edges.
constexpr TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) { return TRect{left, top, right, bottom}; }
// A rectangle from a corner and a size: (Left, Top, Left + Width, Top + Height),
// the far edges held within the 32-bit range (a picture's size comes from its file).
constexpr TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return TRect{left, top, gdi::ClampToInt32(int64_t{left} + width), gdi::ClampToInt32(int64_t{top} + height)};
}

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle : uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;  // a set of TFontStyle bits

constexpr uint8_t DEFAULT_CHARSET = 1;

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
