#include "PictureHandle.h"

#include <algorithm>
#include <vector>

#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>
#include <orvane/rtl/Messages.h>
#include "CallGuard.h"

namespace orvane::capi {

namespace {

// The physical size follows orvane-render's rules (tools/render/PictureInput.cpp),
// so that a size at a resolution comes out as the tool's.
constexpr double kHundredthsOfMmPerInch = 2540;
constexpr double kMetresPerInch = 0.0254;
constexpr double kScreenDpi = 96;

int32_t I32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

// The frame of the EMF header (rclFrame, 0.01 mm, at offset 24).
void MetafileInches(const vcl::TMetafile& metafile, orvane_picture& picture) {
  const std::vector<uint8_t>* emf = metafile.Data();
  constexpr size_t kFrame = 24;
  if (!emf || emf->size() < kFrame + 16 || metafile.Width() <= 0 || metafile.Height() <= 0)
    throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
  const uint8_t* frame = emf->data() + kFrame;
  const int64_t wide = int64_t{I32(frame + 8)} - I32(frame), high = int64_t{I32(frame + 12)} - I32(frame + 4);
  if (wide <= 0 || high <= 0) throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
  picture.inchesWide = double(wide) / kHundredthsOfMmPerInch;
  picture.inchesHigh = double(high) / kHundredthsOfMmPerInch;
  picture.stated = true;
}

// A BMP's pixels per metre in its information header (40 bytes or more
// after the 14-byte file header); a missing or non-positive one is 96 dpi.
void BitmapInches(const uint8_t* data, size_t size, orvane_picture& picture) {
  constexpr size_t kInfo = 14, kXPelsPerMeter = kInfo + 24, kYPelsPerMeter = kInfo + 28;
  const bool hasResolution = size >= kYPelsPerMeter + 4 && I32(data + kInfo) >= 40;
  const int32_t perMetreX = hasResolution ? I32(data + kXPelsPerMeter) : 0;
  const int32_t perMetreY = hasResolution ? I32(data + kYPelsPerMeter) : 0;
  picture.stated = perMetreX > 0 && perMetreY > 0;
  picture.inchesWide = picture.graphic->Width() / (perMetreX > 0 ? perMetreX * kMetresPerInch : kScreenDpi);
  picture.inchesHigh = picture.graphic->Height() / (perMetreY > 0 ? perMetreY * kMetresPerInch : kScreenDpi);
}

}  // namespace

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
  if (auto* metafile = dynamic_cast<vcl::TMetafile*>(picture->graphic.get())) {
    try {
      metafile->LoadFromBytes(data, size);
    } catch (const rtl::EMathError&) {
      // A header with a zero or negative physical size: no pixel size can be worked out.
      throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
    }
    MetafileInches(*metafile, *picture);
    return picture;
  }
  picture->graphic->LoadFromBytes(data, size);
  if (kind == vcl::TPictureFormat::Bmp) {
    BitmapInches(data, size, *picture);
  } else {
    picture->inchesWide = picture->graphic->Width() / kScreenDpi;
    picture->inchesHigh = picture->graphic->Height() / kScreenDpi;
  }
  return picture;
}

}  // namespace orvane::capi
