// Reading DIBs where they lie.
//
// Sections:
//   1. header: BITMAPCOREHEADER (12 bytes, RGBTRIPLE table) and
//      BITMAPINFOHEADER with its larger V2-V5 forms (recognised by biSize)
//   2. uncompressed pixels: palette formats, 16/32-bit bit fields, 24 bits
//   3. RLE8 and RLE4 streams, read into runs
//
// Every size is computed in 64 bits and checked against the bytes at hand
// before anything is read.

#include <orvane/gdi/DibSource.h>

#include <algorithm>
#include <bit>

#include <orvane/gdi/BitmapObject.h>

namespace orvane::gdi {

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV2HeaderSize = 52;  // the first form that holds the RGB masks itself

}  // namespace

// --- 1. Header -------------------------------------------------------------

bool DibSource::ReadHeader(const uint8_t* h, size_t size) {
  if (!h || size < 4) return false;
  const uint32_t headerSize = U32(h);
  uint64_t tableOffset = 0, entries = 0, entryBytes = 4;
  uint32_t masks[3] = {0, 0, 0};
  if (headerSize == kCoreHeaderSize) {
    if (size < kCoreHeaderSize) return false;
    width_ = U16(h + 4);
    height_ = U16(h + 6);
    bitCount_ = U16(h + 10);
    compression_ = BI_RGB;
    if (bitCount_ != 1 && bitCount_ != 4 && bitCount_ != 8 && bitCount_ != 24) return false;
    entryBytes = 3;
    entries = bitCount_ <= 8 ? (uint64_t{1} << bitCount_) : 0;
    tableOffset = kCoreHeaderSize;
  } else if (headerSize >= kInfoHeaderSize && headerSize <= size) {
    const int32_t height = I32(h + 8);
    if (height == INT32_MIN) return false;
    width_ = I32(h + 4);
    topDown_ = height < 0;
    height_ = height < 0 ? -height : height;
    bitCount_ = U16(h + 14);
    compression_ = U32(h + 16);
    sizeImage_ = U32(h + 20);
    const uint32_t colorsUsed = U32(h + 32);
    tableOffset = headerSize;
    if (compression_ == BI_BITFIELDS) {
      const uint8_t* m = h + kInfoHeaderSize;
      if (headerSize < kV2HeaderSize) {
        if (size < uint64_t{kInfoHeaderSize} + 12) return false;
        tableOffset += 12;
      }
      for (int i = 0; i < 3; ++i) masks[i] = U32(m + 4 * i);
    }
    entries = colorsUsed != 0 ? colorsUsed : (bitCount_ <= 8 ? uint64_t{1} << bitCount_ : 0);
  } else {
    return false;
  }

  switch (bitCount_) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  switch (compression_) {
    case BI_RGB: break;
    case BI_RLE8: if (bitCount_ != 8 || topDown_) return false; break;
    case BI_RLE4: if (bitCount_ != 4 || topDown_) return false; break;
    case BI_BITFIELDS: if (bitCount_ != 16 && bitCount_ != 32) return false; break;
    default: return false;
  }
  if (width_ <= 0 || height_ <= 0) return false;

  bitFields_ = bitCount_ == 16 || (bitCount_ == 32 && compression_ == BI_BITFIELDS);
  if (bitCount_ == 16 && compression_ == BI_RGB) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  if (bitFields_) {
    red_.Set(masks[0]);
    green_.Set(masks[1]);
    blue_.Set(masks[2]);
  }

  // Only the entries a pixel can reach need be present; a longer table still
  // counts towards the length (where a packed DIB's bits begin).
  headerLength_ = tableOffset + entries * entryBytes;
  if (bitCount_ <= 8) {
    const uint64_t used = std::min<uint64_t>(entries, uint64_t{1} << bitCount_);
    if (tableOffset + used * entryBytes > size) return false;
    const uint8_t* t = h + tableOffset;
    for (uint64_t i = 0; i < used; ++i, t += entryBytes) palette_[i] = RGB(t[2], t[1], t[0]);
  }
  return true;
}

bool DibSource::CheckBits(const uint8_t* bits, size_t bitsSize) {
  if (!bits && bitsSize != 0) return false;
  bits_ = bits;
  bitsSize_ = bitsSize;
  if (compression_ == BI_RLE8 || compression_ == BI_RLE4) {
    if (sizeImage_ != 0 && sizeImage_ < bitsSize_) bitsSize_ = sizeImage_;
    bitsSize_ = std::min<size_t>(bitsSize_, UINT32_MAX);  // runs keep 32-bit offsets
    ReadRuns();
    return true;
  }
  const int64_t rowBytes = DibRowBytes(width_, bitCount_);
  if (rowBytes < 0) return false;
  rowBytes_ = static_cast<uint64_t>(rowBytes);
  return rowBytes_ * static_cast<uint64_t>(height_) <= bitsSize;
}

bool DibSource::Open(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize) {
  *this = DibSource{};
  if (ReadHeader(header, headerSize) && CheckBits(bits, bitsSize)) return true;
  *this = DibSource{};
  return false;
}

bool DibSource::OpenPacked(const uint8_t* data, size_t size, size_t bitsOffset) {
  *this = DibSource{};
  if (!ReadHeader(data, size)) {
    *this = DibSource{};
    return false;
  }
  const uint64_t offset = bitsOffset != 0 ? bitsOffset : headerLength_;
  if (offset > size || !CheckBits(data + offset, size - static_cast<size_t>(offset))) {
    *this = DibSource{};
    return false;
  }
  return true;
}

uint64_t DibSource::HeaderLength(const uint8_t* data, size_t size) {
  DibSource dib;
  return dib.ReadHeader(data, size) ? dib.headerLength_ : 0;
}

// --- 2. Uncompressed pixels --------------------------------------------------

// Each channel is widened to 8 bits by repeating its bits (so a full 5-bit
// value becomes 255); a channel wider than 8 bits keeps its top 8.
void DibSource::Channel::Set(uint32_t m) {
  mask = m;
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

uint8_t DibSource::Channel::Get(uint32_t pixel) const {
  if (bits == 0) return 0;
  const uint32_t v = (pixel & mask) >> shift;
  return bits <= 8 ? widen[v] : static_cast<uint8_t>(v >> (bits - 8));
}

const uint8_t* DibSource::StoredRow(int32_t row) const {
  const int32_t stored = topDown_ ? row : height_ - 1 - row;
  return bits_ + static_cast<uint64_t>(stored) * rowBytes_;
}

COLORREF DibSource::StoredPixel(const uint8_t* s, int32_t x) const {
  switch (bitCount_) {
    case 1: return palette_[(s[x >> 3] >> (7 - (x & 7))) & 1];
    case 4: return palette_[(s[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
    case 8: return palette_[s[x]];
    case 16: {
      const uint32_t v = U16(s + 2 * static_cast<size_t>(x));
      return RGB(red_.Get(v), green_.Get(v), blue_.Get(v));
    }
    case 24: s += 3 * static_cast<size_t>(x); return RGB(s[2], s[1], s[0]);
    default:
      s += 4 * static_cast<size_t>(x);
      if (!bitFields_) return RGB(s[2], s[1], s[0]);
      const uint32_t v = U32(s);
      return RGB(red_.Get(v), green_.Get(v), blue_.Get(v));
  }
}

// --- 3. RLE ---------------------------------------------------------------

// Reads an RLE8 or RLE4 stream into runs. Pixels the stream leaves alone
// keep index 0; runs are cut at the row's end; a truncated stream simply
// ends the image. The stream only moves forward, so the runs come sorted.
void DibSource::ReadRuns() {
  static_assert(sizeof(Run) == 16, "a run costs 16 bytes");
  const bool four = compression_ == BI_RLE4;
  const uint8_t* s = bits_;
  const size_t size = bitsSize_;
  const int64_t w = width_, h = height_;
  int64_t x = 0, y = 0;
  size_t p = 0;
  const auto add = [&](int64_t count, uint32_t data, bool literal) {
    if (count > 0 && x < w)
      runs_.push_back(Run{static_cast<int32_t>(y), static_cast<int32_t>(x), data,
                          static_cast<uint16_t>(std::min(x + count, w) - x), literal});
    x = std::min(x + count, w);
  };
  while (p + 2 <= size && y < h) {
    const uint8_t count = s[p], value = s[p + 1];
    p += 2;
    if (count != 0) {
      add(count, value, false);
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
      add(pixels, static_cast<uint32_t>(p), true);
      if (avail < bytes) break;
      p += bytes + (bytes & 1);
    }
  }
}

uint8_t DibSource::RunIndex(const Run& run, int32_t x) const {
  const uint32_t i = static_cast<uint32_t>(x - run.x0);
  if (compression_ == BI_RLE8) return run.literal ? bits_[run.data + i] : static_cast<uint8_t>(run.data);
  const uint8_t byte = run.literal ? bits_[run.data + i / 2] : static_cast<uint8_t>(run.data);
  return (i & 1) ? byte & 15 : byte >> 4;
}

void DibSource::RowRuns(int32_t row, size_t& first, size_t& last) const {
  const int32_t stored = height_ - 1 - row;
  const auto lo = std::lower_bound(runs_.begin(), runs_.end(), stored,
                                   [](const Run& r, int32_t v) { return r.storedRow < v; });
  const auto hi = std::upper_bound(lo, runs_.end(), stored, [](int32_t v, const Run& r) { return v < r.storedRow; });
  first = static_cast<size_t>(lo - runs_.begin());
  last = static_cast<size_t>(hi - runs_.begin());
}

// --- Reading -----------------------------------------------------------------

void DibSource::Sample(const SourcePixel* at, size_t count, COLORREF* out) const {
  if (compression_ != BI_RLE8 && compression_ != BI_RLE4) {
    for (size_t i = 0; i < count; ++i) out[i] = StoredPixel(StoredRow(at[i].row), at[i].column);
    return;
  }
  int32_t cachedRow = -1;
  size_t first = 0, last = 0;
  for (size_t i = 0; i < count; ++i) {
    if (at[i].row != cachedRow) {
      cachedRow = at[i].row;
      RowRuns(cachedRow, first, last);
    }
    const int32_t x = at[i].column;
    const auto past = std::upper_bound(runs_.begin() + static_cast<ptrdiff_t>(first),
                                       runs_.begin() + static_cast<ptrdiff_t>(last), x,
                                       [](int32_t v, const Run& r) { return v < r.x0; });
    uint8_t index = 0;
    if (past != runs_.begin() + static_cast<ptrdiff_t>(first) && x < (past - 1)->End()) index = RunIndex(*(past - 1), x);
    out[i] = palette_[index];
  }
}

bool DibSource::SampleAlpha(const SourcePixel* at, size_t count, uint8_t* out) const {
  if (bitCount_ != 32 || compression_ != BI_RGB) return false;
  for (size_t i = 0; i < count; ++i) out[i] = StoredRow(at[i].row)[4 * static_cast<size_t>(at[i].column) + 3];
  return true;
}

std::vector<int32_t> DibSource::RowsWithRuns() const {
  std::vector<int32_t> rows;
  if (compression_ != BI_RLE8 && compression_ != BI_RLE4) return rows;
  for (const Run& r : runs_) {
    const int32_t row = height_ - 1 - r.storedRow;
    if (rows.empty() || rows.back() != row) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

bool DibSource::RowsAlike(int32_t a, int32_t b) const {
  if (a == b) return true;
  if (compression_ != BI_RLE8 && compression_ != BI_RLE4) return false;
  size_t firstA = 0, lastA = 0, firstB = 0, lastB = 0;
  RowRuns(a, firstA, lastA);
  RowRuns(b, firstB, lastB);
  return firstA == lastA && firstB == lastB;
}

void DibSource::ReadRow(int32_t row, COLORREF* out) const {
  if (compression_ != BI_RLE8 && compression_ != BI_RLE4) {
    const uint8_t* s = StoredRow(row);
    for (int32_t x = 0; x < width_; ++x) out[x] = StoredPixel(s, x);
    return;
  }
  std::fill(out, out + width_, palette_[0]);
  size_t first = 0, last = 0;
  RowRuns(row, first, last);
  for (size_t k = first; k < last; ++k)
    for (int32_t x = runs_[k].x0; x < runs_[k].End(); ++x) out[x] = palette_[RunIndex(runs_[k], x)];
}

}  // namespace orvane::gdi
