#include <orvane/graphics/PictureFormat.h>

#include <cctype>

#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/detail/GzipStream.h>
#include <orvane/graphics/detail/WmfConverter.h>

namespace orvane::vcl {

namespace {

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF" at offset 40
constexpr uint32_t kIconType = 1;

// The extension after the last dot of the name's last part, lower case.
std::string LowerExtension(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = fileName.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

TPictureFormat RecognizePictureFormat(const uint8_t* data, size_t size) {
  if (!data) return TPictureFormat::Unknown;
  if (size >= 44 && U32(data) == kEmrHeader && U32(data + 40) == kEmfSignature) return TPictureFormat::Emf;
  if (IsPlaceableWmf(data, size)) return TPictureFormat::PlaceableWmf;
  if (IsStandardWmf(data, size)) return TPictureFormat::StandardWmf;
  if (IsGzip(data, size)) return TPictureFormat::Gzip;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return TPictureFormat::Bmp;
  if (size >= 6 && U16(data) == 0 && U16(data + 2) == kIconType && U16(data + 4) > 0) return TPictureFormat::Icon;
  return TPictureFormat::Unknown;
}

TPictureFormat PictureFormatOfName(const std::string& fileName) {
  const std::string ext = LowerExtension(fileName);
  if (ext == "emf") return TPictureFormat::Emf;
  if (ext == "wmf") return TPictureFormat::PlaceableWmf;
  if (ext == "emz" || ext == "wmz") return TPictureFormat::Gzip;
  if (ext == "bmp") return TPictureFormat::Bmp;
  if (ext == "ico") return TPictureFormat::Icon;
  return TPictureFormat::Unknown;
}

std::unique_ptr<TGraphic> NewGraphicFor(TPictureFormat format) {
  switch (format) {
    case TPictureFormat::Emf:
    case TPictureFormat::PlaceableWmf:
    case TPictureFormat::StandardWmf:
    case TPictureFormat::Gzip: return std::make_unique<TMetafile>();
    case TPictureFormat::Bmp: return std::make_unique<TBitmap>();
    case TPictureFormat::Icon: return std::make_unique<TIcon>();
    case TPictureFormat::Unknown: break;
  }
  return nullptr;
}

}  // namespace orvane::vcl
