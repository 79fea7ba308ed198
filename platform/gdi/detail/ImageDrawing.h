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

// Which source pixel each destination pixel of a stretch takes, named for
// where each rule applies. Every rule counts destination pixels k from the
// side where the source rectangle starts (a mirrored axis counts from its
// other end) and source pixels from the rectangle's left column and top row.
enum class StretchRule : uint8_t {
  // TIcon::Draw, and stretches that name no rule: the source pixel under
  // k's centre, a centre on the boundary of two taking the lower one.
  IconDraw,
  // TBitmap::Draw (TCanvas::StretchDraw of a bitmap): the source pixel
  // under k's centre, a centre on a boundary taking the upper one.
  BitmapDraw,
  // Metafile DIB records (StretchDIBits, SetDIBitsToDevice). Enlarging as
  // IconDraw. Shrinking, destination pixel k of d takes a share of the s
  // source pixels: columns ceil(k s / d) up to the next share's start,
  // rows floor(k s / d + 1/2) likewise; it keeps the last column and the
  // first row of its share.
  DibRecord,
  // Metafile block transfers (BitBlt, StretchBlt, MaskBlt, PlgBlt,
  // TransparentBlt, AlphaBlend): as DibRecord, but a destination one pixel
  // across, whose share is the whole source, keeps its first pixel.
  BlockRecord,
};

// How a shrinking stretch treats the source pixels it drops (the modes of
// SetStretchBltMode, by their numbers).
enum class StretchMode : uint8_t {
  // Each destination pixel takes the bitwise AND of its share, so that dark
  // strokes on a light ground survive.
  BlackOnWhite = 1,
  // The bitwise OR of its share: light strokes on a dark ground survive.
  WhiteOnBlack = 2,
  // The one source pixel its rule keeps; the others are dropped.
  ColorOnColor = 3,
  // The average colour over the source area the destination pixel covers,
  // each source pixel weighted by the part of it covered; enlarging too.
  Halftone = 4,
};

// Draws (part of) an image stretched into a device rectangle, nearest pixel
// by the IconDraw rule, with a raster operation; the source rectangle is in
// image pixels (top row 0). Negative destination extents mirror.
void StretchImage(RenderTarget& target, const DibImage& image, double dstX, double dstY, double dstWidth,
                  double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                  uint32_t rasterOp);

// As StretchImage with SRCCOPY, but only the pixels whose `mask` byte
// (image.width * image.height bytes, top row first) is not 0 are drawn.
void StretchImageMasked(RenderTarget& target, const DibImage& image, const uint8_t* mask, double dstX, double dstY,
                        double dstWidth, double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth,
                        int32_t srcHeight, StretchRule rule = StretchRule::IconDraw);

// How a transferred image meets the destination. Raster operations are
// ternary codes (SRCCOPY ...); one that depends on the pattern takes it from
// `brush`.
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
  // The pattern of raster operations that use one: its colour or pattern
  // pixel at each destination pixel, pixels its pattern mask leaves out
  // left alone. nullptr: black.
  const Paint* brush = nullptr;
  // Source pixels of this colour are masked out (-1: none).
  int64_t transparentColor = -1;
  // Source-over alpha blending instead of the raster operations: each
  // pixel's colour is weighted by constantAlpha / 255 and, with
  // `sourceAlpha` and a source that has alpha, taken as premultiplied by it.
  bool blend = false;
  uint8_t constantAlpha = 255;
  bool sourceAlpha = false;
  // Which source pixel a destination pixel takes, and how a shrink treats
  // the pixels it drops. The mask bit, the transparent colour's test and
  // alpha always come from the pixel the rule takes; under Halftone the
  // transparent colour's pixels weigh nothing in the average.
  StretchRule rule = StretchRule::IconDraw;
  StretchMode mode = StretchMode::ColorOnColor;
};

struct DeviceParallelogram {
  double originX, originY, rightX, rightY, downX, downY;
  bool AxisAligned() const { return rightY == originY && downX == originX; }
};

// Draws (part of) an image into a parallelogram. An axis-aligned one is
// stretched by the transfer's rule and mode, as StretchImage stretches;
// any other takes, for each device pixel whose centre lies inside, the
// source pixel under the centre mapped back.
void TransferImage(RenderTarget& target, const ImageSource& image, const DeviceParallelogram& where, int32_t srcX,
                   int32_t srcY, int32_t srcWidth, int32_t srcHeight, const ImageTransfer& how);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
