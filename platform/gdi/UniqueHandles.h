#pragma once
// Owning handles for device contexts and bitmaps: whoever makes one holds
// it in one of these, so it is deleted on every path, exceptions included.
// A bitmap cannot be deleted while a device context has it selected: an
// owner declares its bitmap before the device context that selects it.

#include <memory>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/DeviceContext.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

struct DeviceContextDeleter {
  void operator()(DeviceContext* dc) const { DeleteDC(dc); }
};
struct BitmapDeleter {
  void operator()(BitmapObject* bitmap) const { DeleteObject(bitmap); }
};

using UniqueDC = std::unique_ptr<DeviceContext, DeviceContextDeleter>;
using UniqueBitmap = std::unique_ptr<BitmapObject, BitmapDeleter>;

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
