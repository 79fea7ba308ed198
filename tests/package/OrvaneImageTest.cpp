// The image control: its defaults, where it puts the picture, which setters
// repaint (and resize), the loading order of a form definition, and what its
// paint draws for a metafile and for a bitmap.

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "../forms/FormsTestHelpers.h"
#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneImage.h>
#include "emf/EmfWriter.h"
#include <orvane/forms/FormReader.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>

using namespace formstest;
using namespace orvane;
using orvane::vcl::TColor;

namespace {

constexpr TColor kGrey = 0x808080, kRed = 0x0000FF, kBlue = 0xFF0000, kBlack = 0;

// Records its invalidations and bounds changes in one log, and paints into a bitmap on request.
class TCountingImage : public TOrvaneImage {
 public:
  explicit TCountingImage(orvane::vcl::TComponent* owner) : TOrvaneImage(owner) {}
  const char* ClassName() const override { return "TCountingImage"; }

  std::vector<std::string> log;
  int Invalidations() const { return static_cast<int>(std::count(log.begin(), log.end(), "invalidate")); }

  void Invalidate() override {
    log.push_back("invalidate");
    TOrvaneImage::Invalidate();
  }
  void SetBounds(int32_t l, int32_t t, int32_t w, int32_t h) override {
    log.push_back("bounds " + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(w) + "," +
                  std::to_string(h));
    TOrvaneImage::SetBounds(l, t, w, h);
  }
  // Paints the control into a bitmap of its own size (which clips like the form does).
  void PaintInto(orvane::vcl::TBitmap& bitmap) { PaintTo(bitmap.Canvas().Handle()); }
};

void RegisterClasses() {
  RegisterOrvaneImage();
  RegisterOrvaneImage();  // a second call changes nothing
  static bool done = false;
  if (done) return;
  done = true;
  orvane::vcl::ClassRegistry::Instance().Register<TCountingImage>("TCountingImage", "TOrvaneImage");
}

std::unique_ptr<orvane::vcl::TBitmap> Filled(int32_t w, int32_t h, TColor color) {
  auto bitmap = std::make_unique<orvane::vcl::TBitmap>();
  bitmap->SetSize(w, h);
  bitmap->Canvas().Brush().SetColor(color);
  bitmap->Canvas().Brush().SetStyle(orvane::vcl::bsSolid);
  bitmap->Canvas().FillRect(orvane::vcl::Rect(0, 0, w, h));
  return bitmap;
}

// A picture with slanted edges, so that every supersampling factor shades them differently.
std::unique_ptr<orvane::vcl::TMetafile> Triangle(int32_t w, int32_t h) {
  orvane::emf::EmfWriter writer(orvane::emf::HeaderForPixels(w, h, {1000, 1000}, {100, 100}));
  writer.SelectObject(writer.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(200, 0, 0)));
  writer.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  writer.Polygon({{0, 0}, {w, 0}, {0, h * 3 / 4}});
  const std::vector<uint8_t> bytes = writer.Finish();
  auto metafile = std::make_unique<orvane::vcl::TMetafile>();
  metafile->LoadFromBytes(bytes.data(), bytes.size());
  return metafile;
}

std::vector<TColor> Pixels(orvane::vcl::TBitmap& bitmap) {
  std::vector<TColor> out;
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    for (int32_t x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.Canvas().Pixel(x, y));
  return out;
}

class OrvaneImageTest : public FormsTest {
 protected:
  OrvaneImageTest() { RegisterClasses(); }
  TCountingImage image{nullptr};
};

}  // namespace

TEST_F(OrvaneImageTest, NewControlDefaults) {
  EXPECT_EQ(image.Width(), 105);
  EXPECT_EQ(image.Height(), 105);
  EXPECT_EQ(image.Quality(), opqMed);
  EXPECT_FALSE(image.AutoSize());
  EXPECT_FALSE(image.Center());
  EXPECT_FALSE(image.Stretch());
  EXPECT_EQ(image.Picture().Graphic(), nullptr);
  EXPECT_EQ(image.PictureRect(), orvane::vcl::Rect(0, 0, 0, 0));
  EXPECT_STREQ(image.ClassName(), "TCountingImage");
}

TEST_F(OrvaneImageTest, EmptyPictureDrawsNothingAtRunTimeAndOnlyTheOutlineWhileDesigned) {
  auto run = Filled(105, 105, kGrey);
  image.PaintInto(*run);
  for (TColor c : Pixels(*run)) ASSERT_EQ(c, kGrey);

  image.SetDesigning(true);
  auto designedBitmap = Filled(105, 105, kGrey);
  orvane::vcl::TBitmap& designed = *designedBitmap;
  image.PaintInto(designed);
  EXPECT_EQ(image.Canvas().Pen().Style(), orvane::vcl::psDash);
  EXPECT_EQ(image.Canvas().Brush().Style(), orvane::vcl::bsClear);
  int black = 0, other = 0;
  for (int32_t y = 0; y < 105; ++y)
    for (int32_t x = 0; x < 105; ++x) {
      const TColor c = designed.Canvas().Pixel(x, y);
      const bool edge = x == 0 || y == 0 || x == 104 || y == 104;
      if (!edge) {
        ASSERT_EQ(c, kGrey) << x << "," << y;  // hollow: the inside keeps its colour
      } else {
        (c == kBlack ? black : other)++;
      }
    }
  // A dashed outline: the pen's ink on each side, with gaps between the dashes.
  EXPECT_EQ(designed.Canvas().Pixel(0, 0), kBlack);
  EXPECT_GT(black, 100);
  EXPECT_GT(other, 20);
  bool sides[4] = {};
  for (int32_t i = 0; i < 105; ++i) {
    sides[0] |= designed.Canvas().Pixel(i, 0) == kBlack;
    sides[1] |= designed.Canvas().Pixel(i, 104) == kBlack;
    sides[2] |= designed.Canvas().Pixel(0, i) == kBlack;
    sides[3] |= designed.Canvas().Pixel(104, i) == kBlack;
  }
  EXPECT_TRUE(sides[0] && sides[1] && sides[2] && sides[3]);
}

TEST_F(OrvaneImageTest, PictureRectStretchCentreAndNeither) {
  orvane::vcl::TBitmap picture;
  picture.SetSize(224, 287);
  image.SetPicture(&picture);
  image.SetBounds(3, 4, 94, 120);
  EXPECT_EQ(image.PictureRect(), orvane::vcl::Rect(0, 0, 224, 287));
  image.SetCenter(true);
  // (94 - 224) / 2 = -65 and (120 - 287) / 2 = -83.5, truncated toward zero.
  EXPECT_EQ(image.PictureRect(), orvane::vcl::Rect(-65, -83, 159, 204));
  image.SetWidth(95);  // -64.5 -> -64
  EXPECT_EQ(image.PictureRect(), orvane::vcl::Rect(-64, -83, 160, 204));
  image.SetBounds(0, 0, 231, 300);  // a smaller picture: (7 / 2, 13 / 2)
  EXPECT_EQ(image.PictureRect(), orvane::vcl::Rect(3, 6, 227, 293));
  image.SetStretch(true);  // Center is not looked at
  EXPECT_EQ(image.PictureRect(), orvane::vcl::Rect(0, 0, 231, 300));
  image.SetCenter(false);
  EXPECT_EQ(image.PictureRect(), orvane::vcl::Rect(0, 0, 231, 300));
}

TEST_F(OrvaneImageTest, CenterStretchAndQualityCompareFirst) {
  image.SetCenter(false);
  image.SetStretch(false);
  image.SetQuality(opqMed);
  EXPECT_TRUE(image.log.empty());

  image.SetCenter(true);
  image.SetStretch(true);
  image.SetQuality(opqHigh);
  EXPECT_EQ(image.Invalidations(), 3);
  EXPECT_TRUE(image.Center() && image.Stretch());
  EXPECT_EQ(image.Quality(), opqHigh);
  image.SetCenter(true);
  image.SetStretch(true);
  image.SetQuality(opqHigh);
  EXPECT_EQ(image.Invalidations(), 3);
  image.SetQuality(static_cast<TOrvanePictureQuality>(9));  // passed on unchanged
  EXPECT_EQ(image.Quality(), 9);
  EXPECT_EQ(image.Invalidations(), 4);
}

TEST_F(OrvaneImageTest, AutoSizeAndPictureAlwaysRunPropertyChanged) {
  image.SetAutoSize(false);
  image.SetPicture(static_cast<const orvane::vcl::TPicture*>(nullptr));
  EXPECT_EQ(image.log, (std::vector<std::string>{"invalidate", "invalidate"}));
}

TEST_F(OrvaneImageTest, AutoSizeTakesThePictureSizeOnlyWhenThereIsOne) {
  image.SetBounds(7, 9, 105, 105);
  image.log.clear();
  image.SetAutoSize(true);  // empty picture: the bounds stay
  EXPECT_EQ(image.log, (std::vector<std::string>{"invalidate"}));
  EXPECT_EQ(image.BoundsRect(), orvane::vcl::Rect(7, 9, 112, 114));

  orvane::vcl::TBitmap zeroHigh;
  zeroHigh.SetSize(30, 0);
  image.SetPicture(&zeroHigh);  // both sides must be positive
  EXPECT_EQ(image.BoundsRect(), orvane::vcl::Rect(7, 9, 112, 114));

  const auto picture = Filled(30, 20, kRed);
  image.log.clear();
  image.SetPicture(picture.get());
  EXPECT_EQ(image.log, (std::vector<std::string>{"bounds 7,9,30,20", "invalidate"}));
  EXPECT_EQ(image.BoundsRect(), orvane::vcl::Rect(7, 9, 37, 29));

  // Writing True again sets the bounds again, even though they already fit.
  image.SetWidth(50);
  image.log.clear();
  image.SetAutoSize(true);
  EXPECT_EQ(image.log, (std::vector<std::string>{"bounds 7,9,30,20", "invalidate"}));
  EXPECT_EQ(image.Width(), 30);

  // Without AutoSize a new picture leaves the size alone.
  image.SetAutoSize(false);
  const auto larger = Filled(60, 70, kRed);
  image.SetPicture(larger.get());
  EXPECT_EQ(image.BoundsRect(), orvane::vcl::Rect(7, 9, 37, 29));
  EXPECT_EQ(image.Picture().Width(), 60);
}

TEST_F(OrvaneImageTest, PictureSetterCopiesAndAnErrorLeavesBeforePropertyChanged) {
  const auto source = Filled(4, 4, kRed);
  orvane::vcl::TPicture other;
  other.Assign(source.get());
  image.SetPicture(&other);
  ASSERT_NE(image.Picture().Graphic(), nullptr);
  EXPECT_NE(image.Picture().Graphic(), other.Graphic());  // a copy, not the other's graphic
  EXPECT_EQ(image.Picture().Width(), 4);

  // A graphic that cannot be copied: the error leaves the setter before
  // PropertyChanged, and the container keeps what it held.
  class TUncopyable : public orvane::vcl::TGraphic {
   public:
    const char* ClassName() const override { return "TUncopyable"; }
    int32_t Width() const override { return 9; }
    int32_t Height() const override { return 9; }
    void Draw(orvane::vcl::TCanvas&, const orvane::vcl::TRect&) const override {}
    std::unique_ptr<orvane::vcl::TGraphic> Clone() const override { throw orvane::rtl::EOutOfMemory(); }
    void LoadFromBytes(const uint8_t*, size_t) override {}
  } uncopyable;
  image.SetAutoSize(true);
  image.log.clear();
  EXPECT_THROW(image.SetPicture(&uncopyable), orvane::rtl::EOutOfMemory);
  EXPECT_TRUE(image.log.empty());
  EXPECT_EQ(image.Picture().Width(), 4);
}

TEST_F(OrvaneImageTest, FileLoadedIntoPictureDirectlyNeitherRepaintsNorResizes) {
  auto* form = new orvane::vcl::TForm(&application);
  form->SetClientWidth(200);
  form->SetClientHeight(150);
  auto* img = new TCountingImage(form);
  img->SetParent(form);
  img->SetBounds(10, 10, 50, 50);
  img->SetAutoSize(true);
  form->Show();
  application.ProcessMessages();
  ASSERT_TRUE(form->InvalidRegion().IsEmpty());
  img->log.clear();

  const std::string path = ::testing::TempDir() + "orvane_image_direct.bmp";
  {
    const std::vector<uint8_t> bytes = Filled(24, 16, kBlue)->SaveToBytes();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  img->Picture().LoadFromFile(path);
  std::remove(path.c_str());
  EXPECT_EQ(img->Picture().Width(), 24);
  EXPECT_TRUE(img->log.empty());
  EXPECT_TRUE(form->InvalidRegion().IsEmpty());
  EXPECT_EQ(img->BoundsRect(), orvane::vcl::Rect(10, 10, 60, 60));

  // The next property write that runs PropertyChanged applies AutoSize.
  img->SetCenter(true);
  EXPECT_EQ(img->BoundsRect(), orvane::vcl::Rect(10, 10, 34, 26));
  EXPECT_FALSE(form->InvalidRegion().IsEmpty());
}

namespace {

class OrvaneImageDefinitionTest : public OrvaneImageTest {
 protected:
  OrvaneImageDefinitionTest() {
    AddResource("OrvaneImageTestPicture", orvane::vcl::ResourceKind::Binary, BitmapPictureRecord(kRed, kRed, kBlue, kBlue));
  }
  TCountingImage& Read(const std::string& body) {
    form = new TTestForm(&application);
    orvane::vcl::ReadFormDefinition("object F: TTestForm\n  object Img: TCountingImage\n" + body + "  end\nend\n", *form);
    auto* img = dynamic_cast<TCountingImage*>(form->FindComponent("Img"));
    EXPECT_NE(img, nullptr);
    return *img;
  }
  TTestForm* form = nullptr;
};

}  // namespace

TEST_F(OrvaneImageDefinitionTest, AutoSizeWithoutStretchKeepsTheStoredSize) {
  TCountingImage& img = Read(R"(    Left = 8
    Top = 16
    Width = 50
    Height = 40
    AutoSize = True
    Quality = opqMed
    Picture.Data = resource 'OrvaneImageTestPicture'
)");
  EXPECT_TRUE(img.AutoSize());
  EXPECT_EQ(img.Picture().Width(), 2);
  EXPECT_EQ(img.BoundsRect(), orvane::vcl::Rect(8, 16, 58, 56));
  // Only AutoSize's setter ran PropertyChanged; Quality found opqMed and the
  // picture's data went into the container without the Picture setter.
  EXPECT_EQ(img.Invalidations(), 1);
  EXPECT_EQ(img.Quality(), opqMed);
}

TEST_F(OrvaneImageDefinitionTest, StretchStoredAfterThePictureTakesItsSize) {
  TCountingImage& img = Read(R"(    Left = 8
    Top = 16
    Width = 50
    Height = 40
    AutoSize = True
    Center = True
    Quality = opqLow
    Picture.Data = resource 'OrvaneImageTestPicture'
    Stretch = True
)");
  EXPECT_TRUE(img.Stretch());
  EXPECT_TRUE(img.Center());
  EXPECT_EQ(img.Quality(), opqLow);
  EXPECT_EQ(img.BoundsRect(), orvane::vcl::Rect(8, 16, 10, 18));
}

TEST_F(OrvaneImageDefinitionTest, QualityNamesAndInheritedProperties) {
  TCountingImage& img = Read(R"(    Quality = opqVeryHigh
    Visible = False
    OnClick = ProbeClick
)");
  EXPECT_EQ(img.Quality(), opqVeryHigh);
  EXPECT_FALSE(img.Visible());
  ASSERT_TRUE(static_cast<bool>(img.OnClick));
  img.Click();
  EXPECT_EQ(form->log, (std::vector<std::string>{"click Img"}));

  for (const char* bad : {"opqUltra", "2", "'opqMed'"}) {
    const std::string error = ErrorText([&] { Read(std::string("    Quality = ") + bad + "\n"); });
    EXPECT_NE(error.find("Quality"), std::string::npos) << bad << ": " << error;
    EXPECT_NE(error.find("Zeile 3"), std::string::npos) << error;
  }
}

TEST_F(OrvaneImageDefinitionTest, RegisteredUnderItsOwnNameOnTheGraphicControl) {
  const orvane::vcl::ClassInfo* info = orvane::vcl::ClassRegistry::Instance().Find("TOrvaneImage");
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(info->InheritsFrom("TGraphicControl"));
  for (const char* name : {"AutoSize", "Center", "Quality", "Picture.Data", "Stretch", "Visible", "OnClick",
                           "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp", "Left", "Width"})
    EXPECT_NE(info->FindProperty(name), nullptr) << name;
  form = new TTestForm(&application);
  orvane::vcl::ReadFormDefinition("object F: TTestForm\n  object O: TOrvaneImage\n  end\nend\n", *form);
  auto* o = dynamic_cast<TOrvaneImage*>(form->FindComponent("O"));
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->Width(), 105);
}

TEST_F(OrvaneImageTest, QualityByteAboveVeryHighDrawsAsVeryHigh) {
  const auto triangle = Triangle(16, 16);
  image.SetBounds(0, 0, 14, 14);
  image.SetStretch(true);
  image.SetPicture(triangle.get());
  auto paint = [&](uint8_t quality) {
    image.SetQuality(static_cast<TOrvanePictureQuality>(quality));
    auto bitmap = Filled(14, 14, kGrey);
    image.PaintInto(*bitmap);
    return Pixels(*bitmap);
  };
  const std::vector<TColor> veryHigh = paint(opqVeryHigh);
  EXPECT_EQ(paint(200), veryHigh);
  EXPECT_EQ(paint(5), veryHigh);
  EXPECT_NE(paint(opqHigh), veryHigh);  // the level does reach the draw
  // The picture covers the top-left corner and leaves the bottom-right one.
  EXPECT_EQ(veryHigh.front(), TColor{200});
  EXPECT_EQ(veryHigh.back(), kGrey);
  EXPECT_STREQ(image.Picture().Graphic()->ClassName(), "TMetafile");
}

TEST_F(OrvaneImageTest, BitmapPictureIsDrawnAndKept) {
  // Left half red, right half blue, at its own size: the draw covers 5 x 5
  // pixels (its right column and bottom row count), column 0 red, column 4 blue.
  const auto halves = Filled(4, 4, kRed);
  halves->Canvas().Brush().SetColor(kBlue);
  halves->Canvas().FillRect(orvane::vcl::Rect(2, 0, 4, 4));
  image.SetBounds(0, 0, 7, 7);
  image.SetPicture(halves.get());
  const orvane::vcl::TGraphic* held = image.Picture().Graphic();
  for (int pass = 0; pass < 2; ++pass) {
    auto target = Filled(7, 7, kGrey);
    image.PaintInto(*target);
    for (int32_t y = 0; y < 7; ++y) {
      EXPECT_EQ(target->Canvas().Pixel(0, y), y < 5 ? kRed : kGrey) << y;
      EXPECT_EQ(target->Canvas().Pixel(4, y), y < 5 ? kBlue : kGrey) << y;
      EXPECT_EQ(target->Canvas().Pixel(5, y), kGrey) << y;
    }
    EXPECT_EQ(image.Picture().Graphic(), held);
    EXPECT_STREQ(held->ClassName(), "TBitmap");
    EXPECT_EQ(image.Picture().Width(), 4);
  }
  // Stretched over a control the draw fills it completely, cut at its edges.
  image.SetStretch(true);
  const auto solid = Filled(3, 3, kBlue);
  image.SetPicture(solid.get());
  auto target = Filled(7, 7, kGrey);
  image.PaintInto(*target);
  for (TColor c : Pixels(*target)) ASSERT_EQ(c, kBlue);
}

TEST_F(OrvaneImageDefinitionTest, ShownOnAFormClippedToItsBounds) {
  Read(R"(    Left = 20
    Top = 10
    Width = 10
    Height = 10
    Picture.Data = resource 'OrvaneImageTestPicture'
    Stretch = True
)");
  form->SetClientWidth(60);
  form->SetClientHeight(40);
  form->SetColor(kGrey);
  form->Show();
  application.ProcessMessages();
  orvane::backend::HeadlessWindow& window = WindowOf(*form);
  // The 2 x 2 picture (red over blue) is drawn 11 x 11 from the control's
  // corner; its last row and column fall outside the control and are cut off.
  EXPECT_EQ(window.Pixel(20, 10), kRed);
  EXPECT_EQ(window.Pixel(29, 10), kRed);
  EXPECT_EQ(window.Pixel(20, 19), kBlue);
  EXPECT_EQ(window.Pixel(29, 19), kBlue);
  EXPECT_EQ(window.Pixel(30, 10), kGrey);
  EXPECT_EQ(window.Pixel(20, 20), kGrey);
  EXPECT_EQ(window.Pixel(19, 15), kGrey);
}
