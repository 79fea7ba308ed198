// Whether a metafile may paint in a way that depends on what is under the
// paint: a binary raster operation other than those that set the pixel
// outright, or a block transfer whose raster operation reads the
// destination. Read from the records before anything is drawn; a record the
// player would skip may be counted, which only costs the caller a slower way.

#include <cstring>

#include <orvane/graphics/EmfPlayer.h>
#include <orvane/graphics/EmfRecords.h>

namespace orvane::vcl {

namespace {

uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

constexpr uint32_t kNotSourceCopy = 0x00330008;

bool SetsPixelOutright(uint32_t rop2) {
  // R2_BLACK, R2_NOTCOPYPEN, R2_NOP, R2_COPYPEN, R2_WHITE; values outside 1..16 are ignored by the player.
  return rop2 == 1 || rop2 == 4 || rop2 == 11 || rop2 == 13 || rop2 == 16 || rop2 < 1 || rop2 > 16;
}

bool BlockSetsPixelOutright(uint32_t rop) {
  return rop == emf::SRCCOPY || rop == kNotSourceCopy || rop == emf::PATCOPY || rop == emf::BLACKNESS ||
         rop == emf::WHITENESS;
}

}  // namespace

bool MetafileMayReadDestination(const std::vector<uint8_t>& emf) {
  const size_t size = emf.size();
  if (size < 8) return false;
  const uint8_t* h = emf.data();
  for (size_t pos = Load32(h + 4); pos <= size && size - pos >= 8;) {
    const uint32_t type = Load32(h + pos), recordSize = Load32(h + pos + 4);
    if (recordSize < 8 || recordSize % 4 || recordSize > size - pos || type == emf::EMR_EOF) break;
    // Offsets of the raster operation: after the bounds and the destination
    // rectangle, or after the source fields of StretchDIBits.
    const size_t ropAt = type == emf::EMR_STRETCHDIBITS ? 68 : 40;
    if (type == emf::EMR_SETROP2 && recordSize >= 12 && !SetsPixelOutright(Load32(h + pos + 8))) return true;
    if ((type == emf::EMR_BITBLT || type == emf::EMR_STRETCHBLT || type == emf::EMR_STRETCHDIBITS) &&
        recordSize >= ropAt + 4 && !BlockSetsPixelOutright(Load32(h + pos + ropAt)))
      return true;
    pos += recordSize;
  }
  return false;
}

}  // namespace orvane::vcl
