#pragma once
// GDI's Rectangle and FillRect on a device context, in logical coordinates.

#include <cstdint>
#include <vector>

#include <orvane/gdi/DeviceContext.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// The dash pattern of a cosmetic pen style (lengths of on, off, on, ... in
// pixels); empty for a solid pen.
const std::vector<uint32_t>& CosmeticDashes(const Pen& pen);

// Rectangle(x1, y1, x2, y2): with a pen, the border pixels of columns x1..x2-1
// and rows y1..y2-1 take the pen and the inside the brush; with the null pen
// the brush fills columns x1..x2-2 and rows y1..y2-2, as GDI does.
bool Rectangle(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Fills columns left..right-1 and rows top..bottom-1 with a brush.
bool FillRect(HDC dc, const Rect& logical, const Brush& brush);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
