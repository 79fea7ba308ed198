#pragma once
// Row converters between the screen format (32 bits a pixel, B, G, R,
// unused) and 24-bit rows, as the block copies use them. Each writes exactly
// `count` pixels and reads nothing past them. The plain variant is what runs
// where the processor has no byte shuffles; both give the same bytes.

#include <cstdint>

namespace orvane::gdi {

void Copy32To24Row(uint8_t* dst, const uint8_t* src, int32_t count);
void Copy32To24RowPortable(uint8_t* dst, const uint8_t* src, int32_t count);

}  // namespace orvane::gdi
