#include <orvane/rtl/FloatMath.h>

#include <cmath>

#include <orvane/rtl/Exceptions.h>

namespace orvane::rtl {

double CheckedDivide(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) throw EInvalidOp();
  if (y == 0.0) {
    if (x == 0.0) throw EInvalidOp();
    throw EZeroDivide();
  }
  return x / y;
}

int64_t RoundHalfEven(double value) {
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (std::isnan(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0)
    throw EInvalidOp();
  return static_cast<int64_t>(std::nearbyint(value));  // default mode: to nearest, ties to even
}

int64_t DivRoundHalfAway(int64_t a, int64_t b) {
  if (b < 0) { a = -a; b = -b; }
  int64_t q = a / b;
  int64_t r = a % b;  // same sign as a
  if (r < 0) r = -r;
  if (r >= b - r) q += (a < 0 ? -1 : 1);  // remainder at least half of b: away from zero
  return q;
}

}  // namespace orvane::rtl
