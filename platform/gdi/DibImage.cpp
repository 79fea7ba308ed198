// DIB decoding (stretching is in ImageTransfer.cpp).
//
// Sections:
//   1. header parsing: BITMAPCOREHEADER (12 bytes, RGBTRIPLE table) and
//      BITMAPINFOHEADER with its larger V2-V5 forms (recognised by biSize)
//   2. uncompressed rows: palette formats, 16/32-bit bit fields, 24 bits
//   3. RLE8 and RLE4 streams
//
// Every size is computed in 64 bits and checked against the bytes at hand
// before anything is read; an image above the pixel limit is refused before
// anything is allocated.

#include <orvane/gdi/DibImage.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include <orvane/gdi/BitmapObject.h>

namespace orvane::gdi {

namespace {

// --- 1. Header -------------------------------------------------------------

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV2HeaderSize = 52;  // the first form that holds the RGB masks itself

struct DibHeader {
  int32_t width = 0;
  int32_t height = 0;  // always positive; see topDown
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = BI_RGB;
  uint32_t sizeImage = 0;
  uint32_t masks[3] = {0, 0, 0};     // red, green, blue (bit fields only)
  std::array<COLORREF, 256> palette{};  // entries past the stored table are black
  uint64_t length = 0;               // header + masks + whole colour table
};

bool ParseHeader(const uint8_t* h, size_t size, DibHeader& out) {
  if (!h || size < 4) return false;
  const uint32_t headerSize = U32(h);
  uint64_t tableOffset = 0, entries = 0, entryBytes = 4;
  if (headerSize == kCoreHeaderSize) {
    if (size < kCoreHeaderSize) return false;
    out.width = U16(h + 4);
    out.height = U16(h + 6);
    out.bitCount = U16(h + 10);
    out.compression = BI_RGB;
    if (out.bitCount != 1 && out.bitCount != 4 && out.bitCount != 8 && out.bitCount != 24) return false;
    entryBytes = 3;
    entries = out.bitCount <= 8 ? (uint64_t{1} << out.bitCount) : 0;
    tableOffset = kCoreHeaderSize;
  } else if (headerSize >= kInfoHeaderSize && headerSize <= size) {
    const int32_t height = I32(h + 8);
    if (height == INT32_MIN) return false;
    out.width = I32(h + 4);
    out.topDown = height < 0;
    out.height = height < 0 ? -height : height;
    out.bitCount = U16(h + 14);
    out.compression = U32(h + 16);
    out.sizeImage = U32(h + 20);
    const uint32_t colorsUsed = U32(h + 32);
    tableOffset = headerSize;
    if (out.compression == BI_BITFIELDS) {
      const uint8_t* m = h + kInfoHeaderSize;
      if (headerSize < kV2HeaderSize) {
        if (size < uint64_t{kInfoHeaderSize} + 12) return false;
        tableOffset += 12;
      }
      for (int i = 0; i < 3; ++i) out.masks[i] = U32(m + 4 * i);
    }
    entries = colorsUsed != 0 ? colorsUsed : (out.bitCount <= 8 ? uint64_t{1} << out.bitCount : 0);
  } else {
    return false;
  }

  switch (out.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  switch (out.compression) {
    case BI_RGB: break;
    case BI_RLE8: if (out.bitCount != 8 || out.topDown) return false; break;
    case BI_RLE4: if (out.bitCount != 4 || out.topDown) return false; break;
    case BI_BITFIELDS: if (out.bitCount != 16 && out.bitCount != 32) return false; break;
    default: return false;
  }
  if (out.width <= 0 || out.height <= 0) return false;

  // Only the entries a pixel can reach need be present; a longer table still
  // counts towards the length (where a packed DIB's bits begin).
  out.length = tableOffset + entries * entryBytes;
  if (out.bitCount <= 8) {
    const uint64_t used = std::min<uint64_t>(entries, uint64_t{1} << out.bitCount);
    if (tableOffset + used * entryBytes > size) return false;
    const uint8_t* t = h + tableOffset;
    for (uint64_t i = 0; i < used; ++i, t += entryBytes) out.palette[i] = RGB(t[2], t[1], t[0]);
  }
  return true;
}

// --- 2. Uncompressed rows ----------------------------------------------------

// One colour channel of a bit-field pixel, widened to 8 bits by repeating its
// bits (so a full 5-bit value becomes 255).
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  std::array<uint8_t, 256> widen{};

  explicit Channel(uint32_t m) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = std::bit_width(m >> shift);
    if (bits > 8) return;
    for (uint32_t v = 0; v < (1u << bits); ++v) {
      uint32_t r = 0;
      for (int s = 8 - bits; s > -bits; s -= bits) r |= s >= 0 ? v << s : v >> -s;
      widen[v] = static_cast<uint8_t>(r);
    }
  }
  uint8_t Get(uint32_t pixel) const {
    if (bits == 0) return 0;
    const uint32_t v = (pixel & mask) >> shift;
    return bits <= 8 ? widen[v] : static_cast<uint8_t>(v >> (bits - 8));
  }
};

void DecodeRows(const DibHeader& hd, const uint8_t* bits, uint64_t rowBytes, COLORREF* pixels) {
  const int32_t w = hd.width;
  const bool fields = hd.bitCount == 16 || (hd.bitCount == 32 && hd.compression == BI_BITFIELDS);
  uint32_t masks[3] = {hd.masks[0], hd.masks[1], hd.masks[2]};
  if (hd.bitCount == 16 && hd.compression == BI_RGB) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  const Channel red(fields ? masks[0] : 0), green(fields ? masks[1] : 0), blue(fields ? masks[2] : 0);
  for (int32_t r = 0; r < hd.height; ++r) {
    const uint8_t* s = bits + static_cast<uint64_t>(r) * rowBytes;
    COLORREF* d = pixels + static_cast<size_t>(hd.topDown ? r : hd.height - 1 - r) * static_cast<size_t>(w);
    switch (hd.bitCount) {
      case 1:
        for (int32_t x = 0; x < w; ++x) d[x] = hd.palette[(s[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      case 4:
        for (int32_t x = 0; x < w; ++x) d[x] = hd.palette[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
        break;
      case 8:
        for (int32_t x = 0; x < w; ++x) d[x] = hd.palette[s[x]];
        break;
      case 16:
        for (int32_t x = 0; x < w; ++x) {
          const uint32_t v = U16(s + 2 * x);
          d[x] = RGB(red.Get(v), green.Get(v), blue.Get(v));
        }
        break;
      case 24:
        for (int32_t x = 0; x < w; ++x, s += 3) d[x] = RGB(s[2], s[1], s[0]);
        break;
      case 32:
        if (fields) {
          for (int32_t x = 0; x < w; ++x) {
            const uint32_t v = U32(s + 4 * x);
            d[x] = RGB(red.Get(v), green.Get(v), blue.Get(v));
          }
        } else {
          for (int32_t x = 0; x < w; ++x, s += 4) d[x] = RGB(s[2], s[1], s[0]);
        }
        break;
    }
  }
}

// --- 3. RLE ---------------------------------------------------------------

// Decodes an RLE8 or RLE4 stream into colour indices (bottom row first).
// Pixels the stream leaves alone keep index 0; runs are cut at the row's
// end; a truncated stream simply ends the image.
void DecodeRle(const DibHeader& hd, const uint8_t* s, size_t size, std::vector<uint8_t>& index) {
  const bool four = hd.compression == BI_RLE4;
  const int64_t w = hd.width, h = hd.height;
  int64_t x = 0, y = 0;
  size_t p = 0;
  auto put = [&](int64_t count, auto pixelOf) {
    if (y < h)
      for (int64_t i = 0; i < count && x + i < w; ++i) index[static_cast<size_t>(y * w + x + i)] = pixelOf(i);
    x = std::min(x + count, w);
  };
  while (p + 2 <= size && y < h) {
    const uint8_t count = s[p], value = s[p + 1];
    p += 2;
    if (count != 0) {
      if (four)
        put(count, [&](int64_t i) -> uint8_t { return (i & 1) ? value & 15 : value >> 4; });
      else
        put(count, [&](int64_t) { return value; });
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (p + 2 > size) break;
      x = std::min(x + s[p], w);
      y += s[p + 1];
      p += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1u) / 2 : value;
      const size_t avail = std::min(bytes, size - p);
      const int64_t pixels = four ? std::min<int64_t>(value, static_cast<int64_t>(avail) * 2)
                                  : static_cast<int64_t>(avail);
      const uint8_t* run = s + p;
      if (four)
        put(pixels, [&](int64_t i) -> uint8_t { return (i & 1) ? run[i / 2] & 15 : run[i / 2] >> 4; });
      else
        put(pixels, [&](int64_t i) { return run[i]; });
      if (avail < bytes) break;
      p += bytes + (bytes & 1);
    }
  }
}

bool Decode(const DibHeader& hd, const uint8_t* bits, size_t bitsSize, DibImage& out, uint64_t maxPixels) {
  const uint64_t count = static_cast<uint64_t>(hd.width) * static_cast<uint64_t>(hd.height);
  if (count > maxPixels || count > SIZE_MAX / sizeof(COLORREF)) return false;
  if (!bits && bitsSize != 0) return false;
  DibImage image;
  if (hd.compression == BI_RLE8 || hd.compression == BI_RLE4) {
    size_t streamSize = bitsSize;
    if (hd.sizeImage != 0 && hd.sizeImage < streamSize) streamSize = hd.sizeImage;
    std::vector<uint8_t> index(static_cast<size_t>(count), 0);
    DecodeRle(hd, bits, streamSize, index);
    image.pixels.resize(static_cast<size_t>(count));
    const size_t w = static_cast<size_t>(hd.width);
    for (int32_t r = 0; r < hd.height; ++r) {
      const uint8_t* s = index.data() + static_cast<size_t>(r) * w;
      COLORREF* d = image.pixels.data() + static_cast<size_t>(hd.height - 1 - r) * w;
      for (size_t x = 0; x < w; ++x) d[x] = hd.palette[s[x]];
    }
  } else {
    const int64_t rowBytes = DibRowBytes(hd.width, hd.bitCount);
    if (rowBytes < 0) return false;
    if (static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(hd.height) > bitsSize) return false;
    image.pixels.resize(static_cast<size_t>(count));
    DecodeRows(hd, bits, static_cast<uint64_t>(rowBytes), image.pixels.data());
  }
  image.width = hd.width;
  image.height = hd.height;
  out = std::move(image);
  return true;
}

}  // namespace

bool DecodeDib(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize, DibImage& out,
               uint64_t maxPixels) {
  out = DibImage{};
  DibHeader hd;
  if (!ParseHeader(header, headerSize, hd)) return false;
  return Decode(hd, bits, bitsSize, out, maxPixels);
}

bool DecodePackedDib(const uint8_t* data, size_t size, DibImage& out, size_t bitsOffset) {
  out = DibImage{};
  DibHeader hd;
  if (!ParseHeader(data, size, hd)) return false;
  const uint64_t offset = bitsOffset != 0 ? bitsOffset : hd.length;
  if (offset > size) return false;
  return Decode(hd, data + offset, size - static_cast<size_t>(offset), out, uint64_t{1} << 26);
}

bool DecodeDibAlpha(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize,
                    std::vector<uint8_t>& alpha) {
  alpha.clear();
  DibHeader hd;
  if (!ParseHeader(header, headerSize, hd) || hd.bitCount != 32 || hd.compression != BI_RGB || !bits) return false;
  const uint64_t rowBytes = uint64_t{4} * static_cast<uint64_t>(hd.width);
  const uint64_t count = static_cast<uint64_t>(hd.width) * static_cast<uint64_t>(hd.height);
  if (rowBytes * static_cast<uint64_t>(hd.height) > bitsSize || count > SIZE_MAX) return false;
  alpha.resize(static_cast<size_t>(count));
  const size_t w = static_cast<size_t>(hd.width);
  for (int32_t r = 0; r < hd.height; ++r) {
    const uint8_t* s = bits + static_cast<uint64_t>(r) * rowBytes + 3;
    uint8_t* d = alpha.data() + static_cast<size_t>(hd.topDown ? r : hd.height - 1 - r) * w;
    for (size_t x = 0; x < w; ++x) d[x] = s[4 * x];
  }
  return true;
}

uint64_t DibHeaderLength(const uint8_t* data, size_t size) {
  DibHeader hd;
  return ParseHeader(data, size, hd) ? hd.length : 0;
}

}  // namespace orvane::gdi
