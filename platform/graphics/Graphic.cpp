#include <orvane/graphics/Graphic.h>

#include <new>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

namespace orvane::vcl {

uint64_t TGraphic::FileBytesClaimed(const uint8_t*, size_t) const { return UINT64_MAX; }

void TGraphic::LoadFromFile(const std::string& fileName) {
  const std::vector<uint8_t> data = rtl::ReadFileAsClaimed(
      fileName, kClaimHeadBytes, [this](const uint8_t* head, size_t size) { return FileBytesClaimed(head, size); });
  try {
    LoadFromBytes(data.data(), data.size());
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
}

}  // namespace orvane::vcl
