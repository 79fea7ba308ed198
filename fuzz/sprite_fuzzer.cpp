// Loads arbitrary bytes as a sprite file and draws whatever loaded.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzHelpers.h"
#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>

namespace {
const std::string& ScratchPath() {
  static const std::string path = "/tmp/orvane-sprite-fuzz-" + std::to_string(getpid()) + ".obm";
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A header of more than 2^18 pixels, or with a side over 2^14 (row tables),
  // makes rasters of megabytes before the short file is noticed: legal, and
  // kept among the regression inputs, but made on every run it would slow
  // the fuzzer thirtyfold without reaching new code.
  if (size >= 8) {
    const int64_t w = static_cast<int32_t>(fuzzhelp::U32(data)), h = static_cast<int32_t>(fuzzhelp::U32(data + 4));
    if (w * h > (int64_t{1} << 18) || w > (1 << 14) || h > (1 << 14)) return 0;
  }
  if (FILE* f = std::fopen(ScratchPath().c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  orvane::TOrvaneBitmap sprite;
  try {
    sprite.LoadSpriteFile(ScratchPath());
  } catch (const orvane::rtl::Exception&) {
  }
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(16, 16);
  sprite.Draw(canvas.Canvas(), -3, 5);
  return 0;
}
