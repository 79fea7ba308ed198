#pragma once
// What painting does to one pixel, as a function of the colour D it shows.
// With its pen, pattern and source pixel fixed, every bit of a raster
// operation's result (binary or ternary) is 0, 1, D's bit or its inverse,
// so the operation is D' = (D & keep) ^ flip for two masks. Alpha blending
// weighs a source colour against D. A surface with pixels applies an
// operation to each pixel; a recording surface applies it to the colours a
// surface over either key colour would show, which keeps it exact.

#include <cstdint>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

struct PixelOp {
  enum class Kind : uint8_t { Bits, Blend, BlendPremultiplied };
  Kind kind = Kind::Bits;
  uint8_t constantAlpha = 255;  // blends: the weight of the whole source
  uint8_t sourceAlpha = 255;    // BlendPremultiplied: the pixel's own alpha
  COLORREF keep = 0xFFFFFF;     // Bits: the bits of D kept; blends: the source colour
  COLORREF flip = 0;            // Bits: the bits then inverted

  static PixelOp Copy(COLORREF color) { return PixelOp{Kind::Bits, 255, 255, 0, color & 0xFFFFFF}; }
  static PixelOp FromRop2(Rop2 rop, COLORREF pen);
  // A ternary raster operation's truth table (pattern 0xF0, source 0xCC,
  // destination 0xAA) with the pixel's pattern and source colours.
  static PixelOp FromRop3(uint8_t table, COLORREF pattern, COLORREF source);
  // Source-over blending of `source` weighted by constantAlpha / 255; with
  // alpha >= 0, `source` is premultiplied by that alpha.
  static PixelOp Blend(COLORREF source, uint8_t constantAlpha, int alpha);

  bool LeavesAlone() const { return kind == Kind::Bits && keep == 0xFFFFFF && flip == 0; }
  COLORREF Apply(COLORREF d) const;
  friend constexpr bool operator==(const PixelOp&, const PixelOp&) = default;
};

// Columns [x0, x1) of a row, each changed by `op`.
struct PixelOpRun {
  int32_t x0;
  int32_t x1;
  PixelOp op;
};

// Whether a ternary truth table's result depends on the pattern, or on the source.
constexpr bool RopTableUsesPattern(uint8_t table) { return (table >> 4) != (table & 15); }
constexpr bool RopTableUsesSource(uint8_t table) { return (((table >> 2) ^ table) & 0x33) != 0; }

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
