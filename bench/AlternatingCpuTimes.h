#pragma once
// Two single-threaded draws timed by this thread's CPU clock, alternately,
// so that a busy machine slows both alike: what every ratio line divides.

#include <functional>

namespace orvanebench {

double ThreadCpuSeconds();

struct MedianCpuSeconds {
  double first, second;  // a run of each, median over the rounds
  double ratio;          // first / second, median of the rounds' own ratios
};

// `rounds` samples of each draw, taken in turns (first-second, then
// second-first). A sample is a batch of runs long enough for the clock,
// its time divided by the runs; both draws run twice beforehand. The two
// samples of a round are taken back to back, so the median of the rounds'
// ratios follows a machine whose load changes between rounds.
MedianCpuSeconds TimeAlternately(const std::function<void()>& first, const std::function<void()>& second,
                                 int rounds);

}  // namespace orvanebench
