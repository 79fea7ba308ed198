// Fuzz target: any bytes loaded as a picture whose kind their content tells
// (EMF, placeable or standard WMF, gzip-compressed metafiles, BMP, icon),
// once from memory and once from a stream, and drawn into a small bitmap
// when they load. Runtime errors (a refused picture) are expected; anything
// else escaping, or a sanitizer report, is a bug.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzHelpers.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

namespace {

void LoadAndDraw(orvane::vcl::TPicture& picture, orvane::vcl::TBitmap& target, bool fromStream, const uint8_t* data,
                 size_t size) {
  try {
    if (fromStream) {
      std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
      picture.LoadFromStream(in);
    } else {
      picture.LoadFromBytes(data, size);
    }
    if (picture.Graphic()) target.Canvas().StretchDraw(orvane::vcl::Rect(1, 2, 30, 27), picture.Graphic());
  } catch (const orvane::rtl::Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Bitmaps that claim far more pixels than they hold reach no new code, only a slow run.
  if (size >= 14 && data[0] == 'B' && data[1] == 'M' && fuzzhelp::ClaimsHugeImage(data + 14, size - 14)) return 0;
  if (fuzzhelp::IconClaimsHugeImage(data, size)) return 0;
  static orvane::vcl::TBitmap* target = [] {
    auto* b = new orvane::vcl::TBitmap;
    b->SetSize(32, 32);
    return b;
  }();
  orvane::vcl::TPicture picture;
  LoadAndDraw(picture, *target, false, data, size);
  LoadAndDraw(picture, *target, true, data, size);
  return 0;
}
