#pragma once
// What a batch run of orvane-render tells on standard error: lines for
// single files (failures, notes, --verbose), a progress line kept up to date
// in place when standard error is a terminal, and a closing summary.
// Shared by the worker threads.

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>

namespace orvanetools {

class BatchProgress {
 public:
  BatchProgress(size_t total, bool terminal);

  // One line (without its newline), above the progress line.
  void Line(const std::string& text);
  void FileDone(bool written);
  // The summary: written, failed, seconds.
  void Finish();

  size_t Failed() const;

 private:
  void DrawProgressLocked();

  mutable std::mutex mutex_;
  const size_t total_;
  const bool terminal_;
  size_t written_ = 0;
  size_t failed_ = 0;
  const std::chrono::steady_clock::time_point start_;
};

}  // namespace orvanetools
