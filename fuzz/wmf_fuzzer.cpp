// Fuzz target: placeable-WMF bytes loaded as a metafile and drawn into a
// 64 x 64 bitmap. Runtime errors (a refused file) are the expected outcome
// of most inputs; anything else escaping, or a sanitizer report, is a bug.

#include <cstddef>
#include <cstdint>

#include "graphics/Bitmap.h"
#include "graphics/Metafile.h"
#include "rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static vcl::TBitmap* target = [] {
    auto* b = new vcl::TBitmap;
    b->SetSize(64, 64);
    return b;
  }();
  try {
    vcl::TMetafile metafile;
    metafile.LoadFromBytes(data, size);
    target->Canvas().StretchDraw(vcl::Rect(0, 0, 64, 64), &metafile);
  } catch (const rtl::Exception&) {
  }
  return 0;
}
