// Bitmap records: StretchDIBits, BitBlt, StretchBlt and SetDIBitsToDevice.
// The source DIB lies inside the record (its header and bits at offsets the
// record gives, both checked to lie inside it); it is decoded by the DIB
// reader and stretched, nearest pixel, into the destination rectangle
// transformed to device pixels. Without a source bitmap, BitBlt and
// StretchBlt fill the destination by their raster operation (pattern,
// black, white or inverted destination). Rotated destinations are not
// supported: the image goes between the transformed corners, axis-aligned.

#include <algorithm>
#include <cmath>
#include <cstring>

#include <orvane/gdi/DibImage.h>
#include <orvane/graphics/EmfRecordPlayer.h>
#include <orvane/graphics/EmfRecords.h>

namespace orvane::emf {

namespace {

constexpr uint64_t kMaxImagePixels = uint64_t{1} << 24;

uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// True for a DIB whose rows run top to bottom (a BITMAPINFOHEADER with negative height).
bool TopDown(const uint8_t* info, size_t size) {
  return size >= 12 && Load32(info) >= 40 && static_cast<int32_t>(Load32(info + 8)) < 0;
}

}  // namespace

bool EmfRecordPlayer::PlayBitmapRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_STRETCHDIBITS: StretchDibBits(r); return true;
    case EMR_BITBLT: BitBlt(r, false); return true;
    case EMR_STRETCHBLT: BitBlt(r, true); return true;
    case EMR_TRANSPARENTBLT: BitBlt(r, true, true); return true;
    case EMR_SETDIBITSTODEVICE: SetDibBitsToDevice(r); return true;
    default: return false;
  }
}

void EmfRecordPlayer::StretchDibBits(EmfRecordReader& r) {
  r.Skip(16);  // bounds
  const int32_t x = r.I32(), y = r.I32(), srcX = r.I32(), srcY = r.I32(), srcCx = r.I32(), srcCy = r.I32();
  const uint32_t infoOffset = r.U32(), infoSize = r.U32(), bitsOffset = r.U32(), bitsSize = r.U32();
  const uint32_t usage = r.U32(), rop = r.U32();
  const int32_t cx = r.I32(), cy = r.I32();
  if (!r.Ok() || usage != DIB_RGB_COLORS || path_.Recording()) return;
  const uint8_t *info = nullptr, *bits = nullptr;
  if (!r.Block(infoOffset, infoSize, info) || !r.Block(bitsOffset, bitsSize, bits) || !info || !bits) return;
  gdi::DibImage image;
  if (!gdi::DecodeDib(info, infoSize, bits, bitsSize, image, kMaxImagePixels)) return;
  const gdi::PointD p = state_.ToDevice(gdi::Point{x, y});
  const gdi::PointD q = state_.ToDevice(gdi::PointD{double(x) + cx, double(y) + cy});
  // GDI counts a bottom-up DIB's source rows from its bottom row.
  const int64_t top = TopDown(info, infoSize) ? int64_t{srcY} : int64_t{image.height} - srcY - srcCy;
  if (top < INT32_MIN || top > INT32_MAX) return;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;
  gdi::StretchImage(target, image, std::round(p.x), std::round(p.y), std::round(q.x) - std::round(p.x),
                    std::round(q.y) - std::round(p.y), srcX, static_cast<int32_t>(top), srcCx, srcCy, rop);
}

void EmfRecordPlayer::BitBlt(EmfRecordReader& r, bool stretch, bool transparent) {
  r.Skip(16);  // bounds
  const int32_t x = r.I32(), y = r.I32(), cx = r.I32(), cy = r.I32();
  // TransparentBlt holds its transparent colour where the others hold the
  // raster operation, and copies the other source pixels.
  const uint32_t ropOrColor = r.U32();
  const uint32_t rop = transparent ? SRCCOPY : ropOrColor;
  const gdi::COLORREF transparentColor = ropOrColor & 0xFFFFFF;
  const int32_t srcX = r.I32(), srcY = r.I32();
  const float m11 = r.F32(), m12 = r.F32(), m21 = r.F32(), m22 = r.F32(), mdx = r.F32(), mdy = r.F32();
  r.U32();  // background colour of the source
  const uint32_t usage = r.U32(), infoOffset = r.U32(), infoSize = r.U32(), bitsOffset = r.U32(),
                 bitsSize = r.U32();
  int32_t srcCx = cx, srcCy = cy;
  if (stretch) {
    srcCx = r.I32();
    srcCy = r.I32();
  }
  if (!r.Ok() || path_.Recording()) return;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;
  const gdi::PointD p = state_.ToDevice(gdi::Point{x, y});
  const gdi::PointD q = state_.ToDevice(gdi::PointD{double(x) + cx, double(y) + cy});

  if (infoSize == 0) {
    if (transparent) return;  // nothing to copy
    // No source: the raster operation alone decides.
    const gdi::Rect rect{RoundToInt(std::min(p.x, q.x)), RoundToInt(std::min(p.y, q.y)),
                         RoundToInt(std::max(p.x, q.x)), RoundToInt(std::max(p.y, q.y))};
    gdi::Paint paint;
    switch (rop) {
      case PATCOPY:
      case PATINVERT:
        if (!BrushPaint(paint)) return;
        paint.rop = rop == PATCOPY ? gdi::Rop2::CopyPen : gdi::Rop2::XorPen;
        break;
      case BLACKNESS: paint = gdi::Paint::Solid(0); break;
      case WHITENESS: paint = gdi::Paint::Solid(gdi::RGB(255, 255, 255)); break;
      case DSTINVERT: paint = gdi::Paint::Solid(0, gdi::Rop2::Not); break;
      default: return;
    }
    target.SetPaint(paint);
    target.FillRect(rect);
    return;
  }

  if (usage != DIB_RGB_COLORS) return;
  const uint8_t *info = nullptr, *bits = nullptr;
  if (!r.Block(infoOffset, infoSize, info) || !r.Block(bitsOffset, bitsSize, bits) || !info || !bits) return;
  gdi::DibImage image;
  if (!gdi::DecodeDib(info, infoSize, bits, bitsSize, image, kMaxImagePixels)) return;
  // The source rectangle through the source transform (an identity in practice).
  const Affine source{m11, m12, m21, m22, mdx, mdy};
  if (!source.Finite()) return;
  const gdi::PointD s0 = source.Apply({double(srcX), double(srcY)});
  const gdi::PointD s1 = source.Apply({double(srcX) + srcCx, double(srcY) + srcCy});
  const double dx = std::round(p.x), dy = std::round(p.y), dw = std::round(q.x) - dx, dh = std::round(q.y) - dy;
  const int32_t sx = RoundToInt(s0.x), sy = RoundToInt(s0.y);
  const int32_t sw = RoundToInt(s1.x) - sx, sh = RoundToInt(s1.y) - sy;
  if (!transparent) {
    gdi::StretchImage(target, image, dx, dy, dw, dh, sx, sy, sw, sh, rop);
    return;
  }
  std::vector<uint8_t> mask(image.pixels.size());
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = (image.pixels[i] & 0xFFFFFF) != transparentColor;
  gdi::StretchImageMasked(target, image, mask.data(), dx, dy, dw, dh, sx, sy, sw, sh);
}

void EmfRecordPlayer::SetDibBitsToDevice(EmfRecordReader& r) {
  r.Skip(16);  // bounds
  const int32_t x = r.I32(), y = r.I32(), srcX = r.I32(), srcY = r.I32(), cx = r.I32(), cy = r.I32();
  const uint32_t infoOffset = r.U32(), infoSize = r.U32(), bitsOffset = r.U32(), bitsSize = r.U32();
  const uint32_t usage = r.U32(), startScan = r.U32(), scans = r.U32();
  if (!r.Ok() || usage != DIB_RGB_COLORS || path_.Recording()) return;
  const uint8_t *infoData = nullptr, *bits = nullptr;
  if (!r.Block(infoOffset, infoSize, infoData) || !r.Block(bitsOffset, bitsSize, bits) || !infoData || !bits)
    return;
  // The record may hold only some scan lines: the header is made to describe those.
  std::vector<uint8_t> info(infoData, infoData + infoSize);
  const bool topDown = TopDown(info.data(), info.size());
  int64_t top = srcY;
  if (info.size() >= 40 && Load32(info.data()) >= 40) {
    const int32_t height = static_cast<int32_t>(Load32(info.data() + 8));
    const uint32_t compression = Load32(info.data() + 16);
    const int64_t rows = height < 0 ? -int64_t{height} : height;
    if ((compression == 0 || compression == 3) && scans > 0 && scans < rows) {
      const int32_t partial = static_cast<int32_t>(scans);
      const int32_t signedRows = topDown ? -partial : partial;
      std::memcpy(info.data() + 8, &signedRows, 4);
      std::memset(info.data() + 20, 0, 4);  // biSizeImage: let the decoder compute it
      if (!topDown) top = int64_t{partial} - (int64_t{srcY} - startScan) - cy;
    } else if (!topDown) {
      top = rows - srcY - cy;
    }
  }
  if (top < INT32_MIN || top > INT32_MAX) return;
  gdi::DibImage image;
  if (!gdi::DecodeDib(info.data(), info.size(), bits, bitsSize, image, kMaxImagePixels)) return;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;
  // The origin is mapped; the size is in reference-device pixels.
  const gdi::PointD p = state_.ToDevice(gdi::Point{x, y});
  const gdi::PointD extent = state_.Playback().ApplyVector({double(cx), double(cy)});
  const double px = std::round(p.x), py = std::round(p.y);
  gdi::StretchImage(target, image, px, py, std::round(ClampDevice(p.x + extent.x)) - px,
                    std::round(ClampDevice(p.y + extent.y)) - py, srcX, static_cast<int32_t>(top), cx, cy, SRCCOPY);
}

}  // namespace orvane::emf
