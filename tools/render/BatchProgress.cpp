#include "render/BatchProgress.h"

#include <cstdio>

namespace orvanetools {

namespace {

constexpr const char* kClearLine = "\r\033[K";

std::string Seconds(std::chrono::steady_clock::duration elapsed) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::chrono::duration<double>(elapsed).count());
  return text;
}

}  // namespace

BatchProgress::BatchProgress(size_t total, bool terminal)
    : total_(total), terminal_(terminal), start_(std::chrono::steady_clock::now()) {
  std::lock_guard lock(mutex_);
  DrawProgressLocked();
}

void BatchProgress::Line(const std::string& text) {
  std::lock_guard lock(mutex_);
  std::fprintf(stderr, "%s%s\n", terminal_ ? kClearLine : "", text.c_str());
  DrawProgressLocked();
}

void BatchProgress::FileDone(bool written) {
  std::lock_guard lock(mutex_);
  ++(written ? written_ : failed_);
  DrawProgressLocked();
}

void BatchProgress::DrawProgressLocked() {
  if (!terminal_) return;
  std::fprintf(stderr, "%sorvane-render: %zu of %zu done, %zu failed, %s s", kClearLine, written_ + failed_, total_,
               failed_, Seconds(std::chrono::steady_clock::now() - start_).c_str());
  std::fflush(stderr);
}

void BatchProgress::Finish() {
  std::lock_guard lock(mutex_);
  std::fprintf(stderr, "%sorvane-render: %zu written, %zu failed, %s s\n", terminal_ ? kClearLine : "", written_,
               failed_, Seconds(std::chrono::steady_clock::now() - start_).c_str());
}

size_t BatchProgress::Failed() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

}  // namespace orvanetools
