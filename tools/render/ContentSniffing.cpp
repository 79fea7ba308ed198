#include "render/ContentSniffing.h"

#include "render/RenderOptions.h"

namespace orvanetools {

namespace {

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF" at offset 40
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint32_t kIconType = 1;

}  // namespace

PictureKind SniffPictureKind(const uint8_t* data, size_t size) {
  if (size >= 44 && U32(data) == kEmrHeader && U32(data + 40) == kEmfSignature) return PictureKind::Emf;
  if (size >= 4 && U32(data) == kPlaceableKey) return PictureKind::PlaceableWmf;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return PictureKind::Bmp;
  // Icon directory: reserved 0, type 1, at least one image.
  if (size >= 6 && U16(data) == 0 && U16(data + 2) == kIconType && U16(data + 4) > 0) return PictureKind::Icon;
  return PictureKind::Unknown;
}

PictureKind PictureKindOfName(const std::string& fileName) {
  const std::string ext = LowerExtension(fileName);
  if (ext == "emf") return PictureKind::Emf;
  if (ext == "wmf") return PictureKind::PlaceableWmf;
  if (ext == "bmp") return PictureKind::Bmp;
  if (ext == "ico") return PictureKind::Icon;
  return PictureKind::Unknown;
}

}  // namespace orvanetools
