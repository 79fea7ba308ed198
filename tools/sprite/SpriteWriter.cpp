#include "sprite/SpriteWriter.h"

#include <orvane/rtl/FileStream.h>

namespace orvanetools {

namespace {
void PutInt32(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
}  // namespace

std::vector<uint8_t> EncodeSprite(const orvane::TOrvaneBitmap& sprite) {
  const orvane::TFastBMP* color = sprite.ColorRaster();
  const orvane::TFastBMP* coverage = sprite.CoverageRaster();
  const int32_t w = color && coverage ? std::max(0, color->Width()) : 0;
  const int32_t h = color && coverage ? std::max(0, color->Height()) : 0;
  std::vector<uint8_t> out;
  out.reserve(8 + 4 * static_cast<size_t>(w) * static_cast<size_t>(h));
  PutInt32(out, w);
  PutInt32(out, h);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = color->RowStarts()[y];
    for (int32_t x = 0; x < w; ++x, p += 3) {
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
    }
  }
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* p = coverage->RowStarts()[y];
    for (int32_t x = 0; x < w; ++x, p += 3) out.push_back(p[2]);
  }
  return out;
}

void WriteSpriteFile(const std::string& path, const orvane::TOrvaneBitmap& sprite) {
  orvane::rtl::WriteFileAtomically(path, EncodeSprite(sprite));
}

}  // namespace orvanetools
