#pragma once
// The logical drawing objects that a device context holds: pen, brush and
// font, as value types. The canvas and the metafile player select them into
// a device context; the rasteriser reads them from there.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

enum class PenStyle : uint8_t { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Null = 5, InsideFrame = 6, UserStyle = 7, Alternate = 8 };
enum class PenEndCap : uint8_t { Round = 0, Square = 1, Flat = 2 };
enum class PenJoin : uint8_t { Round = 0, Bevel = 1, Miter = 2 };
enum class HatchStyle : uint8_t { Horizontal = 0, Vertical = 1, FDiagonal = 2, BDiagonal = 3, Cross = 4, DiagCross = 5 };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int32_t width = 1;      // logical units as selected; the player converts to device units
  COLORREF color = 0;
  bool geometric = false;  // an extended geometric pen: caps and joins apply
  PenEndCap endCap = PenEndCap::Round;
  PenJoin join = PenJoin::Round;
  std::vector<uint32_t> userDashes;  // PenStyle::UserStyle: dash and gap lengths
  // A geometric pen made with a hatch brush paints its area with the hatch
  // in the pen colour, the gaps as the background mode says.
  bool hatched = false;
  HatchStyle hatch = HatchStyle::Horizontal;
  [[no_unique_address]] LiveTally<LiveKind::Pen> tally;
};

enum class BrushStyle : uint8_t { Solid = 0, Null = 1, Hatched = 2, Pattern = 3 };

// A brush pattern as colour values, repeated from the brush origin.
struct PatternImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<COLORREF> pixels;  // width * height, top row first
};

struct Brush {
  BrushStyle style = BrushStyle::Solid;
  COLORREF color = RGB(255, 255, 255);
  HatchStyle hatch = HatchStyle::Horizontal;
  std::shared_ptr<const PatternImage> pattern;  // BrushStyle::Pattern
  [[no_unique_address]] LiveTally<LiveKind::Brush> tally;
};

struct Font {
  int32_t height = -11;     // pixels; negative: character height, positive: cell height
  int32_t width = 0;
  int32_t escapement = 0;   // tenths of a degree, counter-clockwise
  int32_t orientation = 0;
  int32_t weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t charSet = 1;
  std::string faceName = "MS Sans Serif";  // UTF-8
  // The glyphs flipped across their baseline, as a mapping that flips one
  // axis shows them in the advanced graphics mode.
  bool mirrored = false;
  [[no_unique_address]] LiveTally<LiveKind::Font> tally;
};

enum class BackgroundMode : uint8_t { Transparent = 1, Opaque = 2 };

// Text alignment flags (SetTextAlign).
constexpr uint32_t TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
                   TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
