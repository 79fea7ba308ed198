#pragma once
// The gdk-pixbuf loader's picture side, free of gdk-pixbuf: metafile bytes
// (EMF, placeable or standard WMF, or either gzip-compressed) loaded,
// measured and drawn into RGBA rows with straight alpha, the way
// orvane-render draws them by default (high quality, thin lines one pixel
// wide). No exception leaves it: each failure becomes a LoadFailure with an
// English message.

#include <cstddef>
#include <cstdint>
#include <string>

#include <orvane/PictureSizing.h>
#include <orvane/graphics/Picture.h>

namespace orvane::pixbufloader {

enum class FailureKind : uint8_t {
  NotAMetafile,  // content of another kind, or none we know
  Corrupt,       // a metafile that does not read
  Unsupported,   // a metafile holding only what is not drawn (EMF+ records)
  OutOfMemory,
  TooLarge,      // a size asked for beyond what is drawn
  Other,
};

struct LoadFailure {
  FailureKind kind = FailureKind::Other;
  std::string message;  // English, lower case first, no full stop
};

class MetafileSource {
 public:
  // Reads the picture; false, with Failure() set, when it is none we draw.
  bool Load(const uint8_t* data, size_t size);
  // The size a program is offered: the picture's own, scaled down to fit
  // 2048 x 2048. Only after a successful Load.
  PixelSize NaturalSize() const;
  // Whether Draw can be asked for `size` (both sides 1 to 16384); false,
  // with Failure() set, when not.
  bool CanDraw(PixelSize size);
  // Draws the picture at `size` into `pixels`: size.height rows of `stride`
  // bytes, the first size.width * 4 of each written (R, G, B, A). False,
  // with Failure() set, when it cannot be drawn.
  bool Draw(PixelSize size, uint8_t* pixels, size_t stride);

  const LoadFailure& Failure() const { return failure_; }

 private:
  vcl::TPicture picture_;
  LoadFailure failure_;
};

}  // namespace orvane::pixbufloader
