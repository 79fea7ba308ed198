#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>

#include "../gdi/DibBytes.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

using namespace dibtest;
using namespace orvane::vcl;

namespace {

// The smallest enhanced metafile: a 108-byte header and an EOF record. Frame
// 0, 0, 2540, 1270 (0.01 mm) on a 100 x 100 px, 100 x 100 mm device gives
// 2540 * 100 / 10000 = 25.4 -> 25 by 1270 * 100 / 10000 = 12.7 -> 13 pixels.
Bytes MinimalEmf() {
  Bytes b;
  Add32(b, 1);
  Add32(b, 108);
  for (uint32_t v : {0u, 0u, 99u, 49u}) Add32(b, v);      // bounds
  for (uint32_t v : {0u, 0u, 2540u, 1270u}) Add32(b, v);  // frame
  Add32(b, 0x464D4520);                                    // " EMF"
  Add32(b, 0x10000);
  Add32(b, 128);  // bytes
  Add32(b, 2);    // records
  Add16(b, 1);
  Add16(b, 0);
  for (uint32_t v : {0u, 0u, 0u, 100u, 100u, 100u, 100u, 0u, 0u, 0u, 100000u, 100000u}) Add32(b, v);
  for (uint32_t v : {14u, 20u, 0u, 16u, 20u}) Add32(b, v);  // EOF
  return b;
}

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const orvane::rtl::Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return "no error";
}

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("picture_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  std::filesystem::path dir_;
};

Bytes Record(const std::string& className, uint32_t count, const Bytes& payload) {
  Bytes b;
  Add8(b, static_cast<uint32_t>(className.size()));
  b.insert(b.end(), className.begin(), className.end());
  Add32(b, count);
  Append(b, payload);
  return b;
}

}  // namespace

TEST_F(PictureTest, ExtensionPicksTheClassWithoutRegardToCase) {
  TPicture picture;
  picture.LoadFromFile(Write("a.BMP", SmallBmp()));
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(picture.Width(), 2);
  picture.LoadFromFile(Write("b.Ico", SmallIcon()));
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TIcon");
  EXPECT_EQ(picture.Height(), 1);
  picture.LoadFromFile(Write("c.EmF", MinimalEmf()));
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TMetafile");
  EXPECT_EQ(picture.Width(), 25);
  EXPECT_EQ(picture.Height(), 13);
  picture.LoadFromFile(Write("d.wmf", MinimalEmf()));
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TMetafile");
}

TEST_F(PictureTest, UnknownExtensionsAndMissingFiles) {
  TPicture picture;
  const std::string existing = Write("real.xyz", SmallBmp());
  EXPECT_EQ(Message([&] { picture.LoadFromFile(existing); }),
            "EInvalidGraphic: Unbekannte Bilddateierweiterung (.xyz)");
  // The extension is checked before the file is opened, and shown as written.
  EXPECT_EQ(Message([&] { picture.LoadFromFile("missing.XyZ"); }),
            "EInvalidGraphic: Unbekannte Bilddateierweiterung (.XyZ)");
  EXPECT_EQ(Message([&] { picture.LoadFromFile("noext"); }), "EInvalidGraphic: Unbekannte Bilddateierweiterung (.)");
  EXPECT_EQ(Message([&] { picture.LoadFromFile("dir.emf/noext"); }),
            "EInvalidGraphic: Unbekannte Bilddateierweiterung (.)");
  EXPECT_EQ(Message([&] { picture.LoadFromFile("name.tar.gz"); }),
            "EInvalidGraphic: Unbekannte Bilddateierweiterung (.gz)");
  EXPECT_EQ(Message([&] { picture.LoadFromFile("no_such_dir/Socer.EMF"); }),
            "EFOpenError: Datei no_such_dir/Socer.EMF kann nicht geöffnet werden");
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);
}

TEST_F(PictureTest, AFailedLoadKeepsThePreviousGraphic) {
  TPicture picture;
  picture.LoadFromFile(Write("good.bmp", SmallBmp()));
  const TGraphic* held = picture.Graphic();
  Bytes broken = SmallBmp();
  broken.resize(broken.size() - 1);
  Bytes badEmf = MinimalEmf();
  badEmf[48] = 200;  // says 200 bytes, holds 128
  const std::string broken_bmp = Write("broken.bmp", broken), bad_emf = Write("short.emf", badEmf),
                    bad_ico = Write("bad.ico", SmallBmp());
  EXPECT_EQ(Message([&] { picture.LoadFromFile(broken_bmp); }), "EInvalidGraphic: Bitmap ist ungültig");
  EXPECT_EQ(Message([&] { picture.LoadFromFile(bad_emf); }), "EReadError: Stream-Lesefehler");
  EXPECT_EQ(Message([&] { picture.LoadFromFile(bad_ico); }), "EInvalidGraphic: Symbol ist ungültig");
  EXPECT_EQ(Message([&] { picture.LoadFromFile((dir_ / "gone.emf").string()); }).rfind("EFOpenError", 0), 0u);
  EXPECT_EQ(Message([&] { picture.LoadFromFile("x.gif"); }).rfind("EInvalidGraphic", 0), 0u);
  EXPECT_EQ(picture.Graphic(), held);
  EXPECT_EQ(picture.Width(), 2);
}

TEST_F(PictureTest, MetafileAccessorReplacesOtherGraphicsByAnEmptyMetafile) {
  TPicture picture;
  TMetafile* fresh = picture.Metafile();  // from none
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(picture.Graphic(), fresh);

  picture.LoadFromFile(Write("p.bmp", SmallBmp()));
  TMetafile* replaced = picture.Metafile();
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(picture.Graphic(), replaced);
  EXPECT_TRUE(replaced->Empty());
  EXPECT_EQ(picture.Width(), 0);
  EXPECT_EQ(picture.Height(), 0);

  picture.LoadFromFile(Write("p.emf", MinimalEmf()));
  const TGraphic* loaded = picture.Graphic();
  EXPECT_EQ(picture.Metafile(), loaded);  // a metafile is kept as it is
  EXPECT_EQ(picture.Width(), 25);
}

TEST_F(PictureTest, AssignTakesACopyOrEmpties) {
  TPicture source;
  source.LoadFromFile(Write("s.bmp", SmallBmp()));
  TPicture copy;
  copy.Assign(&source);
  ASSERT_NE(copy.Graphic(), nullptr);
  EXPECT_NE(copy.Graphic(), source.Graphic());
  auto& original = static_cast<TBitmap&>(*source.Graphic());
  auto& copied = static_cast<TBitmap&>(*copy.Graphic());
  original.Canvas().SetPixel(0, 0, 0x123456);
  EXPECT_EQ(copied.Canvas().Pixel(0, 0), 0xFF0000);  // still the loaded blue
  EXPECT_EQ(copied.Canvas().Pixel(1, 0), 0x0000FF);

  copy.Assign(copy.Graphic());  // its own graphic: stays a bitmap of the same pixels
  EXPECT_EQ(static_cast<TBitmap&>(*copy.Graphic()).Canvas().Pixel(1, 0), 0x0000FF);

  TMetafile metafile;
  const Bytes emf = MinimalEmf();
  metafile.LoadFromBytes(emf.data(), emf.size());
  copy.Assign(&metafile);
  auto* held = dynamic_cast<TMetafile*>(copy.Graphic());
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->Data(), metafile.Data());  // a metafile copy shares its data
  EXPECT_EQ(copy.Width(), 25);

  copy.Assign(static_cast<const TGraphic*>(nullptr));
  EXPECT_EQ(copy.Graphic(), nullptr);
  copy.Assign(&source);
  copy.Assign(static_cast<const TPicture*>(nullptr));
  EXPECT_EQ(copy.Graphic(), nullptr);
  source.Assign(&source);
  EXPECT_EQ(source.Width(), 2);
}

TEST_F(PictureTest, PictureRecordsRoundTrip) {
  TPicture picture;
  picture.LoadFromFile(Write("r.emf", MinimalEmf()));
  const Bytes record = picture.WriteData();
  EXPECT_EQ(record, Record("TMetafile", 4 + 128, MinimalEmf()));
  TPicture read;
  read.ReadData(record.data(), record.size());
  ASSERT_NE(dynamic_cast<TMetafile*>(read.Graphic()), nullptr);
  EXPECT_EQ(*static_cast<TMetafile*>(read.Graphic())->Data(), MinimalEmf());
  EXPECT_EQ(read.Width(), 25);

  picture.LoadFromFile(Write("r.bmp", SmallBmp()));
  Bytes bmpRecord = picture.WriteData();
  read.ReadData(bmpRecord.data(), bmpRecord.size());
  ASSERT_STREQ(read.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(static_cast<TBitmap&>(*read.Graphic()).Canvas().Pixel(0, 0), 0xFF0000);
  EXPECT_EQ(static_cast<TBitmap&>(*read.Graphic()).Canvas().Pixel(1, 0), 0x0000FF);

  picture.LoadFromFile(Write("r.ico", SmallIcon()));
  Bytes iconRecord = picture.WriteData();
  read.ReadData(iconRecord.data(), iconRecord.size());
  ASSERT_STREQ(read.Graphic()->ClassName(), "TIcon");
  EXPECT_EQ(*static_cast<TIcon&>(*read.Graphic()).Mask(), (std::vector<uint8_t>{1}));

  // No graphic: an empty class name, which reads back as an empty picture.
  TPicture empty;
  EXPECT_EQ(empty.WriteData(), (Bytes{0}));
  read.ReadData(Bytes{0}.data(), 1);
  EXPECT_EQ(read.Graphic(), nullptr);

  // A count of 4 alone: an empty graphic of the class.
  const Bytes bare = Record("TMetafile", 4, {});
  read.ReadData(bare.data(), bare.size());
  ASSERT_NE(dynamic_cast<TMetafile*>(read.Graphic()), nullptr);
  EXPECT_TRUE(read.Graphic()->Empty());
  EXPECT_EQ(empty.Metafile()->Empty(), true);
  EXPECT_EQ(empty.WriteData(), bare);
}

TEST_F(PictureTest, BadRecordsRaiseAndUnknownClassesEmpty) {
  TPicture picture;
  picture.LoadFromFile(Write("keep.bmp", SmallBmp()));
  const TGraphic* held = picture.Graphic();
  const Bytes emf = MinimalEmf();
  const Bytes cases[] = {
      {},                                       // nothing at all
      {9, 'T', 'M', 'e', 't', 'a'},             // class name cut short
      {9, 'T', 'M', 'e', 't', 'a', 'f', 'i', 'l', 'e', 4, 0},  // byte count cut short
      Record("TMetafile", 4 + 128 + 1, emf),    // count beyond the data
      Record("TMetafile", 0xFFFFFFFF, emf),     // count far beyond the data
      Record("TMetafile", 3, emf),              // count smaller than itself
  };
  for (const Bytes& record : cases) {
    EXPECT_EQ(Message([&] { picture.ReadData(record.data(), record.size()); }), "EReadError: Stream-Lesefehler")
        << record.size() << " bytes";
    EXPECT_EQ(picture.Graphic(), held);
  }
  const Bytes garbage = Record("TMetafile", 4 + 8, Bytes(8, 7));
  EXPECT_EQ(Message([&] { picture.ReadData(garbage.data(), garbage.size()); }),
            "EInvalidGraphic: Metadatei ist ungültig");
  const Bytes badBitmap = Record("TBitmap", 4 + 3, {'B', 'M', 0});
  EXPECT_EQ(Message([&] { picture.ReadData(badBitmap.data(), badBitmap.size()); }),
            "EInvalidGraphic: Bitmap ist ungültig");
  EXPECT_EQ(picture.Graphic(), held);

  const Bytes jpeg = Record("TJPEGImage", 4 + 128, emf);
  picture.ReadData(jpeg.data(), jpeg.size());
  EXPECT_EQ(picture.Graphic(), nullptr);
}
