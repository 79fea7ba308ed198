#pragma once
// Pixel memory for bitmap surfaces. Large blocks are recycled: a block that
// is released goes to a small cache and is handed out again (zeroed) to the
// next request of the same size, so that a paint that makes and frees the
// same working surfaces every time does not fault in fresh pages each time.
// The cache is one for the process and locked: every function here may be
// called from any thread.

#include <cstddef>
#include <cstdint>

namespace orvane::gdi {

// The largest pixel block a surface may have; bigger requests are refused.
constexpr uint64_t kMaxSurfaceBytes = uint64_t{1} << 30;

// Returns zeroed memory of `bytes` bytes (at least 1), or nullptr when it
// cannot be had. `bytes` must not exceed kMaxSurfaceBytes.
uint8_t* AcquirePixelMemory(size_t bytes);
void ReleasePixelMemory(uint8_t* memory, size_t bytes);

// Like AcquirePixelMemory, but the memory's content is unspecified (a
// recycled block keeps what it held): for a surface that is painted over
// entirely before anything reads it. Released with ReleasePixelMemory.
uint8_t* AcquirePixelMemoryForOverwrite(size_t bytes);

// Empties the cache (for tests and at exit).
void TrimPixelMemoryCache();
size_t CachedPixelMemoryBytes();

}  // namespace orvane::gdi
