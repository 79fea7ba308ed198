#include <orvane/gdi/FontEngine.h>
#include <orvane/gdi/detail/GlyphDrawing.h>

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <set>
#include <utility>

#include "GdiTestHelpers.h"

using namespace orvane::gdi;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(200, 0, 0);

Font MakeFont(const std::string& name, int32_t height, int32_t weight = 400) {
  Font f;
  f.faceName = name;
  f.height = height;
  f.weight = weight;
  return f;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The face file opened directly with FreeType, as a reference independent of
// the engine's caches and placement.
class RefFace {
 public:
  RefFace(const std::string& path, int pixels) {
    if (FT_Init_FreeType(&lib_) != 0) return;
    if (FT_New_Face(lib_, path.c_str(), 0, &face_) != 0) face_ = nullptr;
    if (face_) FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels));
  }
  ~RefFace() {
    if (face_) FT_Done_Face(face_);
    if (lib_) FT_Done_FreeType(lib_);
  }
  FT_Face face() const { return face_; }
  int32_t Advance(char32_t ch) {
    if (FT_Load_Char(face_, ch, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) return -1;
    return static_cast<int32_t>((face_->glyph->advance.x + 32) >> 6);
  }
  // The set pixels of a character rendered in one bit, relative to its origin.
  std::set<std::pair<int32_t, int32_t>> Pixels(char32_t ch, bool hinted = true) {
    std::set<std::pair<int32_t, int32_t>> out;
    const FT_Int32 flags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER | (hinted ? 0 : FT_LOAD_NO_HINTING);
    if (FT_Load_Char(face_, ch, flags) != 0) return out;
    FT_GlyphSlot g = face_->glyph;
    EXPECT_EQ(g->bitmap.pixel_mode, FT_PIXEL_MODE_MONO);
    for (unsigned r = 0; r < g->bitmap.rows; ++r)
      for (unsigned c = 0; c < g->bitmap.width; ++c)
        if ((g->bitmap.buffer[r * g->bitmap.pitch + (c >> 3)] >> (7 - (c & 7))) & 1)
          out.insert({g->bitmap_left + static_cast<int32_t>(c), static_cast<int32_t>(r) - g->bitmap_top});
    return out;
  }

 private:
  FT_Library lib_ = nullptr;
  FT_Face face_ = nullptr;
};

std::set<std::pair<int32_t, int32_t>> Painted(const gditest::SurfaceDC& s, COLORREF background) {
  std::set<std::pair<int32_t, int32_t>> out;
  for (int32_t y = 0; y < s.bitmap->Height(); ++y)
    for (int32_t x = 0; x < s.bitmap->Width(); ++x)
      if (s.At(x, y) != background) out.insert({x, y});
  return out;
}

Rect BoundsOf(const std::set<std::pair<int32_t, int32_t>>& pixels) {
  Rect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (auto [x, y] : pixels) {
    r.left = std::min(r.left, x);
    r.top = std::min(r.top, y);
    r.right = std::max(r.right, x + 1);
    r.bottom = std::max(r.bottom, y + 1);
  }
  return r;
}

void Draw(gditest::SurfaceDC& s, const Font& font, PointD origin, std::u32string_view text,
          const std::vector<int32_t>* advances = nullptr) {
  RenderTarget target(*s.dc);
  DrawGlyphs(target, font, origin, text, kInk, advances);
}

}  // namespace

TEST(FontMatchTest, WindowsFaceNamesFindTheirMetricCompatibleFaces) {
  const FontFileInfo arial = MatchFontFile(MakeFont("Arial", -17));
  EXPECT_EQ(BaseName(arial.path), "LiberationSans-Regular.ttf");
  EXPECT_EQ(arial.family, "Liberation Sans");
  EXPECT_FALSE(arial.syntheticBold);
  EXPECT_EQ(BaseName(MatchFontFile(MakeFont("Times New Roman", -17)).path), "LiberationSerif-Regular.ttf");
  EXPECT_EQ(BaseName(MatchFontFile(MakeFont("Courier New", -17)).path), "LiberationMono-Regular.ttf");
  // The faces of office documents.
  EXPECT_EQ(MatchFontFile(MakeFont("Calibri", -17)).family, "Carlito");
  EXPECT_EQ(BaseName(MatchFontFile(MakeFont("Calibri", -17, 700)).path), "Carlito-Bold.ttf");
  EXPECT_EQ(MatchFontFile(MakeFont("Cambria", -17)).family, "Caladea");

  Font bold = MakeFont("Arial", -17, 700);
  EXPECT_EQ(BaseName(MatchFontFile(bold).path), "LiberationSans-Bold.ttf");
  bold.weight = 600;  // the threshold
  EXPECT_EQ(BaseName(MatchFontFile(bold).path), "LiberationSans-Bold.ttf");
  bold.weight = 599;
  EXPECT_EQ(BaseName(MatchFontFile(bold).path), "LiberationSans-Regular.ttf");
  Font italic = MakeFont("Arial", -17);
  italic.italic = true;
  EXPECT_EQ(BaseName(MatchFontFile(italic).path), "LiberationSans-Italic.ttf");
}

TEST(FontMatchTest, UnknownEmptyAndListNamesFallBackToTheDefaultSansFace) {
  const FontFileInfo empty = MatchFontFile(MakeFont("", -11));
  ASSERT_FALSE(empty.path.empty());
  EXPECT_NE(empty.family.find("Sans"), std::string::npos) << empty.family;
  EXPECT_EQ(empty.family.find("Serif"), std::string::npos) << empty.family;
  for (const char* name : {"MS Sans Serif", "q#9~kx!garbage", "Segoe UI;Tahoma;Arial Unicode MS", ";;", "  "}) {
    EXPECT_EQ(MatchFontFile(MakeFont(name, -11)).path, empty.path) << name;
  }
}

TEST(FontMatchTest, ANameListTakesTheFirstNameMatchedByFamily) {
  EXPECT_EQ(MatchFontFile(MakeFont("Segoe UI;Times New Roman;Arial", -11)).family, "Liberation Serif");
  EXPECT_EQ(MatchFontFile(MakeFont("Arial;Times New Roman", -11)).family, "Liberation Sans");
  EXPECT_EQ(MatchFontFile(MakeFont(" Courier New ; Arial", -11)).family, "Liberation Mono");
  EXPECT_EQ(MatchFontFile(MakeFont("Nothing Here, Times New Roman", -11)).family, "Liberation Serif");
}

TEST(FontMetricsTest, NegativeHeightIsTheEmAndMetricsComeFromTheWinAscentAndDescent) {
  const Font font = MakeFont("Arial", -17);
  RefFace ref(MatchFontFile(font).path, 17);
  ASSERT_NE(ref.face(), nullptr);
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ref.face(), FT_SFNT_OS2));
  ASSERT_NE(os2, nullptr);
  const double scale = 17.0 / ref.face()->units_per_EM;
  const TextMetrics tm = GetTextMetrics(font);
  EXPECT_EQ(tm.ascent, static_cast<int32_t>(std::floor(os2->usWinAscent * scale + 0.5)));
  EXPECT_EQ(tm.descent, static_cast<int32_t>(std::floor(os2->usWinDescent * scale + 0.5)));
  EXPECT_EQ(tm.height, tm.ascent + tm.descent);
  EXPECT_EQ(tm.height - tm.internalLeading, 17);
  EXPECT_EQ(tm.averageCharWidth, static_cast<int32_t>(std::floor(os2->xAvgCharWidth * scale + 0.5)));
}

TEST(FontMetricsTest, PositiveHeightIsTheCellAndZeroIsTwelvePixels) {
  for (const char* face : {"Times New Roman", "Arial", "Courier New"}) {
    for (int32_t h = 6; h <= 60; ++h) {
      const TextMetrics tm = GetTextMetrics(MakeFont(face, h));
      EXPECT_EQ(tm.height, h) << face;
      EXPECT_EQ(tm.ascent + tm.descent, h) << face << " " << h;
      EXPECT_GE(tm.internalLeading, 0) << h;  // the em is no larger than the cell
      EXPECT_LT(tm.internalLeading, h / 4 + 1) << h;
    }
  }
  EXPECT_EQ(GetTextMetrics(MakeFont("Arial", 0)).height, 12);
  // A wider font asks for a wider average character.
  Font wide = MakeFont("Arial", -17);
  wide.width = 20;
  EXPECT_EQ(GetTextMetrics(wide).averageCharWidth, 20);
  EXPECT_GT(TextWidth(wide, U"Hello"), TextWidth(MakeFont("Arial", -17), U"Hello"));
}

TEST(FontMetricsTest, AdvancesAreTheFacesOwnHintedAdvances) {
  const Font font = MakeFont("Arial", -17);
  RefFace ref(MatchFontFile(font).path, 17);
  ASSERT_NE(ref.face(), nullptr);
  const std::u32string text = U"Hello";
  const std::vector<int32_t> adv = CharacterAdvances(font, text);
  ASSERT_EQ(adv.size(), text.size());
  int32_t sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(adv[i], ref.Advance(text[i])) << i;
    sum += adv[i];
  }
  EXPECT_EQ(TextWidth(font, text), sum);
  EXPECT_GT(sum, 5 * 17 * 3 / 10);  // between 0.3 and 0.8 em a letter
  EXPECT_LT(sum, 5 * 17 * 8 / 10);
  EXPECT_GT(TextWidth(MakeFont("Arial", -17, 700), text), sum);
  EXPECT_EQ(TextWidth(font, U""), 0);
  EXPECT_TRUE(CharacterAdvances(font, U"").empty());
}

// Glyphs are fitted to the pixel grid unless the font's grid-fitting table
// says otherwise for the size: Liberation Sans draws sizes up to 8 pixels
// from the outline as designed, Carlito fits every size.
TEST(GlyphDrawingTest, ALetterPaintsExactlyItsOneBitBitmapAtTheOrigin) {
  const struct {
    const char* face;
    int32_t pixels;
    bool hinted;
  } cases[] = {{"Arial", 17, true}, {"Arial", 7, false}, {"Calibri", 7, true}};
  for (const auto& c : cases) {
    const Font font = MakeFont(c.face, -c.pixels);
    RefFace ref(MatchFontFile(font).path, c.pixels);
    ASSERT_NE(ref.face(), nullptr);
    bool fittingShows = false;
    for (char32_t ch : {U'I', U'g', U'W', U'e'}) {
      gditest::SurfaceDC s(40, 40, 24);
      s.Fill(kWhite);
      Draw(s, font, PointD{10, 25}, std::u32string(1, ch));
      std::set<std::pair<int32_t, int32_t>> expected;
      for (auto [x, y] : ref.Pixels(ch, c.hinted)) expected.insert({x + 10, y + 25});
      EXPECT_FALSE(expected.empty());
      EXPECT_EQ(Painted(s, kWhite), expected) << c.face << " " << c.pixels << " " << static_cast<char>(ch);
      for (auto [x, y] : expected) EXPECT_EQ(s.At(x, y), kInk);
      fittingShows |= ref.Pixels(ch, true) != ref.Pixels(ch, false);
    }
    EXPECT_TRUE(fittingShows) << c.face << " " << c.pixels;
  }
  const Font font = MakeFont("Arial", -17);
  // "I" sits on the baseline: its lowest row is the one just above it.
  gditest::SurfaceDC s(40, 40, 32);
  s.Fill(kWhite);
  Draw(s, font, PointD{10.4, 24.6}, U"I");  // placed at the nearest pixel
  const Rect box = BoundsOf(Painted(s, kWhite));
  EXPECT_EQ(box.bottom, 25);
  EXPECT_GE(box.left, 10);
  EXPECT_GT(box.Height(), 9);  // a cap height of about 0.7 em
  EXPECT_LE(box.Height(), 13);
}

TEST(GlyphDrawingTest, ClippingIsHonoured) {
  const Font font = MakeFont("Arial", -17);
  gditest::SurfaceDC full(60, 30, 24), clipped(60, 30, 24);
  full.Fill(kWhite);
  clipped.Fill(kWhite);
  const Rect clip{0, 0, 60, 19};  // cuts through the text above the baseline at 22
  clipped.dc->SetClip(Region(Rect{20, 0, 60, 19}));
  Draw(full, font, PointD{4, 22}, U"Hello");
  Draw(clipped, font, PointD{4, 22}, U"Hello");
  int inside = 0;
  for (int32_t y = 0; y < 30; ++y) {
    for (int32_t x = 0; x < 60; ++x) {
      if (x >= 20 && clip.Contains(x, y)) {
        EXPECT_EQ(clipped.At(x, y), full.At(x, y)) << x << "," << y;
        inside += clipped.At(x, y) == kInk;
      } else {
        EXPECT_EQ(clipped.At(x, y), kWhite) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inside, 0);
  EXPECT_GT(Painted(full, kWhite).size(), static_cast<size_t>(inside));
}

TEST(GlyphDrawingTest, EscapementTurnsTheBaselineCounterClockwise) {
  Font font = MakeFont("Arial", -17);
  const int32_t width = TextWidth(font, U"HHHH");
  const TextMetrics tm = GetTextMetrics(font);
  font.escapement = 900;  // up the page, glyph tops to the left
  gditest::SurfaceDC s(80, 100, 24);
  s.Fill(kWhite);
  Draw(s, font, PointD{40, 90}, U"HHHH");
  const Rect up = BoundsOf(Painted(s, kWhite));
  EXPECT_GT(up.Height(), width - 4);
  EXPECT_LE(up.Height(), width);
  EXPECT_LE(up.bottom, 91);
  EXPECT_GE(up.top, 90 - width);
  EXPECT_GE(up.left, 40 - tm.ascent);
  EXPECT_LE(up.right, 41);  // capitals stay on the ascent side of the baseline

  font.escapement = -1800;  // the same as 1800: upside down, leftwards
  s.Fill(kWhite);
  Draw(s, font, PointD{70, 20}, U"HHHH");
  const Rect back = BoundsOf(Painted(s, kWhite));
  EXPECT_GT(back.Width(), width - 4);
  EXPECT_GE(back.left, 70 - width);
  EXPECT_LE(back.right, 71);
  EXPECT_GE(back.top, 19);  // glyph tops now point down
  EXPECT_LE(back.bottom, 20 + tm.ascent + 1);
}

TEST(GlyphDrawingTest, GivenAdvancesReplaceTheNaturalOnes) {
  const Font font = MakeFont("Arial", -17);
  gditest::SurfaceDC one(80, 30, 24), two(80, 30, 24);
  one.Fill(kWhite);
  two.Fill(kWhite);
  Draw(one, font, PointD{5, 22}, U"I");
  const std::vector<int32_t> dx{30, 0};
  Draw(two, font, PointD{5, 22}, U"II", &dx);
  std::set<std::pair<int32_t, int32_t>> expected = Painted(one, kWhite);
  for (auto [x, y] : Painted(one, kWhite)) expected.insert({x + 30, y});
  EXPECT_EQ(Painted(two, kWhite), expected);
  // A short advance list: the rest use their natural advances.
  const std::vector<int32_t> shortDx{30};
  two.Fill(kWhite);
  Draw(two, font, PointD{5, 22}, U"II", &shortDx);
  EXPECT_EQ(Painted(two, kWhite), expected);
}

TEST(GlyphDrawingTest, UnderlineAndStrikeOutSpanTheWholeRun) {
  Font font = MakeFont("Arial", -17);
  const int32_t width = TextWidth(font, U"a b");
  const TextMetrics tm = GetTextMetrics(font);
  font.underline = true;
  gditest::SurfaceDC s(60, 40, 24);
  s.Fill(kWhite);
  Draw(s, font, PointD{5, 20}, U"a b");
  auto fullRow = [&](int32_t y) {
    for (int32_t x = 5; x < 5 + width; ++x)
      if (s.At(x, y) != kInk) return false;
    return s.At(4, y) == kWhite && s.At(5 + width, y) == kWhite;
  };
  int underlineRows = 0;
  for (int32_t y = 20; y < 20 + tm.descent; ++y) underlineRows += fullRow(y);
  EXPECT_GE(underlineRows, 1);
  EXPECT_LE(underlineRows, 2);
  for (int32_t y = 0; y < 20; ++y) EXPECT_FALSE(fullRow(y)) << y;

  font.underline = false;
  font.strikeOut = true;
  s.Fill(kWhite);
  Draw(s, font, PointD{5, 20}, U"a b");
  int strikeRows = 0;
  for (int32_t y = 20 - tm.ascent; y < 20; ++y) strikeRows += fullRow(y);
  EXPECT_GE(strikeRows, 1);
  for (int32_t y = 20; y < 40; ++y) EXPECT_FALSE(fullRow(y)) << y;
}

TEST(GlyphDrawingTest, BackgroundFillsTheTextCell) {
  const Font font = MakeFont("Arial", -17);
  const TextMetrics tm = GetTextMetrics(font);
  gditest::SurfaceDC s(60, 40, 32);
  s.Fill(kWhite);
  RenderTarget target(*s.dc);
  FillTextBackground(target, font, PointD{3, 25}, 30, RGB(0, 0, 90));
  const Rect box = BoundsOf(Painted(s, kWhite));
  EXPECT_EQ(box, (Rect{3, 25 - tm.ascent, 33, 25 + tm.descent}));
  EXPECT_EQ(Painted(s, kWhite).size(), static_cast<size_t>(30 * tm.height));
}

TEST(GlyphDrawingTest, OddInputDrawsSafely) {
  gditest::SurfaceDC s(60, 40, 24);
  s.Fill(kWhite);
  Draw(s, MakeFont("Arial", -17), PointD{5, 30}, U"");
  EXPECT_TRUE(Painted(s, kWhite).empty());
  // Characters the face lacks, control characters, the replacement character.
  Draw(s, MakeFont("Arial", -17), PointD{5, 30}, std::u32string{0x0, 0x7, 0xFFFD, 0x10FFFF, 0x1F600, 0xD800});
  // A missing face name still draws, with the default face.
  s.Fill(kWhite);
  Draw(s, MakeFont(std::string("No Such\0Face", 12), -17), PointD{5, 30}, U"Hi");
  EXPECT_FALSE(Painted(s, kWhite).empty());
  // Extreme sizes and positions.
  for (int32_t h : {INT32_MIN, -1, 1, INT32_MAX}) {
    Draw(s, MakeFont("Arial", h), PointD{5, 30}, U"Hi");
    EXPECT_GE(GetTextMetrics(MakeFont("Arial", h)).height, 0);
  }
  Draw(s, MakeFont("Arial", -17), PointD{1e12, -1e12}, U"Hi");
  Draw(s, MakeFont("Arial", -17), PointD{NAN, 3}, U"Hi");
  Draw(s, MakeFont("Arial", -17), PointD{-2147483000.0, 30}, U"Hi");
  Font turned = MakeFont("Arial", -17);
  turned.escapement = INT32_MIN;
  turned.underline = true;
  Draw(s, turned, PointD{30, 20}, U"Hi");
}

TEST(GlyphCacheTest, RepeatedDrawingReusesGlyphsAndTheCachesStayBounded) {
  ClearFontCaches();
  const Font font = MakeFont("Arial", -17);
  gditest::SurfaceDC s(60, 40, 24);
  Draw(s, font, PointD{5, 30}, U"Label");
  const FontCacheStats first = GetFontCacheStats();
  EXPECT_EQ(first.faces, 1u);
  EXPECT_EQ(first.fonts, 1u);
  EXPECT_EQ(first.glyphs, 5u);  // L, a, b, e, l
  Draw(s, font, PointD{5, 30}, U"Label");
  EXPECT_EQ(GetFontCacheStats().glyphs, first.glyphs);

  Font turned = font;
  for (int32_t a = 0; a < 3600 * 4; a += 1) {
    turned.escapement = a % 3600;
    turned.height = -10 - a / 3600;
    Draw(s, turned, PointD{30, 20}, U"W");
  }
  const FontCacheStats after = GetFontCacheStats();
  EXPECT_LE(after.glyphs, 8192u);
  EXPECT_LE(after.glyphBytes, size_t{9} << 20);
  ClearFontCaches();
  EXPECT_EQ(GetFontCacheStats().glyphs, 0u);
}

TEST(WrapTextTest, BreaksAtSpacesWithinTheWidth) {
  const Font font = MakeFont("Arial", -17);
  const int32_t two = TextWidth(font, U"aaa bbb");
  using Lines = std::vector<std::u32string>;
  EXPECT_EQ(WrapText(font, U"aaa bbb ccc", two), (Lines{U"aaa bbb", U"ccc"}));
  EXPECT_EQ(WrapText(font, U"aaa bbb ccc", two - 1), (Lines{U"aaa", U"bbb", U"ccc"}));
  EXPECT_EQ(WrapText(font, U"aaa bbb ccc", 100000), (Lines{U"aaa bbb ccc"}));
  EXPECT_EQ(WrapText(font, U"aaaaaaaaaaaa b", 5), (Lines{U"aaaaaaaaaaaa", U"b"}));
  EXPECT_EQ(WrapText(font, U"aaa\r\nbbb\n\nc  ", 100000), (Lines{U"aaa", U"bbb", U"", U"c"}));
  EXPECT_EQ(WrapText(font, U"aaa    bbb", two), (Lines{U"aaa", U"bbb"}));
  EXPECT_TRUE(WrapText(font, U"", 100).empty());
}

TEST(UtfTest, Utf8ValidAndInvalidSequences) {
  EXPECT_EQ(Utf8ToUtf32("A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::u32string{U'A', 0xE4, 0x20AC, 0x1F600}));
  EXPECT_EQ(Utf8ToUtf32("a\xFF" "b"), (std::u32string{U'a', 0xFFFD, U'b'}));
  EXPECT_EQ(Utf8ToUtf32("\xC0\xAF"), (std::u32string{0xFFFD, 0xFFFD}));        // overlong
  EXPECT_EQ(Utf8ToUtf32("\xE0\x80\xAF"), (std::u32string{0xFFFD, 0xFFFD, 0xFFFD}));  // overlong
  EXPECT_EQ(Utf8ToUtf32("\xED\xA0\x80"), (std::u32string{0xFFFD, 0xFFFD, 0xFFFD}));  // a surrogate
  EXPECT_EQ(Utf8ToUtf32("\xF4\x90\x80\x80"), (std::u32string(4, 0xFFFD)));          // past U+10FFFF
  EXPECT_EQ(Utf8ToUtf32("x\xE2\x82"), (std::u32string{U'x', 0xFFFD}));               // cut short
  EXPECT_EQ(Utf8ToUtf32("\xE2\x82" "A"), (std::u32string{0xFFFD, U'A'}));
  EXPECT_EQ(Utf8ToUtf32("\x80\xBF"), (std::u32string{0xFFFD, 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf32(std::string_view("a\0b", 3)), (std::u32string{U'a', 0, U'b'}));
  EXPECT_TRUE(Utf8ToUtf32("").empty());
}

TEST(UtfTest, Utf16SurrogatePairsAndStrays) {
  const uint16_t pair[] = {0x41, 0xD83D, 0xDE00, 0x42};
  EXPECT_EQ(Utf16ToUtf32(pair, 4), (std::u32string{U'A', 0x1F600, U'B'}));
  const uint16_t strays[] = {0xDE00, 0xD83D, 0x41, 0xD83D};
  EXPECT_EQ(Utf16ToUtf32(strays, 4), (std::u32string{0xFFFD, 0xFFFD, U'A', 0xFFFD}));
  EXPECT_EQ(Utf16ToUtf32(pair, 2), (std::u32string{U'A', 0xFFFD}));  // a pair cut by the count
  EXPECT_TRUE(Utf16ToUtf32(nullptr, 5).empty());
}
