#pragma once
// The filtered stretch draw: a graphic drawn aliased at N times the target
// size, each N x N block of samples reduced to a colour (the mean of the
// samples the graphic paints) and a coverage (their share), and blended over
// what the canvas already shows. The graphic is played once and its painted
// runs are reduced; one that paints by reading the canvas is drawn over two
// key colours instead, where a sample showing its key in both is background.
// Both give the same pixels.

#include <orvane/FastBMP.h>
#include <orvane/Quality.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

// Draws `graphic` anti-aliased into `rect`, whose right column and bottom row
// count as inside: the target is (Right - Left + 1) x (Bottom - Top + 1)
// pixels from the top-left corner. A graphic of width or height 0 raises
// EZeroDivide ("Gleitkommadivision durch Null"), or EInvalidOp when the
// extent is 0 as well, before anything is made. Without a graphic nothing
// is drawn.
void OrvaneStretchDraw(vcl::TCanvas& canvas, vcl::TRect rect, const vcl::TGraphic* graphic,
                       TOrvanePictureQuality quality);

// Draws the graphic scaled by (scaleX, scaleY) with its top-left corner at
// (x, y). The target is Round(graphic width x scaleX) by Round(graphic height
// x scaleY) pixels (halves to even); a target of no pixels draws nothing. A
// supersampled side beyond 32 bits raises EOutOfResources, working memory
// that cannot be had EOutOfMemory, releasing everything made so far.
void FilteredDraw(vcl::TCanvas& canvas, int32_t x, int32_t y, const vcl::TGraphic& graphic,
                  TOrvanePictureQuality quality, double scaleX, double scaleY);

// The rendering and reduction of FilteredDraw without drawing: fills
// `colorRaster` and `coverageRaster` (each at least the target size).
void RenderFiltered(TFastBMP& colorRaster, TFastBMP& coverageRaster, const vcl::TGraphic& graphic,
                    TOrvanePictureQuality quality, double scaleX, double scaleY);

}  // namespace orvane

ORVANE_PUBLIC_END
