#pragma once
// Colour triples and the small helpers of the filtered rendering: colour
// value <-> triple conversion, a rectangle from a corner and a size, and a
// solid fill of a canvas rectangle.

#include <cstdint>

#include <orvane/graphics/Canvas.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

// A colour as three separate components. The range is not restricted; the
// package fills it with 0..255 only.
struct TColorTriple {
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;
  friend bool operator==(const TColorTriple&, const TColorTriple&) = default;
};

// B * 65536 + G * 256 + R in 32-bit two's complement, unmasked: a component
// outside 0..255 spills into its neighbour.
int32_t TripleToColor(const TColorTriple& triple);

// Splits a colour value by truncating division: B = Color div 65536,
// G = (rest) div 256, R = the remainder. Nothing is masked.
TColorTriple ColorToTriple(int32_t color);

// The rectangle (Left, Top, Left + Width, Top + Height).
vcl::TRect MakeBounds(int32_t left, int32_t top, int32_t width, int32_t height);

// Paints Width x Height pixels from (X, Y) in one colour: pen and brush take
// the colour, the brush becomes solid, then Rectangle. Pen width and style
// stay as the canvas has them.
void FillSolid(vcl::TCanvas& canvas, int32_t x, int32_t y, int32_t width, int32_t height, TColorTriple color);

}  // namespace orvane

ORVANE_PUBLIC_END
