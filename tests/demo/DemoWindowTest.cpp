// The demo's main window, built headless exactly as the program builds it,
// painted in folders with and without the sample files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "OrvanePictureUnit1.h"
#include <orvane/forms/LastChance.h>
#include <orvane/forms/Resources.h>
#include "pictures/PathData.h"
#include <orvane/rtl/Exceptions.h>
#include "snapshot/DemoSnapshot.h"

namespace fs = std::filesystem;
using orvanetools::DemoSnapshot;

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
const fs::path kSource = ORVANE_SOURCE_DIR;

// Colour values of every shape of an authored picture.
std::set<int32_t> PaletteOf(const std::string& paths) {
  std::ifstream in(kSource / "tools" / "pictures" / paths);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::set<int32_t> palette;
  for (const auto& shape : orvanetools::ParsePathData(text).shapes) palette.insert(static_cast<int32_t>(shape.rgb));
  return palette;
}

class DemoWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = fs::current_path();
    dir = fs::temp_directory_path() / ("orvane-demo-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
  void CopyData(std::initializer_list<const char*> names) {
    for (const char* name : names) fs::copy_file(kSource / "demo" / "data" / name, dir / name);
  }
  void CopyAllData() { CopyData({"Socer.EMF", "Socer.OBM", "Bicycl.EMF", "Hockey2.EMF"}); }

  // Counts the pixels of a rectangle (inclusive ranges) that are not white / not in a palette.
  static int CountNonWhite(DemoSnapshot& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += s.Pixel(x, y) != kWhite;
    return n;
  }
  static int CountOutside(DemoSnapshot& s, int x0, int y0, int x1, int y1, const std::set<int32_t>& palette) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const int32_t c = s.Pixel(x, y);
        n += c != kWhite && !palette.count(c);
      }
    return n;
  }

  fs::path previous, dir;
};

}  // namespace

TEST_F(DemoWindowTest, WindowAndControlsAsTheDefinitionSays) {
  CopyAllData();
  DemoSnapshot s;
  s.Paint();
  ASSERT_NE(Form1, nullptr);
  EXPECT_EQ(Form1->Caption(), "Form1");
  EXPECT_EQ(Form1->ClientWidth(), 600);
  EXPECT_EQ(Form1->ClientHeight(), 402);
  EXPECT_EQ(Form1->Color(), orvane::vcl::clWhite);
  EXPECT_EQ(Form1->Image1->Left(), 496);
  EXPECT_EQ(Form1->Image1->Width(), 94);
  EXPECT_EQ(Form1->OrvaneImage1->Left(), 184);
  EXPECT_EQ(Form1->OrvaneImage1->Height(), 120);
  EXPECT_EQ(Form1->OrvaneImage1->Quality(), orvane::opqMed);
  EXPECT_TRUE(Form1->OrvaneImage1->Stretch());
  EXPECT_EQ(Form1->Image1->Picture().Width(), 224);
  EXPECT_EQ(Form1->Image1->Picture().Height(), 287);
  EXPECT_EQ(Form1->OrvaneImage1->Picture().Width(), 224);
  EXPECT_EQ(Form1->OrvaneImage1->Picture().Height(), 287);
  // Label1 sizes itself to its text; Label2 keeps its box; Label3 spans the client width.
  EXPECT_EQ(Form1->Label1->Width(), Form1->Label1->Canvas().TextWidth("TImage, TCanvas.StretchDraw"));
  EXPECT_EQ(Form1->Label2->Width(), 287);
  EXPECT_EQ(Form1->Label2->Height(), 41);
  EXPECT_EQ(Form1->Label3->Left(), 0);
  EXPECT_EQ(Form1->Label3->Width(), 600);
  s.Backend().ResizeWindow(Form1->Window()->Id(), 700, 402);
  s.Paint();
  EXPECT_EQ(Form1->Label3->Width(), 700);
  EXPECT_EQ(Form1->Image1->Left(), 496);
  EXPECT_TRUE(s.MessageBoxes().empty());
}

TEST_F(DemoWindowTest, TheFilteredImageIsSmoothAndTheStockOneIsNot) {
  CopyAllData();
  DemoSnapshot s;
  s.Paint();
  const auto palette = PaletteOf("embedded.paths");
  // Right: the stock control draws only the picture's colours over white.
  EXPECT_EQ(CountOutside(s, 496, 272, 589, 391, palette), 0);
  EXPECT_GT(CountNonWhite(s, 496, 272, 589, 391), 1000);
  // Left: the filtered control has intermediate colours along its edges.
  EXPECT_GT(CountOutside(s, 184, 272, 277, 391, palette), 300);
}

TEST_F(DemoWindowTest, TheTenDrawingsLandInTheirRanges) {
  CopyAllData();
  DemoSnapshot s;
  s.Paint();
  ASSERT_TRUE(s.MessageBoxes().empty());
  std::set<int32_t> palette;
  for (const char* p : {"Socer.paths", "Bicycl.paths", "Hockey2.paths"}) {
    const auto more = PaletteOf(p);
    palette.insert(more.begin(), more.end());
  }
  // Right half: plain drawings, only the pictures' own colours.
  EXPECT_EQ(CountOutside(s, 328, 112, 569, 241, palette), 0);
  EXPECT_EQ(CountOutside(s, 328, 275, 457, 374, palette), 0);
  EXPECT_GT(CountNonWhite(s, 328, 112, 432, 230), 2000);  // football
  EXPECT_GT(CountNonWhite(s, 460, 132, 469, 191), 20);    // small bicycle where the large one is not
  EXPECT_GT(CountNonWhite(s, 408, 300, 457, 349), 200);   // small hockey
  // Left half: filtered drawings with intermediate colours in every one.
  EXPECT_GT(CountOutside(s, 8, 112, 112, 230, palette), 200);    // sprite from the file
  EXPECT_GT(CountOutside(s, 140, 132, 149, 191, palette), 5);    // small bicycle sprite, left of the large one
  EXPECT_GT(CountOutside(s, 150, 122, 249, 241, palette), 200);  // large bicycle sprite
  EXPECT_GT(CountOutside(s, 111, 300, 140, 350, palette), 5);    // small hockey, right of the large one
  EXPECT_GT(CountOutside(s, 10, 275, 110, 375, palette), 200);   // large hockey
  // Nothing beyond the ranges: the small hockey twin ends at column 457 and row 349,
  // the filtered small hockey at column 140 and row 350.
  EXPECT_EQ(CountNonWhite(s, 458, 300, 470, 349), 0);
  EXPECT_EQ(CountNonWhite(s, 428, 350, 457, 360), 0);
  EXPECT_EQ(CountNonWhite(s, 141, 300, 150, 350), 0);
  EXPECT_EQ(CountNonWhite(s, 111, 351, 140, 370), 0);
}

TEST_F(DemoWindowTest, RepaintingPartOfTheWindowGivesTheSamePixels) {
  CopyAllData();
  DemoSnapshot s;
  s.Paint();
  const auto before = s.ClientArea();
  s.Repaint(orvane::vcl::Rect(100, 150, 400, 320));
  EXPECT_EQ(s.ClientArea().pixels, before.pixels);
  EXPECT_TRUE(s.MessageBoxes().empty());
}

TEST_F(DemoWindowTest, FromAnotherFolderEveryPaintFailsAtTheFirstFile) {
  DemoSnapshot s;
  s.Paint();
  ASSERT_EQ(s.MessageBoxes().size(), 1u);
  EXPECT_EQ(s.MessageBoxes()[0].text, "Datei Socer.EMF kann nicht geöffnet werden.");
  EXPECT_EQ(s.MessageBoxes()[0].caption, s.Application().Title());
  EXPECT_EQ(s.MessageBoxes()[0].icon, orvane::backend::MessageIcon::Error);
  // Nothing drawn, not even the controls: the whole window is white.
  EXPECT_EQ(CountNonWhite(s, 0, 0, 599, 401), 0);
  // The next paint tries again, and nothing is left behind by the failures.
  for (int i = 0; i < 20; ++i) s.Repaint(orvane::vcl::Rect(0, 0, 600, 402));
  EXPECT_EQ(s.MessageBoxes().size(), 21u);
}

TEST_F(DemoWindowTest, MissingSpriteFileSaysSoWithoutAName) {
  CopyData({"Socer.EMF", "Bicycl.EMF", "Hockey2.EMF"});
  DemoSnapshot s;
  s.Paint();
  ASSERT_EQ(s.MessageBoxes().size(), 1u);
  EXPECT_EQ(s.MessageBoxes()[0].text, "Datei nicht gefunden.");
  EXPECT_EQ(CountNonWhite(s, 0, 0, 599, 401), 0);
}

TEST_F(DemoWindowTest, MissingHockeyPictureStopsAfterTheBicycles) {
  CopyData({"Socer.EMF", "Socer.OBM", "Bicycl.EMF"});
  DemoSnapshot s;
  s.Paint();
  ASSERT_EQ(s.MessageBoxes().size(), 1u);
  EXPECT_EQ(s.MessageBoxes()[0].text, "Datei Hockey2.EMF kann nicht geöffnet werden.");
  EXPECT_GT(CountNonWhite(s, 8, 112, 112, 230), 2000);
  EXPECT_GT(CountNonWhite(s, 470, 122, 569, 241), 500);
  EXPECT_EQ(CountNonWhite(s, 10, 275, 140, 375), 0);
  EXPECT_EQ(CountNonWhite(s, 328, 275, 457, 374), 0);
  EXPECT_EQ(CountNonWhite(s, 0, 0, 599, 40), 0);  // the controls stay unpainted
}

TEST_F(DemoWindowTest, BrokenPictureFileIsReported) {
  CopyData({"Socer.OBM", "Bicycl.EMF", "Hockey2.EMF"});
  std::ofstream(dir / "Socer.EMF") << "not a metafile at all, but long enough to be looked at closely";
  DemoSnapshot s;
  s.Paint();
  ASSERT_EQ(s.MessageBoxes().size(), 1u);
  EXPECT_EQ(s.MessageBoxes()[0].text, "Metadatei ist ungültig.");
}

TEST_F(DemoWindowTest, TruncatedPictureFileIsReportedAsAShortRead) {
  CopyData({"Socer.EMF", "Socer.OBM", "Bicycl.EMF", "Hockey2.EMF"});
  // Step 8's picture ends halfway through the bytes its header counts.
  fs::resize_file(dir / "Bicycl.EMF", fs::file_size(dir / "Bicycl.EMF") / 2);
  DemoSnapshot s;
  s.Paint();
  ASSERT_EQ(s.MessageBoxes().size(), 1u);
  EXPECT_EQ(s.MessageBoxes()[0].text, "Stream-Lesefehler.");
  EXPECT_GT(CountNonWhite(s, 8, 112, 112, 230), 2000);  // the pair of steps 5 and 6
  EXPECT_EQ(CountNonWhite(s, 460, 122, 569, 241), 0);   // no bicycle twin
}

TEST_F(DemoWindowTest, TitleComesFromTheExecutableName) {
  EXPECT_EQ(orvane::vcl::TApplication::TitleFromExeName("/usr/local/bin/DemoOrvanePicture"), "Demoorvanepicture");
  EXPECT_EQ(orvane::vcl::TApplication::TitleFromExeName("/opt/x.y/DemoOrvanePicture.exe"), "Demoorvanepicture");
}

TEST_F(DemoWindowTest, MissingFormDefinitionEndsThroughTheLastChanceHandler) {
  RegisterOrvanePictureUnit1();
  const orvane::vcl::Resource* definition = orvane::vcl::FindResource("TFORM1", orvane::vcl::ResourceKind::FormDefinition);
  ASSERT_NE(definition, nullptr);
  // Registered resources must outlive the registration: keep the copy for the program's life.
  static const std::vector<uint8_t> saved(definition->data, definition->data + definition->size);
  orvane::vcl::UnregisterResource("TFORM1", orvane::vcl::ResourceKind::FormDefinition);
  orvane::backend::HeadlessBackend backend;
  int exitCode = 0;
  {
    orvane::vcl::TApplication application(backend);
    try {
      application.CreateForm(Form1);
    } catch (...) {
      exitCode = orvane::vcl::HandleLastChance(std::current_exception(), backend);
    }
    EXPECT_EQ(Form1, nullptr);
  }
  orvane::vcl::RegisterResource("TFORM1", orvane::vcl::ResourceKind::FormDefinition, saved.data(), saved.size());
  EXPECT_EQ(exitCode, 1);
  ASSERT_EQ(backend.MessageBoxes().size(), 1u);
  EXPECT_EQ(backend.MessageBoxes()[0].caption, "Anwendungsfehler");
  EXPECT_EQ(backend.MessageBoxes()[0].text.rfind("Exception EResNotFound in Modul ", 0), 0u);
  EXPECT_NE(backend.MessageBoxes()[0].text.find("\nRessource TForm1 wurde nicht gefunden."), std::string::npos);
}
