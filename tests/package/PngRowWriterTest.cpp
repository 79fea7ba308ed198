// PNGs made a row at a time: what is read back, how misuse and a failing
// sink end the writing, and RGBA images saved as PNG.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <orvane/Png.h>
#include <orvane/RgbaImage.h>
#include <orvane/rtl/Exceptions.h>

using namespace orvane;

namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("orvane-pngrows-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

// A 3 x 2 RGBA image with every alpha from 0 to 255 among its pixels.
RgbaImage SmallImage(AlphaMode alpha) {
  return {3, 2, alpha, {255, 0, 0, 0, 0, 255, 0, 1, 0, 0, 255, 128, 0x12, 0x34, 0x56, 200, 9, 8, 7, 254, 1, 2, 3, 255}};
}

PngImage ReadBack(const std::string& path) {
  PngImage png;
  EXPECT_TRUE(ReadPngFile(path, png));
  std::remove(path.c_str());
  return png;
}

}  // namespace

TEST(PngRowWriterTest, RgbaImagesAreSavedAsRgbaOrWhenOpaqueAsRgb) {
  const RgbaImage straight = SmallImage(AlphaMode::Straight);
  const std::string path = TempPath("straight.png");
  SavePng(straight, path);
  const PngImage rgba = ReadBack(path);
  EXPECT_EQ(rgba.channels, 4);
  EXPECT_EQ(rgba.pixels, straight.pixels);

  RgbaImage opaque = SmallImage(AlphaMode::Opaque);
  SavePng(opaque, path);
  const PngImage rgb = ReadBack(path);
  EXPECT_EQ(rgb.channels, 3);
  EXPECT_EQ(rgb.pixels, (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 0x12, 0x34, 0x56, 9, 8, 7, 1, 2, 3}));

  opaque.pixels.pop_back();  // fewer bytes than the size says
  EXPECT_THROW(SavePng(opaque, path), rtl::EInvalidOperation);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(PngRowWriterTest, MisuseRaisesAndLeavesTheWriterDone) {
  const uint8_t row[9] = {};
  const auto ignore = [](const uint8_t*, size_t) {};
  EXPECT_THROW(PngRowWriter(0, 2, 3, ignore), rtl::EOutOfResources);  // no pixels
  {
    PngRowWriter early(3, 2, 3, ignore);
    early.WriteRow(row);
    EXPECT_THROW(early.Finish(), rtl::EOutOfResources);  // a row short
  }
  PngRowWriter extra(3, 1, 3, ignore);
  extra.WriteRow(row);
  EXPECT_THROW(extra.WriteRow(row), rtl::EOutOfResources);  // beyond the height
  extra.Finish();
}

TEST(PngRowWriterTest, TheSinksExceptionLeavesTheCallThatWrote) {
  EXPECT_THROW(PngRowWriter(3, 2, 3, [](const uint8_t*, size_t) { throw std::runtime_error("full"); }),
               std::runtime_error);  // the header is written at once
  // Room for the header only: the image data fails on the way, at the latest at the end.
  size_t written = 0;
  PngRowWriter writer(64, 64, 4, [&written](const uint8_t*, size_t size) {
    if (written > 0 && written + size > 100) throw std::runtime_error("full");
    written += size;
  });
  std::vector<uint8_t> row(64 * 4);
  bool raised = false;
  try {
    for (int y = 0; y < 64; ++y) {
      for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(i * 7 + y * 13);  // hard to compress
      writer.WriteRow(row.data());
    }
    writer.Finish();
  } catch (const std::runtime_error&) {
    raised = true;
  }
  EXPECT_TRUE(raised);
  EXPECT_THROW(writer.Finish(), rtl::EOutOfResources);  // done with
}
