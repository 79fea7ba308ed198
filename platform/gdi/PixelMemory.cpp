#include <orvane/gdi/detail/PixelMemory.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace orvane::gdi {

namespace {

// Blocks below this size come straight from the allocator; recycling pays
// only where fresh pages would have to be faulted in.
constexpr size_t kRecycleFrom = 64 * 1024;
constexpr size_t kCacheLimit = 96u * 1024 * 1024;

struct CachedBlock {
  uint8_t* memory;
  size_t bytes;
};

// Shared by every thread that makes or frees surfaces: each call holds the
// lock only while it searches or edits the list (and frees what it evicts).
class BlockCache {
 public:
  ~BlockCache() { Trim(); }

  // The most recently released block of the size: the likeliest to be in the processor's caches still.
  uint8_t* Take(size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = blocks_.size(); i-- > 0;) {
      if (blocks_[i].bytes == bytes) {
        uint8_t* memory = blocks_[i].memory;
        total_ -= bytes;
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(i));
        return memory;
      }
    }
    return nullptr;
  }

  bool Put(uint8_t* memory, size_t bytes) {
    if (bytes > kCacheLimit) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    while (total_ + bytes > kCacheLimit && !blocks_.empty()) {
      std::free(blocks_.front().memory);
      total_ -= blocks_.front().bytes;
      blocks_.erase(blocks_.begin());
    }
    blocks_.push_back({memory, bytes});
    total_ += bytes;
    return true;
  }

  void Trim() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& b : blocks_) std::free(b.memory);
    blocks_.clear();
    total_ = 0;
  }

  size_t Total() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return total_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<CachedBlock> blocks_;
  size_t total_ = 0;
};

BlockCache& Cache() {
  static BlockCache cache;
  return cache;
}

}  // namespace

uint8_t* AcquirePixelMemory(size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > kMaxSurfaceBytes) return nullptr;
  if (bytes >= kRecycleFrom) {
    if (uint8_t* memory = Cache().Take(bytes)) {
      std::memset(memory, 0, bytes);
      return memory;
    }
  }
  return static_cast<uint8_t*>(std::calloc(bytes, 1));
}

uint8_t* AcquirePixelMemoryForOverwrite(size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > kMaxSurfaceBytes) return nullptr;
  if (bytes >= kRecycleFrom) {
    if (uint8_t* memory = Cache().Take(bytes)) return memory;
  }
  return static_cast<uint8_t*>(std::malloc(bytes));
}

void ReleasePixelMemory(uint8_t* memory, size_t bytes) {
  if (!memory) return;
  if (bytes == 0) bytes = 1;
  if (bytes >= kRecycleFrom && Cache().Put(memory, bytes)) return;
  std::free(memory);
}

void TrimPixelMemoryCache() { Cache().Trim(); }
size_t CachedPixelMemoryBytes() { return Cache().Total(); }

}  // namespace orvane::gdi
