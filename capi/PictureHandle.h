#pragma once
// What an orvane_picture holds: the loaded graphic and its physical size.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <orvane/graphics/Graphic.h>
#include <orvane/graphics/PictureFormat.h>

struct orvane_picture {
  std::unique_ptr<orvane::vcl::TGraphic> graphic;
  // In inches; `stated` is false where 96 dpi was assumed.
  double inchesWide = 0;
  double inchesHigh = 0;
  bool stated = false;
};

namespace orvane::capi {

// Loads the picture `data` holds, of the kind its content shows, else of
// `fallback` (the kind a file name's extension promises, whose extension
// `extension` names the error for). Raises UnknownFormat when neither tells
// a kind, EOutOfMemory for a header claiming more than 1 GiB, the graphic's
// own errors for bad data, and EInvalidGraphic "Metadatei ist ungültig" for
// a metafile without a positive size or frame.
std::unique_ptr<orvane_picture> LoadPicture(const uint8_t* data, size_t size, vcl::TPictureFormat fallback,
                                            const std::string& extension);

}  // namespace orvane::capi
