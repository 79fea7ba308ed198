#include <orvane/graphics/GraphicsTypes.h>

namespace orvane::vcl {

gdi::COLORREF ColorToRGB(TColor color) {
  const uint32_t value = static_cast<uint32_t>(color);
  if ((value & 0xFF000000u) != 0x80000000u) return value & 0xFFFFFF;
  switch (value & 0xFF) {
    case 5: return gdi::RGB(255, 255, 255);   // window background
    case 8: return gdi::RGB(0, 0, 0);         // window text
    case 15: return gdi::RGB(240, 240, 240);  // button face
    default: return gdi::RGB(0, 0, 0);
  }
}

}  // namespace orvane::vcl
