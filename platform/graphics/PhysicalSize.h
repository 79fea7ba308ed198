#pragma once
// The size a picture was made at, in inches, for drawing it at a
// resolution: a metafile's frame (its header's rclFrame, in 0.01 mm), a
// BMP's pixels per metre (96 dpi on an axis that gives none), 96 dpi for
// any other picture.

#include <cstddef>
#include <cstdint>

#include <orvane/graphics/Graphic.h>
#include <orvane/graphics/PictureFormat.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

struct TPhysicalSize {
  double inchesWide = 0;
  double inchesHigh = 0;
  bool stated = false;  // the picture gives it (a metafile; a BMP with both resolutions)
};

// Loads `graphic`, the reader of `format`, from `data` and returns its
// physical size. A metafile whose header gives no pixels, or whose frame is
// empty or turned, raises EInvalidGraphic "Metadatei ist ungültig"; other
// failures are the reader's own.
TPhysicalSize LoadWithPhysicalSize(TGraphic& graphic, TPictureFormat format, const uint8_t* data, size_t size);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
