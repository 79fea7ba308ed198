#pragma once
// Plays enhanced-metafile records onto a canvas, aliased, as GDI does.

#include <cstdint>
#include <map>
#include <vector>

#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/Metafile.h>

namespace orvane::vcl {

// What a playback left out (see TPlaybackReport).
using PlaybackReport = TPlaybackReport;

// How rectangles meet their boxes. An enhanced metafile plays in the
// advanced graphics mode, where a rectangle includes its right and bottom
// edges (the null pen's fill covers the whole box); the records converted
// from a Windows metafile keep the compatible mode's rules, one pixel less
// to the right and at the bottom, as drawing on a canvas does.
enum class ShapeRules : uint8_t { Advanced, Compatible };

// Plays `emf` (a checked EMF: header and records) so that its frame covers
// columns r.left..r.right-1 and rows r.top..r.bottom-1 of the canvas. Bad
// records are skipped; the canvas's own state is restored afterwards. With
// a report, adds the record types left out to it.
void PlayEnhancedMetafile(TCanvas& canvas, const TRect& r, const std::vector<uint8_t>& emf,
                          PlaybackReport* report = nullptr, ShapeRules rules = ShapeRules::Advanced);

}  // namespace orvane::vcl
