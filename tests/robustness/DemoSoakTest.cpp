// The demo window painted over and over while its files come and go: every
// other paint finds one of them missing and reports it in a message box.
// Afterwards no bitmap, device context, pen, brush or font is left alive
// beyond what the window held before, the resident size has stayed flat,
// and the window paints as it did at the start. A paint that asks for an
// impossible size fails with a message and the window goes on.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "OrvanePictureUnit1.h"
#include <orvane/gdi/BitmapObject.h>
#include "snapshot/DemoSnapshot.h"

namespace fs = std::filesystem;
using orvanetools::DemoSnapshot;

namespace {

const fs::path kData = fs::path(ORVANE_SOURCE_DIR) / "demo" / "data";
const std::array<const char*, 4> kFiles = {"Socer.EMF", "Socer.OBM", "Bicycl.EMF", "Hockey2.EMF"};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// 1000 paints; the sanitizer build, ten times slower, may ask for fewer.
int PaintCount() {
#ifdef ORVANE_SOAK_PAINTS
  return ORVANE_SOAK_PAINTS;
#else
  return 1000;
#endif
}

// Resident pages of this process, in bytes.
int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

std::array<int64_t, orvane::gdi::kLiveKinds> LiveCounts() {
  std::array<int64_t, orvane::gdi::kLiveKinds> counts{};
  for (int k = 0; k < orvane::gdi::kLiveKinds; ++k) counts[static_cast<size_t>(k)] = orvane::gdi::LiveObjectCount(static_cast<orvane::gdi::LiveKind>(k));
  return counts;
}

class DemoSoakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = fs::current_path();
    dir = fs::temp_directory_path() / ("orvane-soak-" + std::to_string(getpid()));
    fs::create_directories(dir);
    for (const char* name : kFiles) fs::copy_file(kData / name, dir / name);
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
  fs::path previous, dir;
};

TEST_F(DemoSoakTest, HalfThePaintsFailAndNothingIsLeftBehind) {
  const int paints = PaintCount();
  const auto liveBeforeWindow = LiveCounts();
  {
    DemoSnapshot s;
    s.Paint();
    ASSERT_TRUE(s.MessageBoxes().empty());
    const auto first = s.ClientArea();
    const auto liveAfterFirstPaint = LiveCounts();
    ASSERT_GT(liveAfterFirstPaint[static_cast<size_t>(orvane::gdi::LiveKind::DeviceContext)], 0);

    const auto start = std::chrono::steady_clock::now();
    int64_t residentAt100 = 0;
    size_t failures = 0;
    for (int i = 1; i <= paints; ++i) {
      const bool remove = i % 2 == 1;
      const fs::path victim = dir / kFiles[static_cast<size_t>(i / 2) % kFiles.size()];
      if (remove) fs::rename(victim, dir / "aside");
      s.Repaint(orvane::gdi::Rect{0, 0, 600, 402});
      if (remove) fs::rename(dir / "aside", victim);
      failures += s.MessageBoxes().size();
      ASSERT_EQ(s.MessageBoxes().size(), remove ? 1u : 0u) << "paint " << i;
      s.Backend().ClearMessageBoxes();
      if (i == 100) residentAt100 = ResidentBytes();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(failures, static_cast<size_t>((paints + 1) / 2));

    // The last paint of the loop found every file: the same picture as the first.
    EXPECT_EQ(s.ClientArea().pixels, first.pixels);
    EXPECT_EQ(LiveCounts(), liveAfterFirstPaint);
    // Under the sanitizer freed memory waits in quarantine, so RSS says nothing there.
    if (!kSanitized) {
      const int64_t growth = ResidentBytes() - residentAt100;
      EXPECT_LT(growth, int64_t{2} << 20) << "resident size grew by " << growth << " bytes";
    }
    std::printf("%d paints in %.1f s, resident size %+lld bytes after paint 100\n", paints, seconds,
                static_cast<long long>(ResidentBytes() - residentAt100));
  }
  // With the window gone, everything it made has gone too.
  EXPECT_EQ(LiveCounts(), liveBeforeWindow);
}

TEST_F(DemoSoakTest, HugeControlPaintsOnlyWhatTheWindowShows) {
  DemoSnapshot s;
  s.Paint();
  ASSERT_TRUE(s.MessageBoxes().empty());
  const auto before = s.ClientArea();
  const auto live = LiveCounts();
  // Two million pixels square, supersampled: only the part in the window is rendered.
  Form1->OrvaneImage1->SetWidth(2000000);
  Form1->OrvaneImage1->SetHeight(2000000);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const int64_t faults = usage.ru_minflt;
  s.Repaint(orvane::gdi::Rect{0, 0, 600, 402});
  getrusage(RUSAGE_SELF, &usage);
  EXPECT_LT(usage.ru_minflt - faults, 65536) << "the paint touched this many fresh pages";
  EXPECT_TRUE(s.MessageBoxes().empty());
  EXPECT_NE(s.ClientArea().pixels, before.pixels);

  Form1->OrvaneImage1->SetWidth(94);
  Form1->OrvaneImage1->SetHeight(120);
  s.Repaint(orvane::gdi::Rect{0, 0, 600, 402});
  EXPECT_TRUE(s.MessageBoxes().empty());
  EXPECT_EQ(s.ClientArea().pixels, before.pixels);
  EXPECT_EQ(LiveCounts(), live);
}

}  // namespace
