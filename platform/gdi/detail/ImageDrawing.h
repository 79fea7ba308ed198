#pragma once
// Drawing images into device space: stretched, masked, with raster
// operations and alpha, into a RenderTarget.

#include <cstdint>

#include <orvane/gdi/DibImage.h>
#include <orvane/gdi/GdiTypes.h>
#include <orvane/gdi/ImageSource.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/rtl/Visibility.h>

// Exported for the toolkit library, which draws text and images too.
ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// Draws (part of) an image stretched into a device rectangle, nearest pixel
// (GDI's default stretch mode), with a raster operation; the source rectangle
// is in image pixels (top row 0). Negative destination extents mirror.
void StretchImage(RenderTarget& target, const DibImage& image, double dstX, double dstY, double dstWidth,
                  double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                  uint32_t rasterOp);

// As StretchImage with SRCCOPY, but only the pixels whose `mask` byte
// (image.width * image.height bytes, top row first) is not 0 are drawn.
void StretchImageMasked(RenderTarget& target, const DibImage& image, const uint8_t* mask, double dstX, double dstY,
                        double dstWidth, double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth,
                        int32_t srcHeight);

// How a transferred image meets the destination. Raster operations are
// ternary codes (SRCCOPY ...) whose result does not depend on the pattern.
struct ImageTransfer {
  // Where the mask is 1 (everywhere, without a mask).
  uint32_t rasterOp = 0x00CC0020;  // SRCCOPY
  // Where the mask is 0; by default the destination stays as it is.
  uint32_t maskedOutRasterOp = 0x00AA0029;
  // A mask lined up with the source: source pixel (row, column) takes the
  // mask's pixel (row + maskOffset.y, column + maskOffset.x), 1 where that is
  // not black; outside the mask, 0. nullptr: 1 everywhere.
  const ImageSource* mask = nullptr;
  Point maskOffset{0, 0};
  // Source pixels of this colour are masked out (-1: none).
  int64_t transparentColor = -1;
  // Source-over alpha blending instead of the raster operations: each
  // pixel's colour is weighted by constantAlpha / 255 and, with
  // `sourceAlpha` and a source that has alpha, taken as premultiplied by it.
  bool blend = false;
  uint8_t constantAlpha = 255;
  bool sourceAlpha = false;
};

struct DeviceParallelogram {
  double originX, originY, rightX, rightY, downX, downY;
  bool AxisAligned() const { return rightY == originY && downX == originX; }
};

// Draws (part of) an image into a parallelogram, nearest pixel: each device
// pixel whose centre lies inside takes the source pixel under the centre
// mapped back. An axis-aligned parallelogram gives the pixels StretchImage
// gives. Blending reads the destination: on a recording surface it marks
// the recorder and draws nothing.
void TransferImage(RenderTarget& target, const ImageSource& image, const DeviceParallelogram& where, int32_t srcX,
                   int32_t srcY, int32_t srcWidth, int32_t srcHeight, const ImageTransfer& how);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
