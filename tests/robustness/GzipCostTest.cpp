// Compressed metafiles cost what the picture inside claims, never what the
// stream would inflate to: a small gzip file of a header and megabytes of
// zeros is inflated only as far as that header claims, and one whose header
// claims more than any reader takes is refused before it grows. Costs are
// counted in first-touched pages.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "../graphics/GzipBytes.h"
#include "InputBuilders.h"
#include "emf/EmfWriter.h"
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

namespace fs = std::filesystem;
using namespace robust;

namespace {

// 16 MiB of zeros after each header: a stream of some 16 KiB that a reader
// inflating it whole would spend 4096 pages on.
constexpr uint64_t kZeros = uint64_t{16} << 20;
// What reading a header, zlib's state and its window touch, with room to spare.
constexpr int64_t kFewPages = 1024;

std::string Load(const std::function<void(orvane::vcl::TPicture&)>& load) {
  orvane::vcl::TPicture picture;
  try {
    load(picture);
  } catch (const orvane::rtl::Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return std::to_string(picture.Width()) + " x " + std::to_string(picture.Height());
}

Bytes Emf4x4() {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(4, 4, {1000, 1000}, {100, 100}));
  w.Rectangle({0, 0, 4, 4});
  return w.Finish();
}

Bytes EmfClaiming(uint32_t bytes) {
  Bytes emf = Emf4x4();
  Patch32(emf, orvane::emf::header::kBytes, bytes);
  return emf;
}

// A standard WMF header whose size field gives `words` 16-bit words.
Bytes WmfHeaderClaiming(uint32_t words) {
  Bytes b;
  for (uint32_t v : {1u, 9u, 0x300u}) Put16(b, v);
  Put32(b, words);
  for (uint32_t v : {0u, 0u, 0u, 0u}) Put16(b, v);
  return b;
}

}  // namespace

TEST(GzipCostTest, InflatingStopsAtTheClaimOrRefusesItFirst) {
  const std::string kOutOfMemory = "EOutOfMemory: Zu wenig Arbeitsspeicher";
  const struct {
    const char* name;
    Bytes inner;
    std::string outcome;
    int64_t pages;
  } cases[] = {
      {"an EMF claiming 4 GiB", EmfClaiming(0xFFFFFFF0), kOutOfMemory, kFewPages},
      {"a WMF claiming 8 GiB", WmfHeaderClaiming(0xFFFFFFFF), kOutOfMemory, kFewPages},
      {"an EMF of its own size", Emf4x4(), "4 x 4", kFewPages},
      // Memory follows what the stream gives: 16 MiB, not the 1 GiB claimed.
      {"an EMF claiming 1 GiB", EmfClaiming(uint32_t{1} << 30), "EReadError: Stream-Lesefehler", 4 * 4096 + kFewPages},
  };
  const fs::path dir = fs::temp_directory_path() / ("orvane-gzip-cost-" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (const auto& c : cases) {
    const Bytes gz = gziptest::Gzip(c.inner, kZeros);
    ASSERT_LT(gz.size(), size_t{20} << 10) << c.name;
    const std::string path = (dir / "picture.emz").string();
    WriteFile(path, gz);

    int64_t before = MinorFaults(RUSAGE_SELF);
    EXPECT_EQ(Load([&](orvane::vcl::TPicture& p) { p.LoadFromBytes(gz.data(), gz.size()); }), c.outcome) << c.name;
    const int64_t fromBytes = MinorFaults(RUSAGE_SELF) - before;
    before = MinorFaults(RUSAGE_SELF);
    EXPECT_EQ(Load([&](orvane::vcl::TPicture& p) { p.LoadFromFile(path); }), c.outcome) << c.name;
    const int64_t fromFile = MinorFaults(RUSAGE_SELF) - before;
    if (kPagesMeasureWhatIsKept) {
      EXPECT_LT(fromBytes, c.pages) << c.name;
      EXPECT_LT(fromFile, c.pages) << c.name;
    }
    // The render tool reads its inputs the same way.
    before = MinorFaults(RUSAGE_CHILDREN);
    const ToolResult r = RunRenderTool("--size 8x8 " + path + " " + path + ".png");
    EXPECT_LT(MinorFaults(RUSAGE_CHILDREN) - before, kFewFaults) << c.name;
    EXPECT_EQ(r.status, c.outcome.starts_with("E") ? 1 : 0) << c.name << ": " << r.err;
    if (r.status) {
      EXPECT_NE(r.err.find(c.outcome.substr(c.outcome.find(": ") + 2)), std::string::npos) << r.err;
    }
  }
  fs::remove_all(dir);
}
