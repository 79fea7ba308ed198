#pragma once
// Division by a sample count without a divide instruction, shared by the
// reductions so that every way of rendering rounds alike.

#include <cstdint>

namespace orvane {

// (n * kReciprocal.value[d]) >> 32 == n / d for every n below 65536 and d
// from 1 to 256 (the error of the rounded-up reciprocal stays below 1/d).
constexpr int32_t kMaxReciprocal = 256;
struct ReciprocalTable {
  uint64_t value[kMaxReciprocal + 1] = {};
  constexpr ReciprocalTable() {
    for (uint64_t d = 1; d <= kMaxReciprocal; ++d) value[d] = (uint64_t{1} << 32) / d + 1;
  }
};
inline constexpr ReciprocalTable kReciprocal;

}  // namespace orvane
