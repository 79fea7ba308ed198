#include "AlternatingCpuTimes.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvanebench {

namespace {

// Long enough that the clock's granularity and the loop do not show.
constexpr double kSampleSeconds = 0.02;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs a batch long enough for one sample, from a calibration run.
int RunsPerSample(const std::function<void()>& draw) {
  draw();  // first use: caches, lazily made pictures
  const double start = ThreadCpuSeconds();
  draw();
  const double once = ThreadCpuSeconds() - start;
  return once >= kSampleSeconds ? 1 : int(std::ceil(kSampleSeconds / std::max(once, 1e-7)));
}

double Sample(const std::function<void()>& draw, int runs) {
  const double start = ThreadCpuSeconds();
  for (int i = 0; i < runs; ++i) draw();
  return (ThreadCpuSeconds() - start) / runs;
}

}  // namespace

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

MedianCpuSeconds TimeAlternately(const std::function<void()>& first, const std::function<void()>& second,
                                 int rounds) {
  const int firstRuns = RunsPerSample(first), secondRuns = RunsPerSample(second);
  std::vector<double> a, b, ratios;
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      a.push_back(Sample(first, firstRuns));
      b.push_back(Sample(second, secondRuns));
    } else {
      b.push_back(Sample(second, secondRuns));
      a.push_back(Sample(first, firstRuns));
    }
    ratios.push_back(a.back() / b.back());
  }
  return {Median(a), Median(b), Median(ratios)};
}

}  // namespace orvanebench
