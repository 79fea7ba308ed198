// demo_paint_rss [DATA-DIR] [PAINTS]: builds the demo's main window on the
// headless backend, in DATA-DIR (default: the repository's demo/data, which
// holds the four files the paint reads), and paints the whole window PAINTS
// times (default 200), each paint all 22 steps with the file reads. Prints
// the resident size after the 2nd and the last paint and the minor page
// faults between them: with the working buffers recycled, the resident size
// stays the same and no fresh pages are faulted in after the first paints.

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "OrvanePictureUnit1.h"
#include <orvane/rtl/Exceptions.h>
#include "snapshot/DemoSnapshot.h"

namespace {

// Resident size from /proc/self/statm: all of it, and the part not backed by
// files (code pages that a first call maps in are file-backed, fresh heap is not).
struct Resident {
  long total = 0, anonymous = 0;  // KiB
};

Resident ResidentKiB() {
  long pages = 0, resident = 0, shared = 0;
  Resident r;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld %ld", &pages, &resident, &shared) == 3) {
      const long kib = sysconf(_SC_PAGESIZE) / 1024;
      r.total = resident * kib;
      r.anonymous = (resident - shared) * kib;
    }
    std::fclose(f);
  }
  return r;
}

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path data = argc > 1 ? argv[1] : ORVANE_DEMO_DATA_DIR;
  const int paints = argc > 2 ? std::atoi(argv[2]) : 200;
  if (paints < 3) {
    std::fprintf(stderr, "Usage: demo_paint_rss [DATA-DIR] [PAINTS >= 3]\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::current_path(data, error);
  if (error) {
    std::fprintf(stderr, "demo_paint_rss: cannot enter %s: %s\n", data.c_str(), error.message().c_str());
    return 1;
  }
  try {
    orvanetools::DemoSnapshot snapshot;
    const auto* window = snapshot.Backend().FindWindow(Form1->Window()->Id());
    const orvane::gdi::Rect whole{0, 0, window->ClientWidth(), window->ClientHeight()};
    // The measuring itself once beforehand, so that its own first use (code, stdio buffers) is not counted.
    Resident residentSecond = ResidentKiB();
    long faultsSecond = MinorFaults();
    const auto start = std::chrono::steady_clock::now();
    auto afterSecond = start;
    for (int i = 1; i <= paints; ++i) {
      if (i == 1) snapshot.Paint();
      else snapshot.Repaint(whole);
      if (i == 2) {
        residentSecond = ResidentKiB();
        faultsSecond = MinorFaults();
        afterSecond = std::chrono::steady_clock::now();
      }
    }
    const auto end = std::chrono::steady_clock::now();
    const Resident residentLast = ResidentKiB();
    const long faults = MinorFaults() - faultsSecond;
    if (!snapshot.MessageBoxes().empty()) {
      for (const auto& box : snapshot.MessageBoxes())
        std::fprintf(stderr, "paint failed: %s: %s\n", box.caption.c_str(), box.text.c_str());
      return 1;
    }
    const double msPerPaint =
        std::chrono::duration<double, std::milli>(end - afterSecond).count() / (paints - 2);
    std::printf("resident after paint 2: %ld KiB (%ld KiB not file-backed)\n", residentSecond.total,
                residentSecond.anonymous);
    std::printf("resident after paint %d: %ld KiB (%ld KiB not file-backed)\n", paints, residentLast.total,
                residentLast.anonymous);
    std::printf("resident growth: %ld KiB (%ld KiB not file-backed)\n", residentLast.total - residentSecond.total,
                residentLast.anonymous - residentSecond.anonymous);
    std::printf("minor page faults from paint 3 to paint %d: %ld\n", paints, faults);
    std::printf("time per paint (paints 3 to %d): %.2f ms\n", paints, msPerPaint);
  } catch (const orvane::rtl::Exception& e) {
    std::fprintf(stderr, "demo_paint_rss: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
