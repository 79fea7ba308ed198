// Icon files: an ICONDIR (reserved 0, type 1, image count), 16-byte
// directory entries, then the images. Only the first image is used. An image
// is a DIB whose header gives twice the icon's height: the colour (XOR)
// bitmap comes first, then the 1-bit AND mask (1 = transparent), both
// bottom-up with rows padded to 4 bytes.

#include <orvane/gdi/detail/ImageDrawing.h>
#include <orvane/graphics/Icon.h>

#include <algorithm>
#include <cstring>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

constexpr size_t kDirSize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

[[noreturn]] void Invalid() { throw rtl::EInvalidGraphic(rtl::msg::InvalidIcon); }

}  // namespace

// An icon file reaches to the end of its directory or of its first image,
// whichever is later; the other images are not read.
uint64_t TIcon::FileBytesClaimed(const uint8_t* head, size_t size) const {
  if (size < kDirSize + kEntrySize || U16(head) != 0 || U16(head + 2) != 1) return size;
  const uint64_t directoryEnd = kDirSize + uint64_t{U16(head + 4)} * kEntrySize;
  const uint8_t* entry = head + kDirSize;
  return std::max(directoryEnd, uint64_t{U32(entry + 12)} + U32(entry + 8));
}

void TIcon::LoadFromBytes(const uint8_t* data, size_t size) {
  if (!data || size < kDirSize || U16(data) != 0 || U16(data + 2) != 1) Invalid();
  const uint32_t count = U16(data + 4);
  if (count == 0 || kDirSize + uint64_t{count} * kEntrySize > size) Invalid();
  const uint8_t* entry = data + kDirSize;
  const uint64_t imageBytes = U32(entry + 8), imageOffset = U32(entry + 12);
  if (imageOffset + imageBytes > size) Invalid();
  const uint8_t* img = data + imageOffset;
  const size_t n = static_cast<size_t>(imageBytes);

  // PNG-compressed images (the large sizes of newer icon files) are not decoded.
  static constexpr uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (n >= 8 && std::memcmp(img, kPng, 8) == 0) Invalid();

  if (n < kInfoHeaderSize || U32(img) < kInfoHeaderSize) Invalid();
  const int32_t width = static_cast<int32_t>(U32(img + 4));
  const int32_t doubled = static_cast<int32_t>(U32(img + 8));
  const int bitCount = U16(img + 14);
  const uint32_t compression = U32(img + 16);
  if (doubled < 2 || width <= 0 || (compression != gdi::BI_RGB && compression != gdi::BI_BITFIELDS)) Invalid();
  const int32_t height = doubled / 2;

  const uint64_t headerLength = gdi::DibHeaderLength(img, n);
  if (headerLength == 0 || headerLength > n) Invalid();
  // The colour bitmap alone: the same header with the icon's own height.
  std::vector<uint8_t> header(img, img + headerLength);
  Put32(header.data() + 8, static_cast<uint32_t>(height));
  const uint8_t* bits = img + headerLength;
  const size_t bitsSize = n - static_cast<size_t>(headerLength);
  gdi::DibImage image;
  if (!gdi::DecodeDib(header.data(), header.size(), bits, bitsSize, image)) Invalid();

  const uint64_t colourRow = static_cast<uint64_t>(gdi::DibRowBytes(width, bitCount));
  const uint64_t colourBytes = colourRow * static_cast<uint64_t>(height);
  const uint64_t maskRow = static_cast<uint64_t>(gdi::DibRowBytes(width, 1));
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  std::vector<uint8_t> mask(w * h, 1);

  bool masked = false;
  if (bitCount == 32 && compression == gdi::BI_RGB) {
    // Alpha in the fourth byte of each pixel; an image with any alpha above 0
    // is masked by its alpha instead of its AND mask.
    bool anyAlpha = false;
    for (size_t y = 0; y < h && !anyAlpha; ++y)
      for (size_t x = 0; x < w; ++x)
        if (bits[y * colourRow + 4 * x + 3] != 0) {
          anyAlpha = true;
          break;
        }
    if (anyAlpha) {
      for (size_t y = 0; y < h; ++y) {
        const uint8_t* s = bits + y * colourRow;
        uint8_t* d = mask.data() + (h - 1 - y) * w;
        for (size_t x = 0; x < w; ++x) d[x] = s[4 * x + 3] != 0;
      }
      masked = true;
    }
  }
  if (!masked) {
    if (colourBytes + maskRow * h <= bitsSize) {
      for (size_t y = 0; y < h; ++y) {
        const uint8_t* s = bits + colourBytes + y * maskRow;
        uint8_t* d = mask.data() + (h - 1 - y) * w;
        for (size_t x = 0; x < w; ++x) d[x] = ((s[x >> 3] >> (7 - (x & 7))) & 1) == 0;
      }
    } else if (bitCount != 32) {
      Invalid();  // no AND mask: only a 32-bit image can do without one (then wholly opaque)
    }
  }

  image_ = std::make_shared<const gdi::DibImage>(std::move(image));
  mask_ = std::make_shared<const std::vector<uint8_t>>(std::move(mask));
}

void TIcon::Draw(TCanvas& canvas, const TRect& r) const {
  gdi::HDC dc = canvas.Handle();
  if (!dc || !image_ || !mask_) return;
  gdi::RenderTarget target(*dc);
  const double left = static_cast<double>(r.left) + dc->origin.x, top = static_cast<double>(r.top) + dc->origin.y;
  gdi::StretchImageMasked(target, *image_, mask_->data(), left, top, static_cast<double>(r.right) - r.left,
                          static_cast<double>(r.bottom) - r.top, 0, 0, image_->width, image_->height,
                          gdi::StretchRule::IconDraw);
}

std::unique_ptr<TGraphic> TIcon::Clone() const { return std::make_unique<TIcon>(*this); }

std::vector<uint8_t> TIcon::SaveToBytes() const {
  if (!image_ || !mask_) return {};
  const uint64_t w = static_cast<uint64_t>(image_->width), h = static_cast<uint64_t>(image_->height);
  const uint64_t maskRow = static_cast<uint64_t>(gdi::DibRowBytes(image_->width, 1));
  const uint64_t imageBytes = kInfoHeaderSize + w * 4 * h + maskRow * h;
  const uint64_t total = kDirSize + kEntrySize + imageBytes;
  if (total > UINT32_MAX || 2 * h > INT32_MAX) throw rtl::EOutOfResources();
  std::vector<uint8_t> out(static_cast<size_t>(total), 0);
  uint8_t* p = out.data();
  Put16(p + 2, 1);
  Put16(p + 4, 1);
  uint8_t* e = p + kDirSize;
  e[0] = w >= 256 ? 0 : static_cast<uint8_t>(w);
  e[1] = h >= 256 ? 0 : static_cast<uint8_t>(h);
  Put16(e + 4, 1);
  Put16(e + 6, 32);
  Put32(e + 8, static_cast<uint32_t>(imageBytes));
  Put32(e + 12, kDirSize + kEntrySize);
  uint8_t* hd = e + kEntrySize;
  Put32(hd, kInfoHeaderSize);
  Put32(hd + 4, static_cast<uint32_t>(w));
  Put32(hd + 8, static_cast<uint32_t>(2 * h));
  Put16(hd + 12, 1);
  Put16(hd + 14, 32);
  uint8_t* colour = hd + kInfoHeaderSize;
  uint8_t* andMask = colour + w * 4 * h;
  for (uint64_t y = 0; y < h; ++y) {
    const size_t row = static_cast<size_t>(h - 1 - y);  // files are bottom-up
    const gdi::COLORREF* src = image_->pixels.data() + row * w;
    const uint8_t* m = mask_->data() + row * w;
    uint8_t* c = colour + y * w * 4;
    uint8_t* a = andMask + y * maskRow;
    for (uint64_t x = 0; x < w; ++x, c += 4) {
      c[0] = gdi::GetBValue(src[x]);
      c[1] = gdi::GetGValue(src[x]);
      c[2] = gdi::GetRValue(src[x]);
      c[3] = m[x] ? 255 : 0;
      if (!m[x]) a[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
  }
  return out;
}

}  // namespace orvane::vcl
