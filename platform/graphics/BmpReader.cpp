#include "graphics/Bitmap.h"
#include "rtl/Exceptions.h"
#include "rtl/Messages.h"

namespace vcl {

// BMP decoding comes with the picture container.
void TBitmap::LoadFromBytes(const uint8_t*, size_t) { throw rtl::EInvalidGraphic(rtl::msg::InvalidBitmap); }

}  // namespace vcl
