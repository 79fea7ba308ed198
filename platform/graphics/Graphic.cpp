#include "graphics/Graphic.h"

#include "rtl/FileStream.h"

namespace vcl {

void TGraphic::LoadFromFile(const std::string& fileName) {
  const std::vector<uint8_t> data = rtl::ReadWholeFile(fileName);
  LoadFromBytes(data.data(), data.size());
}

}  // namespace vcl
