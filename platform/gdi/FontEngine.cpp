// Text measurement and aliased glyph drawing on top of the glyph cache.
// Glyphs are placed one after the other along the baseline, each at its
// pen position rounded to a whole pixel, so a run measures exactly the sum
// of its integer advances, as GDI's text does. A run is first bounded by
// its pen positions and its glyphs' upright rendering: text outside the
// clip costs a table probe a character and renders nothing turned.

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

// A box, relative to a glyph's rounded pen position, that holds every
// pixel the glyph paints at its run's angle; empty when it paints nothing.
struct ReachBox {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool IsEmpty() const { return !(left < right && top < bottom); }
  void Add(const ReachBox& b) {
    if (b.IsEmpty()) return;
    if (IsEmpty()) {
      *this = b;
      return;
    }
    left = std::min(left, b.left), top = std::min(top, b.top);
    right = std::max(right, b.right), bottom = std::max(bottom, b.bottom);
  }
};

// How the glyph cache is asked for a glyph: its run's angle, or for glyphs
// mirrored across the baseline the angle plus 3600.
int32_t GlyphTurn(const Font& font, int32_t angle) { return font.mirrored ? angle + 3600 : angle; }

// Whether a box at a pen position can reach the clip (the pen rounds to the nearest pixel).
bool Reaches(const ReachBox& box, double px, double py, const Rect& clip) {
  return px + 0.5 + box.right > clip.left && px - 0.5 + box.left < clip.right && py + 0.5 + box.bottom > clip.top &&
         py - 0.5 + box.top < clip.bottom;
}

// The glyphs of one run at its angle, each character looked up once: a long
// run mostly repeats a few characters, and a lookup (the character map,
// then the glyph cache) costs many times this table's probe. The table
// lives only while one run is measured or drawn, under the cache's lock,
// and holds what it needs of a glyph by value.
//
// A glyph's reach comes from its upright rendering, which measuring needs
// anyway: upright, it is its pixels' bounds. Turned, the glyph is the same
// outline turned about the pen (FreeType turns the hinted outline; bitmap
// glyphs do not turn), so it lies within the upright pixels' farthest
// corner, plus the em's height and width for thin parts the upright
// rendering may have dropped between pixel centres, plus two pixels for
// rasterising either way. A glyph without upright pixels (a space) is
// looked up turned.
class RunGlyphs {
 public:
  struct Entry {
    uint32_t index = 0;   // glyph index in the face
    int32_t advance = 0;  // pixels along the baseline
    ReachBox reach;
  };

  RunGlyphs(GlyphCache& cache, const SizedFont& font, bool glyphIndices, int32_t angle)
      : cache_(cache), font_(font), glyphIndices_(glyphIndices), angle_(angle),
        em_(std::abs(font.ySize) / 64.0 + std::abs(font.xSize) / 64.0) {
    keys_.fill(kNoKey);
  }

  const Entry& Get(char32_t ch) {
    const size_t slot = ch & (kSlots - 1);
    if (keys_[slot] == ch && ch != kNoKey) return entries_[slot];
    return Fill(ch, slot);
  }
  // The union of the reach of every glyph looked up so far.
  const ReachBox& Reached() const { return reached_; }

 private:
  const Entry& Fill(char32_t ch, size_t slot) {
    Entry& e = ch == kNoKey ? unkept_ : entries_[slot];
    e.index = glyphIndices_ ? static_cast<uint32_t>(ch) : cache_.GlyphIndex(font_, ch);
    const Glyph& glyph = cache_.GetGlyph(font_, e.index, 0);
    e.advance = glyph.advance;
    e.reach = ReachBox{};
    if (!glyph.runs.empty()) {
      const Rect& b = glyph.box;
      if (angle_ == 0) {
        e.reach = ReachBox{double(b.left), double(b.top), double(b.right), double(b.bottom)};
      } else {
        const double x = std::max(std::abs(double(b.left)), std::abs(double(b.right)));
        const double y = std::max(std::abs(double(b.top)), std::abs(double(b.bottom)));
        const double r = std::hypot(x, y) + em_ + 2;
        e.reach = ReachBox{-r, -r, r, r};
      }
    } else if (angle_ != 0) {
      const Glyph& turned = cache_.GetGlyph(font_, e.index, angle_);
      const Rect& b = turned.box;
      if (!turned.runs.empty()) e.reach = ReachBox{double(b.left), double(b.top), double(b.right), double(b.bottom)};
    }
    reached_.Add(e.reach);
    if (ch != kNoKey) keys_[slot] = ch;
    return e;
  }

  static constexpr size_t kSlots = 256;
  static constexpr char32_t kNoKey = 0xFFFFFFFF;  // marks a free slot; such a character is looked up every time
  GlyphCache& cache_;
  const SizedFont& font_;
  bool glyphIndices_;
  int32_t angle_;
  double em_;
  ReachBox reached_;
  std::array<char32_t, kSlots> keys_;
  std::array<Entry, kSlots> entries_;
  Entry unkept_;
};

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
  RunGlyphs glyphs(*cache, *sf, glyphIndices, 0);
  for (size_t i = 0; i < text.size(); ++i) advances[i] = glyphs.Get(text[i]).advance;
  return advances;
}

int32_t TextWidth(const Font& font, std::u32string_view text) {
  int64_t sum = 0;
  for (int32_t a : CharacterAdvances(font, text)) sum += a;
  return ClampToInt32(sum);
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
    RunGlyphs glyphs(*cache, *sf, placement.glyphIndices, GlyphTurn(font, angle));
    const auto advanceOf = [&](size_t i, const RunGlyphs::Entry& e) {
      return advances && i < advances->size() ? (*advances)[i] : e.advance;
    };

    // First where the run can paint at all: the bounds of the pen positions
    // of its glyphs that paint (a parallelogram along and across the
    // baseline), widened by the union of their reach. Text outside the clip
    // ends here, having looked up each distinct character upright once.
    int64_t along = 0, down = 0;
    int64_t alongMin = INT64_MAX, alongMax = INT64_MIN, downMin = INT64_MAX, downMax = INT64_MIN;
    for (size_t i = 0; i < text.size(); ++i) {
      const RunGlyphs::Entry& e = glyphs.Get(text[i]);
      if (!e.reach.IsEmpty()) {
        alongMin = std::min(alongMin, along), alongMax = std::max(alongMax, along);
        downMin = std::min(downMin, down), downMax = std::max(downMax, down);
      }
      along += advanceOf(i, e);
      if (downAdvances && i < downAdvances->size()) down += (*downAdvances)[i];
    }
    const ReachBox& reach = glyphs.Reached();
    pen = static_cast<double>(along);
    const double runLength = pen;
    bool mayPaint = alongMin <= alongMax;
    if (mayPaint) {
      double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
      for (const double a : {double(alongMin), double(alongMax)})
        for (const double b : {double(downMin), double(downMax)}) {
          const double x = origin.x + a * d.cx + b * d.dx, y = origin.y + a * d.cy + b * d.dy;
          minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
      // Half a pixel for the rounding of the pens, and one more for the corners' arithmetic.
      mayPaint = maxX + reach.right + 1.5 > clip.left && minX + reach.left - 1.5 < clip.right &&
                 maxY + reach.bottom + 1.5 > clip.top && minY + reach.top - 1.5 < clip.bottom;
    }

    if (mayPaint) {
      pen = penDown = 0;
      for (size_t i = 0; i < text.size(); ++i) {
        const RunGlyphs::Entry& e = glyphs.Get(text[i]);
        const double px = origin.x + pen * d.cx + penDown * d.dx, py = origin.y + pen * d.cy + penDown * d.dy;
        pen += advanceOf(i, e);
        if (downAdvances && i < downAdvances->size()) penDown += (*downAdvances)[i];
        if (std::abs(px) > kMaxCoordinate || std::abs(py) > kMaxCoordinate) continue;
        if (!Reaches(e.reach, px, py, clip)) continue;
        const Glyph& glyph = cache->GetGlyph(*sf, e.index, GlyphTurn(font, angle));
        if (glyph.runs.empty()) continue;
        const auto gx = static_cast<int32_t>(std::floor(px + 0.5)), gy = static_cast<int32_t>(std::floor(py + 0.5));
        if (glyph.box.Offset(gx, gy).Intersect(clip).IsEmpty()) continue;
        for (const GlyphRun& run : glyph.runs) placed.push_back(PlacedRun{gy + run.dy, gx + run.x0, gx + run.x1});
      }
    }
    pen = runLength;
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
  // Mirrored glyphs have their ascent on the other side of the baseline.
  if (font.mirrored) FillBand(target, origin, DirectionOf(angle), 0, width, -metrics.descent, metrics.ascent);
  else FillBand(target, origin, DirectionOf(angle), 0, width, -metrics.ascent, metrics.descent);
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
