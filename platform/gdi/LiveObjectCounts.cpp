// Live-object counts kept per thread, so counting an object costs a plain
// add, not a locked one: each thread adds to counters of its own, and a
// total is the sum over the threads running and those that have ended.

#include <atomic>
#include <mutex>
#include <vector>

#include <orvane/gdi/BitmapObject.h>

namespace orvane::gdi {

namespace {

struct ThreadCounts {
  // Written by their thread only; atomic so other threads may read them.
  std::atomic<int64_t> live[kLiveKinds] = {};
};

// Never destroyed: objects may be counted while statics are torn down.
struct Registry {
  std::mutex mutex;
  std::vector<ThreadCounts*> running;
  std::atomic<int64_t> ended[kLiveKinds] = {};
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

thread_local ThreadCounts* threadCounts = nullptr;
thread_local bool threadCountsGone = false;

// Hands a thread's counts over to the registry when the thread ends.
struct ThreadCountsOwner {
  ~ThreadCountsOwner() {
    threadCountsGone = true;
    if (!threadCounts) return;  // making them failed
    Registry& r = TheRegistry();
    const std::lock_guard<std::mutex> lock(r.mutex);
    for (int k = 0; k < kLiveKinds; ++k) r.ended[k].fetch_add(threadCounts->live[k].load(), std::memory_order_relaxed);
    std::erase(r.running, threadCounts);
    delete threadCounts;
    threadCounts = nullptr;
  }
};

ThreadCounts* MakeThreadCounts() {
  thread_local ThreadCountsOwner owner;
  auto* counts = new ThreadCounts;
  Registry& r = TheRegistry();
  const std::lock_guard<std::mutex> lock(r.mutex);
  r.running.push_back(counts);
  return counts;
}

}  // namespace

void CountLiveObject(LiveKind kind, int delta) {
  const int k = static_cast<int>(kind);
  if (!threadCounts && !threadCountsGone) threadCounts = MakeThreadCounts();
  if (threadCounts) {
    std::atomic<int64_t>& count = threadCounts->live[k];
    count.store(count.load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
    return;
  }
  // Past the end of this thread's own counters.
  TheRegistry().ended[k].fetch_add(delta, std::memory_order_relaxed);
}

int64_t LiveObjectCount(LiveKind kind) {
  const int k = static_cast<int>(kind);
  Registry& r = TheRegistry();
  const std::lock_guard<std::mutex> lock(r.mutex);
  int64_t total = r.ended[k].load(std::memory_order_relaxed);
  for (const ThreadCounts* counts : r.running) total += counts->live[k].load(std::memory_order_relaxed);
  return total;
}

int64_t LiveObjectCount() {
  int64_t total = 0;
  for (int k = 0; k < kLiveKinds; ++k) total += LiveObjectCount(static_cast<LiveKind>(k));
  return total;
}

}  // namespace orvane::gdi
