#include <orvane/PictureSizing.h>

#include <algorithm>
#include <cmath>

#include <orvane/rtl/FloatMath.h>

namespace orvane {

namespace {

// Far above any side drawn, and far below int64's end.
constexpr double kSideCeiling = 1e15;

int64_t AtLeastOne(int64_t side) { return std::max<int64_t>(1, side); }

// n / d rounded to the nearest integer, a half to the even one (n >= 0, d > 0).
int64_t DivideRoundHalfEven(int64_t n, int64_t d) {
  const int64_t q = n / d, twiceRest = 2 * (n % d);
  if (twiceRest > d || (twiceRest == d && q % 2 != 0)) return q + 1;
  return q;
}

PixelSize ExactSize(PixelSize picture, int32_t width, int32_t height) {
  PixelSize s{width, height};
  if (picture.width <= 0 || picture.height <= 0) return s;
  if (s.width == 0) s.width = AtLeastOne(DivideRoundHalfEven(s.height * picture.width, picture.height));
  if (s.height == 0) s.height = AtLeastOne(DivideRoundHalfEven(s.width * picture.height, picture.width));
  return s;
}

PixelSize FitInBox(PixelSize picture, int32_t boxWidth, int32_t boxHeight) {
  if (picture.width <= 0 || picture.height <= 0) return {boxWidth, boxHeight};
  // Wider than the box in proportion: the width meets the box's.
  if (picture.width * boxHeight >= picture.height * boxWidth)
    return {boxWidth, AtLeastOne(DivideRoundHalfEven(int64_t{boxWidth} * picture.height, picture.width))};
  return {AtLeastOne(DivideRoundHalfEven(int64_t{boxHeight} * picture.width, picture.height)), boxHeight};
}

PixelSize SizeAtDpi(double inchesWide, double inchesHigh, double dpi) {
  auto side = [dpi](double inches) {
    const double dots = std::min(inches * dpi, kSideCeiling);
    return AtLeastOne(dots > 0 ? rtl::RoundHalfEven(dots) : 0);
  };
  return {side(inchesWide), side(inchesHigh)};
}

PixelSize CappedNaturalSize(PixelSize picture) {
  PixelSize s = picture;
  if (s.width > kLargestNaturalSide || s.height > kLargestNaturalSide) {
    const double scale =
        std::min(double(kLargestNaturalSide) / double(s.width), double(kLargestNaturalSide) / double(s.height));
    s.width = AtLeastOne(std::lround(double(s.width) * scale));
    s.height = AtLeastOne(std::lround(double(s.height) * scale));
  }
  return s;
}

}  // namespace

PixelSize SizeFor(const PictureSize& size, PixelSize picture) {
  switch (size.rule) {
    case PictureSize::Rule::Exact: return ExactSize(picture, size.width, size.height);
    case PictureSize::Rule::Fit: return FitInBox(picture, size.width, size.height);
    case PictureSize::Rule::Dpi: return SizeAtDpi(size.inchesWide, size.inchesHigh, size.dpi);
    case PictureSize::Rule::Natural: break;
  }
  return CappedNaturalSize(picture);
}

PixelSize SizeFor(const PictureSize& size, const vcl::TGraphic& graphic) {
  return SizeFor(size, PixelSize{graphic.Width(), graphic.Height()});
}

bool IsDrawableSize(PixelSize size) {
  return size.width > 0 && size.height > 0 && size.width <= kLargestPictureSide && size.height <= kLargestPictureSide;
}

}  // namespace orvane
