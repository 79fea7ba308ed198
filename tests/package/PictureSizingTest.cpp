// The size a picture is drawn at: exact, inside a box, at a resolution, or
// its own size capped; halves round to the even side.

#include <gtest/gtest.h>

#include <orvane/PictureSizing.h>

using orvane::PictureSize;
using orvane::PixelSize;
using orvane::SizeFor;

TEST(PictureSizingTest, FitKeepsTheAspectWithOneSideOnTheBox) {
  const struct {
    PixelSize picture;
    int32_t boxW, boxH;
    PixelSize expected;
  } cases[] = {
      {{40, 30}, 512, 512, {512, 384}},    // wider than tall
      {{30, 40}, 512, 512, {384, 512}},    // taller than wide
      {{7, 7}, 3, 5, {3, 3}},              // square into a tall box
      {{4, 3}, 2, 2, {2, 2}},              // 1.5 rounds to the even 2
      {{4, 1}, 10, 10, {10, 2}},           // 2.5 rounds to the even 2
      {{4, 1}, 14, 14, {14, 4}},           // 3.5 rounds to the even 4
      {{3, 2}, 5, 5, {5, 3}},              // 3.33
      {{2, 3}, 5, 5, {3, 5}},
      {{10000, 1}, 16, 16, {16, 1}},       // never below 1
      {{1, 10000}, 16384, 16, {1, 16}},
      {{300, 200}, 600, 400, {600, 400}},  // exactly the box
      {{0, 200}, 60, 40, {60, 40}},        // a picture without a size: the box
  };
  for (const auto& c : cases)
    EXPECT_EQ(SizeFor(PictureSize::Fit(c.boxW, c.boxH), c.picture), c.expected)
        << c.picture.width << "x" << c.picture.height << " in " << c.boxW << "x" << c.boxH;
}

TEST(PictureSizingTest, ExactSizeFillsOnlyAZeroSide) {
  EXPECT_EQ(SizeFor(PictureSize::Exact(10, 0), PixelSize{4, 1}), (PixelSize{10, 2}));  // 2.5 to even
  EXPECT_EQ(SizeFor(PictureSize::Exact(0, 3), PixelSize{4, 1}), (PixelSize{12, 3}));
  EXPECT_EQ(SizeFor(PictureSize::Exact(7, 9), PixelSize{40, 30}), (PixelSize{7, 9}));  // as asked, aspect ignored
}

TEST(PictureSizingTest, DpiScalesThePhysicalSizeRoundingHalfToEven) {
  EXPECT_EQ(SizeFor(PictureSize::AtDpi(96, 1.0, 0.5), PixelSize{}), (PixelSize{96, 48}));
  EXPECT_EQ(SizeFor(PictureSize::AtDpi(200, 0.0125, 0.0375), PixelSize{}), (PixelSize{2, 8}));  // 2.5 and 7.5
  EXPECT_EQ(SizeFor(PictureSize::AtDpi(72, 0.001, 2), PixelSize{}), (PixelSize{1, 144}));
  EXPECT_EQ(SizeFor(PictureSize::AtDpi(1e9, 1e9, 1), PixelSize{}).width, 1e15);  // far past any limit, still named
}

TEST(PictureSizingTest, TheNaturalSizeIsCappedTo2048KeepingTheAspect) {
  const struct {
    PixelSize picture, expected;
  } cases[] = {
      {{2048, 100}, {2048, 100}},   // at the cap: as it is
      {{4096, 1000}, {2048, 500}},
      {{3000, 4100}, {1499, 2048}},  // 1498.54 rounds to nearest
      {{100000, 10}, {2048, 1}},     // never below 1
  };
  for (const auto& c : cases) EXPECT_EQ(SizeFor(PictureSize::Natural(), c.picture), c.expected) << c.picture.width;
}

TEST(PictureSizingTest, DrawableSizesHavePixelsUpToTheLimit) {
  EXPECT_TRUE(orvane::IsDrawableSize({16384, 1}));
  EXPECT_FALSE(orvane::IsDrawableSize({16385, 1}));
  EXPECT_FALSE(orvane::IsDrawableSize({1, 16385}));
  EXPECT_FALSE(orvane::IsDrawableSize({0, 5}));
  EXPECT_FALSE(orvane::IsDrawableSize({5, -1}));
}
