#pragma once
// Converts Windows-metafile records, one at a time, into the equivalent
// enhanced-metafile records. Every parameter is read through WmfParams, whose
// callers check the word count first; a record that fails a check (too few
// parameters, counts that do not fit, an unknown object slot) writes nothing.
//
// WMF objects live in a table of `objectLimit` slots: each created object takes
// the lowest free slot, DeleteObject frees it. Slot s becomes EMF handle s + 1
// (EMF handle 0 is the metafile itself). Objects without an EMF counterpart
// here (palettes, regions, bitmap pattern brushes) still take their slot, so
// that later indices keep their meaning, but write nothing.
//
// EMF has no offset records for the window and viewport origins, so the
// converter follows the origins (with SaveDC/RestoreDC) and writes the
// resulting absolute origin instead.

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include <orvane/graphics/detail/EmfRecordWriter.h>

namespace orvane::vcl {

// The parameters of one WMF record: `words` 16-bit little-endian words.
class WmfParams {
 public:
  WmfParams(const uint8_t* p, size_t words) : p_(p), words_(words) {}
  size_t Words() const { return words_; }
  // Word i (i < Words()).
  uint16_t U16(size_t i) const { return static_cast<uint16_t>(p_[2 * i] | (p_[2 * i + 1] << 8)); }
  int16_t I16(size_t i) const { return static_cast<int16_t>(U16(i)); }
  // Words i and i + 1 (i + 1 < Words()), low word first.
  uint32_t U32(size_t i) const { return U16(i) | (uint32_t{U16(i + 1)} << 16); }
  const uint8_t* Bytes(size_t i) const { return p_ + 2 * i; }

 private:
  const uint8_t* p_;
  size_t words_;
};

struct WmfPoint {
  int32_t x = 0;
  int32_t y = 0;
};

class WmfRecordConverter {
 public:
  // The EMF starts with the window origin at `windowOrg` and the viewport
  // origin at 0, 0 (as the caller's preamble sets them).
  WmfRecordConverter(EmfRecordWriter& out, uint32_t objectLimit, WmfPoint windowOrg);

  void Convert(uint16_t function, const WmfParams& p);

  // EMF handles the converted records use, including the reserved handle 0.
  uint32_t HandleCount() const { return static_cast<uint32_t>(slots_.size()) + 1; }

 private:
  enum class ObjectKind : uint8_t { kFree, kPen, kBrush, kFont, kOther };
  struct Slot {
    ObjectKind kind = ObjectKind::kFree;
    uint8_t charset = 0;  // fonts: the charset their text bytes are in
  };
  // The parts of the playback state the conversion itself depends on.
  struct DcState {
    WmfPoint windowOrg;
    WmfPoint viewportOrg;
    uint8_t charset = 0;  // of the selected font
  };

  // State and coordinate records (WmfRecordConverter.cpp).
  void SetOrigin(uint32_t emfType, WmfPoint& origin, int32_t x, int32_t y);
  void RestoreDc(const WmfParams& p);
  void Box(uint32_t emfType, const WmfParams& p, size_t firstBoxWord);
  void Polygon(uint32_t emfType, const WmfParams& p);
  void PolyPolygon(const WmfParams& p);

  // Objects (WmfObjectRecords.cpp).
  // Takes the lowest free slot for a new object; false when the table is full.
  bool AllocateSlot(ObjectKind kind, uint32_t& slot);
  void CreatePen(const WmfParams& p);
  void CreateBrush(const WmfParams& p);
  void CreateFont(const WmfParams& p);
  void CreateDibPatternBrush(const WmfParams& p);
  void CreatePlaceholder();
  void SelectObject(const WmfParams& p);
  void DeleteObject(const WmfParams& p);

  // Text (WmfObjectRecords.cpp).
  void TextOut(const WmfParams& p);
  void ExtTextOut(const WmfParams& p);
  void WriteText(int32_t x, int32_t y, uint32_t options, const int16_t* rect, const uint8_t* text, size_t length,
                 const WmfParams* dx, size_t dxWord);

  // Bitmaps (WmfBitmapRecords.cpp).
  void PatBlt(const WmfParams& p);
  void StretchDib(const WmfParams& p);
  void SetDibToDev(const WmfParams& p);
  void DibStretchBlt(const WmfParams& p);
  void DibBitBlt(const WmfParams& p);

  EmfRecordWriter& out_;
  uint32_t objectLimit_;
  std::vector<Slot> slots_;       // grows on demand, never beyond objectLimit_
  std::set<uint32_t> freeSlots_;  // freed slots below slots_.size()
  DcState state_;
  std::vector<DcState> saved_;
};

}  // namespace orvane::vcl
