#pragma once
// Quality levels of the filtered drawing and the two key colours.

#include <cstdint>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

// Held in one byte; each level selects the supersampling factor N (samples
// per target pixel along each axis).
enum TOrvanePictureQuality : uint8_t { opqVeryLow = 0, opqLow = 1, opqMed = 2, opqHigh = 3, opqVeryHigh = 4 };

// 0 -> 1, 1 -> 2, 2 -> 4, 3 -> 8; every other byte value (4 to 255) -> 16.
int32_t SupersampleFactor(uint8_t quality);

// The backgrounds of the two renderings, as colour values (red in bits 0-7).
constexpr int32_t KeyColorA = 0xFF0000;  // pure blue
constexpr int32_t KeyColorB = 0x008000;  // dark green

// The level's name ("opqMed"), or nullptr for a byte beyond opqVeryHigh.
const char* QualityName(uint8_t quality);
// Parses a level's name; false when it names none.
bool QualityFromName(const char* name, TOrvanePictureQuality& quality);

}  // namespace orvane

ORVANE_PUBLIC_END
