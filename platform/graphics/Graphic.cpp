#include <orvane/graphics/Graphic.h>

#include <new>

#include <orvane/graphics/detail/GraphicReading.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

namespace orvane::vcl {

namespace {

void LoadRead(TGraphic& graphic, const std::vector<uint8_t>& data) {
  try {
    graphic.LoadFromBytes(data.data(), data.size());
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
}

}  // namespace

uint64_t TGraphic::FileBytesClaimed(const uint8_t*, size_t) const { return UINT64_MAX; }

void TGraphic::LoadFromFile(const std::string& fileName) {
  rtl::RegularFileReader file(fileName);
  LoadRead(*this, ReadGraphicBytes([&file](uint8_t* buffer, size_t count) { return file.ReadSome(buffer, count); },
                                   file.Size(), this));
}

void TGraphic::LoadFromStream(std::istream& in) { LoadRead(*this, ReadGraphicBytes(StreamReader(in), UINT64_MAX, this)); }

}  // namespace orvane::vcl
