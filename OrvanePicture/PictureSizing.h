#pragma once
// The size a picture is drawn at, worked out from what the caller asks for:
// exactly a width and height (one of them 0 keeps the picture's aspect
// ratio), the largest size inside a box, a physical size at a resolution,
// or the picture's own size capped to 2048 x 2048. Sides are 64-bit, so a
// size far above any limit can still be named in a message.

#include <cstdint>

#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

// The largest side the sized drawings (DrawRgba and its row form) make.
inline constexpr int64_t kLargestPictureSide = 16384;
// The picture's own size is scaled down to fit a square of this side.
inline constexpr int64_t kLargestNaturalSide = 2048;

struct PixelSize {
  int64_t width = 0;
  int64_t height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// What is asked for. Build one with the functions below.
struct PictureSize {
  enum class Rule : uint8_t { Natural, Exact, Fit, Dpi };
  Rule rule = Rule::Natural;
  int32_t width = 0;  // Exact and Fit
  int32_t height = 0;
  double dpi = 0;  // Dpi, with the picture's physical size in inches
  double inchesWide = 0;
  double inchesHigh = 0;

  // The picture's own size, scaled down to fit 2048 x 2048 if larger (each
  // side rounded to nearest, halves away from zero, and at least 1).
  static PictureSize Natural() { return {}; }
  // As asked; a 0 side follows the picture's aspect ratio (rounded half to
  // even, at least 1).
  static PictureSize Exact(int32_t width, int32_t height) { return {Rule::Exact, width, height}; }
  // The largest size inside the box with the picture's aspect ratio: one
  // side equals the box's, the other is rounded half to even and at least 1.
  static PictureSize Fit(int32_t boxWidth, int32_t boxHeight) { return {Rule::Fit, boxWidth, boxHeight}; }
  // A physical size in inches at `dpi` dots per inch, each side rounded half
  // to even and at least 1 (and at most 1e15).
  static PictureSize AtDpi(double dpi, double inchesWide, double inchesHigh) {
    return {Rule::Dpi, 0, 0, dpi, inchesWide, inchesHigh};
  }
};

// The size to draw a picture of `picture` pixels at. A picture without a
// positive size is drawn at an exact size or box as given.
PixelSize SizeFor(const PictureSize& size, PixelSize picture);
PixelSize SizeFor(const PictureSize& size, const vcl::TGraphic& graphic);

// Whether both sides are positive and at most kLargestPictureSide.
bool IsDrawableSize(PixelSize size);

}  // namespace orvane

ORVANE_PUBLIC_END
