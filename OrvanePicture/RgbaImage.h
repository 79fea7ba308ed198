#pragma once
// Pictures drawn anti-aliased into RGBA pixels: rows top first, four bytes
// a pixel (R, G, B, A), either as one new image or handed out a band of
// finished rows at a time, so that an image too large to hold can be
// written out as it is drawn.
//
// Each pixel starts from the filtered drawing's colour (the truncated mean
// of the samples the picture paints; 0 where it paints none) and coverage c
// (painted samples * 255 div samples), and becomes, per alpha mode:
//   Straight:      RGB = colour                                        A = c
//   Premultiplied: RGB = colour * c div 255                            A = c
//   Opaque:        RGB = background * (255 - c) div 255 + colour * c div 255,
//                  each channel on its own                             A = 255
// "div" truncates. Opaque gives the bytes FilteredDraw gives on a canvas
// filled with the background; a premultiplied pixel laid over a background
// b as b * (255 - A) div 255 + P gives those bytes too. Straight keeps the
// colour of a pixel whose few painted samples round to a coverage of 0
// (possible only at the very-high quality).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <orvane/FilteredDraw.h>
#include <orvane/PictureSizing.h>
#include <orvane/graphics/Graphic.h>
#include <orvane/graphics/GraphicsTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

enum class AlphaMode : uint8_t { Straight, Premultiplied, Opaque };

struct RgbaOptions {
  FilteredDrawOptions drawing;  // quality and thin lines
  AlphaMode alpha = AlphaMode::Straight;
  vcl::TColor background = vcl::clWhite;  // Opaque only; red in bits 0-7
};

struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  AlphaMode alpha = AlphaMode::Straight;
  std::vector<uint8_t> pixels;  // width * 4 bytes a row, rows top first

  const uint8_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 4; }
};

// Finished rows [top, top + count) of a drawing `width` pixels wide; row
// top + i starts at Row(i). Valid only during the call that hands them out.
struct RgbaRows {
  int32_t top = 0;
  int32_t count = 0;
  int32_t width = 0;
  const uint8_t* pixels = nullptr;
  size_t stride = 0;

  const uint8_t* Row(int32_t i) const { return pixels + static_cast<size_t>(i) * stride; }
};

// Draws the graphic scaled to the size `size` gives for it (see
// PictureSizing.h) into a new image. Raises EInvalidOperation "Ungültige
// Größe" for a size without pixels, EOutOfResources for a side beyond
// kLargestPictureSide, EZeroDivide (EInvalidOp) for a graphic of width or
// height 0, EOutOfMemory when the image cannot be had.
RgbaImage DrawRgba(const vcl::TGraphic& graphic, const PictureSize& size, const RgbaOptions& options);

// The same, handing the rows to `sink` in order, top first, a band of
// several rows at a time; working memory is a few bands, whatever the
// height. Returns the size drawn. The errors of the size and the graphic
// are raised before the first band, those of working memory as they come;
// an exception from the sink ends the drawing and leaves this call.
using RgbaRowSink = std::function<void(const RgbaRows& rows)>;
PixelSize DrawRgbaRows(const vcl::TGraphic& graphic, const PictureSize& size, const RgbaOptions& options,
                       const RgbaRowSink& sink);

}  // namespace orvane

ORVANE_PUBLIC_END
