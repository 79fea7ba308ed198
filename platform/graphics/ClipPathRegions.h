#pragma once
// Clip regions made from paths (a clip path, a clip rectangle under a
// rotating transform) are filled into a mask row by row, which costs as much
// as the drawing area is large. A picture played over and over at the same
// size, as the bands and key colours of a filtered draw play it, makes the
// same clip regions every time. While a RepeatedClipPathScope lives, the
// regions made on this thread are kept, and a clip path that comes back with
// the same contours, fill mode and drawing area takes the kept region.

#include <cstdint>
#include <vector>

#include <orvane/gdi/Rasterizer.h>
#include <orvane/gdi/Region.h>

namespace orvane::vcl {

class RepeatedClipPathScope {
 public:
  RepeatedClipPathScope();
  ~RepeatedClipPathScope();
  RepeatedClipPathScope(const RepeatedClipPathScope&) = delete;
  RepeatedClipPathScope& operator=(const RepeatedClipPathScope&) = delete;
};

// The set of pixels covered by contours under a fill mode, limited to
// `bounds`; kept or taken from those kept while a scope lives.
gdi::Region ClipRegionFromContours(const std::vector<gdi::Contour>& contours, gdi::FillMode mode,
                                   const gdi::Rect& bounds);

// How many clip masks have been filled on this thread, for tests.
uint64_t ClipMasksFilled();

}  // namespace orvane::vcl
