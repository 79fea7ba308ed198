#pragma once
// FreeType faces, fonts realised at a pixel size and their rendered glyphs,
// cached so that text drawn on every paint costs no more than its spans.
// Faces are kept per file and face index, realised fonts per logical font,
// glyphs per face, size, glyph index, angle and synthetic style. Every
// cache is bounded: when one is full it is emptied (glyphs), or all of them
// are (faces, since fonts and glyphs refer to faces).
//
// There is one cache for the process. FreeType's library and faces may not
// be used by two threads at once, so the cache is reached only through a
// Locked handle, which holds the cache's lock while it lives: whatever the
// cache returns (fonts, glyphs) is to be used, or copied out, before the
// handle goes.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <orvane/gdi/FontEngine.h>

namespace orvane::gdi {

// One run of set pixels of a glyph bitmap: row dy, columns [x0, x1),
// relative to the glyph's origin on the baseline (y down).
struct GlyphRun {
  int32_t dy;
  int32_t x0;
  int32_t x1;
};

struct Glyph {
  int32_t advance = 0;  // pixels along the baseline (meaningful for angle 0)
  Rect box;             // bounds of the runs, relative to the origin
  std::vector<GlyphRun> runs;
};

struct FaceEntry;

// A font realised at a size: the face, the FreeType character size and the
// metrics as GDI reports them.
struct SizedFont {
  FaceEntry* face = nullptr;
  uint32_t faceId = 0;
  int32_t xSize = 0;  // 26.6 pixels per em
  int32_t ySize = 0;
  bool syntheticBold = false;
  bool syntheticItalic = false;
  TextMetrics metrics;
  int32_t underlineTop = 0;   // pixels below the baseline of the underline's top row
  int32_t underlineSize = 1;
  int32_t strikeTop = 0;      // pixels below the baseline (negative: above) of the strike-out's top row
  int32_t strikeSize = 1;
};

class GlyphCache {
 public:
  class Locked {
   public:
    GlyphCache* operator->() const { return cache_; }
    GlyphCache& operator*() const { return *cache_; }

   private:
    friend class GlyphCache;
    explicit Locked(GlyphCache& cache) : lock_(cache.mutex_), cache_(&cache) {}
    std::unique_lock<std::mutex> lock_;
    GlyphCache* cache_;
  };
  // The process's cache, locked until the handle is destroyed.
  static Locked Acquire();
  ~GlyphCache();
  GlyphCache(const GlyphCache&) = delete;
  GlyphCache& operator=(const GlyphCache&) = delete;

  // The font realised for a logical font; nullptr when no face can be loaded.
  // The pointer stays valid until the next Realize or Clear.
  const SizedFont* Realize(const Font& font);
  // The glyph index of a character (0, the missing glyph, when the face has none).
  uint32_t GlyphIndex(const SizedFont& font, char32_t ch);
  // A rendered glyph at an angle (tenths of a degree, 0..3599); valid until
  // the next Glyph call. Never null.
  const Glyph& GetGlyph(const SizedFont& font, uint32_t glyphIndex, int32_t angle);

  FontCacheStats Stats() const;
  void Clear();

 private:
  GlyphCache();
  FaceEntry* OpenFace(const FontFileInfo& file);
  bool Load(const SizedFont& font, uint32_t glyphIndex, int32_t angle, Glyph& out);

  struct GlyphKey {
    uint32_t faceId;
    int32_t xSize;
    int32_t ySize;
    uint32_t glyph;
    int32_t angle;
    uint8_t synthetic;
    friend bool operator==(const GlyphKey&, const GlyphKey&) = default;
  };
  struct GlyphKeyHash {
    size_t operator()(const GlyphKey& k) const;
  };

  struct LibraryDeleter {
    void operator()(void* library) const;
  };
  std::mutex mutex_;
  std::unique_ptr<void, LibraryDeleter> library_;  // FT_Library
  std::unordered_map<std::string, std::unique_ptr<FaceEntry>> faces_;
  std::unordered_map<std::string, SizedFont> fonts_;
  std::unordered_map<GlyphKey, Glyph, GlyphKeyHash> glyphs_;
  size_t glyphBytes_ = 0;
  uint32_t nextFaceId_ = 1;
};

}  // namespace orvane::gdi
