#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/detail/PixelRows.h>

namespace orvane::gdi {

namespace {

using RowCopy = void (*)(uint8_t* dst, const uint8_t* src, int32_t count);

void Copy24To24(uint8_t* d, const uint8_t* s, int32_t n) { std::memcpy(d, s, static_cast<size_t>(n) * 3); }
void Copy32To32(uint8_t* d, const uint8_t* s, int32_t n) { std::memcpy(d, s, static_cast<size_t>(n) * 4); }
// Four pixels a step through 64-bit words, the unused fourth bytes dropped by
// shifts; the remaining pixels are copied byte by byte, so nothing past the
// row is read or written.
void Copy32To24Portable(uint8_t* d, const uint8_t* s, int32_t n) {
  int32_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= n; i += 4, d += 12, s += 16) {
      uint64_t p01, p23;
      std::memcpy(&p01, s, 8);
      std::memcpy(&p23, s + 8, 8);
      const uint64_t lo = (p01 & 0xFFFFFF) | ((p01 >> 8) & 0xFFFFFF000000ULL) | (p23 << 48);
      const uint32_t hi = static_cast<uint32_t>(((p23 >> 16) & 0xFF) | ((p23 >> 24) & 0xFFFFFF00ULL));
      std::memcpy(d, &lo, 8);
      std::memcpy(d + 8, &hi, 4);
    }
  }
  for (; i < n; ++i, d += 3, s += 4) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels a step with SSSE3 byte shuffles, where the processor has them.
__attribute__((target("ssse3"))) void Copy32To24Ssse3(uint8_t* d, const uint8_t* s, int32_t n) {
  const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  int32_t i = 0;
  for (; i + 16 <= n; i += 16, d += 48, s += 64) {
    const __m128i p0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), pack);
    const __m128i p1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16)), pack);
    const __m128i p2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32)), pack);
    const __m128i p3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48)), pack);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_or_si128(p0, _mm_slli_si128(p1, 12)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_or_si128(_mm_srli_si128(p1, 4), _mm_slli_si128(p2, 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), _mm_or_si128(_mm_srli_si128(p2, 8), _mm_slli_si128(p3, 4)));
  }
  Copy32To24Portable(d, s, n - i);
}
#endif

RowCopy PickCopy32To24() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("ssse3")) return Copy32To24Ssse3;
#endif
  return Copy32To24Portable;
}

void Copy32To24(uint8_t* d, const uint8_t* s, int32_t n) {
  static const RowCopy best = PickCopy32To24();
  best(d, s, n);
}

void Copy24To32(uint8_t* d, const uint8_t* s, int32_t n) {
  for (int32_t i = 0; i < n; ++i, d += 4, s += 3) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
    d[3] = 0;
  }
}

}  // namespace

void Copy32To24Row(uint8_t* dst, const uint8_t* src, int32_t count) { Copy32To24(dst, src, count); }
void Copy32To24RowPortable(uint8_t* dst, const uint8_t* src, int32_t count) { Copy32To24Portable(dst, src, count); }

namespace {

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
  // Cut the block to the source pixels held, then express it in destination space.
  const Rect held = from->HeldBounds();
  int64_t left = std::max<int64_t>(0, held.left - sx0), top = std::max<int64_t>(0, held.top - sy0);
  int64_t right = std::min<int64_t>(width, held.right - sx0);
  int64_t bottom = std::min<int64_t>(height, held.bottom - sy0);
  if (right <= left || bottom <= top) return true;
  const auto clamp32 = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
  };
  const Rect block{clamp32(dx0 + left), clamp32(dy0 + top), clamp32(dx0 + right), clamp32(dy0 + bottom)};

  // A recording surface has no pixels to read or write: both sides are
  // asked, so that each recorder among them is told.
  const bool sourceReadable = from->PixelsReadable();
  if (!to->PixelsReadable() || !sourceReadable) return false;
  const RowCopy copy = SelectRowCopy(to->Format(), from->Format());
  const int32_t dbpp = to->BytesPerPixel(), sbpp = from->BytesPerPixel();
  const Region drawable = dst->HeldClip();
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

}  // namespace orvane::gdi
