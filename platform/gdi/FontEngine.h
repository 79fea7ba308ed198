#pragma once
// Text through FreeType and fontconfig: faces matched by name (a name list
// such as "Segoe UI;Tahoma" or an empty name works: fontconfig picks the
// closest face and this never fails while any font is installed), metrics
// and measurement. Drawing glyphs is the rasteriser's (detail/GlyphDrawing.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <orvane/gdi/DrawingObjects.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

struct TextMetrics {
  int32_t height = 0;           // ascent + descent, pixels
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t internalLeading = 0;  // height - em size
  int32_t averageCharWidth = 0;
};

// Metrics of a font as selected (height < 0: character height, > 0: cell height, 0: default 12 px).
TextMetrics GetTextMetrics(const Font& font);

// The advance of each character of `text` (UTF-32), in pixels; with
// `glyphIndices`, each value of `text` names a glyph of the face instead.
std::vector<int32_t> CharacterAdvances(const Font& font, std::u32string_view text, bool glyphIndices = false);

// The width of `text` in pixels (the sum of its advances).
int32_t TextWidth(const Font& font, std::u32string_view text);

// Breaks `text` into lines no wider than `width` pixels at spaces (the
// spaces at a break are dropped); a word wider than `width` stands alone on
// its line, unbroken. Line feeds (and CR LF) always break.
std::vector<std::u32string> WrapText(const Font& font, std::u32string_view text, int32_t width);

// The font file that a font's name and style resolve to through fontconfig.
struct FontFileInfo {
  std::string path;      // empty: no font could be found at all
  int32_t index = 0;     // face index inside the file
  std::string family;    // the family fontconfig chose
  bool syntheticBold = false;    // bold asked for, the face has none: emboldened
  bool syntheticItalic = false;  // italic asked for, the face has none: slanted
};
FontFileInfo MatchFontFile(const Font& font);

// The glyph and face caches, shared by all threads. Counts for tests; Clear drops everything.
struct FontCacheStats {
  size_t faces = 0;
  size_t fonts = 0;       // fonts realised at a size
  size_t glyphs = 0;      // rendered glyphs
  size_t glyphBytes = 0;  // memory the rendered glyphs hold
};
FontCacheStats GetFontCacheStats();
void ClearFontCaches();

// Invalid sequences become U+FFFD.
std::u32string Utf8ToUtf32(std::string_view text);
std::u32string Utf16ToUtf32(const uint16_t* text, size_t count);
// Appends one code point to `out` as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
