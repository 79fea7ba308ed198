#include <orvane/graphics/PhysicalSize.h>

#include <vector>

#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

constexpr double kHundredthsOfMmPerInch = 2540;
constexpr double kMetresPerInch = 0.0254;
constexpr double kScreenDpi = 96;

int32_t I32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

TPhysicalSize MetafileInches(const TMetafile& metafile) {
  const std::vector<uint8_t>* emf = metafile.Data();
  constexpr size_t kFrame = 24;
  if (!emf || emf->size() < kFrame + 16 || metafile.Width() <= 0 || metafile.Height() <= 0)
    throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
  const uint8_t* frame = emf->data() + kFrame;
  const int64_t wide = int64_t{I32(frame + 8)} - I32(frame), high = int64_t{I32(frame + 12)} - I32(frame + 4);
  if (wide <= 0 || high <= 0) throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
  return {double(wide) / kHundredthsOfMmPerInch, double(high) / kHundredthsOfMmPerInch, true};
}

// The pixels per metre of a BMP's information header (40 bytes or more
// after the 14-byte file header).
TPhysicalSize BitmapInches(const TGraphic& bitmap, const uint8_t* data, size_t size) {
  constexpr size_t kInfo = 14, kXPelsPerMeter = kInfo + 24, kYPelsPerMeter = kInfo + 28;
  const bool hasResolution = size >= kYPelsPerMeter + 4 && I32(data + kInfo) >= 40;
  const int32_t perMetreX = hasResolution ? I32(data + kXPelsPerMeter) : 0;
  const int32_t perMetreY = hasResolution ? I32(data + kYPelsPerMeter) : 0;
  return {bitmap.Width() / (perMetreX > 0 ? perMetreX * kMetresPerInch : kScreenDpi),
          bitmap.Height() / (perMetreY > 0 ? perMetreY * kMetresPerInch : kScreenDpi), perMetreX > 0 && perMetreY > 0};
}

}  // namespace

TPhysicalSize LoadWithPhysicalSize(TGraphic& graphic, TPictureFormat format, const uint8_t* data, size_t size) {
  if (auto* metafile = dynamic_cast<TMetafile*>(&graphic)) {
    try {
      metafile->LoadFromBytes(data, size);
    } catch (const rtl::EMathError&) {
      // A header with a zero or negative physical size: no pixel size can be worked out.
      throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
    }
    return MetafileInches(*metafile);
  }
  graphic.LoadFromBytes(data, size);
  if (format == TPictureFormat::Bmp) return BitmapInches(graphic, data, size);
  return {graphic.Width() / kScreenDpi, graphic.Height() / kScreenDpi, false};
}

}  // namespace orvane::vcl
