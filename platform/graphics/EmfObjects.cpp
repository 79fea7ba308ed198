// Object records: pens, extended pens, brushes (solid, hatched, null,
// pattern and monochrome), fonts; selection (table entries and stock
// objects) and deletion. Handle numbers are checked against the table the
// header declares; index 0 is reserved.

#include <algorithm>
#include <string>

#include <orvane/gdi/DibImage.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

constexpr uint64_t kMaxPatternPixels = uint64_t{1} << 20;
constexpr uint32_t kMaxStyleEntries = 16;

gdi::PenStyle PenStyleOf(uint32_t style) {
  const uint32_t s = style & PS_STYLE_MASK;
  return s <= PS_ALTERNATE ? static_cast<gdi::PenStyle>(s) : gdi::PenStyle::Solid;
}

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// A face name of up to 32 UTF-16 units, ending at the first NUL; unpaired
// surrogates become U+FFFD.
std::string FaceName(const uint16_t* units, size_t count) {
  std::string out;
  for (size_t i = 0; i < count && units[i]; ++i) {
    uint32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

// The shortest period of a sequence of n items that divides n (n itself
// when none shorter does), where same(i, j) compares items i and j. The
// shortest period of all is n less the longest border (prefix that is also a
// suffix), found in linear time; a shorter period dividing n would be a
// multiple of it, so it serves only when it divides n itself.
template <class Same>
size_t ShortestDividingPeriod(size_t n, Same same) {
  if (n < 2) return n;
  std::vector<size_t> border(n, 0);  // border[i]: longest border of items [0, i]
  for (size_t i = 1; i < n; ++i) {
    size_t k = border[i - 1];
    for (;;) {
      if (same(i, k)) {
        ++k;
        break;
      }
      if (k == 0) break;
      k = border[k - 1];
    }
    border[i] = k;
  }
  const size_t period = n - border[n - 1];
  return n % period == 0 ? period : n;
}

// A pattern only ever repeats, so it is kept as the smallest tile that
// repeats to it: the shortest period of its rows and of its columns that
// divides its side. A one-colour pattern of any size becomes one pixel.
void ShrinkToRepeatingTile(gdi::PatternImage& p) {
  const size_t w = static_cast<size_t>(p.width), h = static_cast<size_t>(p.height);
  const auto at = [&](size_t x, size_t y) { return p.pixels[y * w + x]; };
  const size_t rows = ShortestDividingPeriod(h, [&](size_t a, size_t b) {
    return std::equal(&p.pixels[a * w], &p.pixels[a * w] + w, &p.pixels[b * w]);
  });
  const size_t columns = ShortestDividingPeriod(w, [&](size_t a, size_t b) {
    for (size_t y = 0; y < rows; ++y)
      if (at(a, y) != at(b, y)) return false;
    return true;
  });
  if (rows == h && columns == w) return;
  std::vector<gdi::COLORREF> tile(rows * columns);
  for (size_t y = 0; y < rows; ++y)
    for (size_t x = 0; x < columns; ++x) tile[y * columns + x] = at(x, y);
  p.pixels = std::move(tile);
  p.width = static_cast<int32_t>(columns);
  p.height = static_cast<int32_t>(rows);
}

}  // namespace

bool EmfRecordPlayer::PlayObjectRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_CREATEPEN: CreatePen(r); return true;
    case EMR_EXTCREATEPEN: ExtCreatePen(r); return true;
    case EMR_CREATEBRUSHINDIRECT: CreateBrushIndirect(r); return true;
    case EMR_CREATEDIBPATTERNBRUSHPT: CreateDibBrush(r, false); return true;
    case EMR_CREATEMONOBRUSH: CreateDibBrush(r, true); return true;
    case EMR_EXTCREATEFONTINDIRECTW: CreateFont(r); return true;
    case EMR_SELECTOBJECT: {
      const uint32_t handle = r.U32();
      if (r.Ok()) SelectObject(handle);
      return true;
    }
    case EMR_DELETEOBJECT: {
      const uint32_t handle = r.U32();
      if (r.Ok() && state_.ValidIndex(handle)) state_.DeleteObject(handle);
      return true;
    }
    default: return false;
  }
}

void EmfRecordPlayer::CreatePen(EmfRecordReader& r) {
  const uint32_t index = r.U32(), style = r.U32();
  const int32_t width = r.I32();
  r.I32();  // the y part of the width is unused
  const uint32_t color = r.U32();
  if (!r.Ok() || !state_.ValidIndex(index)) return;
  EmfObject object;
  object.kind = EmfObject::Kind::Pen;
  object.pen.style = PenStyleOf(style);
  // Simple pens know only the basic styles; wider than one unit they draw solid.
  if (object.pen.style == gdi::PenStyle::UserStyle || object.pen.style == gdi::PenStyle::Alternate ||
      (width > 1 && object.pen.style <= gdi::PenStyle::DashDotDot))
    object.pen.style = gdi::PenStyle::Solid;
  object.pen.width = std::max(width, 0);
  object.pen.color = color & 0xFFFFFF;
  state_.StoreObject(index, std::move(object));
}

void EmfRecordPlayer::ExtCreatePen(EmfRecordReader& r) {
  const uint32_t index = r.U32();
  r.Skip(16);  // offBmi, cbBmi, offBits, cbBits: pattern pens draw in their colour
  const uint32_t style = r.U32(), width = r.U32(), brushStyle = r.U32(), color = r.U32(), hatch = r.U32();
  const uint32_t entries = r.U32();
  std::vector<uint32_t> styleEntries;
  if (!r.Ok() || !state_.ValidIndex(index)) return;
  if ((style & PS_STYLE_MASK) == PS_USERSTYLE && (entries == 0 || entries > kMaxStyleEntries)) return;
  if (entries <= kMaxStyleEntries && !r.U32Array(entries, styleEntries)) return;

  EmfObject object;
  object.kind = EmfObject::Kind::Pen;
  gdi::Pen& pen = object.pen;
  pen.style = brushStyle == BS_NULL ? gdi::PenStyle::Null : PenStyleOf(style);
  pen.geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
  pen.width = static_cast<int32_t>(std::min<uint32_t>(width, 0x7FFFFFFF));
  if (!pen.geometric) pen.width = 1;  // cosmetic pens are one pixel wide
  pen.color = color & 0xFFFFFF;
  if (pen.geometric && brushStyle == BS_HATCHED && hatch <= HS_DIAGCROSS) {
    pen.hatched = true;
    pen.hatch = static_cast<gdi::HatchStyle>(hatch);
  }
  switch (style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE: pen.endCap = gdi::PenEndCap::Square; break;
    case PS_ENDCAP_FLAT: pen.endCap = gdi::PenEndCap::Flat; break;
    default: pen.endCap = gdi::PenEndCap::Round; break;
  }
  switch (style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: pen.join = gdi::PenJoin::Bevel; break;
    case PS_JOIN_MITER: pen.join = gdi::PenJoin::Miter; break;
    default: pen.join = gdi::PenJoin::Round; break;
  }
  if (pen.style == gdi::PenStyle::UserStyle) {
    // All-zero entries would describe a dash pattern of no length.
    uint64_t total = 0;
    for (uint32_t e : styleEntries) total += e;
    if (total == 0) pen.style = gdi::PenStyle::Solid;
    else pen.userDashes = std::move(styleEntries);
  }
  state_.StoreObject(index, std::move(object));
}

void EmfRecordPlayer::CreateBrushIndirect(EmfRecordReader& r) {
  const uint32_t index = r.U32(), style = r.U32(), color = r.U32(), hatch = r.U32();
  if (!r.Ok() || !state_.ValidIndex(index)) return;
  EmfObject object;
  object.kind = EmfObject::Kind::Brush;
  gdi::Brush& brush = object.brush.brush;
  brush.color = color & 0xFFFFFF;
  switch (style) {
    case BS_NULL: brush.style = gdi::BrushStyle::Null; break;
    case BS_HATCHED:
      if (hatch > HS_DITHEREDBKCLR) return;
      if (hatch <= HS_DIAGCROSS) {
        brush.style = gdi::BrushStyle::Hatched;
        brush.hatch = static_cast<gdi::HatchStyle>(hatch);
        break;
      }
      // The solid and dithered "hatches" fill solid: in the brush colour,
      // the text colour (8, 9) or the background colour (10, 11).
      brush.style = gdi::BrushStyle::Solid;
      if (hatch >= HS_SOLIDTEXTCLR) {
        object.brush.color = hatch >= HS_SOLIDBKCLR ? BrushObject::Color::Background : BrushObject::Color::Text;
      }
      break;
    default: brush.style = gdi::BrushStyle::Solid; break;
  }
  state_.StoreObject(index, std::move(object));
}

void EmfRecordPlayer::CreateDibBrush(EmfRecordReader& r, bool mono) {
  const uint32_t index = r.U32(), usage = r.U32(), infoOffset = r.U32(), infoSize = r.U32(),
                 bitsOffset = r.U32(), bitsSize = r.U32();
  if (!r.Ok() || !state_.ValidIndex(index) || usage != DIB_RGB_COLORS) return;
  const uint8_t *info = nullptr, *bits = nullptr;
  if (!r.Block(infoOffset, infoSize, info) || !r.Block(bitsOffset, bitsSize, bits) || !info || !bits) return;
  gdi::DibImage image;
  if (!gdi::DecodeDib(info, infoSize, bits, bitsSize, image, kMaxPatternPixels) || image.width <= 0 ||
      image.height <= 0)
    return;
  EmfObject object;
  object.kind = EmfObject::Kind::Brush;
  auto pattern = std::make_shared<gdi::PatternImage>();
  pattern->width = image.width;
  pattern->height = image.height;
  pattern->pixels = std::move(image.pixels);
  ShrinkToRepeatingTile(*pattern);
  object.brush.brush.style = gdi::BrushStyle::Pattern;
  object.brush.brush.pattern = std::move(pattern);
  if (mono) {
    // The colour the decoder gave the 0 bits: the colour table's first entry.
    object.brush.mono = true;
    const uint32_t headerSize = infoSize >= 4 ? uint32_t{info[0]} | (uint32_t{info[1]} << 8) |
                                                    (uint32_t{info[2]} << 16) | (uint32_t{info[3]} << 24)
                                              : 0;
    if (headerSize >= 12 && uint64_t{headerSize} + 3 <= infoSize) {
      const uint8_t* entry = info + headerSize;
      object.brush.monoZero = gdi::RGB(entry[2], entry[1], entry[0]);
    }
  }
  state_.StoreObject(index, std::move(object));
}

void EmfRecordPlayer::CreateFont(EmfRecordReader& r) {
  const uint32_t index = r.U32();
  gdi::Font font;
  font.height = r.I32();
  font.width = r.I32();
  font.escapement = r.I32();
  font.orientation = r.I32();
  font.weight = r.I32();
  font.italic = r.U8() != 0;
  font.underline = r.U8() != 0;
  font.strikeOut = r.U8() != 0;
  font.charSet = r.U8();
  r.Skip(4);  // precisions, quality, pitch and family
  uint16_t face[32];
  for (uint16_t& unit : face) unit = static_cast<uint16_t>(r.I16());
  if (!r.Ok() || !state_.ValidIndex(index)) return;
  font.faceName = FaceName(face, 32);
  EmfObject object;
  object.kind = EmfObject::Kind::Font;
  object.font = std::move(font);
  state_.StoreObject(index, std::move(object));
}

void EmfRecordPlayer::SelectObject(uint32_t handle) {
  DcState& dc = state_.Dc();
  if (handle & kStockObjectFlag) {
    SelectStockObject(handle & ~kStockObjectFlag);
    return;
  }
  if (!state_.ValidIndex(handle)) return;
  const EmfObject* object = state_.FindObject(handle);
  if (!object) return;
  switch (object->kind) {
    case EmfObject::Kind::Pen: dc.pen = object->pen; break;
    case EmfObject::Kind::Brush: dc.brush = object->brush; break;
    case EmfObject::Kind::Font: dc.font = object->font; break;
    case EmfObject::Kind::Palette: break;  // selected by its own record
  }
}

void EmfRecordPlayer::SelectStockObject(uint32_t n) {
  DcState& dc = state_.Dc();
  const auto solidBrush = [&](gdi::COLORREF color) {
    dc.brush = BrushObject{};
    dc.brush.brush.color = color;
  };
  const auto pen = [&](gdi::PenStyle style, gdi::COLORREF color) {
    dc.pen = gdi::Pen{};
    dc.pen.style = style;
    dc.pen.color = color;
  };
  switch (n) {
    case WHITE_BRUSH: case DC_BRUSH: solidBrush(gdi::RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: solidBrush(gdi::RGB(192, 192, 192)); break;
    case GRAY_BRUSH: solidBrush(gdi::RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: solidBrush(gdi::RGB(64, 64, 64)); break;
    case BLACK_BRUSH: solidBrush(0); break;
    case NULL_BRUSH:
      dc.brush = BrushObject{};
      dc.brush.brush.style = gdi::BrushStyle::Null;
      break;
    case WHITE_PEN: pen(gdi::PenStyle::Solid, gdi::RGB(255, 255, 255)); break;
    case BLACK_PEN: case DC_PEN: pen(gdi::PenStyle::Solid, 0); break;
    case NULL_PEN: pen(gdi::PenStyle::Null, 0); break;
    case OEM_FIXED_FONT: case ANSI_FIXED_FONT: case ANSI_VAR_FONT: case SYSTEM_FONT: case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT: case DEFAULT_GUI_FONT:
      dc.font = gdi::Font{};
      dc.font.faceName = "";
      dc.font.height = 0;
      break;
    default: break;  // palettes and unknown numbers
  }
}

}  // namespace orvane::emf
