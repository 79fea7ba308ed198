#include <orvane/Quality.h>

#include <cstring>

namespace orvane {

namespace {
constexpr const char* kNames[] = {"opqVeryLow", "opqLow", "opqMed", "opqHigh", "opqVeryHigh"};
}

int32_t SupersampleFactor(uint8_t quality) {
  switch (quality) {
    case opqVeryLow: return 1;
    case opqLow: return 2;
    case opqMed: return 4;
    case opqHigh: return 8;
    default: return 16;
  }
}

const char* QualityName(uint8_t quality) { return quality <= opqVeryHigh ? kNames[quality] : nullptr; }

bool QualityFromName(const char* name, TOrvanePictureQuality& quality) {
  for (uint8_t i = 0; i <= opqVeryHigh; ++i) {
    if (std::strcmp(name, kNames[i]) == 0) {
      quality = static_cast<TOrvanePictureQuality>(i);
      return true;
    }
  }
  return false;
}

}  // namespace orvane
