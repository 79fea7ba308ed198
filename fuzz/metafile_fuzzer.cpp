// Fuzz target: any bytes loaded as a metafile (EMF, or placeable WMF through
// the conversion) and, when they load, played into a 64 x 64 bitmap at a
// few destinations: natural, shrunk with an offset, and mirrored; then drawn
// filtered (from spans) into a small part of the bitmap. Runtime
// errors (a refused file) are expected; anything else escaping, or a
// sanitizer report, is a bug.

#include <cstddef>
#include <cstdint>

#include <orvane/FilteredDraw.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orvane::vcl::TBitmap* target = [] {
    auto* b = new orvane::vcl::TBitmap;
    b->SetSize(64, 64);
    return b;
  }();
  try {
    orvane::vcl::TMetafile metafile;
    metafile.LoadFromBytes(data, size);
    orvane::vcl::TCanvas& canvas = target->Canvas();
    canvas.StretchDraw(orvane::vcl::Rect(0, 0, 64, 64), &metafile);
    canvas.StretchDraw(orvane::vcl::Rect(10, 5, 30, 50), &metafile);
    canvas.StretchDraw(orvane::vcl::Rect(60, 60, 4, 2), &metafile);
    orvane::OrvaneStretchDraw(canvas, orvane::vcl::Rect(2, 3, 21, 17), &metafile, orvane::opqLow);
  } catch (const orvane::rtl::Exception&) {
  }
  return 0;
}
