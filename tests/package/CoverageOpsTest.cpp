#include <gtest/gtest.h>

#include <orvane/FastBMP.h>
#include <orvane/Quality.h>

using namespace orvane;

namespace {

void SetPixel(TFastBMP& r, int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue) {
  uint8_t* p = r.RowStarts()[y] + 3 * x;
  p[0] = blue;
  p[1] = green;
  p[2] = red;
}

// Two renderings of N x N samples (one target pixel), all background.
struct Block {
  explicit Block(int32_t n) : a(n, n), b(n, n), color(1, 1), coverage(1, 1), n(n) {
    for (int32_t y = 0; y < n; ++y)
      for (int32_t x = 0; x < n; ++x) {
        SetPixel(a, x, y, 0, 0, 255);  // KeyColorA: blue
        SetPixel(b, x, y, 0, 128, 0);  // KeyColorB: dark green
      }
  }
  // A picture sample: the same colour in both renderings.
  void Picture(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t bl) {
    SetPixel(a, x, y, r, g, bl);
    SetPixel(b, x, y, r, g, bl);
  }
  int Reduce() {
    a.ExtractCoverage(b, color, coverage, 1, 1, n);
    const uint8_t* c = coverage.RowStarts()[0];
    EXPECT_EQ(c[0], c[2]);
    EXPECT_EQ(c[1], c[2]);
    return c[2];
  }
  const uint8_t* Color() const { return color.RowStarts()[0]; }
  TFastBMP a, b, color, coverage;
  int32_t n;
};

}  // namespace

TEST(SupersampleFactorTest, LevelsAndOddBytes) {
  EXPECT_EQ(SupersampleFactor(opqVeryLow), 1);
  EXPECT_EQ(SupersampleFactor(opqLow), 2);
  EXPECT_EQ(SupersampleFactor(opqMed), 4);
  EXPECT_EQ(SupersampleFactor(opqHigh), 8);
  EXPECT_EQ(SupersampleFactor(opqVeryHigh), 16);
  for (int q = 5; q <= 255; ++q) EXPECT_EQ(SupersampleFactor(static_cast<uint8_t>(q)), 16) << q;
  EXPECT_EQ(sizeof(TOrvanePictureQuality), 1u);
  EXPECT_STREQ(QualityName(opqMed), "opqMed");
  EXPECT_EQ(QualityName(5), nullptr);
}

TEST(ExtractCoverageTest, CoverageIsTheTruncatedShareOfPictureSamples) {
  const int expected[] = {0, 63, 127, 191, 255};
  for (int covered = 0; covered <= 4; ++covered) {
    Block block(2);
    for (int i = 0; i < covered; ++i) block.Picture(i % 2, i / 2, 1, 1, 1);
    EXPECT_EQ(block.Reduce(), expected[covered]) << covered << " of 4";
  }
  Block four(4);
  four.Picture(3, 3, 9, 9, 9);
  EXPECT_EQ(four.Reduce(), 15);
  Block sixteen(16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) sixteen.Picture(x, y, 5, 5, 5);
  EXPECT_EQ(sixteen.Reduce(), 255);
}

TEST(ExtractCoverageTest, ColourIsTheTruncatedMeanOfPictureSamples) {
  Block block(2);
  block.Picture(0, 0, 10, 20, 30);
  block.Picture(1, 0, 20, 40, 60);
  block.Picture(0, 1, 31, 0, 0);
  EXPECT_EQ(block.Reduce(), 191);
  EXPECT_EQ(block.Color()[2], 20);  // red (10 + 20 + 31) / 3
  EXPECT_EQ(block.Color()[1], 20);  // green 60 / 3
  EXPECT_EQ(block.Color()[0], 30);  // blue 90 / 3
}

TEST(ExtractCoverageTest, AllBackgroundLeavesTheColourPixelAlone) {
  Block block(2);
  SetPixel(block.color, 0, 0, 7, 8, 9);
  EXPECT_EQ(block.Reduce(), 0);
  EXPECT_EQ(block.Color()[2], 7);
  EXPECT_EQ(block.Color()[1], 8);
  EXPECT_EQ(block.Color()[0], 9);
}

TEST(ExtractCoverageTest, KeyColouredPictureSamplesStillCount) {
  // Pure blue matches KeyColorA in rendering A but is not KeyColorB in B.
  Block blue(1);
  blue.Picture(0, 0, 0, 0, 255);
  EXPECT_EQ(blue.Reduce(), 255);
  EXPECT_EQ(blue.Color()[0], 255);
  // Dark green matches KeyColorB in B but is not KeyColorA in A.
  Block green(1);
  green.Picture(0, 0, 0, 128, 0);
  EXPECT_EQ(green.Reduce(), 255);
  EXPECT_EQ(green.Color()[1], 128);
  // The colour comes from rendering A alone.
  Block split(1);
  SetPixel(split.a, 0, 0, 100, 0, 0);
  EXPECT_EQ(split.Reduce(), 255);
  EXPECT_EQ(split.Color()[2], 100);
}

TEST(ExtractCoverageTest, BlocksMapToTheirOwnTargetPixels) {
  // 3 x 2 targets at N = 2 over renderings of 6 x 4: one picture sample in block (2, 1) only.
  TFastBMP a(6, 4), b(6, 4), color(3, 2), coverage(3, 2);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      SetPixel(a, x, y, 0, 0, 255);
      SetPixel(b, x, y, 0, 128, 0);
    }
  SetPixel(a, 5, 3, 1, 2, 3);
  SetPixel(b, 5, 3, 1, 2, 3);
  a.ExtractCoverage(b, color, coverage, 3, 2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(coverage.RowStarts()[y][3 * x + 2], (x == 2 && y == 1) ? 63 : 0) << x << "," << y;
  EXPECT_EQ(color.RowStarts()[1][6 + 2], 1);
}

TEST(BlendWithCoverageTest, QuotientsAreTruncatedSeparately) {
  TFastBMP d(3, 1), s(3, 1), c(3, 1);
  const uint8_t cover[3] = {128, 255, 0};
  for (int x = 0; x < 3; ++x) {
    SetPixel(d, x, 0, 100, 100, 100);
    SetPixel(s, x, 0, 200, 200, 200);
    SetPixel(c, x, 0, cover[x], cover[x], cover[x]);
  }
  d.BlendWithCoverage(s, c, 3, 1);
  EXPECT_EQ(d.RowStarts()[0][0], 149);  // (127 * 100) / 255 = 49, (128 * 200) / 255 = 100
  EXPECT_EQ(d.RowStarts()[0][2], 149);
  EXPECT_EQ(d.RowStarts()[0][3], 200);  // c = 255: the source exactly
  EXPECT_EQ(d.RowStarts()[0][6], 100);  // c = 0: unchanged
}

TEST(BlendWithCoverageTest, OnlyTheThirdCoverageByteCounts) {
  TFastBMP d(2, 1), s(2, 1), c(2, 1);
  SetPixel(d, 0, 0, 255, 255, 255);
  SetPixel(d, 1, 0, 255, 255, 255);
  // Pixel 0: third byte (red) 128, others 0; pixel 1: third byte 0, others 255.
  SetPixel(c, 0, 0, 128, 0, 0);
  SetPixel(c, 1, 0, 0, 255, 255);
  d.BlendWithCoverage(s, c, 2, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(d.RowStarts()[0][i], 127);     // (127 * 255) / 255 + 0
    EXPECT_EQ(d.RowStarts()[0][3 + i], 255);  // coverage 0
  }
}
