#pragma once
// A bounds-checked cursor over one metafile record. Every read checks the
// remaining bytes first (sizes in 64 bits) and reports failure instead of
// reading past the record; once a read fails the reader stays failed, so a
// record handler can read all its fields and test Ok() once.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <orvane/gdi/GdiTypes.h>

namespace orvane::emf {

class EmfRecordReader {
 public:
  // `record` points at the record's type field; `size` is its checked size (>= 8).
  EmfRecordReader(const uint8_t* record, size_t size) : data_(record), size_(size), pos_(8) {}

  uint32_t Type() const;
  size_t Size() const { return size_; }
  const uint8_t* Data() const { return data_; }
  bool Ok() const { return ok_; }
  size_t Remaining() const { return ok_ ? size_ - pos_ : 0; }

  uint32_t U32();
  int32_t I32();
  int16_t I16();
  uint8_t U8();
  float F32();  // raw IEEE value: may be NaN or infinite, the caller checks
  gdi::Point PointL();
  gdi::Point PointS();
  gdi::Rect RectL();  // as stored: left, top, right, bottom
  void Skip(size_t bytes);

  // Reads `count` points of 8 (32-bit) or 4 (16-bit) bytes, failing when the
  // record does not hold them all; `out` is replaced.
  bool Points(uint64_t count, bool sixteenBit, std::vector<gdi::Point>& out);
  // Reads `count` 32-bit values.
  bool U32Array(uint64_t count, std::vector<uint32_t>& out);

  // A block at an absolute offset from the record start, when it lies fully
  // inside the record (`size` 0 gives a null block and succeeds only for offset 0 or in range).
  bool Block(uint64_t offset, uint64_t size, const uint8_t*& block) const;

 private:
  bool Take(size_t n);
  const uint8_t* data_;
  size_t size_;
  size_t pos_;
  bool ok_ = true;
};

}  // namespace orvane::emf
