#pragma once
// A pen's dash pattern as lengths of on, off, on, ... and a cursor that walks
// along it. A pattern with an odd number of lengths repeats with on and off
// swapped the second time round, as GDI's user styles do. A pattern that is
// empty, has a negative or non-finite length or sums to nothing is solid.

#include <cstddef>
#include <vector>

namespace orvane::gdi {

class DashPattern {
 public:
  explicit DashPattern(const std::vector<double>& lengths);

  bool IsSolid() const { return lengths_.empty(); }
  double Period() const { return period_; }

  struct Cursor {
    size_t index = 0;        // the current length; even indices are on
    double remaining = 0;    // distance left in it (> 0)
    bool On() const { return index % 2 == 0; }
  };

  // The cursor at a distance `position` (>= 0) from the start of the pattern.
  Cursor At(double position) const;
  // Moves to the next length of the pattern.
  void Next(Cursor& c) const;
  // Moves a cursor on by `distance` (>= 0).
  void Advance(Cursor& c, double distance) const;

 private:
  std::vector<double> lengths_;
  double period_ = 0;
};

}  // namespace orvane::gdi
