// WMF-to-EMF conversion of the bitmap records. A WMF record carries its DIB
// inline (header, colour table, bits); the EMF records carry the same DIB
// behind offset/size fields. The DIB header is checked here only as far as
// the split needs (header size, colour-table size against the data); the
// player checks the bits against the image size. A core (12-byte) header is
// widened to the 40-byte form with an RGBQUAD table, as EMF readers expect.
//
// DIBBITBLT and DIBSTRETCHBLT have a short form without a bitmap (the raster
// operation then uses only the brush): its record is one reserved word longer
// than the fixed part and carries no DIB.

#include <cstring>
#include <limits>

#include <orvane/graphics/detail/WmfRecordConverter.h>
#include <orvane/graphics/detail/EmfRecords.h>
#include <orvane/graphics/detail/WmfRecordTypes.h>

namespace orvane::vcl {

using namespace wmf;

namespace {

constexpr uint16_t kDibRgbColors = 0, kDibPalColors = 1;
constexpr uint16_t kBrushPattern = 3;
constexpr uint32_t kCoreHeaderSize = 12, kInfoHeaderSize = 40;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kFloatOne = 0x3F800000;  // 1.0f

uint32_t LoadU32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct Dib {
  std::vector<uint8_t> info;  // header and colour table
  const uint8_t* bits = nullptr;
  size_t bitsSize = 0;
};

// Splits the DIB at `p` (`n` bytes) into header + colour table and bits.
bool ReadDib(const uint8_t* p, size_t n, uint16_t usage, Dib& dib) {
  if (n < 4 || usage > kDibPalColors) return false;
  const uint32_t headerSize = LoadU32(p);
  const uint64_t entrySize = usage == kDibPalColors ? 2 : 4;
  if (headerSize == kCoreHeaderSize) {
    if (n < kCoreHeaderSize) return false;
    const uint16_t bitCount = LoadU16(p + 10);
    const uint64_t entries = bitCount <= 8 ? uint64_t{1} << bitCount : 0;
    const uint64_t coreEntrySize = usage == kDibPalColors ? 2 : 3;
    const uint64_t tableSize = entries * coreEntrySize;
    if (kCoreHeaderSize + tableSize > n) return false;
    dib.info.assign(kInfoHeaderSize, 0);
    uint8_t* h = dib.info.data();
    StoreU32(h, kInfoHeaderSize);
    StoreU32(h + 4, LoadU16(p + 4));   // width
    StoreU32(h + 8, LoadU16(p + 6));   // height (a core DIB is bottom-up)
    std::memcpy(h + 12, p + 8, 4);     // planes, bit count
    const uint8_t* table = p + kCoreHeaderSize;
    for (uint64_t i = 0; i < entries; ++i) {
      const uint8_t* e = table + i * coreEntrySize;
      if (usage == kDibPalColors) {
        dib.info.insert(dib.info.end(), e, e + 2);
      } else {
        dib.info.insert(dib.info.end(), {e[0], e[1], e[2], uint8_t{0}});
      }
    }
    dib.bits = table + tableSize;
    dib.bitsSize = n - kCoreHeaderSize - tableSize;
    return true;
  }
  if (headerSize < kInfoHeaderSize || headerSize > n) return false;
  const uint16_t bitCount = LoadU16(p + 14);
  const uint32_t compression = LoadU32(p + 16);
  const uint32_t used = LoadU32(p + 32);
  uint64_t entries = used;
  if (bitCount <= 8 && used == 0) entries = bitCount == 0 ? 0 : uint64_t{1} << bitCount;
  uint64_t tableSize = entries * entrySize;
  if (compression == kBitFields && headerSize == kInfoHeaderSize) tableSize += 12;  // the three masks
  if (headerSize + tableSize > n) return false;
  const size_t infoSize = static_cast<size_t>(headerSize + tableSize);
  dib.info.assign(p, p + infoSize);
  dib.bits = p + infoSize;
  dib.bitsSize = n - infoSize;
  return true;
}

// The DIB words from `first` on.
bool ReadDib(const WmfParams& p, size_t first, uint16_t usage, Dib& dib) {
  return first < p.Words() && ReadDib(p.Bytes(first), 2 * (p.Words() - first), usage, dib);
}

// Writes the DIB after the fixed fields of the open record and patches the
// four fields (offset, size of the header + table, offset, size of the bits)
// from `fieldOffset` on.
void WriteDib(EmfRecordWriter& out, uint32_t fieldOffset, const Dib& dib) {
  const uint32_t infoOffset = out.Offset();
  out.Bytes(dib.info.data(), dib.info.size());
  out.Align4();
  const uint32_t bitsOffset = out.Offset();
  out.Bytes(dib.bits, dib.bitsSize);
  out.PatchU32(fieldOffset, infoOffset);
  out.PatchU32(fieldOffset + 4, static_cast<uint32_t>(dib.info.size()));
  out.PatchU32(fieldOffset + 8, bitsOffset);
  out.PatchU32(fieldOffset + 12, static_cast<uint32_t>(dib.bitsSize));
}

// EMF sizes are 32-bit; WMF records can in principle be larger.
bool FitsInRecord(const Dib& dib) {
  return uint64_t{dib.info.size()} + dib.bitsSize + 256 < std::numeric_limits<uint32_t>::max();
}

void WriteBounds(EmfRecordWriter& out, int32_t x, int32_t y, int32_t width, int32_t height) {
  for (int32_t v : {x, y, x + width - 1, y + height - 1}) out.I32(v);
}

// EMR_BITBLT and EMR_STRETCHBLT share their first 100 bytes; `dib` may be
// null for a blit without a source bitmap.
struct Blit {
  uint32_t rop;
  int32_t xDest, yDest, cxDest, cyDest;
  int32_t xSrc, ySrc, cxSrc, cySrc;
};

void WriteBlit(EmfRecordWriter& out, uint32_t type, const Blit& b, const Dib* dib) {
  constexpr uint32_t kBmiFields = 84;
  out.Begin(type);
  WriteBounds(out, b.xDest, b.yDest, b.cxDest, b.cyDest);
  for (int32_t v : {b.xDest, b.yDest, b.cxDest, b.cyDest}) out.I32(v);
  out.U32(b.rop);
  out.I32(b.xSrc);
  out.I32(b.ySrc);
  for (uint32_t v : {kFloatOne, 0u, 0u, kFloatOne, 0u, 0u}) out.U32(v);  // source transform: identity
  out.U32(0);                                                             // source background colour
  out.U32(kDibRgbColors);
  out.Zeros(16);  // DIB offsets and sizes
  if (type == emf::EMR_STRETCHBLT) {
    out.I32(b.cxSrc);
    out.I32(b.cySrc);
  }
  if (dib) WriteDib(out, kBmiFields, *dib);
  out.End();
}

}  // namespace

// PATBLT: raster operation, height, width, y, x.
void WmfRecordConverter::PatBlt(const WmfParams& p) {
  if (p.Words() < 6) return;
  WriteBlit(out_, emf::EMR_BITBLT, {p.U32(0), p.I16(5), p.I16(4), p.I16(3), p.I16(2), 0, 0, 0, 0}, nullptr);
}

// STRETCHDIB: raster operation, colour usage, source height, width, y, x,
// destination height, width, y, x, then the DIB.
void WmfRecordConverter::StretchDib(const WmfParams& p) {
  constexpr size_t kFixedWords = 11;
  constexpr uint32_t kBmiFields = 48;
  Dib dib;
  if (p.Words() < kFixedWords || !ReadDib(p, kFixedWords, p.U16(2), dib) || !FitsInRecord(dib)) return;
  out_.Begin(emf::EMR_STRETCHDIBITS);
  WriteBounds(out_, p.I16(10), p.I16(9), p.I16(8), p.I16(7));
  for (int32_t v : {p.I16(10), p.I16(9), p.I16(6), p.I16(5), p.I16(4), p.I16(3)}) out_.I32(v);
  out_.Zeros(16);  // DIB offsets and sizes
  out_.U32(p.U16(2));
  out_.U32(p.U32(0));
  out_.I32(p.I16(8));
  out_.I32(p.I16(7));
  WriteDib(out_, kBmiFields, dib);
  out_.End();
}

// SETDIBTODEV: colour usage, scan count, first scan, source y, x, height,
// width, destination y, x, then the DIB.
void WmfRecordConverter::SetDibToDev(const WmfParams& p) {
  constexpr size_t kFixedWords = 9;
  constexpr uint32_t kBmiFields = 48;
  Dib dib;
  if (p.Words() < kFixedWords || !ReadDib(p, kFixedWords, p.U16(0), dib) || !FitsInRecord(dib)) return;
  out_.Begin(emf::EMR_SETDIBITSTODEVICE);
  WriteBounds(out_, p.I16(8), p.I16(7), p.I16(6), p.I16(5));
  for (int32_t v : {p.I16(8), p.I16(7), p.I16(4), p.I16(3), p.I16(6), p.I16(5)}) out_.I32(v);
  out_.Zeros(16);  // DIB offsets and sizes
  out_.U32(p.U16(0));
  out_.U32(p.U16(2));
  out_.U32(p.U16(1));
  WriteDib(out_, kBmiFields, dib);
  out_.End();
}

// DIBSTRETCHBLT: raster operation, source height, width, y, x, destination
// height, width, y, x, then the DIB (or, without one, a reserved word before
// the destination).
void WmfRecordConverter::DibStretchBlt(const WmfParams& p) {
  constexpr size_t kFixedWords = 10;
  if (p.Words() == kFixedWords + 1) {
    WriteBlit(out_, emf::EMR_BITBLT, {p.U32(0), p.I16(10), p.I16(9), p.I16(8), p.I16(7), 0, 0, 0, 0}, nullptr);
    return;
  }
  Dib dib;
  if (p.Words() < kFixedWords || !ReadDib(p, kFixedWords, kDibRgbColors, dib) || !FitsInRecord(dib)) return;
  WriteBlit(out_, emf::EMR_STRETCHBLT,
            {p.U32(0), p.I16(9), p.I16(8), p.I16(7), p.I16(6), p.I16(5), p.I16(4), p.I16(3), p.I16(2)}, &dib);
}

// DIBBITBLT: raster operation, source y, x, height, width, destination y, x,
// then the DIB (or, without one, a reserved word before the height).
void WmfRecordConverter::DibBitBlt(const WmfParams& p) {
  constexpr size_t kFixedWords = 8;
  if (p.Words() == kFixedWords + 1) {
    WriteBlit(out_, emf::EMR_BITBLT, {p.U32(0), p.I16(8), p.I16(7), p.I16(6), p.I16(5), 0, 0, 0, 0}, nullptr);
    return;
  }
  Dib dib;
  if (p.Words() < kFixedWords || !ReadDib(p, kFixedWords, kDibRgbColors, dib) || !FitsInRecord(dib)) return;
  WriteBlit(out_, emf::EMR_BITBLT, {p.U32(0), p.I16(7), p.I16(6), p.I16(5), p.I16(4), p.I16(3), p.I16(2), 0, 0}, &dib);
}

// DIBCREATEPATTERNBRUSH: style, colour usage, then the DIB. A BS_PATTERN
// brush always has RGB colours.
void WmfRecordConverter::CreateDibPatternBrush(const WmfParams& p) {
  constexpr size_t kFixedWords = 2;
  constexpr uint32_t kBmiFields = 16;
  Dib dib;
  const uint16_t usage = p.Words() >= kFixedWords && p.U16(0) != kBrushPattern ? p.U16(1) : kDibRgbColors;
  if (p.Words() < kFixedWords || !ReadDib(p, kFixedWords, usage, dib) || !FitsInRecord(dib)) {
    return CreatePlaceholder();
  }
  uint32_t slot;
  if (!AllocateSlot(ObjectKind::kBrush, slot)) return;
  out_.Begin(emf::EMR_CREATEDIBPATTERNBRUSHPT);
  out_.U32(slot + 1);
  out_.U32(usage);
  out_.Zeros(16);  // DIB offsets and sizes
  WriteDib(out_, kBmiFields, dib);
  out_.End();
}

}  // namespace orvane::vcl
