#pragma once
// gzip streams for tests, written by zlib as .emz and .wmz files are.

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace gziptest {

// `data` and then `zerosAfter` zero bytes, compressed as one gzip member;
// the zeros are fed a piece at a time, so a stream inflating to gigabytes
// costs its writer little memory.
inline std::vector<uint8_t> Gzip(const std::vector<uint8_t>& data, uint64_t zerosAfter = 0) {
  z_stream s{};
  // 15 window bits + 16: a gzip wrapper.
  if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::vector<uint8_t> out;
  const std::vector<uint8_t> zeros(1 << 20, 0);
  uint8_t chunk[1 << 16];
  auto feed = [&](const uint8_t* p, size_t n, int flush) {
    s.next_in = const_cast<Bytef*>(p);
    s.avail_in = static_cast<uInt>(n);
    int rc;
    do {
      s.next_out = chunk;
      s.avail_out = sizeof chunk;
      rc = deflate(&s, flush);
      out.insert(out.end(), chunk, chunk + (sizeof chunk - s.avail_out));
    } while (s.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
  };
  feed(data.data(), data.size(), Z_NO_FLUSH);
  for (uint64_t left = zerosAfter; left > 0;) {
    const size_t n = static_cast<size_t>(left < zeros.size() ? left : zeros.size());
    feed(zeros.data(), n, Z_NO_FLUSH);
    left -= n;
  }
  feed(nullptr, 0, Z_FINISH);
  deflateEnd(&s);
  return out;
}

}  // namespace gziptest
