// Palette records: logical palettes created, changed, resized and
// selected; and the colour tables of DIB_PAL_COLORS bitmaps, whose 16-bit
// entries index the selected palette (the default palette when none is).
// Realizing a palette changes nothing on a true-colour surface.

#include <array>
#include <cstring>

#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

// The twenty colours of the system's default palette.
constexpr std::array<gdi::COLORREF, 20> kDefaultPalette = {
    gdi::RGB(0, 0, 0),       gdi::RGB(128, 0, 0),     gdi::RGB(0, 128, 0),     gdi::RGB(128, 128, 0),
    gdi::RGB(0, 0, 128),     gdi::RGB(128, 0, 128),   gdi::RGB(0, 128, 128),   gdi::RGB(192, 192, 192),
    gdi::RGB(192, 220, 192), gdi::RGB(166, 202, 240), gdi::RGB(255, 251, 240), gdi::RGB(160, 160, 164),
    gdi::RGB(128, 128, 128), gdi::RGB(255, 0, 0),     gdi::RGB(0, 255, 0),     gdi::RGB(255, 255, 0),
    gdi::RGB(0, 0, 255),     gdi::RGB(255, 0, 255),   gdi::RGB(0, 255, 255),   gdi::RGB(255, 255, 255)};

uint32_t Load32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// Reads `count` PALETTEENTRY values (red, green, blue, flags).
bool ReadEntries(EmfRecordReader& r, uint32_t count, std::vector<gdi::COLORREF>& out) {
  if (uint64_t{count} * 4 > r.Remaining()) return false;
  out.resize(count);
  for (gdi::COLORREF& c : out) {
    const uint32_t v = r.U32();
    c = v & 0xFFFFFF;  // the flags byte says how to realize the entry, not its colour
  }
  return r.Ok();
}

}  // namespace

bool EmfRecordPlayer::PlayPaletteRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_CREATEPALETTE: {
      const uint32_t index = r.U32(), versionAndCount = r.U32();
      std::vector<gdi::COLORREF> colors;
      if (!r.Ok() || !state_.ValidIndex(index) || !ReadEntries(r, versionAndCount >> 16, colors)) return true;
      EmfObject object;
      object.kind = EmfObject::Kind::Palette;
      object.palette = std::make_shared<std::vector<gdi::COLORREF>>(std::move(colors));
      state_.StoreObject(index, std::move(object));
      return true;
    }
    case EMR_SETPALETTEENTRIES: {
      const uint32_t index = r.U32(), start = r.U32(), count = r.U32();
      std::vector<gdi::COLORREF> colors;
      if (!r.Ok() || !ReadEntries(r, count, colors)) return true;
      const EmfObject* object = state_.ValidIndex(index) ? state_.FindObject(index) : nullptr;
      if (!object || !object->palette) return true;
      // Entries past the palette's end are left out, as the GDI does.
      std::vector<gdi::COLORREF>& palette = *object->palette;
      for (size_t i = 0; i < colors.size() && uint64_t{start} + i < palette.size(); ++i) palette[start + i] = colors[i];
      return true;
    }
    case EMR_RESIZEPALETTE: {
      const uint32_t index = r.U32(), count = r.U32();
      const EmfObject* object = r.Ok() && state_.ValidIndex(index) ? state_.FindObject(index) : nullptr;
      if (!object || !object->palette || count > 0xFFFF) return true;
      object->palette->resize(count, 0);  // new entries are black
      return true;
    }
    case EMR_SELECTPALETTE: {
      const uint32_t index = r.U32();
      if (!r.Ok()) return true;
      if (index == (kStockObjectFlag | DEFAULT_PALETTE)) {
        state_.Dc().palette = nullptr;
      } else if (const EmfObject* object = state_.ValidIndex(index) ? state_.FindObject(index) : nullptr;
                 object && object->palette) {
        state_.Dc().palette = object->palette;
      }
      return true;
    }
    case EMR_REALIZEPALETTE: return true;
    default: return false;
  }
}

bool EmfRecordPlayer::PaletteColorTable(const uint8_t* info, size_t infoSize, std::vector<uint8_t>& out) const {
  if (infoSize < 16) return false;
  const uint32_t headerSize = Load32(info);
  const bool core = headerSize == 12;
  if (!core && (headerSize < 40 || headerSize > infoSize)) return false;
  const uint32_t bitCount = core ? uint32_t{info[10]} | (uint32_t{info[11]} << 8)
                                 : uint32_t{info[14]} | (uint32_t{info[15]} << 8);
  uint64_t count = bitCount <= 8 ? uint64_t{1} << bitCount : 0;
  if (!core && infoSize >= 36 && Load32(info + 32) != 0) count = Load32(info + 32);
  if (count > 0xFFFF || headerSize + 2 * count > infoSize) return false;
  // The same header followed by the colours the indices name.
  const size_t entrySize = core ? 3 : 4;
  out.assign(info, info + headerSize);
  out.resize(headerSize + count * entrySize, 0);
  const std::vector<gdi::COLORREF>* selected = state_.Dc().palette.get();
  for (uint64_t i = 0; i < count; ++i) {
    const uint32_t n = uint32_t{info[headerSize + 2 * i]} | (uint32_t{info[headerSize + 2 * i + 1]} << 8);
    // An index past the palette's end takes its first entry.
    gdi::COLORREF c = kDefaultPalette[n < kDefaultPalette.size() ? n : 0];
    if (selected) c = n < selected->size() ? (*selected)[n] : (selected->empty() ? 0 : selected->front());
    uint8_t* entry = out.data() + headerSize + i * entrySize;
    entry[0] = static_cast<uint8_t>(c >> 16);
    entry[1] = static_cast<uint8_t>(c >> 8);
    entry[2] = static_cast<uint8_t>(c);
  }
  return true;
}

}  // namespace orvane::emf
