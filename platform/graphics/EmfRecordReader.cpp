#include <orvane/graphics/detail/EmfRecordReader.h>

#include <cstring>

namespace orvane::emf {

namespace {
uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
}  // namespace

uint32_t EmfRecordReader::Type() const { return Load32(data_); }

bool EmfRecordReader::Take(size_t n) {
  if (!ok_ || n > size_ - pos_) {
    ok_ = false;
    return false;
  }
  pos_ += n;
  return true;
}

uint32_t EmfRecordReader::U32() {
  if (!Take(4)) return 0;
  return Load32(data_ + pos_ - 4);
}

int32_t EmfRecordReader::I32() { return static_cast<int32_t>(U32()); }

int16_t EmfRecordReader::I16() {
  if (!Take(2)) return 0;
  const uint8_t* p = data_ + pos_ - 2;
  return static_cast<int16_t>(uint16_t{p[0]} | (uint16_t{p[1]} << 8));
}

uint8_t EmfRecordReader::U8() {
  if (!Take(1)) return 0;
  return data_[pos_ - 1];
}

float EmfRecordReader::F32() {
  const uint32_t bits = U32();
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

gdi::Point EmfRecordReader::PointL() {
  const int32_t x = I32();
  const int32_t y = I32();
  return gdi::Point{x, y};
}

gdi::Point EmfRecordReader::PointS() {
  const int16_t x = I16();
  const int16_t y = I16();
  return gdi::Point{x, y};
}

gdi::Rect EmfRecordReader::RectL() {
  const int32_t l = I32(), t = I32(), r = I32(), b = I32();
  return gdi::Rect{l, t, r, b};
}

void EmfRecordReader::Skip(size_t bytes) { Take(bytes); }

bool EmfRecordReader::Points(uint64_t count, bool sixteenBit, std::vector<gdi::Point>& out) {
  out.clear();
  const uint64_t each = sixteenBit ? 4 : 8;
  if (!ok_ || count > (size_ - pos_) / each) {
    ok_ = false;
    return false;
  }
  out.resize(static_cast<size_t>(count));
  for (gdi::Point& p : out) p = sixteenBit ? PointS() : PointL();
  return ok_;
}

bool EmfRecordReader::U32Array(uint64_t count, std::vector<uint32_t>& out) {
  out.clear();
  if (!ok_ || count > (size_ - pos_) / 4) {
    ok_ = false;
    return false;
  }
  out.resize(static_cast<size_t>(count));
  for (uint32_t& v : out) v = U32();
  return ok_;
}

bool EmfRecordReader::Block(uint64_t offset, uint64_t size, const uint8_t*& block) const {
  block = nullptr;
  if (offset > size_ || size > size_ - offset) return false;
  if (size > 0) block = data_ + offset;
  return true;
}

}  // namespace orvane::emf
