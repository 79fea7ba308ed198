// Runs the built orvane-render program and checks what it writes.

#include "RenderToolFixture.h"

#include <cstdio>

#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/Png.h>
#include <orvane/Version.h>

namespace fs = std::filesystem;

using RenderToolTest = RenderToolFixture;
using Result = RenderResult;

TEST_F(RenderToolTest, TransparentPngCarriesTheSpriteColourAndCoverage) {
  ASSERT_EQ(Run("--size 80x60 --quality med " + picturePath + " " + Path("out.png")).status, 0);
  orvane::PngImage png;
  ASSERT_TRUE(orvane::ReadPngFile(Path("out.png"), png));
  ASSERT_EQ(png.channels, 4);
  ASSERT_EQ(png.width, 80);
  ASSERT_EQ(png.height, 60);
  orvane::TOrvaneBitmap sprite;
  sprite.Render(&picture, 80, 60, orvane::opqMed);
  int partial = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) {
      const uint8_t* p = &png.pixels[static_cast<size_t>(y * 80 + x) * 4];
      const uint8_t* c = sprite.ColorRaster()->RowStarts()[y] + 3 * x;
      const uint8_t coverage = sprite.CoverageRaster()->RowStarts()[y][3 * x + 2];
      ASSERT_EQ(p[3], coverage) << x << "," << y;
      ASSERT_EQ(p[0], c[2]);
      ASSERT_EQ(p[2], c[0]);
      partial += coverage > 0 && coverage < 255;
    }
  EXPECT_GT(partial, 20);  // anti-aliased edges
  EXPECT_EQ(png.pixels[3], 0);  // top-left corner is background
}

TEST_F(RenderToolTest, BackgroundDrawsLikeTheFilteredDrawOntoThatColour) {
  ASSERT_EQ(Run("--background \"#102030\" --quality low " + picturePath + " " + Path("bg.png")).status, 0);
  orvane::PngImage png;
  ASSERT_TRUE(orvane::ReadPngFile(Path("bg.png"), png));
  ASSERT_EQ(png.channels, 3);
  ASSERT_EQ(png.width, 40);
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(40, 30);
  canvas.Canvas().Brush().SetColor(0x302010);
  canvas.Canvas().FillRect(orvane::vcl::Rect(0, 0, 40, 30));
  orvane::OrvaneStretchDraw(canvas.Canvas(), orvane::vcl::Rect(0, 0, 39, 29), &picture, orvane::opqLow);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const auto c = static_cast<uint32_t>(canvas.Canvas().Pixel(x, y));
      const uint8_t* p = &png.pixels[static_cast<size_t>(y * 40 + x) * 3];
      ASSERT_EQ(p[0], c & 0xFF) << x << "," << y;
      ASSERT_EQ(p[1], (c >> 8) & 0xFF);
      ASSERT_EQ(p[2], (c >> 16) & 0xFF);
    }
  EXPECT_EQ(png.pixels[0], 0x10);  // the background colour as given, #RRGGBB
  EXPECT_EQ(png.pixels[2], 0x30);
}

TEST_F(RenderToolTest, SpriteFilesAreWrittenAndReadBack) {
  ASSERT_EQ(Run("--size 20x0 " + picturePath + " " + Path("s.OBM")).status, 0);
  orvane::TOrvaneBitmap loaded;
  loaded.LoadSpriteFile(Path("s.OBM"));
  EXPECT_EQ(loaded.Width(), 20);
  EXPECT_EQ(loaded.Height(), 15);  // 0 keeps the aspect ratio
  orvane::TOrvaneBitmap rendered;
  rendered.Render(&picture, 20, 15, orvane::opqHigh);
  for (int y = 0; y < 15; ++y)
    for (int i = 0; i < 60; ++i) {
      ASSERT_EQ(loaded.ColorRaster()->RowStarts()[y][i], rendered.ColorRaster()->RowStarts()[y][i]);
      ASSERT_EQ(loaded.CoverageRaster()->RowStarts()[y][i], rendered.CoverageRaster()->RowStarts()[y][i]);
    }
  // A sprite file as input is drawn at its own size.
  ASSERT_EQ(Run(Path("s.OBM") + " " + Path("from-sprite.png")).status, 0);
  orvane::PngImage png;
  ASSERT_TRUE(orvane::ReadPngFile(Path("from-sprite.png"), png));
  EXPECT_EQ(png.width, 20);
  EXPECT_EQ(Run("--size 5x5 " + Path("s.OBM") + " " + Path("x.png")).status, 2);
}

TEST_F(RenderToolTest, FailuresSayWhyAndLeaveNoOutput) {
  Result missing = Run(Path("nothing.emf") + " " + Path("a.png"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "orvane-render: " + Path("nothing.emf") + ": Datei " + Path("nothing.emf") +
                             " kann nicht geöffnet werden\n");

  orvane::rtl::WriteFileAtomically(Path("broken.emf"), {1, 2, 3, 4, 5});
  Result broken = Run(Path("broken.emf") + " " + Path("b.png"));
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.err, "orvane-render: " + Path("broken.emf") + ": Metadatei ist ungültig\n");

  std::vector<uint8_t> cut = orvane::rtl::ReadWholeFile(picturePath);
  cut.resize(cut.size() - 4);
  orvane::rtl::WriteFileAtomically(Path("cut.emf"), cut);
  Result shortRead = Run(Path("cut.emf") + " " + Path("h.png"));
  EXPECT_EQ(shortRead.status, 1);
  EXPECT_EQ(shortRead.err, "orvane-render: " + Path("cut.emf") + ": Stream-Lesefehler\n");

  Result badSize = Run("--size 10y10 " + picturePath + " " + Path("c.png"));
  EXPECT_EQ(badSize.status, 2);
  EXPECT_EQ(badSize.err, "orvane-render: bad size '10y10': expected WxH, one of them may be 0\n"
                         "Try 'orvane-render --help'.\n");

  EXPECT_EQ(Run(picturePath + " " + Path("d.jpg")).status, 2);
  EXPECT_EQ(Run(Path("picture.xyz") + " " + Path("e.png")).status, 1);  // read first, then known by content
  EXPECT_EQ(Run("--aliased " + picturePath + " " + Path("f.png")).status, 2);

  Result huge = Run("--size 100000x100000 --quality very-high " + picturePath + " " + Path("g.png"));
  EXPECT_EQ(huge.status, 2);
  EXPECT_EQ(huge.err, "orvane-render: --size 100000x100000 is above the limit of 16384x16384\n"
                      "Try 'orvane-render --help'.\n");

  for (const char* name : {"a.png", "b.png", "c.png", "d.jpg", "e.png", "f.png", "g.png", "h.png"})
    EXPECT_FALSE(fs::exists(Path(name))) << name;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);  // the three inputs
}

// Outside a German locale the runtime's texts come out in English.
TEST_F(RenderToolTest, MessagesAreEnglishOutsideAGermanLocale) {
  orvane::rtl::WriteFileAtomically(Path("broken.emf"), {1, 2, 3, 4, 5});
  std::vector<uint8_t> cut = orvane::rtl::ReadWholeFile(picturePath);
  cut.resize(cut.size() - 4);
  orvane::rtl::WriteFileAtomically(Path("cut.emf"), cut);
  const struct {
    std::string input, english;
  } cases[] = {
      {Path("nothing.emf"), "cannot open file " + Path("nothing.emf")},
      {Path("broken.emf"), "not a valid metafile"},
      {Path("cut.emf"), "the file is cut short (stream read error)"},
  };
  for (const auto& c : cases)
    for (const char* locale : {"C.UTF-8", "en_GB.UTF-8"}) {
      const Result r = Run(c.input + " " + Path("out.png"), locale);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, "orvane-render: " + c.input + ": " + c.english + "\n") << locale;
    }
  EXPECT_FALSE(fs::exists(Path("out.png")));
}

// A picture whose drawing is all EMF+ would come out blank: refused, in one
// line naming the file, with nothing written. --verbose counts EMF+ records.
TEST_F(RenderToolTest, PicturesOfOnlyEmfPlusAreRefused) {
  const auto picture = [&](bool dual) {
    orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(20, 20, {1000, 1000}, {100, 100}));
    // "EMF+", then an EMF+ header record (type 0x4001, flags: dual or not, 28 bytes).
    std::vector<uint8_t> comment = {'E', 'M', 'F', '+', 0x01, 0x40, uint8_t(dual), 0, 28, 0, 0, 0, 16, 0, 0, 0};
    comment.resize(comment.size() + 16, 0);
    w.GdiComment(comment);
    w.Rectangle({2, 2, 18, 18});
    return w.Finish();
  };
  orvane::rtl::WriteFileAtomically(Path("plus.emf"), picture(false));
  orvane::rtl::WriteFileAtomically(Path("dual.emf"), picture(true));
  const Result plus = Run(Path("plus.emf") + " " + Path("plus.png"), "C.UTF-8");
  EXPECT_EQ(plus.status, 1);
  EXPECT_EQ(plus.err, "orvane-render: " + Path("plus.emf") + ": the picture holds only EMF+ records, which are not drawn\n");
  EXPECT_FALSE(fs::exists(Path("plus.png")));
  const Result dual = Run("--verbose " + Path("dual.emf") + " " + Path("dual.png"), "C.UTF-8");
  EXPECT_EQ(dual.status, 0);
  EXPECT_NE(dual.err.find("records not drawn: none, EMF+ records: 1\n"), std::string::npos) << dual.err;
}

TEST_F(RenderToolTest, AliasedDrawingHasNoIntermediateColours) {
  ASSERT_EQ(Run("--aliased --background \"#FFFFFF\" --size 80x60 " + picturePath + " " + Path("j.png")).status, 0);
  orvane::PngImage png;
  ASSERT_TRUE(orvane::ReadPngFile(Path("j.png"), png));
  for (size_t i = 0; i < png.pixels.size(); i += 3) {
    const uint32_t c = png.pixels[i] | png.pixels[i + 1] << 8 | png.pixels[i + 2] << 16;
    ASSERT_TRUE(c == 0xFFFFFF || c == 200 || c == 0xFA0000) << std::hex << c;
  }
  EXPECT_EQ(Run("--help").status, 0);
}

TEST_F(RenderToolTest, VersionIsTheLibrarysVersion) {
  const Result r = Run("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "orvane-render " ORVANE_VERSION_STRING "\n");
}

TEST_F(RenderToolTest, LargePicturesAreScaledDownToFitAndSaySo) {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(4000, 1000, {1000, 1000}, {100, 100}));
  w.Rectangle(orvane::emf::RectL{0, 0, 4000, 1000});
  orvane::rtl::WriteFileAtomically(Path("wide.emf"), w.Finish());
  const Result r = Run("--quality 1 " + Path("wide.emf") + " " + Path("wide.png"));
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("4000x1000"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("2048x512"), std::string::npos) << r.err;
  orvane::PngImage png;
  ASSERT_TRUE(orvane::ReadPngFile(Path("wide.png"), png));
  EXPECT_EQ(png.width, 2048);
  EXPECT_EQ(png.height, 512);
}
