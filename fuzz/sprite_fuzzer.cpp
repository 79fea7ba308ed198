// Loads arbitrary bytes as a sprite file and draws whatever loaded.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "OrvanePicture/OrvaneBitmap.h"
#include "graphics/Bitmap.h"
#include "rtl/Exceptions.h"

namespace {
const std::string& ScratchPath() {
  static const std::string path = "/tmp/orvane-sprite-fuzz-" + std::to_string(getpid()) + ".obm";
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (FILE* f = std::fopen(ScratchPath().c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  orvane::TOrvaneBitmap sprite;
  try {
    sprite.LoadSpriteFile(ScratchPath());
  } catch (const rtl::Exception&) {
  }
  vcl::TBitmap canvas;
  canvas.SetSize(16, 16);
  sprite.Draw(canvas.Canvas(), -3, 5);
  return 0;
}
