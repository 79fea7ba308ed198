// Target sizes of orvane-render, and what it makes of input bytes: the kind
// of picture and its physical size.

#include <gtest/gtest.h>

#include <cstring>

#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>
#include "emf/EmfWriter.h"
#include "render/ContentSniffing.h"
#include "render/PictureInput.h"
#include "render/Sizing.h"

using orvanetools::PixelSize;

TEST(RenderSizingTest, FitKeepsTheAspectWithOneSideOnTheBox) {
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
  };
  for (const auto& c : cases)
    EXPECT_EQ(orvanetools::FitInBox(c.picture, c.boxW, c.boxH), c.expected)
        << c.picture.width << "x" << c.picture.height << " in " << c.boxW << "x" << c.boxH;
}

TEST(RenderSizingTest, ExactSizeFillsOnlyAZeroSide) {
  EXPECT_EQ(orvanetools::ExactSize({4, 1}, 10, 0), (PixelSize{10, 2}));  // 2.5 to even
  EXPECT_EQ(orvanetools::ExactSize({40, 30}, 7, 9), (PixelSize{7, 9}));  // as asked, aspect ignored
}

TEST(RenderSizingTest, DpiScalesThePhysicalSizeRoundingHalfToEven) {
  EXPECT_EQ(orvanetools::SizeAtDpi(1.0, 0.5, 96), (PixelSize{96, 48}));
  EXPECT_EQ(orvanetools::SizeAtDpi(0.0125, 0.0375, 200), (PixelSize{2, 8}));  // 2.5 and 7.5
  EXPECT_EQ(orvanetools::SizeAtDpi(0.001, 2, 72), (PixelSize{1, 144}));
  EXPECT_EQ(orvanetools::SizeAtDpi(1e9, 1, 1e9).width, 1e15);  // far past any limit, still named
}

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> head, size_t size) {
  std::vector<uint8_t> b(head);
  b.resize(size, 0);
  return b;
}

// An EMF header with the frame and reference device given.
std::vector<uint8_t> Emf(orvane::emf::RectL frame, orvane::emf::SizeL millimetres) {
  orvane::emf::HeaderInfo h = orvane::emf::HeaderForPixels(40, 30, {1000, 1000}, {100, 100});
  h.frame = frame;
  h.deviceMillimeters = millimetres;
  orvane::emf::EmfWriter w(h);
  return w.Finish();
}

void Put32(std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); }

}  // namespace

TEST(RenderSizingTest, ContentTellsTheKindOnAnyBytes) {
  std::vector<uint8_t> emf = Bytes({1, 0, 0, 0}, 44);
  std::memcpy(&emf[40], " EMF", 4);
  const struct {
    std::vector<uint8_t> bytes;
    orvanetools::PictureKind kind;
  } cases[] = {
      {emf, orvanetools::PictureKind::Emf},
      {std::vector<uint8_t>(emf.begin(), emf.end() - 1), orvanetools::PictureKind::Unknown},  // signature cut off
      {Bytes({0xD7, 0xCD, 0xC6, 0x9A}, 4), orvanetools::PictureKind::PlaceableWmf},
      {Bytes({'B', 'M'}, 2), orvanetools::PictureKind::Bmp},
      {Bytes({'B'}, 1), orvanetools::PictureKind::Unknown},
      {Bytes({0, 0, 1, 0, 1, 0}, 6), orvanetools::PictureKind::Icon},
      {Bytes({0, 0, 1, 0, 0, 0}, 6), orvanetools::PictureKind::Unknown},  // an icon file without images
      {Bytes({0, 0, 2, 0, 1, 0}, 6), orvanetools::PictureKind::Unknown},  // a cursor
      {{}, orvanetools::PictureKind::Unknown},
  };
  for (const auto& c : cases) {
    // A copy of exactly the bytes, so a read past them is caught by the sanitizers.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[c.bytes.size()]);
    std::copy(c.bytes.begin(), c.bytes.end(), exact.get());
    EXPECT_EQ(orvanetools::SniffPictureKind(exact.get(), c.bytes.size()), c.kind) << c.bytes.size();
  }
  EXPECT_EQ(orvanetools::PictureKindOfName("dir.emf/Picture.WMF"), orvanetools::PictureKind::PlaceableWmf);
  EXPECT_EQ(orvanetools::PictureKindOfName("dir.emf/picture"), orvanetools::PictureKind::Unknown);
}

TEST(RenderSizingTest, PhysicalSizeComesFromTheFrameOrTheResolution) {
  const auto metafile = orvanetools::LoadPicture("x", Emf({0, 0, 2540, 1270}, {100, 100}));
  EXPECT_DOUBLE_EQ(metafile.inchesWide, 1.0);
  EXPECT_DOUBLE_EQ(metafile.inchesHigh, 0.5);

  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(30, 20);
  std::vector<uint8_t> bmp = bitmap.SaveToBytes();
  Put32(bmp, 38, 11811);  // 300 dpi across
  Put32(bmp, 42, 0);      // none given down: 96 dpi
  const auto loaded = orvanetools::LoadPicture("-", bmp);
  EXPECT_EQ(loaded.kind, orvanetools::PictureKind::Bmp);
  EXPECT_NEAR(loaded.inchesWide, 30 / 299.9994, 1e-9);
  EXPECT_DOUBLE_EQ(loaded.inchesHigh, 20 / 96.0);
}

TEST(RenderSizingTest, MetafilesWithoutPhysicalSizeAreInvalid) {
  const std::vector<uint8_t> headers[] = {
      Emf({0, 0, 2540, 1270}, {0, 100}),    // no millimetres across
      Emf({0, 0, 2540, 1270}, {-100, 100}), // negative millimetres
      Emf({0, 0, 0, 1270}, {100, 100}),     // empty frame
      Emf({2540, 0, 0, 1270}, {100, 100}),  // turned frame
  };
  for (const auto& emf : headers) {
    try {
      orvanetools::LoadPicture("x.emf", emf);
      ADD_FAILURE() << "loaded";
    } catch (const orvane::rtl::Exception& e) {
      EXPECT_EQ(e.Message(), "Metadatei ist ungültig");
    }
  }
}
