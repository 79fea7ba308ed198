#include <orvane/graphics/Metafile.h>

#include <cstring>

#include <orvane/graphics/detail/EmfPlayer.h>
#include <orvane/graphics/detail/EmfPlus.h>
#include <orvane/graphics/detail/GraphicReading.h>
#include <orvane/graphics/detail/GzipStream.h>
#include <orvane/graphics/detail/WmfConverter.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

// ENHMETAHEADER field offsets.
constexpr size_t kType = 0, kFrame = 24, kSignature = 40, kBytes = 48, kDevice = 72, kMillimeters = 80;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kMinimumEmfSize = 101;         // more than 100 bytes
// WMF: the metafile header (9 words) whose size field (at 6, in 16-bit
// words) counts it and the records; in a placeable WMF after the 22-byte
// placeable header.
constexpr size_t kMetaSizeField = 6, kMetaHeaderSize = 18;
constexpr size_t kPlaceableSize = 22, kWmfSizeField = kPlaceableSize + kMetaSizeField,
                 kWmfHeadersSize = kPlaceableSize + kMetaHeaderSize;

uint32_t U32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

bool LooksLikeEmf(const uint8_t* data, size_t size) {
  return size >= kMinimumEmfSize && U32(data + kType) == 1 && U32(data + kSignature) == kEmfSignature;
}

uint64_t PlaceableWmfBytes(const uint8_t* data) { return kPlaceableSize + 2 * uint64_t{U32(data + kWmfSizeField)}; }
uint64_t StandardWmfBytes(const uint8_t* data) { return 2 * uint64_t{U32(data + kMetaSizeField)}; }

// frame extent (0.01 mm) x device pixels / (device mm x 100), rounded half away from zero.
int32_t PixelExtent(int32_t frameLow, int32_t frameHigh, int32_t devicePixels, int32_t deviceMillimetres) {
  const int64_t denominator = int64_t{deviceMillimetres} * 100;
  if (denominator == 0) return 0;
  const int64_t pixels = rtl::DivRoundHalfAway((int64_t{frameHigh} - frameLow) * devicePixels, denominator);
  return gdi::ClampToInt32(pixels);
}

}  // namespace

void TMetafile::LoadFromBytes(const uint8_t* data, size_t size) {
  if (!IsGzip(data, size)) return LoadUncompressed(data, size);
  const std::vector<uint8_t> inflated =
      InflateAsClaimed(MemoryReader(data, size), kClaimHeadBytes,
                       [this](const uint8_t* head, size_t headSize) { return FileBytesClaimed(head, headSize); });
  LoadUncompressed(inflated.data(), inflated.size());
}

void TMetafile::LoadUncompressed(const uint8_t* data, size_t size) {
  std::vector<uint8_t> emf;
  if (LooksLikeEmf(data, size)) {
    const uint32_t declared = U32(data + kBytes);
    if (declared < kMinimumEmfSize) throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
    if (declared > size) throw rtl::EReadError();  // the data ends before the header's byte count
    emf.assign(data, data + declared);
  } else if (IsPlaceableWmf(data, size)) {
    // Too short to hold the size field, or shorter than the size it gives: cut off.
    if (size < kWmfSizeField + 4 || PlaceableWmfBytes(data) > size) throw rtl::EReadError();
    if (size < kWmfHeadersSize ||
        !ConvertPlaceableWmfToEmf(data, static_cast<size_t>(PlaceableWmfBytes(data)), emf) ||
        !LooksLikeEmf(emf.data(), emf.size()))
      throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
  } else if (IsStandardWmf(data, size)) {
    if (size < kMetaSizeField + 4 || StandardWmfBytes(data) > size) throw rtl::EReadError();
    if (!ConvertStandardWmfToEmf(data, static_cast<size_t>(StandardWmfBytes(data)), emf) ||
        !LooksLikeEmf(emf.data(), emf.size()))
      throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
  } else {
    throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
  }
  const uint8_t* h = emf.data();
  width_ = PixelExtent(I32(h + kFrame), I32(h + kFrame + 8), I32(h + kDevice), I32(h + kMillimeters));
  height_ = PixelExtent(I32(h + kFrame + 4), I32(h + kFrame + 12), I32(h + kDevice + 4), I32(h + kMillimeters + 4));
  data_ = std::make_shared<const std::vector<uint8_t>>(std::move(emf));
  fromWindowsMetafile_ = !LooksLikeEmf(data, size);
}

uint64_t TMetafile::FileBytesClaimed(const uint8_t* head, size_t size) const {
  if (size >= kBytes + 4 && U32(head + kType) == 1 && U32(head + kSignature) == kEmfSignature) return U32(head + kBytes);
  if (size >= kWmfSizeField + 4 && IsPlaceableWmf(head, size)) return PlaceableWmfBytes(head);
  if (size >= kMetaSizeField + 4 && IsStandardWmf(head, size)) return StandardWmfBytes(head);
  return size;  // no metafile, or a gzip stream: nothing more to read
}

TEmfPlusContent TMetafile::EmfPlusContent() const {
  return data_ ? EmfPlusContentOf(*data_) : TEmfPlusContent::None;
}

void TMetafile::Draw(TCanvas& canvas, const TRect& r) const {
  if (!data_) return;
  PlayEnhancedMetafile(canvas, r, *data_, nullptr,
                       fromWindowsMetafile_ ? ShapeRules::Compatible : ShapeRules::Advanced);
}

void TMetafile::DrawReporting(TCanvas& canvas, const TRect& r, TPlaybackReport& report) const {
  if (!data_) return;
  PlayEnhancedMetafile(canvas, r, *data_, &report,
                       fromWindowsMetafile_ ? ShapeRules::Compatible : ShapeRules::Advanced);
}

void TMetafile::DrawReportingSkipped(TCanvas& canvas, const TRect& r, std::map<uint32_t, uint64_t>& skipped) const {
  TPlaybackReport report;
  DrawReporting(canvas, r, report);
  for (const auto& [type, count] : report.skipped) skipped[type] += count;
}

std::unique_ptr<TGraphic> TMetafile::Clone() const { return std::make_unique<TMetafile>(*this); }

}  // namespace orvane::vcl
