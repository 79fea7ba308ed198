#pragma once
// orvane_render_options checked and turned into what the drawing takes.

#include <orvane/PictureSizing.h>
#include <orvane/RgbaImage.h>
#include <orvane/orvane.h>
#include "PictureHandle.h"

namespace orvane::capi {

struct RenderRequest {
  PictureSize size;
  RgbaOptions rgba;
  PixelSize drawn;  // what `size` gives for the picture, within the limit
};

// Raises ApiFailure: INVALID_ARGUMENT for a struct size this library does
// not know or a value out of range, TOO_LARGE for a size above
// kLargestPictureSide. `options` may be null (the defaults).
RenderRequest MakeRenderRequest(const orvane_picture& picture, const orvane_render_options* options);

}  // namespace orvane::capi
