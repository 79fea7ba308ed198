#pragma once
// Readable path data for the vector pictures we author ourselves: a text
// file of filled shapes, each a solid colour without outline, made of
// subpaths of lines and cubic Béziers. One command per line:
//
//   # comment
//   picture WIDTH HEIGHT                # natural size in pixels = logical units at 1:1
//   shape #RRGGBB [alternate|winding]   # a new filled shape in this colour (default winding)
//   M x y                               # start a subpath (numbers may be decimals)
//   L x y                               # line
//   C x1 y1 x2 y2 x y                   # cubic Bézier
//   Z                                   # close the subpath
//
// Rules the parser enforces (the file is outside data, so every line is
// checked): `picture` comes first and once, with whole sizes 1..32767;
// drawing commands belong to a shape; a shape's first command is M, and
// L, C and Z continue the subpath an M started (after Z a new M is needed);
// a shape holds at least one command; coordinates are plain decimals
// ("-12", "3.25"; no exponents, no inf or nan) within -32768..32767, so
// they fit the 16-bit point records of a metafile. A token starting with
// '#' begins a comment to the end of the line, except the colour right
// after `shape`. Several subpaths per shape are allowed (holes with
// alternate). Line ends may be LF or CR LF.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvanetools {

struct PathPoint {
  double x = 0;
  double y = 0;
};

enum class PathOp : uint8_t { Move, Line, Cubic, Close };

// Move and Line use points[0]; Cubic: points[0] and [1] are the control
// points, points[2] the end point; Close uses none.
struct PathCommand {
  PathOp op = PathOp::Move;
  std::array<PathPoint, 3> points{};
};

struct PathShape {
  uint32_t rgb = 0;        // colour value, red in bits 0-7
  bool alternate = false;  // fill rule: alternate (even-odd) or winding
  std::vector<PathCommand> commands;
};

struct PathPicture {
  int width = 0;   // natural size in pixels
  int height = 0;
  std::vector<PathShape> shapes;  // back to front
};

// Parses path data; raises orvane::rtl::EInvalidGraphic naming the line of the
// first error.
PathPicture ParsePathData(const std::string& text);

}  // namespace orvanetools
