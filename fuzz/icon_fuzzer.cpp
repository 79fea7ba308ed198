// Loads any bytes as an icon file, draws what loads, and reloads its saved form.

#include "FuzzHelpers.h"
#include "graphics/Bitmap.h"
#include "graphics/Icon.h"
#include "rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzzhelp::IconClaimsHugeImage(data, size)) return 0;
  vcl::TBitmap target;
  target.SetSize(16, 16);
  try {
    vcl::TIcon icon;
    icon.LoadFromBytes(data, size);
    target.Canvas().StretchDraw(vcl::Rect(-3, 2, 20, 11), &icon);
    target.Canvas().StretchDraw(vcl::Rect(15, 15, 0, 0), &icon);
    const std::vector<uint8_t> saved = icon.SaveToBytes();
    vcl::TIcon again;
    again.LoadFromBytes(saved.data(), saved.size());
    if (again.Width() != icon.Width() || again.Height() != icon.Height()) __builtin_trap();
  } catch (const rtl::Exception&) {
  }
  return 0;
}
