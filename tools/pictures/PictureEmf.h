#pragma once
// Turns parsed path data into an enhanced metafile drawn at 1:1.
//
// The header's reference device is 640 x 480 pixels, 169 x 127 mm; the
// frame (0.01 mm) is the natural size converted and truncated, which a
// reader converts back (frame x pixels / (mm x 100), rounded half away
// from zero) to exactly the natural size: 224 x 287 gives the frame
// 0, 0, 5915, 7593. The records: anisotropic mapping with equal window and
// viewport extents and zero origins, the stock null pen selected once, and
// per shape a solid brush created and selected, one path (MoveToEx, runs of
// cubics as one PolyBezierTo16, LineTo, CloseFigure), FillPath, the stock
// white brush selected back and the brush deleted. SetPolyFillMode is
// written before the first shape and whenever the rule changes.
// Coordinates are rounded half away from zero to whole logical units.

#include <cstdint>
#include <vector>

#include "emf/EmfWriter.h"
#include "pictures/PathData.h"

namespace orvanetools {

// The header for a picture of width x height pixels (both 1..32767).
orvane::emf::HeaderInfo PictureHeader(int width, int height);

// The metafile bytes of a picture.
std::vector<uint8_t> EncodePictureEmf(const PathPicture& picture);

}  // namespace orvanetools
