// Several threads drawing their own pictures into their own bitmaps at once
// must get exactly the pixels each draw gets alone. The pictures are loaded
// by each thread itself, and one of them is text in more faces than the face
// cache holds, so the shared pixel-memory, glyph, face and font-name caches
// are filled, evicted and emptied while other threads are using them.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <orvane/FilteredDraw.h>
#include <orvane/Quality.h>
#include "emf/EmfWriter.h"
#include <orvane/gdi/BitmapObject.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/Picture.h>

using namespace orvane;

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 3;
const char* const kTextPicture = "text";

// Text in three families, each regular, bold, italic and bold italic, some
// of it turned and underlined: more faces than the face cache keeps.
std::vector<uint8_t> TextMetafileBytes() {
  emf::EmfWriter w(emf::HeaderForPixels(160, 120, {1000, 1000}, {100, 100}));
  w.SetBkMode(1);  // transparent
  int32_t y = 4;
  for (const char16_t* face : {u"Liberation Sans", u"Liberation Serif", u"Liberation Mono", u"DejaVu Sans",
                               u"DejaVu Serif", u"DejaVu Sans Mono"}) {
    for (int style = 0; style < 4; ++style) {
      emf::LogFontW font;
      font.faceName = face;
      font.height = -9 - style;
      font.weight = style & 1 ? 700 : 400;
      font.italic = style & 2;
      font.underline = style == 3;
      font.escapement = style == 2 ? 150 : 0;
      w.SelectObject(w.ExtCreateFontIndirectW(font));
      w.SetTextColor(emf::Rgb(uint8_t(40 * style), 0, uint8_t(200 - 30 * style)));
      w.ExtTextOutW({2 + 38 * style, y}, u"Wag Qy");
    }
    y += 19;
  }
  return w.Finish();
}

std::string DemoPath(const char* name) {
  return (std::filesystem::path(ORVANE_SOURCE_DIR) / "demo" / "data" / name).string();
}

// Each draw starts from a fresh graphic, loaded by the thread that draws it.
std::unique_ptr<vcl::TPicture> Load(const std::string& name, const std::vector<uint8_t>& textBytes) {
  auto picture = std::make_unique<vcl::TPicture>();
  if (name == kTextPicture)
    picture->Metafile()->LoadFromBytes(textBytes.data(), textBytes.size());
  else
    picture->LoadFromFile(DemoPath(name.c_str()));
  return picture;
}

struct Case {
  std::string picture;
  int32_t width, height;
  std::optional<TOrvanePictureQuality> quality;  // none: the canvas's own StretchDraw

  std::string Name() const {
    std::ostringstream s;
    s << picture << " at " << width << "x" << height << ", ";
    if (quality)
      s << "quality " << QualityName(*quality);
    else
      s << "plain StretchDraw";
    return s.str();
  }
};

std::vector<Case> Cases() {
  const std::optional<TOrvanePictureQuality> methods[] = {std::nullopt, opqVeryLow, opqLow, opqMed, opqHigh,
                                                          opqVeryHigh};
  const std::pair<int32_t, int32_t> sizes[] = {{97, 61}, {64, 64}, {45, 70}, {120, 90}, {33, 29}};
  std::vector<Case> cases;
  size_t k = 0;
  for (const char* picture : {"Bicycl.EMF", "Hockey2.EMF", "Socer.EMF", kTextPicture})
    for (const auto& quality : methods) {
      const auto& [w, h] = sizes[k++ % std::size(sizes)];
      cases.push_back(Case{picture, w, h, quality});
    }
  return cases;
}

// The pixels of a draw of `graphic` (none: the background alone) as the case says.
std::vector<uint8_t> Render(const Case& c, const vcl::TGraphic* graphic) {
  vcl::TBitmap bitmap;
  bitmap.SetSize(c.width, c.height);
  vcl::TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(0x3080C0);
  canvas.FillRect(vcl::Rect(0, 0, c.width, c.height));
  if (c.quality)
    OrvaneStretchDraw(canvas, vcl::Rect(0, 0, c.width - 1, c.height - 1), graphic, *c.quality);
  else
    canvas.StretchDraw(vcl::Rect(0, 0, c.width, c.height), graphic);
  const gdi::BitmapObject& surface = *bitmap.Surface();
  const size_t rowBytes = size_t(c.width) * size_t(surface.BytesPerPixel());
  std::vector<uint8_t> pixels;
  for (int32_t y = 0; y < c.height; ++y) pixels.insert(pixels.end(), surface.Row(y), surface.Row(y) + rowBytes);
  return pixels;
}

std::vector<uint8_t> Draw(const Case& c, const std::vector<uint8_t>& textBytes) {
  return Render(c, Load(c.picture, textBytes)->Graphic());
}

// Empty when equal, else the case and its first differing byte.
std::string Compare(const Case& c, const std::vector<uint8_t>& expected, const std::vector<uint8_t>& got) {
  if (got == expected) return {};
  const auto [e, g] = std::mismatch(expected.begin(), expected.end(), got.begin(), got.end());
  std::ostringstream s;
  s << c.Name() << ": first differing byte " << (e - expected.begin()) << " of " << expected.size();
  return s.str();
}

}  // namespace

TEST(ThreadSafetyTest, ConcurrentDrawsMatchTheSameDrawsDoneAlone) {
  const std::vector<uint8_t> textBytes = TextMetafileBytes();
  const std::vector<Case> cases = Cases();
  std::vector<std::vector<uint8_t>> alone;
  for (const Case& c : cases) {
    alone.push_back(Draw(c, textBytes));
    ASSERT_NE(alone.back(), Render(c, nullptr)) << c.Name() << " draws nothing";
  }

  // Every thread goes through all cases, each starting at a different one,
  // so different pictures, sizes and qualities are drawn at the same time.
  std::vector<std::vector<std::string>> failures(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round)
        for (size_t n = 0; n < cases.size(); ++n) {
          const size_t i = (n + size_t(t) * cases.size() / kThreads + size_t(round)) % cases.size();
          std::string diff = Compare(cases[i], alone[i], Draw(cases[i], textBytes));
          if (!diff.empty()) failures[t].push_back("thread " + std::to_string(t) + ", round " +
                                                   std::to_string(round) + ", " + diff);
        }
    });
  for (std::thread& thread : threads) thread.join();
  for (const auto& list : failures)
    for (const std::string& failure : list) ADD_FAILURE() << failure;
}
