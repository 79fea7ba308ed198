// Text measurement and aliased glyph drawing on top of the glyph cache.
// Glyphs are placed one after the other along the baseline, each at its
// pen position rounded to a whole pixel, so a run measures exactly the sum
// of its integer advances, as GDI's text does.

#include <orvane/gdi/FontEngine.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include <orvane/gdi/detail/FontMatcher.h>
#include <orvane/gdi/detail/GlyphCache.h>
#include <orvane/gdi/detail/GlyphDrawing.h>

namespace orvane::gdi {

namespace {

// Pen positions further out than this are not drawn (they could not reach
// any surface, and the casts to 32 bits stay safe).
constexpr double kMaxCoordinate = 1e9;

int32_t NormalizeAngle(int32_t tenths) {
  const int32_t a = tenths % 3600;
  return a < 0 ? a + 3600 : a;
}

struct Direction {
  double cx = 1;  // along the baseline, device space (y down)
  double cy = 0;
  double dx = 0;  // towards the descent, perpendicular to the baseline
  double dy = 1;
};

Direction DirectionOf(int32_t angle) {
  if (angle == 0) return Direction{};
  const double rad = angle * M_PI / 1800.0;
  const double c = std::cos(rad), s = std::sin(rad);
  return Direction{c, -s, s, c};
}

// Fills a convex quadrilateral by the rasteriser's rule: pixel (i, j) is
// painted when the point (i, j) lies inside, left and top edges included.
void FillConvexQuad(RenderTarget& target, const std::array<PointD, 4>& q) {
  double minY = q[0].y, maxY = q[0].y;
  for (const PointD& p : q) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  const Rect clip = target.HeldClipBounds();
  const double top = std::max(std::ceil(minY), static_cast<double>(clip.top));
  const double bottom = std::min(maxY, static_cast<double>(clip.bottom));
  for (double y = top; y < bottom; y += 1) {
    double left = INFINITY, right = -INFINITY;
    for (size_t i = 0; i < 4; ++i) {
      const PointD a = q[i], b = q[(i + 1) % 4];
      if (a.y == b.y) continue;
      if (y < std::min(a.y, b.y) || y >= std::max(a.y, b.y)) continue;
      const double x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
      left = std::min(left, x);
      right = std::max(right, x);
    }
    if (!(left < right)) continue;
    const double x0 = std::max(std::ceil(left), static_cast<double>(clip.left));
    const double x1 = std::min(std::ceil(right), static_cast<double>(clip.right));
    if (x0 < x1) target.Span(static_cast<int32_t>(y), static_cast<int32_t>(x0), static_cast<int32_t>(x1));
  }
}

// Fills the band between `fromDown` and `toDown` pixels below the baseline
// (negative: above), from `along0` to `along1` pixels along it.
void FillBand(RenderTarget& target, PointD origin, const Direction& d, double along0, double along1,
              double fromDown, double toDown) {
  auto at = [&](double along, double down) {
    return PointD{origin.x + along * d.cx + down * d.dx, origin.y + along * d.cy + down * d.dy};
  };
  FillConvexQuad(target, {at(along0, fromDown), at(along1, fromDown), at(along1, toDown), at(along0, toDown)});
}

}  // namespace

TextMetrics GetTextMetrics(const Font& font) {
  const GlyphCache::Locked cache = GlyphCache::Acquire();
  const SizedFont* sf = cache->Realize(font);
  return sf ? sf->metrics : TextMetrics{};
}

std::vector<int32_t> CharacterAdvances(const Font& font, std::u32string_view text, bool glyphIndices) {
  std::vector<int32_t> advances(text.size(), 0);
  const GlyphCache::Locked cache = GlyphCache::Acquire();
  const SizedFont* sf = cache->Realize(font);
  if (!sf) return advances;
  for (size_t i = 0; i < text.size(); ++i)
    advances[i] = cache->GetGlyph(*sf, glyphIndices ? text[i] : cache->GlyphIndex(*sf, text[i]), 0).advance;
  return advances;
}

int32_t TextWidth(const Font& font, std::u32string_view text) {
  int64_t sum = 0;
  for (int32_t a : CharacterAdvances(font, text)) sum += a;
  return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

void DrawGlyphs(RenderTarget& target, const Font& font, PointD origin, std::u32string_view text, COLORREF color,
                const std::vector<int32_t>* advances) {
  GlyphPlacement placement;
  placement.advances = advances;
  DrawGlyphs(target, font, origin, text, color, placement);
}

void DrawGlyphs(RenderTarget& target, const Font& font, PointD origin, std::u32string_view text, COLORREF color,
                const GlyphPlacement& placement) {
  if (target.IsEmpty() || text.empty()) return;
  const std::vector<int32_t>* advances = placement.advances;
  const std::vector<int32_t>* downAdvances = placement.downAdvances;
  if (!std::isfinite(origin.x) || !std::isfinite(origin.y)) return;
  const int32_t angle = NormalizeAngle(font.escapement);
  const Direction d = DirectionOf(angle);
  const Rect clip = target.HeldClipBounds();

  // The glyphs' runs are placed while the cache is locked and painted after,
  // so other threads' text waits only for the lookups, not for the painting.
  struct PlacedRun {
    int32_t y, x0, x1;
  };
  std::vector<PlacedRun> placed;
  double pen = 0, penDown = 0;
  int32_t underlineTop = 0, underlineSize = 0, strikeTop = 0, strikeSize = 0;
  {
    const GlyphCache::Locked cache = GlyphCache::Acquire();
    const SizedFont* sf = cache->Realize(font);
    if (!sf) return;
    for (size_t i = 0; i < text.size(); ++i) {
      const uint32_t index = placement.glyphIndices ? text[i] : cache->GlyphIndex(*sf, text[i]);
      const int32_t advance =
          advances && i < advances->size() ? (*advances)[i] : cache->GetGlyph(*sf, index, 0).advance;
      const double px = origin.x + pen * d.cx + penDown * d.dx, py = origin.y + pen * d.cy + penDown * d.dy;
      pen += advance;
      if (downAdvances && i < downAdvances->size()) penDown += (*downAdvances)[i];
      if (std::abs(px) > kMaxCoordinate || std::abs(py) > kMaxCoordinate) continue;
      const Glyph& glyph = cache->GetGlyph(*sf, index, angle);
      if (glyph.runs.empty()) continue;
      const auto gx = static_cast<int32_t>(std::floor(px + 0.5)), gy = static_cast<int32_t>(std::floor(py + 0.5));
      if (glyph.box.Offset(gx, gy).Intersect(clip).IsEmpty()) continue;
      for (const GlyphRun& run : glyph.runs) placed.push_back(PlacedRun{gy + run.dy, gx + run.x0, gx + run.x1});
    }
    underlineTop = sf->underlineTop;
    underlineSize = sf->underlineSize;
    strikeTop = sf->strikeTop;
    strikeSize = sf->strikeSize;
  }

  target.SetPaint(Paint::Solid(color & 0xFFFFFF));
  for (const PlacedRun& run : placed) target.Span(run.y, run.x0, run.x1);

  if (!font.underline && !font.strikeOut) return;
  // Horizontal text starts its lines where its first glyph is drawn.
  if (angle == 0) origin = PointD{std::floor(origin.x + 0.5), std::floor(origin.y + 0.5)};
  if (font.underline) FillBand(target, origin, d, 0, pen, underlineTop, underlineTop + underlineSize);
  if (font.strikeOut) FillBand(target, origin, d, 0, pen, strikeTop, strikeTop + strikeSize);
}

void FillTextBackground(RenderTarget& target, const Font& font, PointD origin, int32_t width, COLORREF color) {
  if (target.IsEmpty() || width <= 0) return;
  TextMetrics metrics;
  {
    const GlyphCache::Locked cache = GlyphCache::Acquire();
    const SizedFont* sf = cache->Realize(font);
    if (!sf) return;
    metrics = sf->metrics;
  }
  const int32_t angle = NormalizeAngle(font.escapement);
  if (angle == 0) origin = PointD{std::floor(origin.x + 0.5), std::floor(origin.y + 0.5)};
  target.SetPaint(Paint::Solid(color & 0xFFFFFF));
  FillBand(target, origin, DirectionOf(angle), 0, width, -metrics.ascent, metrics.descent);
}

std::vector<std::u32string> WrapText(const Font& font, std::u32string_view text, int32_t width) {
  std::vector<std::u32string> lines;
  if (text.empty()) return lines;
  const std::vector<int32_t> adv = CharacterAdvances(font, text);
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find(U'\n', pos);
    if (end == std::u32string_view::npos) end = text.size();
    size_t stop = end;
    if (stop > pos && text[stop - 1] == U'\r') --stop;
    // Greedy filling of one paragraph [pos, stop): a line takes words while
    // its width (spaces between the words included) stays within `width`.
    size_t lineStart = pos, lineEnd = pos;  // the line so far: [lineStart, lineEnd)
    int64_t lineWidth = 0;
    size_t i = pos;
    bool any = false;
    while (i < stop) {
      size_t wordStart = i;
      int64_t gap = 0;
      while (wordStart < stop && text[wordStart] == U' ') gap += adv[wordStart++];
      if (wordStart == stop) break;  // trailing spaces end the paragraph
      size_t wordEnd = wordStart;
      int64_t word = 0;
      while (wordEnd < stop && text[wordEnd] != U' ') word += adv[wordEnd++];
      if (any && lineWidth + gap + word > width) {
        lines.emplace_back(text.substr(lineStart, lineEnd - lineStart));
        lineStart = wordStart;
        lineWidth = word;
      } else {
        lineWidth += gap + word;
      }
      lineEnd = wordEnd;
      any = true;
      i = wordEnd;
    }
    lines.emplace_back(text.substr(lineStart, lineEnd - lineStart));
    if (end == text.size()) break;
    pos = end + 1;
  }
  return lines;
}

FontFileInfo MatchFontFile(const Font& font) {
  return FontMatcher::Instance().Match(font.faceName, font.weight >= 600, font.italic);
}

FontCacheStats GetFontCacheStats() { return GlyphCache::Acquire()->Stats(); }

void ClearFontCaches() {
  GlyphCache::Acquire()->Clear();
  FontMatcher::Instance().Clear();
}

}  // namespace orvane::gdi
