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

// How pens thinner than one target pixel are drawn. Exact: as the picture
// says, one sample of N wide, so that a one-pixel line shows at 1/N of its
// colour. OnePixel: every pen thinner than one target pixel is drawn one
// target pixel (N samples) wide, covering the target pixels an aliased
// drawing at the target size would paint, and cosmetic dashes and dots keep
// their lengths in target pixels: chart grid lines and hairlines stay
// visible.
enum class ThinLines : uint8_t { Exact, OnePixel };

// What a filtered drawing is asked for beyond its size.
struct FilteredDrawOptions {
  TOrvanePictureQuality quality = opqHigh;
  ThinLines thinLines = ThinLines::Exact;
};

// Draws the graphic scaled by (scaleX, scaleY) with its top-left corner at
// (x, y). The target is Round(graphic width x scaleX) by Round(graphic height
// x scaleY) pixels (halves to even); a target of no pixels draws nothing. A
// supersampled side beyond 32 bits raises EOutOfResources, working memory
// that cannot be had EOutOfMemory, releasing everything made so far.
void FilteredDraw(vcl::TCanvas& canvas, int32_t x, int32_t y, const vcl::TGraphic& graphic,
                  TOrvanePictureQuality quality, double scaleX, double scaleY);
void FilteredDraw(vcl::TCanvas& canvas, int32_t x, int32_t y, const vcl::TGraphic& graphic,
                  const FilteredDrawOptions& options, double scaleX, double scaleY);

// The rendering and reduction of FilteredDraw without drawing: fills
// `colorRaster` and `coverageRaster` (each at least the target size).
void RenderFiltered(TFastBMP& colorRaster, TFastBMP& coverageRaster, const vcl::TGraphic& graphic,
                    TOrvanePictureQuality quality, double scaleX, double scaleY);
void RenderFiltered(TFastBMP& colorRaster, TFastBMP& coverageRaster, const vcl::TGraphic& graphic,
                    const FilteredDrawOptions& options, double scaleX, double scaleY);

}  // namespace orvane

ORVANE_PUBLIC_END
