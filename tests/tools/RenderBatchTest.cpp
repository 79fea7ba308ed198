// orvane-render on many files, on files known only by their content, on
// standard input and output, with sizes from the picture, and as a
// file manager's thumbnailer.

#include "RenderToolFixture.h"

#include <orvane/OrvaneBitmap.h>
#include <orvane/Png.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/rtl/FileStream.h>

namespace fs = std::filesystem;

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Put32(std::vector<uint8_t>& b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

// A placeable WMF of 96 x 72 units at 96 an inch holding one black rectangle.
std::vector<uint8_t> PlaceableWmf() {
  std::vector<uint8_t> b;
  Put32(b, 0x9AC6CDD7);
  for (uint32_t v : {0u, 0u, 0u, 96u, 72u, 96u}) Put16(b, v);
  Put32(b, 0);
  uint16_t checksum = 0;
  for (size_t i = 0; i < 20; i += 2) checksum ^= uint16_t(b[i] | b[i + 1] << 8);
  Put16(b, checksum);
  const std::vector<uint16_t> records = {7, 0, 0x041B, 60, 80, 10, 10,  // Rectangle(10, 10, 80, 60)
                                         3, 0, 0};                      // end of file
  Put16(b, 1), Put16(b, 9), Put16(b, 0x0300), Put32(b, uint32_t(9 + records.size())), Put16(b, 0), Put32(b, 7),
      Put16(b, 0);
  for (uint16_t w : records) Put16(b, w);
  return b;
}

orvane::PngImage ReadPng(const std::string& path) {
  orvane::PngImage png;
  EXPECT_TRUE(orvane::ReadPngFile(path, png)) << path;
  return png;
}

class RenderBatchTest : public RenderToolFixture {
 protected:
  void Write(const std::string& name, const std::vector<uint8_t>& content) {
    orvane::rtl::WriteFileAtomically(Path(name), content);
  }
  std::string Quote(const std::string& name) { return "'" + Path(name) + "'"; }
};

}  // namespace

TEST_F(RenderBatchTest, ContentDecidesWhatAPictureIsWhateverItsName) {
  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(30, 20);
  const auto icon = orvane::rtl::ReadWholeFile(ORVANE_SOURCE_DIR "/tests/backend/BlueIcon.ico");
  orvane::vcl::TIcon iconGraphic;
  iconGraphic.LoadFromBytes(icon.data(), icon.size());
  const struct {
    const char* name;
    std::vector<uint8_t> content;
    int32_t width, height;
  } cases[] = {{"emf", bytes, 40, 30},
               {"emf.dat", bytes, 40, 30},
               {"emf-named.bmp", bytes, 40, 30},
               {"wmf", PlaceableWmf(), 96, 72},
               {"wmf.emf", PlaceableWmf(), 96, 72},
               {"bmp", bitmap.SaveToBytes(), 30, 20},
               {"bmp.ico", bitmap.SaveToBytes(), 30, 20},
               {"ico", icon, iconGraphic.Width(), iconGraphic.Height()},
               {"ico.txt", icon, iconGraphic.Width(), iconGraphic.Height()}};
  for (const auto& c : cases) {
    Write(c.name, c.content);
    const RenderResult r = Run(Quote(c.name) + " " + Quote("out.png"));
    ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
    const orvane::PngImage png = ReadPng(Path("out.png"));
    EXPECT_EQ(png.width, c.width) << c.name;
    EXPECT_EQ(png.height, c.height) << c.name;
  }
  // A sprite file has no signature: without its extension it is not known.
  orvane::TOrvaneBitmap sprite;
  sprite.Render(&picture, 4, 3, orvane::opqLow);
  ASSERT_EQ(Run("--size 4x3 " + picturePath + " " + Quote("s.obm")).status, 0);
  fs::rename(Path("s.obm"), Path("sprite"));
  EXPECT_EQ(Run(Quote("sprite") + " " + Quote("x.png")).err,
            "orvane-render: " + Path("sprite") + ": Unbekannte Bilddateierweiterung (.)\n");
}

TEST_F(RenderBatchTest, StandardInputAndOutputCarryTheSameFilesAsNames) {
  ASSERT_EQ(Run("--fit 20x20 " + picturePath + " " + Quote("file.png")).status, 0);
  const RenderResult png = Run("--fit 20x20 - - < " + picturePath);
  ASSERT_EQ(png.status, 0) << png.err;
  EXPECT_EQ(png.out, Slurp(Path("file.png")));

  ASSERT_EQ(Run("--fit 20x20 " + picturePath + " " + Quote("file.obm")).status, 0);
  const RenderResult sprite = Run("--fit 20x20 --format obm - - < " + picturePath);
  ASSERT_EQ(sprite.status, 0) << sprite.err;
  EXPECT_EQ(sprite.out, Slurp(Path("file.obm")));
}

TEST_F(RenderBatchTest, SizesComeFromTheBoxOrTheResolution) {
  const struct {
    const char* options;
    int32_t width, height;
  } cases[] = {{"--fit 512x512", 512, 384},
               {"--fit 90x300", 90, 68},   // 67.5 to the even 68
               {"--dpi 254", 40, 30},      // the frame is 4 x 3 mm
               {"--dpi 127", 20, 15},
               {"--size 0x45", 60, 45}};
  for (const auto& c : cases) {
    ASSERT_EQ(Run(std::string(c.options) + " " + picturePath + " " + Quote("sized.png")).status, 0) << c.options;
    const orvane::PngImage png = ReadPng(Path("sized.png"));
    EXPECT_EQ(png.width, c.width) << c.options;
    EXPECT_EQ(png.height, c.height) << c.options;
  }
}

TEST_F(RenderBatchTest, EveryFailureNamesItsFileAndLeavesNothing) {
  orvane::emf::HeaderInfo flat = orvane::emf::HeaderForPixels(40, 30, {1000, 1000}, {100, 100});
  flat.deviceMillimeters = {0, 0};
  Write("flat.emf", orvane::emf::EmfWriter(flat).Finish());
  const struct {
    std::string arguments;
    int status;
    std::string err;
  } cases[] = {
      {picturePath + " " + Quote("missing/out.png"), 1, "orvane-render: " + Path("missing/out.png") + ": Ungültiger Dateiname\n"},
      {Quote("flat.emf") + " " + Quote("flat.png"), 1, "orvane-render: " + Path("flat.emf") + ": Metadatei ist ungültig\n"},
      {"--dpi 2540000 " + picturePath + " " + Quote("big.png"), 1,
       "orvane-render: " + picturePath + ": the size to draw, 400000x300000, is above the limit of 16384x16384\n"},
      {"--output-dir " + Quote("missing") + " " + picturePath, 1, "orvane-render: " + Path("missing") + ": Ungültiger Dateiname\n"},
      {"--output-dir " + Quote("") + " " + picturePath + " " + Quote("other/picture.wmf"), 2,
       "orvane-render: " + Path("other/picture.wmf") + " and " + picturePath + " would both be written to " +
           Path("picture.png") + "\nTry 'orvane-render --help'.\n"},
      {"--fit 20000x10 " + picturePath + " " + Quote("wide.png"), 2,
       "orvane-render: --fit 20000x10 is above the limit of 16384x16384\nTry 'orvane-render --help'.\n"},
  };
  for (const auto& c : cases) {
    const RenderResult r = Run(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.arguments;
    EXPECT_EQ(r.err, c.err) << c.arguments;
  }
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"flat.emf", "picture.emf"}));
}

TEST_F(RenderBatchTest, ABatchGoesOnPastAFailureAndSumsUp) {
  Write("broken.emf", {1, 2, 3, 4, 5});
  Write("plan", PlaceableWmf());
  fs::create_directories(dir / "out");
  const RenderResult r =
      Run("--fit 32x32 -j 2 --output-dir " + Quote("out") + " " + picturePath + " " + Quote("broken.emf") + " " + Quote("plan"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Names(dir / "out"), (std::vector<std::string>{"picture.png", "plan.png"}));
  EXPECT_NE(r.err.find("orvane-render: " + Path("broken.emf") + ": Metadatei ist ungültig\n"), std::string::npos) << r.err;
  // Standard error is a file here: no progress line, only the summary after the failure.
  EXPECT_EQ(r.err.find('\r'), std::string::npos);
  EXPECT_NE(r.err.find("\norvane-render: 2 written, 1 failed, "), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2);
}

TEST_F(RenderBatchTest, OnATerminalTheProgressLineIsRedrawnInPlace) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1) to give a terminal";
  Write("second.emf", bytes);
  // script(1) runs the tool on a pseudo-terminal and copies what it shows.
  const std::string shown = Path("shown.txt");
  const std::string command = "script -qec \"" + std::string(ORVANE_RENDER_PATH) + " -j 1 --output-dir " + Quote("") +
                              " " + Quote("picture.emf") + " " + Quote("second.emf") + "\" /dev/null > " + shown;
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string text = Slurp(shown);
  EXPECT_NE(text.find("\r\033[Korvane-render: 1 of 2 done, 0 failed, "), std::string::npos) << text;
  EXPECT_NE(text.find("\r\033[Korvane-render: 2 written, 0 failed, "), std::string::npos) << text;
}

TEST_F(RenderBatchTest, OneJobAndFourJobsWriteTheSameFiles) {
  std::string inputs;
  for (int i = 0; i < 6; ++i) {
    orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(30 + 7 * i, 50 - 5 * i, {1000, 1000}, {100, 100}));
    w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(40 * i, 90, 200)));
    w.Ellipse(orvane::emf::RectL{i, 2, 25 + 2 * i, 30 - i});
    Write("p" + std::to_string(i) + ".emf", w.Finish());
    inputs += " " + Quote("p" + std::to_string(i) + ".emf");
  }
  fs::create_directories(dir / "one");
  fs::create_directories(dir / "four");
  ASSERT_EQ(Run("--fit 64x64 -j 1 --output-dir " + Quote("one") + inputs).status, 0);
  ASSERT_EQ(Run("--fit 64x64 --jobs 4 --output-dir " + Quote("four") + inputs).status, 0);
  ASSERT_EQ(Names(dir / "one").size(), 6u);
  ASSERT_EQ(Names(dir / "one"), Names(dir / "four"));
  for (const std::string& name : Names(dir / "one"))
    EXPECT_EQ(Slurp((dir / "one" / name).string()), Slurp((dir / "four" / name).string())) << name;
}

TEST_F(RenderBatchTest, TheThumbnailerLineMakesAThumbnailOfTheAskedSize) {
  std::ifstream entry(ORVANE_SOURCE_DIR "/tools/render/orvane-picture.thumbnailer");
  std::string exec, mimeTypes;
  for (std::string line; std::getline(entry, line);) {
    if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
    if (line.rfind("MimeType=", 0) == 0) mimeTypes = line.substr(9);
  }
  EXPECT_EQ(mimeTypes, "image/emf;image/x-emf;image/wmf;image/x-wmf;image/x-win-metafile;image/x-emf-compressed;"
                       "image/x-wmf-compressed;");
  ASSERT_EQ(exec.rfind("orvane-render ", 0), 0u) << exec;
  // As a file manager does: its own names for input and output, no extensions.
  Write("drawing", PlaceableWmf());
  std::string args = exec.substr(std::string("orvane-render ").size());
  const auto substitute = [&args](const std::string& code, const std::string& value) {
    for (auto at = args.find(code); at != std::string::npos; at = args.find(code, at + value.size()))
      args.replace(at, code.size(), value);
  };
  substitute("%s", "128");
  substitute("%i", Quote("drawing"));
  substitute("%o", Quote("thumbnail"));
  ASSERT_EQ(Run(args).status, 0) << args;
  const orvane::PngImage png = ReadPng(Path("thumbnail"));
  EXPECT_EQ(std::max(png.width, png.height), 128);
  EXPECT_EQ(png.height, 96);
}

TEST_F(RenderBatchTest, VerboseTellsTheSizesTheQualityAndTheRecordsNotDrawn) {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(40, 30, {1000, 1000}, {100, 100}));
  w.Rectangle(orvane::emf::RectL{1, 1, 20, 20});
  w.Record(0x7FFF, {});
  w.Record(107, {1, 2, 3, 4});  // a type the format leaves unused
  w.Record(0x7FFF, {});
  w.Record(orvane::emf::EMR_EXTFLOODFILL, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  Write("unknown.emf", w.Finish());
  const struct {
    std::string arguments;
    std::string err;
  } cases[] = {
      {"--verbose --quality med --size 80x0 " + Quote("unknown.emf") + " " + Quote("u.png"),
       "orvane-render: " + Path("unknown.emf") +
           ": natural size 40x30, drawn at 80x60, quality med, records not drawn: EMR_EXTFLOODFILL x1, record type 107 x1, record type 32767 x2\n"},
      {"--verbose --aliased --background '#FFFFFF' " + picturePath + " " + Quote("p.png"),
       "orvane-render: " + picturePath + ": natural size 40x30, drawn at 40x30, quality high (aliased), records not drawn: none\n"},
  };
  for (const auto& c : cases) {
    const RenderResult r = Run(c.arguments);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, c.err);
  }
}
