// What orvane-render makes of input bytes: the kind of picture and its
// physical size. (The target sizes are the library's: PictureSizingTest.)

#include <gtest/gtest.h>

#include <cstring>

#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>
#include "emf/EmfWriter.h"
#include "render/PictureInput.h"

namespace {

// A WMF without the placeable header whose window is 96 x 48 units.
std::vector<uint8_t> StandardWmf() {
  const uint16_t words[] = {1, 9, 0x300, 17, 0, 0, 0, 0, 0,  // header: 17 words in all
                            5, 0, 0x020C, 48, 96,            // SETWINDOWEXT 96 x 48
                            3, 0, 0};                        // end
  std::vector<uint8_t> b;
  for (uint16_t w : words) b.insert(b.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)});
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
  EXPECT_EQ(loaded.kind, orvane::vcl::TPictureFormat::Bmp);
  EXPECT_NEAR(loaded.inchesWide, 30 / 299.9994, 1e-9);
  EXPECT_DOUBLE_EQ(loaded.inchesHigh, 20 / 96.0);

  // A standard WMF: its window at 96 units an inch.
  const auto wmf = orvanetools::LoadPicture("-", StandardWmf());
  EXPECT_EQ(wmf.kind, orvane::vcl::TPictureFormat::StandardWmf);
  EXPECT_DOUBLE_EQ(wmf.inchesWide, 1.0);
  EXPECT_DOUBLE_EQ(wmf.inchesHigh, 0.5);
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
