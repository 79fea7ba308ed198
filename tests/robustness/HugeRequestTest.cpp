// Requests whose size cannot be had: the filtered draw (a supersampled side
// beyond 32 bits), the sprite render and the render tool (rasters of the
// target's size) refuse them at once, with the runtime's out-of-resources or
// out-of-memory error, and leave nothing behind. A huge filtered draw onto a
// small canvas renders only what the canvas shows.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "InputBuilders.h"
#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include "emf/EmfWriter.h"
#include <orvane/gdi/BitmapObject.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>

namespace fs = std::filesystem;
using namespace robust;

namespace {

orvane::vcl::TMetafile SmallPicture(bool ellipse = true) {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(8, 8, {1000, 1000}, {100, 100}));
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, 0x0000FF));
  if (ellipse) w.Ellipse({0, 0, 8, 8});
  else {
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    w.Rectangle({-1, -1, 9, 9});
  }
  const Bytes bytes = w.Finish();
  orvane::vcl::TMetafile m;
  m.LoadFromBytes(bytes.data(), bytes.size());
  return m;
}

// Runs `request`, which must fail with one of the two resource errors
// before it has touched more than a little memory.
template <typename Request>
void ExpectRefusedWithoutTouchingMemory(const char* what, Request request) {
  const int64_t faults = MinorFaults(RUSAGE_SELF);
  try {
    request();
    ADD_FAILURE() << what << ": no error";
  } catch (const orvane::rtl::EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Systemressourcen erschöpft.") << what;
  } catch (const orvane::rtl::EOutOfMemory& e) {
    EXPECT_EQ(e.Message(), "Zu wenig Arbeitsspeicher") << what;
  }
  EXPECT_LT(MinorFaults(RUSAGE_SELF) - faults, kFewFaults) << what;
}

struct Size {
  int32_t w, h;
};
// Each too large as a raster of the target's size.
const Size kHugeSizes[] = {{2000000, 2000000}, {INT32_MAX, 1}, {1, INT32_MAX}, {46341, 46341}};
// Supersampled sides beyond 32 bits at the highest quality.
const Size kBeyondSampling[] = {{INT32_MAX, 1}, {1, INT32_MAX}, {134217728, 3}};

TEST(HugeRequestTest, FilteredDrawRefusesAndLeavesTheCanvasAlone) {
  const orvane::vcl::TMetafile picture = SmallPicture();
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(8, 8);
  canvas.Canvas().Brush().SetColor(0x00FF00);
  canvas.Canvas().FillRect(orvane::vcl::Rect(0, 0, 8, 8));
  const int64_t live = orvane::gdi::LiveObjectCount();
  for (const Size s : kBeyondSampling)
    ExpectRefusedWithoutTouchingMemory("filtered draw", [&] {
      orvane::OrvaneStretchDraw(canvas.Canvas(), orvane::vcl::Rect(-3, -3, s.w - 4, s.h - 4), &picture, orvane::opqVeryHigh);
    });
  EXPECT_EQ(orvane::gdi::LiveObjectCount(), live);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(canvas.Canvas().Pixel(x, y), 0x00FF00) << x << "," << y;
  // The same canvas and picture still draw at a sane size.
  orvane::OrvaneStretchDraw(canvas.Canvas(), orvane::vcl::Rect(0, 0, 7, 7), &picture, orvane::opqVeryHigh);
  EXPECT_EQ(canvas.Canvas().Pixel(4, 4), 0x0000FF);
}

TEST(HugeRequestTest, HugeFilteredDrawsRenderOnlyWhatTheCanvasShows) {
  const orvane::vcl::TMetafile picture = SmallPicture(false);
  for (const Size s : {Size{2000000, 2000000}, Size{46341, 46341}, Size{40000, 2000}}) {
    orvane::vcl::TBitmap canvas;
    canvas.SetSize(8, 8);
    const int64_t faults = MinorFaults(RUSAGE_SELF);
    orvane::OrvaneStretchDraw(canvas.Canvas(), orvane::vcl::Rect(-3, -3, s.w - 4, s.h - 4), &picture,
                              orvane::opqVeryHigh);
    EXPECT_LT(MinorFaults(RUSAGE_SELF) - faults, kFewFaults) << s.w << " x " << s.h;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        ASSERT_EQ(canvas.Canvas().Pixel(x, y), 0x0000FF) << s.w << " x " << s.h << " at " << x << "," << y;
  }
}

// Long thin targets at the highest quality: 262144 samples across or down,
// every pixel fully covered in the brush's colour.
TEST(HugeRequestTest, LongThinTargetsRenderAtTheHighestQuality) {
  const orvane::vcl::TMetafile picture = SmallPicture(false);
  for (const Size s : {Size{16384, 16}, Size{16, 16384}}) {
    orvane::TFastBMP color(s.w, s.h), coverage(s.w, s.h);
    orvane::RenderFiltered(color, coverage, picture, orvane::opqVeryHigh, s.w / 8.0, s.h / 8.0);
    int64_t wrong = 0;
    for (int32_t y = 0; y < s.h; ++y)
      for (int32_t x = 0; x < s.w; ++x) {
        const uint8_t* c = color.RowStarts()[y] + 3 * x;
        const uint8_t* v = coverage.RowStarts()[y] + 3 * x;
        wrong += c[0] != 0 || c[1] != 0 || c[2] != 255 || v[0] != 255;
      }
    EXPECT_EQ(wrong, 0) << s.w << " x " << s.h;
  }
}

TEST(HugeRequestTest, SpriteRenderRefusesAndTheSpriteStaysUsable) {
  const orvane::vcl::TMetafile picture = SmallPicture();
  const int64_t live = orvane::gdi::LiveObjectCount();
  {
    orvane::TOrvaneBitmap sprite;
    for (const Size s : kHugeSizes)
      for (auto quality : {orvane::opqVeryLow, orvane::opqVeryHigh}) {
        ExpectRefusedWithoutTouchingMemory("sprite render", [&] { sprite.Render(&picture, s.w, s.h, quality); });
      }
    sprite.Render(&picture, 8, 8, orvane::opqHigh);
    ASSERT_EQ(sprite.Width(), 8);
    orvane::vcl::TBitmap target;
    target.SetSize(8, 8);
    sprite.Draw(target.Canvas(), 0, 0);
    EXPECT_EQ(target.Canvas().Pixel(4, 4), 0x0000FF);
  }
  // Whatever the failed renders made went with the sprite.
  EXPECT_EQ(orvane::gdi::LiveObjectCount(), live);
}

// Rasters for a header whose planes are missing are made all zero, but their
// pixels are not touched: 2 x 192 MB of them would exceed the page budget.
TEST(HugeRequestTest, ASpriteHeaderWithoutItsPlanesLeavesUntouchedRasters) {
  const fs::path path = fs::temp_directory_path() / ("orvane-huge-" + std::to_string(getpid()) + ".obm");
  Bytes header;
  Put32(header, 8000);
  Put32(header, 8000);
  WriteFile(path.string(), header);
  orvane::TOrvaneBitmap sprite;
  const int64_t faults = MinorFaults(RUSAGE_SELF);
  EXPECT_THROW(sprite.LoadSpriteFile(path.string()), orvane::rtl::EInOutError);
  EXPECT_LT(MinorFaults(RUSAGE_SELF) - faults, kFewFaults);
  EXPECT_EQ(sprite.ColorRaster()->Height(), 8000);
  fs::remove(path);
}

TEST(HugeRequestTest, RenderToolRefusesHugeSizesAndWritesNothing) {
  const fs::path dir = fs::temp_directory_path() / ("orvane-huge-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string input = (dir / "picture.emf").string();
  WriteFile(input, *SmallPicture().Data());
  const struct {
    const char* options;
    const char* output;
  } runs[] = {{"--size 2000000x2000000", "out.png"},
              {"--size 2000000x2000000", "out.obm"},
              {"--size 2000000x2000000 --background '#FFFFFF'", "out.png"},
              {"--size 2000000x2000000 --background '#FFFFFF' --aliased", "out.png"},
              {"--size 0x2000000 --quality very-high", "out.png"},
              {"--size 40000x40000 --background '#000000'", "out.png"}};
  for (const auto& run : runs) {
    const int64_t faults = MinorFaults(RUSAGE_CHILDREN);
    const ToolResult r = RunRenderTool(std::string(run.options) + " " + input + " " + (dir / run.output).string());
    EXPECT_LT(MinorFaults(RUSAGE_CHILDREN) - faults, kFewFaults) << run.options;
    // Refused as a usage error before anything is read or drawn.
    EXPECT_EQ(r.status, 2) << run.options;
    EXPECT_NE(r.err.find("is above the limit of 16384x16384\nTry 'orvane-render --help'.\n"), std::string::npos)
        << run.options << ": " << r.err;
    // Nothing written: not the output, not a temporary beside it.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"picture.emf"}) << run.options;
  }
  fs::remove_all(dir);
}

}  // namespace
