#include <orvane/graphics/detail/EmfRecordWriter.h>

namespace orvane::vcl {

void StoreU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

void EmfRecordWriter::Begin(uint32_t type) {
  start_ = out_.size();
  U32(type);
  U32(0);  // size, written by End()
}

void EmfRecordWriter::U16(uint16_t v) {
  out_.push_back(static_cast<uint8_t>(v));
  out_.push_back(static_cast<uint8_t>(v >> 8));
}

void EmfRecordWriter::U32(uint32_t v) {
  const size_t at = out_.size();
  out_.resize(at + 4);
  StoreU32(out_.data() + at, v);
}

void EmfRecordWriter::PatchU32(uint32_t offset, uint32_t v) { StoreU32(out_.data() + start_ + offset, v); }

void EmfRecordWriter::End() {
  Align4();
  PatchU32(4, Offset());
  ++records_;
}

void EmfRecordWriter::Record(uint32_t type, std::initializer_list<int32_t> params) {
  Begin(type);
  for (int32_t p : params) I32(p);
  End();
}

}  // namespace orvane::vcl
