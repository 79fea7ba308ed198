#pragma once
// The filtered draw's last step for rows rendered from spans: each target
// row is reduced from its recorded sample rows and blended straight onto the
// device context's surface within its clip. Stretches that nothing painted
// leave the surface alone, stretches painted in every sample are written as
// their colour, and only the pixels in between are blended. The bytes are
// those of reducing to colour and coverage rasters and blending those over
// a copy of the surface; a four-byte pixel that is written gets 0 in its
// fourth byte, as a copy from three bytes gives.

#include <cstdint>

#include <orvane/gdi/DeviceContext.h>
#include <orvane/detail/FilteredRendering.h>

namespace orvane {

// Blends target rows `part` (the columns part.left onwards) with the
// target's top-left corner at device (deviceX, deviceY). Returns the rows
// done from part.top: fewer than part.rows when the graphic turned out to
// paint in a way that depends on what is under the paint, from the row
// returned on (those rows must come from key surfaces).
int32_t BlendRecordedRows(SpanRendering& spans, int32_t factor, gdi::HDC target, int64_t deviceX, int64_t deviceY,
                          const TargetRows& part);

}  // namespace orvane
