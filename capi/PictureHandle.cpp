#include "PictureHandle.h"

#include <algorithm>

#include <orvane/graphics/PhysicalSize.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>
#include <orvane/rtl/Messages.h>
#include "CallGuard.h"

namespace orvane::capi {

std::unique_ptr<orvane_picture> LoadPicture(const uint8_t* data, size_t size, vcl::TPictureFormat fallback,
                                            const std::string& extension) {
  vcl::TPictureFormat kind = vcl::RecognizePictureFormat(data, size);
  if (kind == vcl::TPictureFormat::Unknown) kind = fallback;
  auto picture = std::make_unique<orvane_picture>();
  picture->graphic = vcl::NewGraphicFor(kind);
  if (!picture->graphic) throw UnknownFormat(rtl::msg::FormatS(rtl::msg::UnknownExtensionFmt, extension));
  // What a file read would have refused before reading it.
  if (std::min<uint64_t>(picture->graphic->FileBytesClaimed(data, size), size) > rtl::kLargestReadableFile)
    throw rtl::EOutOfMemory();
  const vcl::TPhysicalSize physical = vcl::LoadWithPhysicalSize(*picture->graphic, kind, data, size);
  picture->inchesWide = physical.inchesWide;
  picture->inchesHigh = physical.inchesHigh;
  picture->stated = physical.stated;
  return picture;
}

}  // namespace orvane::capi
