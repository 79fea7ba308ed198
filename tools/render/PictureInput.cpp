#include "render/PictureInput.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>
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

std::unique_ptr<orvane::vcl::TGraphic> GraphicOfKind(PictureKind kind) {
  switch (kind) {
    case PictureKind::Emf:
    case PictureKind::PlaceableWmf: return std::make_unique<orvane::vcl::TMetafile>();
    case PictureKind::Bmp: return std::make_unique<orvane::vcl::TBitmap>();
    case PictureKind::Icon: return std::make_unique<orvane::vcl::TIcon>();
    case PictureKind::Unknown: break;
  }
  return nullptr;
}

// How many bytes the input `name` holds, as the header of the kind its first
// bytes `head` show claims; of an input no reader knows, only those bytes.
uint64_t ClaimedBytes(const std::string& name, const uint8_t* head, size_t size) {
  PictureKind kind = SniffPictureKind(head, size);
  if (kind == PictureKind::Unknown && name != "-") kind = PictureKindOfName(name);
  const auto graphic = GraphicOfKind(kind);
  return graphic ? graphic->FileBytesClaimed(head, size) : uint64_t{size};
}

// Appends up to `count` bytes of standard input to `data`, as they arrive
// (memory follows what comes, not what is asked for); false at its end.
bool ReadStandardInputInto(std::vector<uint8_t>& data, uint64_t count) {
  uint8_t chunk[65536];
  while (count > 0) {
    const ssize_t got = ::read(STDIN_FILENO, chunk, static_cast<size_t>(std::min<uint64_t>(count, sizeof chunk)));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw orvane::rtl::EReadError();
    if (got == 0) return false;
    data.insert(data.end(), chunk, chunk + got);
    count -= static_cast<uint64_t>(got);
  }
  return true;
}

// Standard input read as files are: its first bytes, then only as far as
// the header they show claims, never beyond the readers' ceiling.
std::vector<uint8_t> ReadStandardInput() {
  std::vector<uint8_t> data;
  try {
    ReadStandardInputInto(data, orvane::vcl::TGraphic::kClaimHeadBytes);
    const uint64_t claimed = ClaimedBytes("-", data.data(), data.size());
    if (claimed > orvane::rtl::kLargestReadableFile) throw orvane::rtl::EOutOfMemory();
    if (claimed > data.size()) ReadStandardInputInto(data, claimed - data.size());
  } catch (const std::bad_alloc&) {
    throw orvane::rtl::EOutOfMemory();
  }
  return data;
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
  if (input == "-") return ReadStandardInput();
  // Only as far as the header of the kind its first bytes show says the file
  // reaches; of a file no reader knows, only those first bytes.
  return orvane::rtl::ReadFileAsClaimed(input, orvane::vcl::TGraphic::kClaimHeadBytes,
                                        [&input](const uint8_t* head, size_t size) {
                                          return ClaimedBytes(input, head, size);
                                        });
}

LoadedPicture LoadPicture(const std::string& name, const std::vector<uint8_t>& bytes) {
  LoadedPicture picture;
  picture.kind = SniffPictureKind(bytes.data(), bytes.size());
  if (picture.kind == PictureKind::Unknown && name != "-") picture.kind = PictureKindOfName(name);
  picture.graphic = GraphicOfKind(picture.kind);
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
  if (picture.kind == PictureKind::Bmp) {
    BitmapInches(bytes, w, h, picture);
  } else {
    picture.inchesWide = w / kScreenDpi;
    picture.inchesHigh = h / kScreenDpi;
  }
  return picture;
}

}  // namespace orvanetools
