#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <orvane/OrvaneBitmap.h>
#include "SampleGraphic.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>
#include "sprite/SpriteWriter.h"

using namespace orvane;
namespace fs = std::filesystem;

namespace {

class SpriteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("orvane-sprite-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const auto path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static std::vector<uint8_t> Header(int32_t w, int32_t h) {
    std::vector<uint8_t> out;
    for (int32_t v : {w, h})
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return out;
  }
  static int CodeOf(TOrvaneBitmap& sprite, const std::string& path, std::string* message = nullptr) {
    try {
      sprite.LoadSpriteFile(path);
    } catch (const orvane::rtl::EInOutError& e) {
      if (message) *message = e.Message();
      return e.ErrorCode();
    }
    return 0;
  }
  // A sprite rendered solid at the given size, to see what a failed load keeps.
  static void RenderSolid(TOrvaneBitmap& sprite, int32_t w, int32_t h) {
    const orvanetest::SampleGraphic g(w, h, [](int32_t, int32_t, int32_t, int32_t) {
      return std::optional<orvane::vcl::TColor>(0x0000FF);
    });
    sprite.Render(&g, w, h, opqVeryLow);
  }
  fs::path dir;
};

const uint8_t* Pixel(const TFastBMP* r, int32_t x, int32_t y) { return r->RowStarts()[y] + 3 * x; }

}  // namespace

TEST_F(SpriteFileTest, EmptySpriteLoadsAndDrawsNothing) {
  TOrvaneBitmap sprite;
  sprite.LoadSpriteFile(Write("empty.obm", Header(0, 0)));
  EXPECT_EQ(sprite.Width(), 0);
  ASSERT_NE(sprite.ColorRaster(), nullptr);
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(2, 2);
  sprite.Draw(canvas.Canvas(), 0, 0);
  EXPECT_EQ(canvas.Canvas().Pixel(0, 0), 0xFFFFFF);
}

TEST_F(SpriteFileTest, PlanesArriveInRasterByteOrder) {
  auto bytes = Header(1, 1);
  bytes.insert(bytes.end(), {10, 20, 30, 128});
  TOrvaneBitmap sprite;
  sprite.LoadSpriteFile(Write("one.obm", bytes));
  const uint8_t* c = Pixel(sprite.ColorRaster(), 0, 0);
  EXPECT_EQ(c[0], 30);
  EXPECT_EQ(c[1], 20);
  EXPECT_EQ(c[2], 10);
  const uint8_t* v = Pixel(sprite.CoverageRaster(), 0, 0);
  EXPECT_EQ(v[0], 128);
  EXPECT_EQ(v[1], 128);
  EXPECT_EQ(v[2], 128);
}

TEST_F(SpriteFileTest, RowsFollowWithoutGapsAndTrailingBytesAreIgnored) {
  auto bytes = Header(3, 2);
  for (uint8_t i = 0; i < 18; ++i) bytes.push_back(i);          // colour plane
  for (uint8_t i = 0; i < 6; ++i) bytes.push_back(200 + i);     // coverage plane
  ASSERT_EQ(bytes.size(), 32u);
  bytes.insert(bytes.end(), {99, 99, 99});
  TOrvaneBitmap sprite;
  sprite.LoadSpriteFile(Write("three.obm", bytes));
  EXPECT_EQ(sprite.Width(), 3);
  EXPECT_EQ(sprite.Height(), 2);
  // Pixel (0, 1) is the fourth pixel: bytes 9, 10, 11 as red, green, blue.
  EXPECT_EQ(Pixel(sprite.ColorRaster(), 0, 1)[2], 9);
  EXPECT_EQ(Pixel(sprite.ColorRaster(), 0, 1)[0], 11);
  EXPECT_EQ(Pixel(sprite.ColorRaster(), 2, 1)[0], 17);
  EXPECT_EQ(Pixel(sprite.CoverageRaster(), 0, 1)[2], 203);
  EXPECT_EQ(Pixel(sprite.CoverageRaster(), 2, 1)[1], 205);
}

TEST_F(SpriteFileTest, ShortCoveragePlaneLeavesColourFilledAndCoverageZero) {
  auto bytes = Header(2, 1);
  bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 77});  // one coverage byte missing
  TOrvaneBitmap sprite;
  std::string message;
  EXPECT_EQ(CodeOf(sprite, Write("short.obm", bytes), &message), 100);
  EXPECT_EQ(message, "Versuch hinter dem Dateiende zu lesen");
  EXPECT_EQ(Pixel(sprite.ColorRaster(), 1, 0)[2], 4);
  EXPECT_EQ(Pixel(sprite.CoverageRaster(), 0, 0)[2], 0);
  EXPECT_EQ(Pixel(sprite.CoverageRaster(), 1, 0)[2], 0);
}

TEST_F(SpriteFileTest, ShortColourPlaneLeavesBothRastersZero) {
  auto bytes = Header(2, 1);
  bytes.insert(bytes.end(), {1, 2, 3, 4});
  TOrvaneBitmap sprite;
  EXPECT_EQ(CodeOf(sprite, Write("short-colour.obm", bytes)), 100);
  EXPECT_EQ(sprite.Width(), 2);
  EXPECT_EQ(Pixel(sprite.ColorRaster(), 0, 0)[2], 0);
}

TEST_F(SpriteFileTest, MissingFileLeavesTheSpriteUnchanged) {
  TOrvaneBitmap sprite;
  RenderSolid(sprite, 4, 4);
  const TFastBMP* before = sprite.ColorRaster();
  std::string message;
  EXPECT_EQ(CodeOf(sprite, (dir / "Socer.OBM").string(), &message), 2);
  EXPECT_EQ(message, "Datei nicht gefunden");
  EXPECT_EQ(sprite.ColorRaster(), before);
  EXPECT_EQ(sprite.Width(), 4);
  EXPECT_EQ(CodeOf(sprite, (dir / "no-such-folder" / "x.obm").string()), 3);
}

TEST_F(SpriteFileTest, ReadOnlyFileLoads) {
  auto bytes = Header(1, 1);
  bytes.insert(bytes.end(), {1, 2, 3, 255});
  const auto path = Write("ro.obm", bytes);
  chmod(path.c_str(), 0444);
  TOrvaneBitmap sprite;
  EXPECT_NO_THROW(sprite.LoadSpriteFile(path));
  EXPECT_EQ(sprite.Width(), 1);
}

TEST_F(SpriteFileTest, ShortHeaderOverwritesOnlyTheLowBytesItRead) {
  TOrvaneBitmap sprite;
  RenderSolid(sprite, 258, 1);  // Width 0x102
  const TFastBMP* before = sprite.ColorRaster();
  EXPECT_EQ(CodeOf(sprite, Write("one-byte.obm", {0xAA})), 100);
  EXPECT_EQ(sprite.Width(), 0x1AA);
  EXPECT_EQ(sprite.Height(), 1);
  EXPECT_EQ(sprite.ColorRaster(), before);
  auto six = Header(7, 0);
  six.resize(6);
  EXPECT_EQ(CodeOf(sprite, Write("six-bytes.obm", six)), 100);
  EXPECT_EQ(sprite.Width(), 7);
  EXPECT_EQ(sprite.ColorRaster(), before);
}

// Outside the format: EInOutError 100; rasters that cannot be had: EOutOfMemory.
// Either way nothing is made and the sprite keeps its size and rasters.
TEST_F(SpriteFileTest, SizesOutsideTheFormatOrWithoutRastersAreRefusedBeforeAllocating) {
  TOrvaneBitmap sprite;
  RenderSolid(sprite, 3, 3);
  const TFastBMP* before = sprite.ColorRaster();
  struct Case {
    int32_t w, h;
    const char* message;
  };
  constexpr const char* kPastEnd = "Versuch hinter dem Dateiende zu lesen";
  constexpr const char* kNoMemory = "Zu wenig Arbeitsspeicher";
  for (const Case c : {Case{-1, 5, kPastEnd}, {5, -1, kPastEnd}, {30000, 30000, kPastEnd}, {INT32_MAX, INT32_MAX, kPastEnd},
                       {1 << 16, 1 << 15, kPastEnd}, {20000, 20000, kNoMemory}, {0, 600000000, kNoMemory},
                       {0, (1 << 23) + 1, kNoMemory}}) {
    std::string message;
    try {
      sprite.LoadSpriteFile(Write("bad.obm", Header(c.w, c.h)));
    } catch (const orvane::rtl::Exception& e) {
      message = e.Message();
    }
    EXPECT_EQ(message, c.message) << c.w << " x " << c.h;
    EXPECT_EQ(sprite.ColorRaster(), before);
    EXPECT_EQ(sprite.Width(), 3);
    EXPECT_EQ(sprite.Height(), 3);
  }
}

TEST_F(SpriteFileTest, LongSidesLoadWhenTheirPlanesArePresent) {
  for (auto [w, h] : {std::pair{(1 << 20) + 1, 1}, {1, (1 << 20) + 1}, {600000000, 0}, {0, 2000000}}) {
    const size_t pixels = size_t(w) * size_t(h);
    auto bytes = Header(w, h);
    bytes.resize(8 + 4 * pixels, 0);
    if (pixels > 0) {
      bytes[8 + 3 * pixels - 3] = 200;  // the last pixel's red
      bytes.back() = 150;               // and its coverage
    }
    TOrvaneBitmap sprite;
    sprite.LoadSpriteFile(Write("long.obm", bytes));
    ASSERT_EQ(sprite.ColorRaster()->Width(), w);
    ASSERT_EQ(sprite.CoverageRaster()->Height(), h);
    if (pixels > 0) {
      EXPECT_EQ(Pixel(sprite.ColorRaster(), w - 1, h - 1)[2], 200) << w << " x " << h;
      EXPECT_EQ(Pixel(sprite.CoverageRaster(), w - 1, h - 1)[0], 150) << w << " x " << h;
    }
  }
}

// New size, new all-zero rasters: the sprite no longer draws the old pixels.
TEST_F(SpriteFileTest, AHeaderClaimingMoreThanTheFileHoldsLeavesNewEmptyRasters) {
  TOrvaneBitmap sprite;
  RenderSolid(sprite, 5, 6);
  EXPECT_EQ(CodeOf(sprite, Write("claims.obm", Header(3000, 3000))), 100);
  EXPECT_EQ(sprite.Width(), 3000);
  ASSERT_EQ(sprite.ColorRaster()->Width(), 3000);
  ASSERT_EQ(sprite.CoverageRaster()->Height(), 3000);
  EXPECT_EQ(Pixel(sprite.ColorRaster(), 2, 2)[2], 0);
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(6, 6);
  sprite.Draw(canvas.Canvas(), 0, 0);
  EXPECT_EQ(canvas.Canvas().Pixel(2, 2), 0xFFFFFF);
}

TEST_F(SpriteFileTest, LoadingReplacesARenderedSprite) {
  TOrvaneBitmap sprite;
  RenderSolid(sprite, 5, 5);
  auto bytes = Header(2, 3);
  bytes.resize(8 + 4 * 6, 9);
  sprite.LoadSpriteFile(Write("two-by-three.obm", bytes));
  EXPECT_EQ(sprite.Width(), 2);
  EXPECT_EQ(sprite.Height(), 3);
  EXPECT_EQ(sprite.ColorRaster()->Width(), 2);
  EXPECT_EQ(sprite.CoverageRaster()->Height(), 3);
}

TEST_F(SpriteFileTest, WrittenFilesReadBackToTheSameRasters) {
  const orvanetest::SampleGraphic g(7, 5, [](int32_t x, int32_t y, int32_t, int32_t) -> std::optional<orvane::vcl::TColor> {
    if ((x + y) % 3 == 0) return std::nullopt;
    return static_cast<orvane::vcl::TColor>(0x010000 * (x * 30) + 0x100 * (y * 40) + 7);
  });
  TOrvaneBitmap rendered;
  rendered.Render(&g, 7, 5, opqLow);
  const auto path = (dir / "round.obm").string();
  orvanetools::WriteSpriteFile(path, rendered);
  EXPECT_EQ(fs::file_size(path), 8u + 4 * 35);
  TOrvaneBitmap loaded;
  loaded.LoadSpriteFile(path);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x)
      for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(Pixel(loaded.ColorRaster(), x, y)[i], Pixel(rendered.ColorRaster(), x, y)[i]);
        ASSERT_EQ(Pixel(loaded.CoverageRaster(), x, y)[i], Pixel(rendered.CoverageRaster(), x, y)[i]);
      }
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// Every input that once crashed or exhausted the sprite fuzzer must fail
// cleanly, leaving rasters that agree with the sprite's size.
TEST_F(SpriteFileTest, FuzzRegressionsFailCleanly) {
  const fs::path folder = fs::path(ORVANE_SOURCE_DIR) / "fuzz" / "regressions" / "sprite";
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    TOrvaneBitmap sprite;
    EXPECT_THROW(sprite.LoadSpriteFile(entry.path().string()), orvane::rtl::Exception) << entry.path();
    if (sprite.ColorRaster()) {
      EXPECT_EQ(sprite.ColorRaster()->Height(), sprite.Height()) << entry.path();
    }
    ++count;
  }
  EXPECT_GE(count, 2);
}
