// The render tool's reading of an input it knows only by its bytes (standard
// input, or a file without a known extension): recognised by content,
// loaded, and its physical size worked out.

#include <cstdint>
#include <vector>

#include "render/PictureInput.h"
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  try {
    const orvanetools::LoadedPicture picture = orvanetools::LoadPicture("-", bytes);
    if (picture.graphic) (void)picture.graphic->Width();
  } catch (const orvane::rtl::Exception&) {
  }
  return 0;
}
