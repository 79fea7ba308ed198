#pragma once
// Target sizes of orvane-render: exact (--size), inside a box (--fit), from
// the physical size (--dpi), or the picture's own size capped to 2048. Sides
// are 64-bit so a size far above any limit can still be named in a message.

#include <cstdint>
#include <string>

namespace orvanetools {

struct PixelSize {
  int64_t width = 0;
  int64_t height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// n / d rounded to the nearest integer, a half to the even one (n >= 0, d > 0).
int64_t DivideRoundHalfEven(int64_t n, int64_t d);

// As asked; a 0 side follows the picture's aspect ratio (at least 1).
PixelSize ExactSize(PixelSize picture, int32_t width, int32_t height);

// The largest size inside the box with the picture's aspect ratio: one side
// equals the box's, the other is rounded half to even and at least 1.
PixelSize FitInBox(PixelSize picture, int32_t boxWidth, int32_t boxHeight);

// A physical size in inches at `dpi` dots per inch, each side rounded half
// to even and at least 1.
PixelSize SizeAtDpi(double inchesWide, double inchesHigh, double dpi);

// The picture's own size, scaled down to fit 2048 x 2048 if larger; then
// `note` tells the user so.
PixelSize CappedNaturalSize(PixelSize picture, std::string& note);

}  // namespace orvanetools
