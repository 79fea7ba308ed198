// Loads any bytes as an icon file, draws what loads, and reloads its saved form.

#include "FuzzHelpers.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzzhelp::IconClaimsHugeImage(data, size)) return 0;
  orvane::vcl::TBitmap target;
  target.SetSize(16, 16);
  try {
    orvane::vcl::TIcon icon;
    icon.LoadFromBytes(data, size);
    target.Canvas().StretchDraw(orvane::vcl::Rect(-3, 2, 20, 11), &icon);
    target.Canvas().StretchDraw(orvane::vcl::Rect(15, 15, 0, 0), &icon);
    const std::vector<uint8_t> saved = icon.SaveToBytes();
    orvane::vcl::TIcon again;
    again.LoadFromBytes(saved.data(), saved.size());
    if (again.Width() != icon.Width() || again.Height() != icon.Height()) __builtin_trap();
  } catch (const orvane::rtl::Exception&) {
  }
  return 0;
}
