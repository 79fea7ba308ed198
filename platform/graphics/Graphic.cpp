#include <orvane/graphics/Graphic.h>

#include <orvane/rtl/FileStream.h>

namespace orvane::vcl {

void TGraphic::LoadFromFile(const std::string& fileName) {
  const std::vector<uint8_t> data = rtl::ReadWholeFile(fileName);
  LoadFromBytes(data.data(), data.size());
}

}  // namespace orvane::vcl
