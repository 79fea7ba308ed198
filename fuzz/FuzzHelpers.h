#pragma once
// Shared bits of the image fuzz targets.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace fuzzhelp {

// True when a DIB header claims more than 2^18 pixels. Such images are legal
// up to the decoder's limit, but an RLE stream of a few bytes can claim one,
// and allocating it on every run would slow the fuzzer to a crawl without
// reaching any new code.
inline bool ClaimsHugeImage(const uint8_t* dib, size_t size) {
  if (size < 12) return false;
  const uint32_t headerSize = dib[0] | (dib[1] << 8) | (dib[2] << 16) | (uint32_t{dib[3]} << 24);
  int64_t w = 0, h = 0;
  if (headerSize == 12) {
    w = dib[4] | (dib[5] << 8);
    h = dib[6] | (dib[7] << 8);
  } else {
    w = static_cast<int32_t>(dib[4] | (dib[5] << 8) | (dib[6] << 16) | (uint32_t{dib[7]} << 24));
    h = static_cast<int32_t>(dib[8] | (dib[9] << 8) | (dib[10] << 16) | (uint32_t{dib[11]} << 24));
  }
  return std::llabs(w) * std::llabs(h) > (int64_t{1} << 18);
}

inline uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

// The same for the first image of an icon file.
inline bool IconClaimsHugeImage(const uint8_t* data, size_t size) {
  if (size < 22) return false;
  const uint64_t offset = U32(data + 18);
  return offset < size && ClaimsHugeImage(data + offset, size - offset);
}

// The same for the BMP file or icon file inside a picture record.
inline bool RecordClaimsHugeImage(const uint8_t* data, size_t size) {
  if (size < 1 || size < 1 + uint64_t{data[0]} + 4) return false;
  const uint8_t* payload = data + 1 + data[0] + 4;
  const size_t rest = size - 1 - data[0] - 4;
  if (rest >= 14 && payload[0] == 'B' && payload[1] == 'M') return ClaimsHugeImage(payload + 14, rest - 14);
  return IconClaimsHugeImage(payload, rest);
}

}  // namespace fuzzhelp
