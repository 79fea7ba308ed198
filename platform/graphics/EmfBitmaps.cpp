// Bitmap records: StretchDIBits, SetDIBitsToDevice and the block
// transfers (BitBlt, StretchBlt, TransparentBlt, AlphaBlend, MaskBlt,
// PlgBlt). The source DIB lies inside the record (its header and bits at
// offsets the record gives, both checked to lie inside it); it is read
// where it lies, never decoded whole, so a record costs its bytes and the
// pixels it covers whatever size its DIB declares. Its DIB_PAL_COLORS
// table is looked up in the selected palette, and it is drawn into the
// destination: the logical rectangle's corners transformed to device
// pixels, a parallelogram under a turning transform. An upright destination
// of another size than the source is stretched by the record's rule (DIB
// records and block transfers keep different pixels at a tie) and the
// stretch mode of the moment; a turned one takes the pixel under each
// centre. Without a source bitmap, BitBlt and StretchBlt fill the
// destination by their raster operation (pattern, black, white or inverted
// destination).

#include <algorithm>
#include <cmath>
#include <cstring>

#include <orvane/gdi/DibImage.h>
#include <orvane/gdi/DibSource.h>
#include <orvane/gdi/detail/BrushPaint.h>
#include <orvane/gdi/detail/ImageDrawing.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

constexpr uint8_t AC_SRC_ALPHA = 0x01;

uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// True for a DIB whose rows run top to bottom (a BITMAPINFOHEADER with negative height).
bool TopDown(const uint8_t* info, size_t size) {
  return size >= 12 && Load32(info) >= 40 && static_cast<int32_t>(Load32(info + 8)) < 0;
}

// Where a record's DIB lies and how its colour table is to be read.
struct DibFields {
  uint32_t usage = DIB_RGB_COLORS, infoOffset = 0, infoSize = 0, bitsOffset = 0, bitsSize = 0;
};

DibFields ReadDibFields(EmfRecordReader& r, bool usageFirst) {
  DibFields f;
  if (usageFirst) f.usage = r.U32();
  f.infoOffset = r.U32();
  f.infoSize = r.U32();
  f.bitsOffset = r.U32();
  f.bitsSize = r.U32();
  if (!usageFirst) f.usage = r.U32();
  return f;
}

// The source of a block transfer: its origin, the transform applied to it
// and its DIB (infoSize 0: no source).
struct BlockSource {
  int32_t x = 0, y = 0;
  Affine transform;
  DibFields dib;
};

BlockSource ReadBlockSource(EmfRecordReader& r) {
  BlockSource s;
  s.x = r.I32();
  s.y = r.I32();
  const float m11 = r.F32(), m12 = r.F32(), m21 = r.F32(), m22 = r.F32(), dx = r.F32(), dy = r.F32();
  s.transform = Affine{m11, m12, m21, m22, dx, dy};
  r.U32();  // background colour of the source
  s.dib = ReadDibFields(r, true);
  return s;
}

// The mask of MaskBlt and PlgBlt: its origin (lined up with the source's) and DIB.
struct MaskSource {
  int32_t x = 0, y = 0;
  DibFields dib;
};

MaskSource ReadMaskSource(EmfRecordReader& r) {
  MaskSource m;
  m.x = r.I32();
  m.y = r.I32();
  m.dib = ReadDibFields(r, true);
  return m;
}

// How far a mask's pixels lie from the source's: the mask's origin lined up
// with the source rectangle's. An offset past the 32-bit range puts every
// source pixel outside the mask, as the clamped one does.
gdi::Point MaskOffset(gdi::Point maskOrigin, gdi::Point sourceOrigin) {
  return gdi::Point{gdi::ClampToInt32(int64_t{maskOrigin.x} - sourceOrigin.x),
                    gdi::ClampToInt32(int64_t{maskOrigin.y} - sourceOrigin.y)};
}

// The source rectangle through the source transform (an identity in practice).
bool SourceRect(const BlockSource& s, int32_t cx, int32_t cy, gdi::Rect& out) {
  if (!s.transform.Finite()) return false;
  const gdi::PointD s0 = s.transform.Apply({double(s.x), double(s.y)});
  const gdi::PointD s1 = s.transform.Apply({double(s.x) + cx, double(s.y) + cy});
  out = gdi::Rect{RoundToInt(s0.x), RoundToInt(s0.y), RoundToInt(s1.x), RoundToInt(s1.y)};
  return true;
}

// A transfer by a record's rule in the device context's stretch mode.
// TransparentBlt keeps COLORONCOLOR for the AND and OR modes, and AlphaBlend
// for every mode, as those calls are documented to.
gdi::ImageTransfer StretchedBy(gdi::StretchRule rule, const DcState& dc, bool transparent = false,
                               bool blend = false) {
  gdi::ImageTransfer how;
  how.rule = rule;
  how.mode = static_cast<gdi::StretchMode>(dc.stretchMode);
  if (blend || (transparent && how.mode != gdi::StretchMode::Halftone)) how.mode = gdi::StretchMode::ColorOnColor;
  return how;
}

}  // namespace

bool EmfRecordPlayer::PlayBitmapRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_STRETCHDIBITS: StretchDibBits(r); return true;
    case EMR_BITBLT: BlockTransfer(r, BlockKind::BitBlt); return true;
    case EMR_STRETCHBLT: BlockTransfer(r, BlockKind::StretchBlt); return true;
    case EMR_TRANSPARENTBLT: BlockTransfer(r, BlockKind::TransparentBlt); return true;
    case EMR_ALPHABLEND: BlockTransfer(r, BlockKind::AlphaBlend); return true;
    case EMR_MASKBLT: BlockTransfer(r, BlockKind::MaskBlt); return true;
    case EMR_PLGBLT: PlgBlt(r); return true;
    case EMR_SETDIBITSTODEVICE: SetDibBitsToDevice(r); return true;
    default: return false;
  }
}

bool EmfRecordPlayer::RecordDib(EmfRecordReader& r, uint32_t usage, uint32_t infoOffset, uint32_t infoSize,
                                uint32_t bitsOffset, uint32_t bitsSize, gdi::DibSource& image) {
  const uint8_t *info = nullptr, *bits = nullptr;
  if ((usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) || !r.Block(infoOffset, infoSize, info) ||
      !r.Block(bitsOffset, bitsSize, bits) || !info || !bits)
    return false;
  std::vector<uint8_t> lookedUp;
  if (usage == DIB_PAL_COLORS) {
    if (!PaletteColorTable(info, infoSize, lookedUp)) return false;
    info = lookedUp.data();
    infoSize = static_cast<uint32_t>(lookedUp.size());
  }
  return image.Open(info, infoSize, bits, bitsSize);
}

bool EmfRecordPlayer::RecordMask(EmfRecordReader& r, uint32_t infoOffset, uint32_t infoSize, uint32_t bitsOffset,
                                 uint32_t bitsSize, gdi::DibSource& mask) {
  const uint8_t *info = nullptr, *bits = nullptr;
  if (!r.Block(infoOffset, infoSize, info) || !r.Block(bitsOffset, bitsSize, bits) || !info || !bits ||
      infoSize < 16)
    return false;
  // A mask is read by its bits, not its colours: its table is made black and white.
  const uint32_t headerSize = Load32(info);
  const bool core = headerSize == 12;
  const uint32_t bitCount = core ? info[10] : info[14];
  const size_t entrySize = core ? 3 : 4;
  if (bitCount != 1 || (!core && headerSize < 40) || uint64_t{headerSize} + 2 * entrySize > infoSize) return false;
  std::vector<uint8_t> table(info, info + infoSize);
  std::memset(table.data() + headerSize, 0, entrySize);
  std::memset(table.data() + headerSize + entrySize, 0xFF, 3);
  return mask.Open(table.data(), table.size(), bits, bitsSize);
}

gdi::DeviceParallelogram EmfRecordPlayer::DeviceCorners(gdi::PointD origin, gdi::PointD right, gdi::PointD down) {
  const gdi::PointD o = state_.ToDevice(origin), a = state_.ToDevice(right), b = state_.ToDevice(down);
  return gdi::DeviceParallelogram{o.x, o.y, a.x, a.y, b.x, b.y};
}

void EmfRecordPlayer::StretchDibBits(EmfRecordReader& r) {
  r.Skip(16);  // bounds
  const int32_t x = r.I32(), y = r.I32(), srcX = r.I32(), srcY = r.I32(), srcCx = r.I32(), srcCy = r.I32();
  const DibFields dib = ReadDibFields(r, false);
  const uint32_t rop = r.U32();
  const int32_t cx = r.I32(), cy = r.I32();
  if (!r.Ok()) return;
  gdi::DibSource image;
  if (!RecordDib(r, dib.usage, dib.infoOffset, dib.infoSize, dib.bitsOffset, dib.bitsSize, image)) return;
  // GDI counts a bottom-up DIB's source rows from its bottom row.
  const int64_t top = image.TopDown() ? int64_t{srcY} : int64_t{image.Height()} - srcY - srcCy;
  if (top < INT32_MIN || top > INT32_MAX) return;
  gdi::RenderTarget& target = state_.Target();
  gdi::ImageTransfer how = StretchedBy(gdi::StretchRule::DibRecord, state_.Dc());
  how.rasterOp = rop;
  gdi::Paint brush;
  if (!TakeBrushPattern(how, brush)) return;
  gdi::TransferImage(target, image,
                     DeviceCorners({double(x), double(y)}, {double(x) + cx, double(y)}, {double(x), double(y) + cy}),
                     srcX, static_cast<int32_t>(top), srcCx, srcCy, how);
}

void EmfRecordPlayer::BlockTransfer(EmfRecordReader& r, BlockKind kind) {
  r.Skip(16);  // bounds
  const int32_t x = r.I32(), y = r.I32(), cx = r.I32(), cy = r.I32();
  // TransparentBlt holds its transparent colour where the others hold the
  // raster operation, AlphaBlend its blend function; MaskBlt two raster
  // operations (foreground in the low three bytes, background in the high one).
  const uint32_t ropField = r.U32();
  const BlockSource source = ReadBlockSource(r);
  int32_t srcCx = cx, srcCy = cy;
  const bool stretches = kind != BlockKind::BitBlt && kind != BlockKind::MaskBlt;
  if (stretches) {
    srcCx = r.I32();
    srcCy = r.I32();
  }
  const MaskSource maskSource = kind == BlockKind::MaskBlt ? ReadMaskSource(r) : MaskSource{};
  if (!r.Ok()) return;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;
  const gdi::DeviceParallelogram where =
      DeviceCorners({double(x), double(y)}, {double(x) + cx, double(y)}, {double(x), double(y) + cy});

  gdi::ImageTransfer how = StretchedBy(gdi::StretchRule::BlockRecord, state_.Dc(), kind == BlockKind::TransparentBlt,
                                       kind == BlockKind::AlphaBlend);
  how.rasterOp = kind == BlockKind::TransparentBlt || kind == BlockKind::AlphaBlend ? SRCCOPY : ropField & 0xFFFFFF;
  if (kind == BlockKind::MaskBlt) how.maskedOutRasterOp = ((ropField >> 8) & 0xFF0000) | 0x0029;
  if (source.dib.infoSize == 0) {
    if (kind == BlockKind::BitBlt || kind == BlockKind::StretchBlt) FillByRasterOp(where, how.rasterOp);
    return;
  }
  gdi::DibSource image, mask;
  const bool blend = kind == BlockKind::AlphaBlend;
  const uint8_t constantAlpha = static_cast<uint8_t>(ropField >> 16), alphaFormat = static_cast<uint8_t>(ropField >> 24);
  if (blend && (ropField & 0xFF) != 0) return;  // AC_SRC_OVER is the only blend operation
  if (!RecordDib(r, source.dib.usage, source.dib.infoOffset, source.dib.infoSize, source.dib.bitsOffset,
                 source.dib.bitsSize, image))
    return;
  gdi::Rect src;
  if (!SourceRect(source, srcCx, srcCy, src)) return;
  if (blend) {
    how.blend = true;
    how.constantAlpha = constantAlpha;
    how.sourceAlpha = (alphaFormat & AC_SRC_ALPHA) != 0;
  } else if (kind == BlockKind::TransparentBlt) {
    how.transparentColor = ropField & 0xFFFFFF;
  } else if (kind == BlockKind::MaskBlt && maskSource.dib.infoSize != 0) {
    if (maskSource.dib.usage != DIB_RGB_COLORS || !RecordMask(r, maskSource.dib.infoOffset, maskSource.dib.infoSize,
                                                              maskSource.dib.bitsOffset, maskSource.dib.bitsSize, mask))
      return;
    how.mask = &mask;
    how.maskOffset = MaskOffset({maskSource.x, maskSource.y}, {src.left, src.top});
  }
  gdi::Paint brush;
  if (!how.blend && !TakeBrushPattern(how, brush)) return;
  gdi::TransferImage(target, image, where, src.left, src.top, src.right - src.left, src.bottom - src.top, how);
}

bool EmfRecordPlayer::TakeBrushPattern(gdi::ImageTransfer& how, gdi::Paint& brush) {
  const bool masked = how.mask != nullptr;
  if (!gdi::RopTableUsesPattern(static_cast<uint8_t>(how.rasterOp >> 16)) &&
      !(masked && gdi::RopTableUsesPattern(static_cast<uint8_t>(how.maskedOutRasterOp >> 16))))
    return true;
  // A null brush has no pattern to combine: the record draws nothing.
  if (!BrushPaint(brush)) return false;
  how.brush = &brush;
  return true;
}

void EmfRecordPlayer::FillByRasterOp(const gdi::DeviceParallelogram& where, uint32_t rop) {
  // Without a source, a ternary operation is a binary one of pattern and
  // destination: the truth table's entries for source 0.
  const uint8_t table = static_cast<uint8_t>(rop >> 16);
  if (gdi::RopTableUsesSource(table)) return;
  const auto binary = static_cast<gdi::Rop2>(((table & 3) | ((table >> 2) & 0x0C)) + 1);
  if (binary == gdi::Rop2::Nop) return;
  gdi::Paint paint = gdi::Paint::Solid(0, binary);
  if (gdi::RopTableUsesPattern(table)) {
    if (!BrushPaint(paint)) return;
    paint.rop = binary;
  }
  gdi::RenderTarget& target = state_.Target();
  target.SetPaint(paint);
  if (where.AxisAligned()) {
    const double l = where.originX, t = where.originY, r = where.rightX, b = where.downY;
    target.FillRect(gdi::Rect{RoundToInt(std::min(l, r)), RoundToInt(std::min(t, b)), RoundToInt(std::max(l, r)),
                              RoundToInt(std::max(t, b))});
    return;
  }
  const double fx = where.rightX + where.downX - where.originX, fy = where.rightY + where.downY - where.originY;
  gdi::FillPolygons(target,
                    {{{where.originX, where.originY}, {where.rightX, where.rightY}, {fx, fy}, {where.downX, where.downY}}},
                    gdi::FillMode::Winding);
}

void EmfRecordPlayer::PlgBlt(EmfRecordReader& r) {
  r.Skip(16);  // bounds
  const gdi::Point corners[3] = {r.PointL(), r.PointL(), r.PointL()};
  const int32_t srcX = r.I32(), srcY = r.I32(), srcCx = r.I32(), srcCy = r.I32();
  r.Skip(24);  // the source transform: PlgBlt's source rectangle is given in source pixels
  r.U32();     // background colour of the source
  const DibFields dib = ReadDibFields(r, true);
  const MaskSource maskSource = ReadMaskSource(r);
  if (!r.Ok()) return;
  gdi::RenderTarget& target = state_.Target();
  gdi::DibSource image, mask;
  if (target.IsEmpty() || !RecordDib(r, dib.usage, dib.infoOffset, dib.infoSize, dib.bitsOffset, dib.bitsSize, image))
    return;
  gdi::ImageTransfer how = StretchedBy(gdi::StretchRule::BlockRecord, state_.Dc());
  if (maskSource.dib.infoSize != 0) {
    if (maskSource.dib.usage != DIB_RGB_COLORS || !RecordMask(r, maskSource.dib.infoOffset, maskSource.dib.infoSize,
                                                              maskSource.dib.bitsOffset, maskSource.dib.bitsSize, mask))
      return;
    how.mask = &mask;
    how.maskOffset = MaskOffset({maskSource.x, maskSource.y}, {srcX, srcY});
  }
  const auto logical = [](gdi::Point p) { return gdi::PointD{double(p.x), double(p.y)}; };
  gdi::TransferImage(target, image, DeviceCorners(logical(corners[0]), logical(corners[1]), logical(corners[2])),
                     srcX, srcY, srcCx, srcCy, how);
}

void EmfRecordPlayer::SetDibBitsToDevice(EmfRecordReader& r) {
  r.Skip(16);  // bounds
  const int32_t x = r.I32(), y = r.I32(), srcX = r.I32(), srcY = r.I32(), cx = r.I32(), cy = r.I32();
  const DibFields dib = ReadDibFields(r, false);
  const uint32_t startScan = r.U32(), scans = r.U32();
  if (!r.Ok()) return;
  const uint8_t* infoData = nullptr;
  if (!r.Block(dib.infoOffset, dib.infoSize, infoData) || !infoData) return;
  // The record may hold only some scan lines: the header is made to describe those.
  std::vector<uint8_t> info(infoData, infoData + dib.infoSize);
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
  std::vector<uint8_t> lookedUp;
  if (dib.usage == DIB_PAL_COLORS) {
    if (!PaletteColorTable(info.data(), info.size(), lookedUp)) return;
    info.swap(lookedUp);
  } else if (dib.usage != DIB_RGB_COLORS) {
    return;
  }
  const uint8_t* bits = nullptr;
  gdi::DibSource image;
  if (!r.Block(dib.bitsOffset, dib.bitsSize, bits) || !bits || !image.Open(info.data(), info.size(), bits, dib.bitsSize))
    return;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;
  // The origin is mapped; the size is in reference-device pixels, upright
  // whatever the world transform.
  const gdi::PointD p = state_.ToDevice(gdi::Point{x, y});
  const gdi::PointD extent = state_.Playback().ApplyVector({double(cx), double(cy)});
  const double px = std::round(p.x), py = std::round(p.y);
  const double right = std::round(ClampDevice(p.x + extent.x)), bottom = std::round(ClampDevice(p.y + extent.y));
  gdi::TransferImage(target, image, gdi::DeviceParallelogram{px, py, right, py, px, bottom}, srcX,
                     static_cast<int32_t>(top), cx, cy, StretchedBy(gdi::StretchRule::DibRecord, state_.Dc()));
}

}  // namespace orvane::emf
