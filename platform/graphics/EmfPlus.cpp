#include <orvane/graphics/detail/EmfPlus.h>

#include <algorithm>
#include <cstring>

#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::vcl {

namespace {

constexpr uint32_t kEmfPlusIdentifier = 0x2B464D45;  // "EMF+"
// EMR_GDICOMMENT: type, size, data size, then the data: the identifier and the EMF+ records.
constexpr size_t kCommentDataSize = 8, kCommentIdentifier = 12, kFirstEmfPlusRecord = 16;
constexpr size_t kEmfPlusRecordHeader = 12;
constexpr uint16_t kEmfPlusHeaderType = 0x4001;
constexpr uint16_t kDualFlag = 0x0001;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The end of the EMF+ records of a comment record, or 0 when it holds none.
size_t EmfPlusEnd(const uint8_t* record, size_t size) {
  if (size < kFirstEmfPlusRecord || U32(record) != emf::EMR_GDICOMMENT ||
      U32(record + kCommentIdentifier) != kEmfPlusIdentifier)
    return 0;
  const uint64_t dataEnd = uint64_t{kCommentIdentifier} + U32(record + kCommentDataSize);
  return static_cast<size_t>(std::min<uint64_t>(dataEnd, size));
}

// Calls `each(type, flags)` for the well-formed EMF+ records of a comment
// until it returns false; how many it was called for.
template <typename Each>
uint64_t ForEachEmfPlusRecord(const uint8_t* record, size_t size, Each each) {
  const size_t end = EmfPlusEnd(record, size);
  uint64_t count = 0;
  for (size_t pos = kFirstEmfPlusRecord; end >= pos + kEmfPlusRecordHeader;) {
    const uint32_t recordSize = U32(record + pos + 4);
    if (recordSize < kEmfPlusRecordHeader || recordSize % 4 || recordSize > end - pos) break;
    ++count;
    if (!each(U16(record + pos), U16(record + pos + 2))) break;
    pos += recordSize;
  }
  return count;
}

}  // namespace

uint64_t CountEmfPlusRecords(const uint8_t* record, size_t size) {
  return ForEachEmfPlusRecord(record, size, [](uint16_t, uint16_t) { return true; });
}

TEmfPlusContent EmfPlusContentOf(const std::vector<uint8_t>& emf) {
  const size_t size = emf.size();
  if (size < 8) return TEmfPlusContent::None;
  const uint8_t* h = emf.data();
  bool afterHeader = false;
  // The records as the player walks them.
  for (size_t pos = U32(h + 4); pos <= size && size - pos >= 8;) {
    const uint32_t type = U32(h + pos), recordSize = U32(h + pos + 4);
    if (recordSize < 8 || recordSize % 4 || recordSize > size - pos || type == emf::EMR_EOF) break;
    if (afterHeader && emf::EmfRecordPlayer::Paints(type)) return TEmfPlusContent::Dual;
    if (!afterHeader) {
      bool dual = false;
      ForEachEmfPlusRecord(h + pos, recordSize, [&](uint16_t plusType, uint16_t flags) {
        afterHeader = plusType == kEmfPlusHeaderType;
        dual = (flags & kDualFlag) != 0;
        return false;  // the header comes first or not at all
      });
      if (afterHeader && !dual) return TEmfPlusContent::OnlyEmfPlus;
    }
    pos += recordSize;
  }
  return afterHeader ? TEmfPlusContent::OnlyEmfPlus : TEmfPlusContent::None;
}

}  // namespace orvane::vcl
