#include <orvane/gdi/detail/DashPattern.h>

#include <cmath>

namespace orvane::gdi {

DashPattern::DashPattern(const std::vector<double>& lengths) {
  double sum = 0;
  for (double d : lengths) {
    if (!std::isfinite(d) || d < 0) return;
    sum += d;
  }
  if (!(sum > 0) || !std::isfinite(sum)) return;
  lengths_ = lengths;
  if (lengths_.size() % 2 != 0) {
    lengths_.insert(lengths_.end(), lengths.begin(), lengths.end());
    sum *= 2;
  }
  period_ = sum;
}

DashPattern::Cursor DashPattern::At(double position) const {
  Cursor c;
  if (lengths_.empty()) {
    c.remaining = INFINITY;
    return c;
  }
  double p = std::fmod(position, period_);
  if (!(p >= 0)) p = 0;
  for (size_t i = 0; i < lengths_.size(); ++i) {
    if (p < lengths_[i]) {
      c.index = i;
      c.remaining = lengths_[i] - p;
      return c;
    }
    p -= lengths_[i];
  }
  // Rounding left p at the very end of the period: start it again.
  c.index = lengths_.size() - 1;
  c.remaining = 0;
  Next(c);
  return c;
}

void DashPattern::Next(Cursor& c) const {
  if (lengths_.empty()) return;
  do {
    c.index = (c.index + 1) % lengths_.size();
    c.remaining += lengths_[c.index];
  } while (c.remaining <= 0);
}

void DashPattern::Advance(Cursor& c, double distance) const {
  if (lengths_.empty()) return;
  if (distance > period_) distance = std::fmod(distance, period_);
  c.remaining -= distance;
  while (c.remaining <= 0) Next(c);
}

}  // namespace orvane::gdi
