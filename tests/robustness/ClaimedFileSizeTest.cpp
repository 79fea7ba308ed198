// Picture files are read from regular files only, and only as far as their
// headers say they reach: a device, a pipe or a huge sparse file behind a
// picture's name costs what the header claims, never what the file could
// deliver. Costs are counted in first-touched pages.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "InputBuilders.h"
#include "emf/EmfWriter.h"
#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

namespace fs = std::filesystem;
using namespace robust;

namespace {

class ClaimedFileSizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("orvane-claims-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // `bytes` at the start of a sparse file of `size` bytes.
  std::string Sparse(const std::string& name, const Bytes& bytes, off_t size) {
    const std::string path = (dir / name).string();
    WriteFile(path, bytes);
    EXPECT_EQ(truncate(path.c_str(), size), 0);
    return path;
  }
  // What loading the picture file came to: its size, or the error's class and text.
  static std::string Load(const std::string& path) {
    orvane::vcl::TPicture picture;
    try {
      picture.LoadFromFile(path);
    } catch (const orvane::rtl::Exception& e) {
      return std::string(e.ClassName()) + ": " + e.Message();
    }
    return std::to_string(picture.Width()) + " x " + std::to_string(picture.Height());
  }
  fs::path dir;
};

Bytes Emf4x4() {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(4, 4, {1000, 1000}, {100, 100}));
  w.Rectangle({0, 0, 4, 4});
  return w.Finish();
}

constexpr off_t kSparseSize = off_t{768} << 20;  // below the 1 GiB ceiling, three times the fault budget

}  // namespace

TEST_F(ClaimedFileSizeTest, OnlyRegularFilesAreRead) {
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  for (const fs::path& target : {fs::path("/dev/zero"), dir / "pipe", dir}) {
    for (const char* name : {"zero.emf", "zero.bmp", "zero.ico"}) {
      const fs::path link = dir / name;
      fs::remove(link);
      fs::create_symlink(target, link);
      EXPECT_EQ(Load(link.string()), "EFOpenError: Datei " + link.string() + " kann nicht geöffnet werden") << target;
    }
    fs::remove(dir / "zero.obm");
    fs::create_symlink(target, dir / "zero.obm");
    orvane::TOrvaneBitmap sprite;
    try {
      sprite.LoadSpriteFile((dir / "zero.obm").string());
      ADD_FAILURE() << target << ": loaded";
    } catch (const orvane::rtl::EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), 5) << target;
    }
  }
}

TEST_F(ClaimedFileSizeTest, ASparseFileCostsWhatItsHeaderClaims) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::string outcome;
  };
  const Case cases[] = {
      {"small.emf", Emf4x4(), "4 x 4"},
      {"small.wmf", PlaceableWmf({}), "96 x 96"},
      {"small.bmp", Bmp24(3, 2), "3 x 2"},
      {"small.ico", Icon24(3, 2), "3 x 2"},
      {"junk.emf", Bytes(200, 'x'), "EInvalidGraphic: Metadatei ist ungültig"},
  };
  for (const Case& c : cases) {
    const std::string path = Sparse(c.name, c.bytes, kSparseSize);
    const int64_t faults = MinorFaults(RUSAGE_SELF);
    EXPECT_EQ(Load(path), c.outcome) << c.name;
    EXPECT_LT(MinorFaults(RUSAGE_SELF) - faults, kFewFaults) << c.name;
    // The render tool reads its inputs the same way, by their content, whatever their names.
    const std::string unnamed = path + "-content";
    fs::rename(path, unnamed);
    const int64_t toolFaults = MinorFaults(RUSAGE_CHILDREN);
    const ToolResult r = RunRenderTool("--size 8x8 " + unnamed + " " + unnamed + ".png");
    EXPECT_LT(MinorFaults(RUSAGE_CHILDREN) - toolFaults, kFewFaults) << c.name;
    EXPECT_EQ(r.status, c.outcome.starts_with("E") ? 1 : 0) << c.name << ": " << r.err;
    fs::remove(unnamed);
    fs::remove(unnamed + ".png");
  }
}

TEST_F(ClaimedFileSizeTest, ClaimsBeyondTheFileOrTheCeilingAreRefusedWithoutReading) {
  Bytes emf = Emf4x4();
  Patch32(emf, orvane::emf::header::kBytes, 0xFFFFFFF0);
  // The file holds the claim, but it is beyond what any reader takes.
  std::string path = Sparse("huge.emf", emf, off_t{0xFFFFFFF0});
  const int64_t faults = MinorFaults(RUSAGE_SELF);
  EXPECT_EQ(Load(path), "EOutOfMemory: Zu wenig Arbeitsspeicher");
  EXPECT_LT(MinorFaults(RUSAGE_SELF) - faults, kFewFaults);
  fs::remove(path);
  // The file ends before the claim.
  path = Sparse("short.emf", emf, static_cast<off_t>(emf.size()));
  EXPECT_EQ(Load(path), "EReadError: Stream-Lesefehler");
}
