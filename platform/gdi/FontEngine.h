#pragma once
// Text through FreeType and fontconfig: faces matched by name (a name list
// such as "Segoe UI;Tahoma" or an empty name works: fontconfig picks the
// closest face and this never fails while any font is installed), metrics,
// measurement, and aliased glyph drawing into a RenderTarget.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gdi/DrawingObjects.h"
#include "gdi/Rasterizer.h"
#include "gdi/SpanPaint.h"

namespace gdi {

struct TextMetrics {
  int32_t height = 0;           // ascent + descent, pixels
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t internalLeading = 0;  // height - em size
  int32_t averageCharWidth = 0;
};

// Metrics of a font as selected (height < 0: character height, > 0: cell height, 0: default 12 px).
TextMetrics GetTextMetrics(const Font& font);

// The advance of each character of `text` (UTF-32), in pixels.
std::vector<int32_t> CharacterAdvances(const Font& font, std::u32string_view text);

// The width of `text` in pixels (the sum of its advances).
int32_t TextWidth(const Font& font, std::u32string_view text);

// Draws `text` with its baseline origin at device point `origin`, glyph
// after glyph along the font's escapement angle, in `color`, aliased (1 bit
// a pixel), with the target's clipping. `advances`, when given, replaces
// the font's advances (ExtTextOut's dx array). Underline and strike-out
// lines are drawn as the font asks.
void DrawGlyphs(RenderTarget& target, const Font& font, PointD origin, std::u32string_view text, COLORREF color,
                const std::vector<int32_t>* advances = nullptr);

std::u32string Utf8ToUtf32(std::string_view text);
std::u32string Utf16ToUtf32(const uint16_t* text, size_t count);

}  // namespace gdi
