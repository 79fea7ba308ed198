#pragma once
// Builds enhanced-metafile records into a byte vector: a record is opened
// with its type, filled with little-endian fields, and closed, which pads it
// to a multiple of four bytes and writes its size. The header (record 0) is
// written by the caller and patched once the records are known.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace orvane::vcl {

class EmfRecordWriter {
 public:
  explicit EmfRecordWriter(std::vector<uint8_t>& out) : out_(out) {}

  void Begin(uint32_t type);
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Bytes(const uint8_t* p, size_t n) { out_.insert(out_.end(), p, p + n); }
  void Zeros(size_t n) { out_.insert(out_.end(), n, uint8_t{0}); }
  void Align4() { Zeros((4 - (out_.size() & 3)) & 3); }
  // Offset of the next byte from the start of the open record.
  uint32_t Offset() const { return static_cast<uint32_t>(out_.size() - start_); }
  // Overwrites a 32-bit field at `offset` bytes into the open record.
  void PatchU32(uint32_t offset, uint32_t v);
  void End();

  // Shorthands for the records of one to four 32-bit parameters.
  void Record(uint32_t type, std::initializer_list<int32_t> params);

  uint32_t Records() const { return records_; }
  std::vector<uint8_t>& Out() { return out_; }

 private:
  std::vector<uint8_t>& out_;
  size_t start_ = 0;
  uint32_t records_ = 0;
};

// Writes a 32-bit little-endian value at `p`.
void StoreU32(uint8_t* p, uint32_t v);

}  // namespace orvane::vcl
