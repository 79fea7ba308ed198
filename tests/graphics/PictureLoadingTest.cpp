// Pictures loaded by their content from memory, streams and files: the kind
// told from the first bytes, gzip-compressed metafiles, and the same picture
// and the same errors whichever way the bytes come.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <streambuf>

#include "../gdi/DibBytes.h"
#include "GzipBytes.h"
#include "emf/EmfWriter.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/Picture.h>
#include <orvane/graphics/PictureFormat.h>
#include <orvane/rtl/Exceptions.h>

using namespace dibtest;
using namespace orvane::vcl;
using gziptest::Gzip;

namespace {

constexpr int32_t kWidth = 40, kHeight = 30;

// A red rectangle and a blue ellipse on 40 x 30 pixels.
Bytes TestEmf() {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(kWidth, kHeight, {1000, 1000}, {100, 100}));
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(200, 0, 0)));
  w.Rectangle({2, 2, 20, 16});
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(0, 0, 250)));
  w.Ellipse({15, 10, 38, 28});
  return w.Finish();
}

void Patch32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes Cut(const Bytes& b, size_t size) { return Bytes(b.begin(), b.begin() + static_cast<ptrdiff_t>(size)); }
Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The graphic drawn aliased onto white, pixel by pixel.
std::vector<TColor> Drawn(const TGraphic& graphic) {
  TBitmap bitmap;
  bitmap.SetSize(kWidth, kHeight);
  bitmap.Canvas().StretchDraw(Rect(0, 0, kWidth, kHeight), &graphic);
  std::vector<TColor> pixels;
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) pixels.push_back(bitmap.Canvas().Pixel(x, y));
  return pixels;
}

std::string Outcome(const std::function<void()>& load, const TPicture& picture) {
  try {
    load();
  } catch (const orvane::rtl::Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  if (!picture.Graphic()) return "loaded";
  return std::string(picture.Graphic()->ClassName()) + " " + std::to_string(picture.Width()) + " x " +
         std::to_string(picture.Height());
}

enum class Way { Bytes, Stream, File };
constexpr Way kWays[] = {Way::Bytes, Way::Stream, Way::File};
const char* WayName(Way way) { return way == Way::Bytes ? "bytes" : way == Way::Stream ? "stream" : "file"; }

class PictureLoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("picture_loading_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Loads `bytes` into `picture` one way (as a file, under `fileName`); the outcome.
  std::string Load(Way way, const Bytes& bytes, const std::string& fileName, TPicture& picture) {
    switch (way) {
      case Way::Bytes: return Outcome([&] { picture.LoadFromBytes(bytes.data(), bytes.size()); }, picture);
      case Way::Stream: {
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        return Outcome([&] { picture.LoadFromStream(in); }, picture);
      }
      case Way::File: {
        const std::string path = (dir_ / fileName).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return Outcome([&] { picture.LoadFromFile(path); }, picture);
      }
    }
    return {};
  }

  std::filesystem::path dir_;
};

}  // namespace

TEST(PictureFormatTest, ContentTellsTheKindOnAnyBytes) {
  Bytes emf(44, 0);
  emf[0] = 1;
  std::memcpy(&emf[40], " EMF", 4);
  const struct {
    Bytes bytes;
    TPictureFormat format;
  } cases[] = {
      {emf, TPictureFormat::Emf},
      {Cut(emf, 43), TPictureFormat::Unknown},  // signature cut off
      {{0xD7, 0xCD, 0xC6, 0x9A}, TPictureFormat::PlaceableWmf},
      {{1, 0, 9, 0}, TPictureFormat::StandardWmf},
      {{2, 0, 9, 0}, TPictureFormat::StandardWmf},
      {{3, 0, 9, 0}, TPictureFormat::Unknown},  // no WMF type
      {{1, 0, 8, 0}, TPictureFormat::Unknown},  // a header of 8 words
      {{1, 0, 9}, TPictureFormat::Unknown},
      {{0x1F, 0x8B}, TPictureFormat::Gzip},
      {{0x1F}, TPictureFormat::Unknown},
      {{'B', 'M'}, TPictureFormat::Bmp},
      {{'B'}, TPictureFormat::Unknown},
      {{0, 0, 1, 0, 1, 0}, TPictureFormat::Icon},
      {{0, 0, 1, 0, 0, 0}, TPictureFormat::Unknown},  // an icon file without images
      {{0, 0, 2, 0, 1, 0}, TPictureFormat::Unknown},  // a cursor
      {{}, TPictureFormat::Unknown},
  };
  for (const auto& c : cases) {
    // A copy of exactly the bytes, so a read past them is caught by the sanitizers.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[c.bytes.size()]);
    std::copy(c.bytes.begin(), c.bytes.end(), exact.get());
    EXPECT_EQ(RecognizePictureFormat(exact.get(), c.bytes.size()), c.format) << c.bytes.size();
  }
  EXPECT_EQ(RecognizePictureFormat(nullptr, 10), TPictureFormat::Unknown);
  EXPECT_EQ(PictureFormatOfName("dir.emf/Picture.WMF"), TPictureFormat::PlaceableWmf);
  EXPECT_EQ(PictureFormatOfName("a.Emz"), TPictureFormat::Gzip);
  EXPECT_EQ(PictureFormatOfName("a.wmz"), TPictureFormat::Gzip);
  EXPECT_EQ(PictureFormatOfName("dir.emf/picture"), TPictureFormat::Unknown);
  EXPECT_EQ(NewGraphicFor(TPictureFormat::Unknown), nullptr);
}

TEST_F(PictureLoadingTest, EveryWayGivesTheSamePicture) {
  const struct {
    const char* fileName;
    Bytes bytes;
    std::string outcome;
  } cases[] = {
      {"a.emf", TestEmf(), "TMetafile 40 x 30"},
      {"a.emz", Gzip(TestEmf()), "TMetafile 40 x 30"},
      // Bytes past what the header claims are not looked at.
      {"b.emf", Cat(TestEmf(), Bytes(300, 0xEE)), "TMetafile 40 x 30"},
      {"a.bmp", SmallBmp(), "TBitmap 2 x 1"},
      {"a.ico", SmallIcon(), "TIcon 1 x 1"},
  };
  TMetafile original;
  original.LoadFromBytes(TestEmf().data(), TestEmf().size());
  const std::vector<TColor> originalPixels = Drawn(original);
  for (const auto& c : cases) {
    TPicture byFile;
    ASSERT_EQ(Load(Way::File, c.bytes, c.fileName, byFile), c.outcome) << c.fileName;
    for (Way way : {Way::Bytes, Way::Stream}) {
      TPicture picture;
      EXPECT_EQ(Load(way, c.bytes, c.fileName, picture), c.outcome) << c.fileName << " " << WayName(way);
      if (picture.Graphic()) {
        EXPECT_EQ(Drawn(*picture.Graphic()), Drawn(*byFile.Graphic())) << c.fileName;
      }
    }
    if (c.outcome.starts_with("TMetafile")) {
      EXPECT_EQ(Drawn(*byFile.Graphic()), originalPixels) << c.fileName;
      // What is held is the metafile itself, however it came.
      EXPECT_EQ(*static_cast<TMetafile*>(byFile.Graphic())->Data(), TestEmf()) << c.fileName;
    }
  }
}

TEST_F(PictureLoadingTest, BadDataGivesTheSameErrorEveryWay) {
  const std::string kReadError = "EReadError: Stream-Lesefehler";
  const std::string kInvalid = "EInvalidGraphic: Metadatei ist ungültig";
  const Bytes emf = TestEmf(), gz = Gzip(emf);
  Bytes smallCount = emf, hugeCount = emf;
  Patch32(smallCount, orvane::emf::header::kBytes, 100);
  Patch32(hugeCount, orvane::emf::header::kBytes, 0x7FFFFFF0);
  auto changed = [](Bytes b, size_t at, uint8_t v) {
    b[at] = v;
    return b;
  };
  auto flipped = [](Bytes b, size_t fromEnd) {
    b[b.size() - fromEnd] ^= 0x55;
    return b;
  };
  const struct {
    const char* name;
    Bytes bytes;
    std::string outcome;
  } cases[] = {
      {"an EMF cut short", Cut(emf, emf.size() - 4), kReadError},
      {"an EMF of a 100-byte count", smallCount, kInvalid},
      {"a gzip stream cut inside its data", Cut(gz, gz.size() / 2), kReadError},
      {"a gzip stream without its check value", Cut(gz, gz.size() - 8), kReadError},
      {"the gzip magic alone", {0x1F, 0x8B}, kReadError},
      {"a wrong check value", flipped(gz, 8), kInvalid},
      {"a wrong length", flipped(gz, 4), kInvalid},
      {"a deflate block of the reserved type", changed(gz, 10, 0x07), kInvalid},
      {"a compression method other than deflate", changed(gz, 2, 7), kInvalid},
      {"a gzip stream inside a gzip stream", Gzip(gz), kInvalid},
      {"a gzip stream of no metafile", Gzip(Bytes(200, 'x')), kInvalid},
      {"a gzip stream of an EMF cut short", Gzip(Cut(emf, emf.size() - 4)), kReadError},
      {"a gzip stream of an EMF claiming 2 GiB", Gzip(hugeCount), "EOutOfMemory: Zu wenig Arbeitsspeicher"},
  };
  for (const auto& c : cases) {
    for (Way way : kWays) {
      TPicture picture;
      const std::string name = c.bytes[0] == 0x1F ? "p.emz" : "p.emf";
      EXPECT_EQ(Load(way, c.bytes, name, picture), c.outcome) << c.name << " as " << WayName(way);
      EXPECT_EQ(picture.Graphic(), nullptr) << c.name;
    }
  }
}

TEST_F(PictureLoadingTest, StreamsAreReadOnlyAsFarAsTheHeaderClaims) {
  orvane::emf::EmfWriter small(orvane::emf::HeaderForPixels(7, 5, {1000, 1000}, {100, 100}));
  const Bytes first = TestEmf(), second = small.Finish();
  std::istringstream both(std::string(first.begin(), first.end()) + std::string(second.begin(), second.end()));
  TPicture picture;
  picture.LoadFromStream(both);
  EXPECT_EQ(picture.Width(), kWidth);
  TMetafile metafile;
  metafile.LoadFromStream(both);  // a graphic of a known class reads the same way
  EXPECT_EQ(metafile.Width(), 7);
  EXPECT_EQ(Outcome([&] { picture.LoadFromStream(both); }, picture),
            "EInvalidGraphic: Unbekannte Bilddateierweiterung (.)");  // nothing left: no kind

  // A stream does not say how much it holds: a claim over 1 GiB is refused before reading on.
  Bytes huge = first;
  Patch32(huge, orvane::emf::header::kBytes, 0x7FFFFFF0);
  std::istringstream claims(std::string(huge.begin(), huge.end()));
  EXPECT_EQ(Outcome([&] { picture.LoadFromStream(claims); }, picture), "EOutOfMemory: Zu wenig Arbeitsspeicher");
  EXPECT_EQ(picture.Width(), kWidth);  // the picture loaded first stays
}

TEST_F(PictureLoadingTest, StreamsThatFailAreReadErrors) {
  // Gives the first `good` bytes of an EMF, then fails.
  struct FailingBuffer : std::streambuf {
    explicit FailingBuffer(Bytes bytes) : bytes_(std::move(bytes)) {
      char* p = reinterpret_cast<char*>(bytes_.data());
      setg(p, p, p + bytes_.size());
    }
    int_type underflow() override { throw std::runtime_error("device gone"); }
    Bytes bytes_;
  };
  const std::string kReadError = "EReadError: Stream-Lesefehler";
  for (size_t good : {size_t{0}, size_t{10}, size_t{200}}) {
    for (bool raising : {false, true}) {
      FailingBuffer buffer(Cut(TestEmf(), good));
      std::istream in(&buffer);
      if (raising) in.exceptions(std::ios::badbit);  // the buffer's own exception comes through
      TPicture picture;
      EXPECT_EQ(Outcome([&] { picture.LoadFromStream(in); }, picture), kReadError) << good;
    }
  }
  std::ifstream missing((dir_ / "not-there.emf").string(), std::ios::binary);
  TBitmap bitmap;
  EXPECT_EQ(Outcome([&] { bitmap.LoadFromStream(missing); }, TPicture()), kReadError);
  // A stream told to raise at its end still delivers what it holds: a BMP
  // shorter than the first bytes looked at.
  const Bytes bmp = SmallBmp();
  ASSERT_LT(bmp.size(), TGraphic::kClaimHeadBytes);
  std::istringstream raising(std::string(bmp.begin(), bmp.end()));
  raising.exceptions(std::ios::eofbit | std::ios::failbit);
  TPicture picture;
  EXPECT_EQ(Outcome([&] { picture.LoadFromStream(raising); }, picture), "TBitmap 2 x 1");
}
