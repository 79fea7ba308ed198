#include <orvane/gdi/detail/GlyphCache.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_GASP_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <orvane/gdi/detail/FontMatcher.h>

namespace orvane::gdi {

namespace {

constexpr size_t kMaxFaces = 16;
constexpr size_t kMaxFonts = 128;
constexpr size_t kMaxGlyphs = 8192;
constexpr size_t kMaxGlyphBytes = size_t{8} << 20;
// Larger fonts are drawn at this em size: a glyph bitmap of more than 4096
// rows would cost megabytes to render for text that is mostly clipped away.
constexpr int64_t kMaxEmPixels = 4096;
constexpr int32_t kDefaultCellHeight = 12;
// The shear of a slanted face where the font has no italic (about 12 degrees).
constexpr double kObliqueShear = 0.2126;

FT_Library AsLibrary(void* p) { return static_cast<FT_Library>(p); }

// GDI rounds metrics half up.
int32_t RoundHalfUp(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }

std::string FaceKey(const FontFileInfo& file) { return file.path + '\0' + std::to_string(file.index); }

}  // namespace

struct FaceEntry {
  FT_Face face = nullptr;
  uint32_t id = 0;
  int32_t xSize = -1;  // the character size last set on the face (26.6)
  int32_t ySize = -1;
  ~FaceEntry() {
    if (face) FT_Done_Face(face);
  }
};

void GlyphCache::LibraryDeleter::operator()(void* library) const {
  if (library) FT_Done_FreeType(AsLibrary(library));
}

size_t GlyphCache::GlyphKeyHash::operator()(const GlyphKey& k) const {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
  mix(k.faceId);
  mix(static_cast<uint32_t>(k.xSize));
  mix(static_cast<uint32_t>(k.ySize));
  mix(k.glyph);
  mix(static_cast<uint32_t>(k.angle));
  mix(k.synthetic);
  return static_cast<size_t>(h);
}

GlyphCache::Locked GlyphCache::Acquire() {
  static GlyphCache cache;
  return Locked(cache);
}

GlyphCache::GlyphCache() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0) library_.reset(library);
}

GlyphCache::~GlyphCache() {
  // Faces belong to the library: release them first.
  glyphs_.clear();
  fonts_.clear();
  faces_.clear();
}

void GlyphCache::Clear() {
  glyphs_.clear();
  glyphBytes_ = 0;
  fonts_.clear();
  faces_.clear();
}

FontCacheStats GlyphCache::Stats() const {
  FontCacheStats s;
  for (const auto& [key, face] : faces_) s.faces += face ? 1 : 0;
  s.fonts = fonts_.size();
  s.glyphs = glyphs_.size();
  s.glyphBytes = glyphBytes_;
  return s;
}

FaceEntry* GlyphCache::OpenFace(const FontFileInfo& file) {
  if (!library_ || file.path.empty()) return nullptr;
  const std::string key = FaceKey(file);
  auto it = faces_.find(key);
  if (it != faces_.end()) return it->second.get();
  // Fonts and glyphs refer to faces: a full face cache empties all of them.
  if (faces_.size() >= kMaxFaces) Clear();
  std::unique_ptr<FaceEntry> entry;
  FT_Face face = nullptr;
  if (FT_New_Face(AsLibrary(library_.get()), file.path.c_str(), file.index, &face) == 0) {
    entry = std::make_unique<FaceEntry>();
    entry->face = face;
    entry->id = nextFaceId_++;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL);
    if (!FT_IS_SCALABLE(face) && face->num_fixed_sizes <= 0) entry.reset();
  }
  // A file that cannot be opened is remembered as such, so it is not tried on every call.
  return faces_.emplace(key, std::move(entry)).first->second.get();
}

const SizedFont* GlyphCache::Realize(const Font& font) {
  if (!library_) return nullptr;
  const bool bold = font.weight >= 600;
  std::string key = font.faceName;
  key += '\0' + std::to_string(font.height) + ',' + std::to_string(font.width) + (bold ? "b" : "-") +
         (font.italic ? "i" : "-");
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return &it->second;

  FontMatcher& matcher = FontMatcher::Instance();
  // The matcher's lock is taken inside this one, never the other way round.
  FontFileInfo file = matcher.Match(font.faceName, bold, font.italic);
  FaceEntry* entry = OpenFace(file);
  if (!entry) {
    file = matcher.Fallback(bold, font.italic);
    entry = OpenFace(file);
  }
  if (!entry) return nullptr;
  if (fonts_.size() >= kMaxFonts) fonts_.clear();

  FT_Face face = entry->face;
  SizedFont sf;
  sf.face = entry;
  sf.faceId = entry->id;
  sf.syntheticBold = file.syntheticBold;
  sf.syntheticItalic = file.syntheticItalic;
  TextMetrics& m = sf.metrics;

  const int64_t requested = font.height == 0 ? kDefaultCellHeight : font.height;
  if (FT_IS_SCALABLE(face) && face->units_per_EM > 0) {
    const double upem = face->units_per_EM;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double ascUnits = 0, descUnits = 0;
    if (os2 && os2->version != 0xFFFF && int{os2->usWinAscent} + int{os2->usWinDescent} > 0) {
      ascUnits = os2->usWinAscent;
      descUnits = os2->usWinDescent;
    } else if (face->ascender - face->descender > 0) {
      ascUnits = face->ascender;
      descUnits = -face->descender;
    } else {
      ascUnits = upem * 0.8;
      descUnits = upem * 0.2;
    }
    // Negative: the em is the height; positive: the cell (ascent + descent) is.
    double em = requested < 0 ? static_cast<double>(-requested)
                              : static_cast<double>(requested) * upem / (ascUnits + descUnits);
    em = std::clamp(em, 1.0, static_cast<double>(kMaxEmPixels));
    const double scale = em / upem;
    m.ascent = RoundHalfUp(ascUnits * scale);
    m.descent = RoundHalfUp(descUnits * scale);
    if (requested > 0 && requested <= kMaxEmPixels) m.descent = static_cast<int32_t>(requested) - m.ascent;
    m.height = m.ascent + m.descent;
    m.internalLeading = m.height - RoundHalfUp(em);
    sf.ySize = static_cast<int32_t>(std::lround(em * 64));

    double avgUnits = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
    double xEm = em;
    if (font.width != 0) {
      xEm = std::abs(static_cast<double>(font.width)) * upem / avgUnits;
      xEm = std::clamp(xEm, 1.0, static_cast<double>(kMaxEmPixels));
    }
    sf.xSize = static_cast<int32_t>(std::lround(xEm * 64));
    m.averageCharWidth = RoundHalfUp(avgUnits * xEm / upem);

    const double thickness = face->underline_thickness > 0 ? face->underline_thickness : upem / 14;
    const double center = face->underline_thickness > 0 ? -face->underline_position : descUnits / 2;
    sf.underlineSize = std::max(1, RoundHalfUp(thickness * scale));
    sf.underlineTop = std::max(0, RoundHalfUp(center * scale - sf.underlineSize / 2.0));
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
      sf.strikeSize = std::max(1, RoundHalfUp(os2->yStrikeoutSize * scale));
      sf.strikeTop = -RoundHalfUp(os2->yStrikeoutPosition * scale);
    } else {
      sf.strikeSize = sf.underlineSize;
      sf.strikeTop = -RoundHalfUp(ascUnits * scale / 3);
    }
  } else {
    // A bitmap-only face: the strike nearest to the asked height.
    const int64_t want = requested < 0 ? -requested : requested;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
      if (std::llabs(face->available_sizes[i].height - want) < std::llabs(face->available_sizes[best].height - want))
        best = i;
    if (FT_Select_Size(face, best) != 0) return nullptr;
    entry->xSize = entry->ySize = -1;
    sf.xSize = sf.ySize = -(best + 1);  // marks the strike rather than a scalable size
    m.ascent = static_cast<int32_t>(face->size->metrics.ascender >> 6);
    m.descent = static_cast<int32_t>(-face->size->metrics.descender >> 6);
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - static_cast<int32_t>(face->size->metrics.y_ppem));
    m.averageCharWidth = std::max(1, static_cast<int32_t>(face->size->metrics.x_ppem) / 2);
    sf.underlineTop = std::max(1, m.descent / 2);
    sf.strikeTop = -m.ascent / 3;
  }
  return &fonts_.emplace(std::move(key), sf).first->second;
}

uint32_t GlyphCache::GlyphIndex(const SizedFont& font, char32_t ch) {
  FT_Face face = font.face->face;
  FT_UInt index = FT_Get_Char_Index(face, ch);
  // Symbol fonts map their characters at U+F000 + code.
  if (index == 0 && ch < 0x100 && face->charmap && face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
    index = FT_Get_Char_Index(face, 0xF000 + ch);
  return index;
}

bool GlyphCache::Load(const SizedFont& font, uint32_t glyphIndex, int32_t angle, Glyph& out) {
  FaceEntry& entry = *font.face;
  FT_Face face = entry.face;
  if (entry.xSize != font.xSize || entry.ySize != font.ySize) {
    FT_Error err = font.ySize < 0 ? FT_Select_Size(face, -font.ySize - 1)
                                  : FT_Set_Char_Size(face, font.xSize, font.ySize, 72, 72);
    if (err != 0) {
      entry.xSize = entry.ySize = -1;
      return false;
    }
    entry.xSize = font.xSize;
    entry.ySize = font.ySize;
  }

  // FreeType's y axis points up, so a counter-clockwise turn on the screen
  // is a counter-clockwise matrix here too; a synthetic slant shears first.
  // Angles from 3600 on mirror the glyph across its baseline (y to -y) before it turns.
  const bool mirrored = angle >= 3600;
  if (mirrored) angle -= 3600;
  const double rad = angle * M_PI / 1800.0;
  const double c = angle == 0 ? 1.0 : std::cos(rad), s = angle == 0 ? 0.0 : std::sin(rad);
  const double k = font.syntheticItalic ? kObliqueShear : 0.0;
  const double flip = mirrored ? -1.0 : 1.0;
  FT_Matrix matrix;
  matrix.xx = static_cast<FT_Fixed>(std::lround(c * 65536));
  matrix.xy = static_cast<FT_Fixed>(std::lround((c * k - s) * flip * 65536));
  matrix.yx = static_cast<FT_Fixed>(std::lround(s * 65536));
  matrix.yy = static_cast<FT_Fixed>(std::lround((s * k + c) * flip * 65536));
  const bool identity = angle == 0 && !font.syntheticItalic && !mirrored;
  FT_Set_Transform(face, identity ? nullptr : &matrix, nullptr);

  FT_Int32 flags = FT_LOAD_TARGET_MONO;
  if (FT_IS_SCALABLE(face)) flags |= FT_LOAD_NO_BITMAP;
  // A font's grid-fitting table may say that small sizes are drawn from the
  // outline as designed: fitted to the pixel grid (with the dropout control
  // that comes with it) the few pixels of such glyphs would all turn dark.
  const FT_Int gasp = FT_Get_Gasp(face, face->size->metrics.y_ppem);
  if (gasp != FT_GASP_NO_TABLE && !(gasp & FT_GASP_DO_GRIDFIT)) flags |= FT_LOAD_NO_HINTING;
  const FT_Error err = FT_Load_Glyph(face, glyphIndex, flags);
  FT_Set_Transform(face, nullptr, nullptr);
  if (err != 0) return false;

  FT_GlyphSlot slot = face->glyph;
  out.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (font.syntheticBold) {
      FT_Outline_Embolden(&slot->outline, 64);
      out.advance += 1;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return false;
  }
  const FT_Bitmap& bm = slot->bitmap;
  if (bm.rows == 0 || bm.width == 0 || !bm.buffer) return true;
  const int32_t rows = static_cast<int32_t>(std::min<unsigned>(bm.rows, 1u << 16));
  const int32_t width = static_cast<int32_t>(std::min<unsigned>(bm.width, 1u << 16));
  const ptrdiff_t pitch = bm.pitch;
  const ptrdiff_t absPitch = pitch < 0 ? -pitch : pitch;
  int32_t minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
  for (int32_t r = 0; r < rows; ++r) {
    // Rows go down by `pitch`; an upward bitmap starts at its last row in memory.
    const uint8_t* row = bm.buffer + (pitch >= 0 ? r * pitch : (rows - 1 - r) * absPitch);
    auto on = [&](int32_t x) -> bool {
      switch (bm.pixel_mode) {
        case FT_PIXEL_MODE_MONO: return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case FT_PIXEL_MODE_GRAY: return row[x] >= 128;
        case FT_PIXEL_MODE_BGRA: return row[x * 4 + 3] >= 128;
        default: return false;
      }
    };
    int32_t x = 0;
    while (x < width) {
      while (x < width && !on(x)) ++x;
      if (x >= width) break;
      const int32_t start = x;
      while (x < width && on(x)) ++x;
      const int32_t dy = r - slot->bitmap_top;
      const int32_t x0 = slot->bitmap_left + start, x1 = slot->bitmap_left + x;
      out.runs.push_back(GlyphRun{dy, x0, x1});
      minX = std::min(minX, x0);
      maxX = std::max(maxX, x1);
      minY = std::min(minY, dy);
      maxY = std::max(maxY, dy + 1);
    }
  }
  if (!out.runs.empty()) out.box = Rect{minX, minY, maxX, maxY};
  out.runs.shrink_to_fit();
  return true;
}

const Glyph& GlyphCache::GetGlyph(const SizedFont& font, uint32_t glyphIndex, int32_t angle) {
  const GlyphKey key{font.faceId, font.xSize, font.ySize, glyphIndex, angle,
                     static_cast<uint8_t>((font.syntheticBold ? 1 : 0) | (font.syntheticItalic ? 2 : 0))};
  auto it = glyphs_.find(key);
  if (it != glyphs_.end()) return it->second;
  if (glyphs_.size() >= kMaxGlyphs || glyphBytes_ >= kMaxGlyphBytes) {
    glyphs_.clear();
    glyphBytes_ = 0;
  }
  Glyph glyph;
  if (!Load(font, glyphIndex, angle, glyph)) glyph = Glyph{};
  glyphBytes_ += sizeof(GlyphKey) + sizeof(Glyph) + glyph.runs.capacity() * sizeof(GlyphRun);
  return glyphs_.emplace(key, std::move(glyph)).first->second;
}

}  // namespace orvane::gdi
