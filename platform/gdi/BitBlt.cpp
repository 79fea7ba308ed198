#include <cstring>

#include "gdi/DeviceContext.h"

namespace gdi {

namespace {

using RowCopy = void (*)(uint8_t* dst, const uint8_t* src, int32_t count);

void Copy24To24(uint8_t* d, const uint8_t* s, int32_t n) { std::memcpy(d, s, static_cast<size_t>(n) * 3); }
void Copy32To32(uint8_t* d, const uint8_t* s, int32_t n) { std::memcpy(d, s, static_cast<size_t>(n) * 4); }
void Copy32To24(uint8_t* d, const uint8_t* s, int32_t n) {
  for (int32_t i = 0; i < n; ++i, d += 3, s += 4) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
  }
}
void Copy24To32(uint8_t* d, const uint8_t* s, int32_t n) {
  for (int32_t i = 0; i < n; ++i, d += 4, s += 3) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
    d[3] = 0;
  }
}

RowCopy SelectRowCopy(PixelFormat dst, PixelFormat src) {
  if (dst == PixelFormat::Bgr24) return src == PixelFormat::Bgr24 ? Copy24To24 : Copy32To24;
  return src == PixelFormat::Bgr24 ? Copy24To32 : Copy32To32;
}

}  // namespace

bool BitBlt(HDC dst, int32_t x, int32_t y, int32_t width, int32_t height, HDC src, int32_t sx, int32_t sy,
            uint32_t rop) {
  if (!dst || !src || rop != SRCCOPY) return false;
  BitmapObject* to = dst->Surface();
  BitmapObject* from = src->Surface();
  if (!to || !from) return false;
  if (width <= 0 || height <= 0) return true;

  // Everything in 64 bits: logical points plus origins may lie far outside.
  const int64_t dx0 = int64_t{x} + dst->origin.x, dy0 = int64_t{y} + dst->origin.y;
  const int64_t sx0 = int64_t{sx} + src->origin.x, sy0 = int64_t{sy} + src->origin.y;
  // Cut the block to the source surface, then express it in destination space.
  int64_t left = std::max<int64_t>(0, -(sx0)), top = std::max<int64_t>(0, -(sy0));
  int64_t right = std::min<int64_t>(width, from->Width() - sx0);
  int64_t bottom = std::min<int64_t>(height, from->Height() - sy0);
  if (right <= left || bottom <= top) return true;
  const auto clamp32 = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
  };
  const Rect block{clamp32(dx0 + left), clamp32(dy0 + top), clamp32(dx0 + right), clamp32(dy0 + bottom)};

  const RowCopy copy = SelectRowCopy(to->Format(), from->Format());
  const int32_t dbpp = to->BytesPerPixel(), sbpp = from->BytesPerPixel();
  const Region drawable = dst->EffectiveClip();
  for (const Rect& clipRect : drawable.Rects()) {
    const Rect part = clipRect.Intersect(block);
    if (part.IsEmpty()) continue;
    for (int32_t row = part.top; row < part.bottom; ++row) {
      const int64_t srow = row - dy0 + sy0;
      const int64_t scol = part.left - dx0 + sx0;
      copy(to->Row(row) + static_cast<ptrdiff_t>(part.left) * dbpp,
           from->Row(static_cast<int32_t>(srow)) + static_cast<ptrdiff_t>(scol) * sbpp, part.Width());
    }
  }
  return true;
}

}  // namespace gdi
