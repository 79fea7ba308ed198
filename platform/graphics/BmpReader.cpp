// BMP files for TBitmap: a 14-byte BITMAPFILEHEADER ("BM", file size,
// two reserved words, bfOffBits) followed by a packed DIB. Reading checks
// the DIB completely and decodes it into a new surface before the bitmap
// is touched, so bad data leaves the old picture in place; writing
// produces a plain 24-bit bottom-up file.

#include <algorithm>
#include <cstring>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/DibSource.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
// 8192 x 8192: larger pictures are refused as not a bitmap this reads.
constexpr uint64_t kMaxPixels = uint64_t{1} << 26;

uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

void TBitmap::LoadFromBytes(const uint8_t* data, size_t size) {
  if (!data || size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M')
    throw rtl::EInvalidGraphic(rtl::msg::InvalidBitmap);
  // bfOffBits counts from the start of the file; an offset inside the file
  // header cannot be right, and then the bits are taken to follow the table.
  const uint32_t offBits = U32(data + 10);
  const size_t bitsOffset = offBits > kFileHeaderSize ? offBits - kFileHeaderSize : 0;
  gdi::DibSource dib;
  if (bitsOffset > size - kFileHeaderSize ||
      !dib.OpenPacked(data + kFileHeaderSize, size - kFileHeaderSize, bitsOffset) ||
      uint64_t(dib.Width()) * uint64_t(dib.Height()) > kMaxPixels)
    throw rtl::EInvalidGraphic(rtl::msg::InvalidBitmap);

  // The pixels go straight into the new surface, a row at a time: the only
  // copy of them there is.
  gdi::UniqueBitmap fresh(gdi::CreateScreenBitmap(dib.Width(), dib.Height()));
  if (!fresh) throw rtl::EOutOfResources();
  std::vector<gdi::COLORREF> colors(static_cast<size_t>(dib.Width()));
  const size_t rowBytes = static_cast<size_t>(dib.Width()) * 4;
  // Rows a run-length stream leaves alone are all alike: the first is
  // decoded, the others copied from it.
  const bool runLength = dib.RunLength();
  const std::vector<int32_t> painted = dib.RowsWithRuns();
  auto nextPainted = painted.begin();
  int32_t blankRow = -1;
  for (int32_t y = 0; y < dib.Height(); ++y) {
    uint8_t* row = fresh->Row(y);
    const bool blank = runLength && (nextPainted == painted.end() || *nextPainted != y);
    if (!blank && nextPainted != painted.end() && *nextPainted == y) ++nextPainted;
    if (blank && blankRow >= 0) {
      std::memcpy(row, fresh->Row(blankRow), rowBytes);
      continue;
    }
    if (blank) blankRow = y;
    dib.ReadRow(y, colors.data());
    for (const gdi::COLORREF c : colors) {
      row[0] = gdi::GetBValue(c);
      row[1] = gdi::GetGValue(c);
      row[2] = gdi::GetRValue(c);
      row[3] = 0;
      row += 4;
    }
  }
  ReplaceSurface(std::move(fresh), dib.Width(), dib.Height());
}

// What a BMP file's header says it reaches: the larger of the file size
// field (often wrong, so not trusted alone) and the end of the pixels as the
// DIB header gives them, counting a full colour table and bit-field masks.
uint64_t TBitmap::FileBytesClaimed(const uint8_t* head, size_t size) const {
  constexpr size_t kNeeded = kFileHeaderSize + kInfoHeaderSize;
  if (size < kNeeded || head[0] != 'B' || head[1] != 'M') return size;
  const uint8_t* dib = head + kFileHeaderSize;
  const uint32_t headerSize = U32(dib);
  int64_t width, height;
  int bitCount;
  uint64_t imageBytes = 0;
  if (headerSize == 12) {
    width = dib[4] | (dib[5] << 8);
    height = dib[6] | (dib[7] << 8);
    bitCount = dib[10] | (dib[11] << 8);
  } else {
    width = static_cast<int32_t>(U32(dib + 4));
    height = static_cast<int32_t>(U32(dib + 8));
    bitCount = dib[14] | (dib[15] << 8);
    imageBytes = U32(dib + 20);
  }
  const int64_t rowBytes = gdi::DibRowBytes(width < 0 ? -width : width, bitCount);
  if (rowBytes > 0) imageBytes = std::max<uint64_t>(imageBytes, uint64_t(rowBytes) * uint64_t(height < 0 ? -height : height));
  const uint64_t pixelsStart = std::max<uint64_t>(U32(head + 10), kFileHeaderSize + uint64_t{headerSize} + 256 * 4 + 12);
  return std::max<uint64_t>(U32(head + 2), pixelsStart + imageBytes);
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
  if (!surface_) return {};
  const uint64_t rowBytes = static_cast<uint64_t>(gdi::DibRowBytes(width_, 24));
  const uint64_t imageBytes = rowBytes * static_cast<uint64_t>(height_);
  const uint64_t total = kFileHeaderSize + kInfoHeaderSize + imageBytes;
  if (total > UINT32_MAX) throw rtl::EOutOfResources();
  std::vector<uint8_t> out(static_cast<size_t>(total), 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(total));
  Put32(out, 10, kFileHeaderSize + kInfoHeaderSize);
  const size_t h = kFileHeaderSize;
  Put32(out, h, kInfoHeaderSize);
  Put32(out, h + 4, static_cast<uint32_t>(width_));
  Put32(out, h + 8, static_cast<uint32_t>(height_));  // bottom-up
  Put16(out, h + 12, 1);
  Put16(out, h + 14, 24);
  Put32(out, h + 20, static_cast<uint32_t>(imageBytes));
  const size_t bits = kFileHeaderSize + kInfoHeaderSize;
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t* src = surface_->Row(y);
    uint8_t* dst = out.data() + bits + static_cast<size_t>(height_ - 1 - y) * rowBytes;
    for (int32_t x = 0; x < width_; ++x, src += 4, dst += 3) std::memcpy(dst, src, 3);
  }
  return out;
}

}  // namespace orvane::vcl
