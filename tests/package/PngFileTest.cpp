// PNG files of bitmaps and sprites: what is written, what is read back, and
// the errors of files that are missing, not PNGs, or claim more than they hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <orvane/OrvanePicture.h>

using namespace orvane;

namespace {

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("orvane-png-" + std::to_string(::getpid()) + "-" + name)).string();
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A 3 x 2 bitmap; colour values have red in the low byte.
constexpr TColor kColours[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0x123456, 0xFFFFFF, 0x000000}};

void Fill(TBitmap& bitmap) {
  bitmap.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) bitmap.Canvas().SetPixel(x, y, kColours[y][x]);
}

// PNG chunks carry a CRC-32 of their type and data.
uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// A PNG signature and header claiming width x height RGBA pixels, with no image data.
std::vector<uint8_t> HeaderOnlyPng(uint32_t width, uint32_t height) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> chunk = {'I', 'H', 'D', 'R'};
  PutBig32(chunk, width);
  PutBig32(chunk, height);
  chunk.insert(chunk.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  PutBig32(png, 13);
  png.insert(png.end(), chunk.begin(), chunk.end());
  PutBig32(png, Crc32(chunk.data(), chunk.size()));
  return png;
}

}  // namespace

TEST(PngFileTest, OpaqueBitmapIsWrittenAsRgbAndReadBack) {
  const std::string path = TempPath("opaque.png");
  TBitmap bitmap;
  Fill(bitmap);
  SavePng(bitmap, path);

  PngImage png;
  ASSERT_TRUE(ReadPngFile(path, png));
  EXPECT_EQ(png.channels, 3);
  const std::vector<uint8_t> expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0x56, 0x34, 0x12, 255, 255, 255, 0, 0, 0};
  EXPECT_EQ(png.pixels, expected);

  TBitmap loaded;
  EXPECT_EQ(LoadPng(loaded, path), nullptr);  // no alpha, no coverage
  ASSERT_EQ(loaded.Width(), 3);
  ASSERT_EQ(loaded.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(loaded.Canvas().Pixel(x, y), kColours[y][x]) << x << "," << y;
  std::remove(path.c_str());
}

TEST(PngFileTest, CoverageTravelsAsAlphaBothWays) {
  const std::string path = TempPath("coverage.png");
  TBitmap bitmap;
  Fill(bitmap);
  TFastBMP coverage(3, 2);
  const uint8_t alpha[2][3] = {{0, 1, 128}, {200, 254, 255}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) coverage.RowStarts()[y][3 * x + 2] = alpha[y][x];  // red channel
  SavePng(bitmap, path, &coverage);

  PngImage png;
  ASSERT_TRUE(ReadPngFile(path, png));
  ASSERT_EQ(png.channels, 4);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(png.pixels[size_t(4 * (3 * y + x) + 3)], alpha[y][x]);

  TBitmap loaded;
  const auto loadedCoverage = LoadPng(loaded, path);
  ASSERT_NE(loadedCoverage, nullptr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(loaded.Canvas().Pixel(x, y), kColours[y][x]);
      const uint8_t* c = loadedCoverage->RowStarts()[y] + 3 * x;
      EXPECT_TRUE(c[0] == alpha[y][x] && c[1] == alpha[y][x] && c[2] == alpha[y][x]) << x << "," << y;
    }
  std::remove(path.c_str());
}

TEST(PngFileTest, BadFilesRaiseAndLeaveTheBitmapAlone) {
  const std::string notPng = TempPath("not.png"), huge = TempPath("huge.png"), truncated = TempPath("cut.png");
  WriteBytes(notPng, {'B', 'M', 0, 0, 0, 0});
  WriteBytes(huge, HeaderOnlyPng(60000, 60000));  // 14 GB claimed by 33 bytes
  WriteBytes(truncated, HeaderOnlyPng(4, 4));

  struct Case {
    const char* what;
    std::string path;
    const char* exceptionClass;
  } cases[] = {
      {"missing file", TempPath("missing.png"), "EFOpenError"},
      {"not a PNG", notPng, "EInvalidGraphic"},
      {"claims more than it holds", huge, "EInvalidGraphic"},
      {"no image data", truncated, "EInvalidGraphic"},
  };
  for (const Case& c : cases) {
    TBitmap bitmap;
    Fill(bitmap);
    try {
      LoadPng(bitmap, c.path);
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.ClassName(), c.exceptionClass) << c.what << ": " << e.Message();
    }
    EXPECT_EQ(bitmap.Width(), 3) << c.what;
    EXPECT_EQ(bitmap.Canvas().Pixel(2, 1), kColours[1][2]) << c.what;
  }

  TBitmap bitmap;
  Fill(bitmap);
  TFastBMP wrongSize(2, 2);
  EXPECT_THROW(SavePng(bitmap, TempPath("never.png"), &wrongSize), EInvalidOperation);
  EXPECT_FALSE(std::filesystem::exists(TempPath("never.png")));
  for (const auto& p : {notPng, huge, truncated}) std::remove(p.c_str());
}
