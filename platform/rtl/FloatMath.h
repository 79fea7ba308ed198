#pragma once
// Floating-point arithmetic as the runtime runs it: division by zero and
// invalid operations raise exceptions instead of giving infinities or NaN,
// and conversion to an integer rounds to the nearest, a half to even.

#include <cstdint>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::rtl {

// x / y; raises EZeroDivide for x / 0 with x != 0, EInvalidOp for 0 / 0 or a NaN operand.
double CheckedDivide(double x, double y);

// Rounds to the nearest integer, a half to the even neighbour. Raises
// EInvalidOp when the value is NaN or lies outside the 64-bit range.
int64_t RoundHalfEven(double value);

// Rounds a rational a / b (b != 0) to the nearest integer, a half away from zero.
int64_t DivRoundHalfAway(int64_t a, int64_t b);

}  // namespace orvane::rtl

ORVANE_PUBLIC_END
