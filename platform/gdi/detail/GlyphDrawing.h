#pragma once
// Aliased glyph drawing into a RenderTarget, with the faces and metrics of
// FontEngine.h.

#include <cstdint>
#include <string_view>
#include <vector>

#include <orvane/gdi/FontEngine.h>
#include <orvane/gdi/detail/Rasterizer.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/rtl/Visibility.h>

// Exported for the toolkit library, which draws text and images too.
ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// Draws `text` with its baseline origin at device point `origin`, glyph
// after glyph along the font's escapement angle, in `color`, aliased (1 bit
// a pixel), with the target's clipping. `advances`, when given, replaces
// the font's advances (ExtTextOut's dx array; characters past its end keep
// their own). Underline and strike-out lines are drawn as the font asks,
// turned with the baseline. Leaves a solid paint of `color` on the target.
// Characters map one to one to glyphs: no shaping, kerning or fallback
// face; a character the face lacks draws its missing-glyph box.
void DrawGlyphs(RenderTarget& target, const Font& font, PointD origin, std::u32string_view text, COLORREF color,
                const std::vector<int32_t>* advances = nullptr);

// How a run's glyphs are named and placed beyond DrawGlyphs' defaults.
struct GlyphPlacement {
  bool glyphIndices = false;  // the values of the text are glyph indices of the face
  const std::vector<int32_t>* advances = nullptr;  // along the baseline, as DrawGlyphs takes them
  // Perpendicular steps after each glyph, towards the descent (ExtTextOut's
  // y advances); glyphs past its end take none.
  const std::vector<int32_t>* downAdvances = nullptr;
};
void DrawGlyphs(RenderTarget& target, const Font& font, PointD origin, std::u32string_view text, COLORREF color,
                const GlyphPlacement& placement);

// Fills the text cell of a run `width` pixels long whose baseline starts at
// device point `origin`: from the font's ascent above the baseline to its
// descent below, turned by the escapement (the opaque background of text).
void FillTextBackground(RenderTarget& target, const Font& font, PointD origin, int32_t width, COLORREF color);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
