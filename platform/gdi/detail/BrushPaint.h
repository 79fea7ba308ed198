#pragma once
// The paint a brush gives the rasteriser.

#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/DrawingObjects.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/rtl/Visibility.h>

// Exported for the toolkit library, which draws text and images too.
ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// The paint of a brush in a device context (solid, hatch or pattern), or
// false when the brush paints nothing (a null brush).
bool BrushPaint(const DeviceContext& dc, const Brush& brush, Paint& paint);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
