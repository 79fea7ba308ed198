#include "render/PictureInput.h"

#include <unistd.h>

#include <cerrno>

#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/PictureReading.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>
#include "render/RenderOptions.h"

namespace orvanetools {

namespace {

constexpr double kHundredthsOfMmPerInch = 2540;
constexpr double kMetresPerInch = 0.0254;
constexpr double kScreenDpi = 96;

int32_t I32(const uint8_t* p) {
  uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  return static_cast<int32_t>(v);
}

// Standard input as it arrives (memory follows what comes, not what is asked for).
size_t ReadStandardInput(uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(STDIN_FILENO, buffer + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw orvane::rtl::EReadError();
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

// The frame of the metafile's header, in inches; an empty or turned frame,
// or a header whose device size gives no pixels, makes the metafile invalid.
void MetafileInches(const orvane::vcl::TMetafile& metafile, LoadedPicture& picture) {
  const std::vector<uint8_t>* emf = metafile.Data();
  constexpr size_t kFrame = 24;
  if (!emf || emf->size() < kFrame + 16 || metafile.Width() <= 0 || metafile.Height() <= 0)
    throw orvane::rtl::EInvalidGraphic(orvane::rtl::msg::InvalidMetafile);
  const uint8_t* frame = emf->data() + kFrame;
  const int64_t wide = int64_t{I32(frame + 8)} - I32(frame), high = int64_t{I32(frame + 12)} - I32(frame + 4);
  if (wide <= 0 || high <= 0) throw orvane::rtl::EInvalidGraphic(orvane::rtl::msg::InvalidMetafile);
  picture.inchesWide = double(wide) / kHundredthsOfMmPerInch;
  picture.inchesHigh = double(high) / kHundredthsOfMmPerInch;
}

// A BMP's pixels per metre from its information header (40 bytes or more);
// a missing or non-positive field counts as 96 dpi.
void BitmapInches(const std::vector<uint8_t>& bytes, int32_t width, int32_t height, LoadedPicture& picture) {
  constexpr size_t kInfo = 14, kXPelsPerMeter = kInfo + 24, kYPelsPerMeter = kInfo + 28;
  const bool hasResolution = bytes.size() >= kYPelsPerMeter + 4 && I32(bytes.data() + kInfo) >= 40;
  auto dpi = [&](size_t at) {
    const int32_t perMetre = hasResolution ? I32(bytes.data() + at) : 0;
    return perMetre > 0 ? perMetre * kMetresPerInch : kScreenDpi;
  };
  picture.inchesWide = width / dpi(kXPelsPerMeter);
  picture.inchesHigh = height / dpi(kYPelsPerMeter);
}

}  // namespace

std::vector<uint8_t> ReadInput(const std::string& input) {
  // Standard input is read as files are: only as far as its header claims.
  if (input == "-") return orvane::vcl::ReadPicture(ReadStandardInput);
  return orvane::vcl::ReadPictureFile(input, orvane::vcl::PictureFormatOfName(input));
}

LoadedPicture LoadPicture(const std::string& name, const std::vector<uint8_t>& bytes) {
  LoadedPicture picture;
  picture.kind = orvane::vcl::RecognizePictureFormat(bytes.data(), bytes.size());
  if (picture.kind == orvane::vcl::TPictureFormat::Unknown && name != "-")
    picture.kind = orvane::vcl::PictureFormatOfName(name);
  picture.graphic = orvane::vcl::NewGraphicFor(picture.kind);
  if (!picture.graphic)
    throw orvane::rtl::EInvalidGraphic(
        orvane::rtl::msg::FormatS(orvane::rtl::msg::UnknownExtensionFmt, name == "-" ? "" : LowerExtension(name)));
  if (auto* metafile = dynamic_cast<orvane::vcl::TMetafile*>(picture.graphic.get())) {
    try {
      metafile->LoadFromBytes(bytes.data(), bytes.size());
    } catch (const orvane::rtl::EMathError&) {
      // A header with a zero or negative physical size: its pixel size cannot be worked out.
      throw orvane::rtl::EInvalidGraphic(orvane::rtl::msg::InvalidMetafile);
    }
    MetafileInches(*metafile, picture);
    return picture;
  }
  picture.graphic->LoadFromBytes(bytes.data(), bytes.size());
  const int32_t w = picture.graphic->Width(), h = picture.graphic->Height();
  if (picture.kind == orvane::vcl::TPictureFormat::Bmp) {
    BitmapInches(bytes, w, h, picture);
  } else {
    picture.inchesWide = w / kScreenDpi;
    picture.inchesHigh = h / kScreenDpi;
  }
  return picture;
}

}  // namespace orvanetools
