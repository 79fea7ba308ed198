#pragma once
// The PNG files orvane-render writes, made a row at a time: the bytes go to
// a sink as they are made, and no copy of the whole image is held.

#include <orvane/OrvaneBitmap.h>
#include <orvane/PictureSizing.h>
#include <orvane/Png.h>
#include <orvane/RgbaImage.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Graphic.h>

namespace orvanetools {

using PngSink = orvane::PngRowWriter::Sink;

// A sprite as RGBA: its colours with its coverage as alpha.
void WritePngOfSprite(const orvane::TOrvaneBitmap& sprite, const PngSink& sink);

// An opaque bitmap as RGB.
void WritePngOfBitmap(const orvane::vcl::TBitmap& bitmap, const PngSink& sink);

// The graphic drawn at `size` as the file is written: RGBA, or RGB when
// drawn opaque over a background.
void WritePngOfDrawing(const orvane::vcl::TGraphic& graphic, orvane::PixelSize size,
                       const orvane::RgbaOptions& options, const PngSink& sink);

}  // namespace orvanetools
