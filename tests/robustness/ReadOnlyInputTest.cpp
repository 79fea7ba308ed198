// Inputs are only ever read: the readers, the render tool and the picture
// generator take files that are read-only in a read-only folder, and
// afterwards each file has its bytes, its modification and change times and
// its mode as before.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "InputBuilders.h"
#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

namespace fs = std::filesystem;
using namespace robust;

namespace {

struct FileState {
  Bytes bytes;
  timespec modified, changed;
  mode_t mode;
};

FileState StateOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  FileState s{Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), {}, {}, 0};
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  s.modified = info.st_mtim;
  s.changed = info.st_ctim;
  s.mode = info.st_mode;
  return s;
}

bool Same(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

class ReadOnlyInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = fs::temp_directory_path() / ("orvane-readonly-" + std::to_string(getpid()));
    inputs = base / "in";
    outputs = base / "out";
    fs::create_directories(inputs);
    fs::create_directories(outputs);
    const fs::path data = fs::path(ORVANE_SOURCE_DIR) / "demo" / "data";
    fs::copy_file(data / "Socer.EMF", inputs / "Socer.EMF");
    fs::copy_file(data / "Socer.OBM", inputs / "Socer.OBM");
    fs::copy_file(fs::path(ORVANE_SOURCE_DIR) / "tools" / "pictures" / "Socer.paths", inputs / "Socer.paths");
    WriteFile((inputs / "square.wmf").string(),
              PlaceableWmf({{0x02FC, {0, 0x00FF, 0, 0}}, {0x012D, {0}}, {0x041B, {80, 80, 10, 10}}}));
    WriteFile((inputs / "pixels.bmp").string(), Bmp24(5, 3));
    WriteFile((inputs / "symbol.ico").string(), Icon24(4, 4));
    WriteFile((inputs / "broken.emf").string(), Bytes(200, 0x41));
    for (const auto& entry : fs::directory_iterator(inputs)) fs::permissions(entry.path(), fs::perms(0444));
    fs::permissions(inputs, fs::perms(0555));
    for (const auto& entry : fs::directory_iterator(inputs)) before[entry.path().filename().string()] = StateOf(entry.path());
  }
  void TearDown() override {
    fs::permissions(inputs, fs::perms(0755));
    fs::remove_all(base);
  }
  std::string In(const char* name) const { return (inputs / name).string(); }

  void ExpectUnchanged() {
    std::map<std::string, FileState> after;
    for (const auto& entry : fs::directory_iterator(inputs)) after[entry.path().filename().string()] = StateOf(entry.path());
    ASSERT_EQ(after.size(), before.size());  // nothing added beside the inputs either
    for (const auto& [name, was] : before) {
      const FileState& now = after.at(name);
      EXPECT_EQ(now.bytes, was.bytes) << name;
      EXPECT_TRUE(Same(now.modified, was.modified)) << name;
      EXPECT_TRUE(Same(now.changed, was.changed)) << name;
      EXPECT_EQ(now.mode, was.mode) << name;
    }
  }

  fs::path base, inputs, outputs;
  std::map<std::string, FileState> before;
};

TEST_F(ReadOnlyInputTest, ReadersLeaveTheirFilesAsTheyWere) {
  orvane::vcl::TMetafile emf, wmf;
  emf.LoadFromFile(In("Socer.EMF"));
  wmf.LoadFromFile(In("square.wmf"));
  EXPECT_EQ(wmf.Width(), 96);
  orvane::vcl::TBitmap bitmap;
  bitmap.LoadFromFile(In("pixels.bmp"));
  EXPECT_EQ(bitmap.Width(), 5);
  orvane::vcl::TIcon icon;
  icon.LoadFromFile(In("symbol.ico"));
  EXPECT_EQ(icon.Width(), 4);
  orvane::vcl::TPicture picture;
  for (const char* name : {"Socer.EMF", "square.wmf", "pixels.bmp", "symbol.ico"}) picture.LoadFromFile(In(name));
  EXPECT_THROW(picture.LoadFromFile(In("broken.emf")), orvane::rtl::EInvalidGraphic);
  orvane::TOrvaneBitmap sprite;
  sprite.LoadSpriteFile(In("Socer.OBM"));
  EXPECT_GT(sprite.Width(), 0);
  ExpectUnchanged();
}

TEST_F(ReadOnlyInputTest, RenderToolReadsOnlyAndWritesOnlyItsOutput) {
  const struct {
    const char* input;
    const char* options;
    const char* output;
    int status;
  } runs[] = {{"Socer.EMF", "--size 64x0", "a.png", 0},
              {"square.wmf", "--background '#FFFFFF'", "b.png", 0},
              {"pixels.bmp", "", "c.obm", 0},
              {"symbol.ico", "--quality low", "d.png", 0},
              {"Socer.OBM", "", "e.png", 0},
              {"broken.emf", "", "f.png", 1},
              {"Socer.EMF", "--size 2000000x2000000", "g.png", 2}};
  std::vector<std::string> expected;
  for (const auto& run : runs) {
    const ToolResult r =
        RunRenderTool(std::string(run.options) + " " + In(run.input) + " " + (outputs / run.output).string());
    EXPECT_EQ(r.status, run.status) << run.input << " " << run.options << ": " << r.err;
    if (run.status == 0) expected.push_back(run.output);
  }
  // The picture generator reads path data the same way.
  const std::string generate = std::string(ORVANE_GENERATOR_PATH) + " " + In("Socer.paths") + " " +
                               (outputs / "h.emf").string() + " 2>/dev/null";
  EXPECT_EQ(std::system(generate.c_str()), 0);
  expected.push_back("h.emf");
  ExpectUnchanged();
  // Only the finished outputs, no temporaries left over.
  std::vector<std::string> written;
  for (const auto& entry : fs::directory_iterator(outputs)) written.push_back(entry.path().filename().string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, expected);
}

}  // namespace
