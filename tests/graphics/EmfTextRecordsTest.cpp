// Text records that name glyphs rather than characters, place glyphs with
// y advances, or turn their glyphs with the world transform: each drawn
// against the same text made another way, pixel for pixel.

#include <gtest/gtest.h>

#include <string_view>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "EmfTestSupport.h"
#include <orvane/gdi/FontEngine.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace {

using namespace emftest;
namespace emf = orvane::emf;

emf::LogFontW Font(int32_t escapement = 0) {
  emf::LogFontW font;
  font.height = -16;
  font.escapement = font.orientation = escapement;
  font.faceName = u"Liberation Sans";
  return font;
}

std::vector<orvane::vcl::TColor> Pixels(const std::vector<uint8_t>& bytes) {
  Canvas canvas(48, 48);
  canvas.Play(bytes);
  std::vector<orvane::vcl::TColor> pixels;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) pixels.push_back(canvas.At(x, y));
  return pixels;
}

template <class Draw>
std::vector<orvane::vcl::TColor> Text(emf::LogFontW font, Draw draw) {
  auto w = Writer(48, 48);
  w.SelectObject(w.ExtCreateFontIndirectW(font));
  w.SetBkMode(emf::TRANSPARENT);
  draw(w);
  return Pixels(w.Finish());
}

// Glyph indices looked up in the font file the face resolves to.
TEST(EmfTextRecordsTest, GlyphIndexTextDrawsTheNamedGlyphs) {
  orvane::gdi::Font font;
  font.faceName = "Liberation Sans";
  font.height = -16;
  const orvane::gdi::FontFileInfo file = orvane::gdi::MatchFontFile(font);
  ASSERT_FALSE(file.path.empty());
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, file.path.c_str(), file.index, &face), 0);
  std::u16string glyphs;
  for (char32_t c : std::u32string_view(U"Hig")) glyphs.push_back(static_cast<char16_t>(FT_Get_Char_Index(face, c)));
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  ASSERT_NE(glyphs, u"Hig");

  const auto byIndex = Text(Font(), [&](emf::EmfWriter& w) { w.ExtTextOutW({4, 4}, glyphs, emf::ETO_GLYPH_INDEX); });
  const auto byCharacter = Text(Font(), [&](emf::EmfWriter& w) { w.ExtTextOutW({4, 4}, u"Hig"); });
  EXPECT_EQ(byIndex, byCharacter);
  EXPECT_NE(byIndex, Pixels(Writer(48, 48).Finish()));
}

// With ETO_PDY the second glyph steps 10 across and 5 down: as if drawn alone there.
TEST(EmfTextRecordsTest, YAdvancesMoveTheFollowingGlyphs) {
  const std::vector<int32_t> steps = {10, 5, 10, 5};
  const auto stepped = Text(Font(), [&](emf::EmfWriter& w) { w.ExtTextOutW({4, 4}, u"HI", emf::ETO_PDY, {}, &steps); });
  const auto apart = Text(Font(), [&](emf::EmfWriter& w) {
    w.ExtTextOutW({4, 4}, u"H");
    w.ExtTextOutW({14, 9}, u"I");
  });
  EXPECT_EQ(stepped, apart);
}

// A quarter turn (x' = y, y' = 40 - x): in the advanced mode the glyphs turn
// with the baseline, as a font turned by 90 degrees draws them; in the
// compatible mode they stay upright.
TEST(EmfTextRecordsTest, TheAdvancedModeTurnsGlyphsWithTheTransform) {
  const auto turnedBy = [](uint32_t graphicsMode) {
    return Text(Font(), [&](emf::EmfWriter& w) {
      w.SetWorldTransform({0, -1, 1, 0, 0, 40});
      w.ExtTextOutW({10, 10}, u"Hg", 0, {}, nullptr, graphicsMode);
    });
  };
  const auto turnedFont = Text(Font(900), [](emf::EmfWriter& w) { w.ExtTextOutW({10, 30}, u"Hg"); });
  const auto uprightFont = Text(Font(), [](emf::EmfWriter& w) { w.ExtTextOutW({10, 30}, u"Hg"); });
  EXPECT_EQ(turnedBy(emf::GM_ADVANCED), turnedFont);
  EXPECT_EQ(turnedBy(emf::GM_COMPATIBLE), uprightFont);
  EXPECT_NE(turnedFont, uprightFont);
}

}  // namespace
