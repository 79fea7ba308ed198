// Decoding DIBs into images held in memory (reading them is DibSource's,
// stretching ImageTransfer.cpp's).

#include <orvane/gdi/DibImage.h>

#include <orvane/gdi/DibSource.h>
#include <orvane/gdi/detail/ImageDrawing.h>

namespace orvane::gdi {

namespace {

// The pixels of an opened DIB, or false when they are above the limit.
bool Decode(const DibSource& dib, DibImage& out, uint64_t maxPixels) {
  const uint64_t count = static_cast<uint64_t>(dib.Width()) * static_cast<uint64_t>(dib.Height());
  if (count > maxPixels || count > SIZE_MAX / sizeof(COLORREF)) return false;
  DibImage image;
  image.pixels.resize(static_cast<size_t>(count));
  const size_t w = static_cast<size_t>(dib.Width());
  for (int32_t r = 0; r < dib.Height(); ++r) dib.ReadRow(r, image.pixels.data() + static_cast<size_t>(r) * w);
  image.width = dib.Width();
  image.height = dib.Height();
  out = std::move(image);
  return true;
}

}  // namespace

bool DecodeDib(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize, DibImage& out,
               uint64_t maxPixels) {
  out = DibImage{};
  DibSource dib;
  return dib.Open(header, headerSize, bits, bitsSize) && Decode(dib, out, maxPixels);
}

bool DecodePackedDib(const uint8_t* data, size_t size, DibImage& out, size_t bitsOffset) {
  out = DibImage{};
  DibSource dib;
  return dib.OpenPacked(data, size, bitsOffset) && Decode(dib, out, uint64_t{1} << 26);
}

uint64_t DibHeaderLength(const uint8_t* data, size_t size) {
  return DibSource::HeaderLength(data, size);
}

}  // namespace orvane::gdi
