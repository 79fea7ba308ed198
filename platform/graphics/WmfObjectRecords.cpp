// WMF-to-EMF conversion of the object table (pens, brushes, fonts, their
// selection and deletion) and of text. Text bytes are decoded by the charset
// of the selected font: code page 1252 for the ANSI and default charsets,
// Latin-1 for the others.

#include <algorithm>
#include <array>

#include <orvane/graphics/detail/WmfRecordConverter.h>
#include <orvane/graphics/detail/EmfRecords.h>
#include <orvane/graphics/detail/WmfRecordTypes.h>

namespace orvane::vcl {

using namespace wmf;

namespace {

constexpr uint8_t kAnsiCharset = 0, kDefaultCharset = 1;
constexpr uint32_t kBrushSolid = 0, kBrushHatched = 2;
constexpr uint32_t kGraphicsModeCompatible = 1;
constexpr uint32_t kFloatOne = 0x3F800000;  // 1.0f
constexpr uint16_t kTextOpaque = 0x0002, kTextClipped = 0x0004;
constexpr size_t kFaceNameChars = 32;

// Code page 1252 at 0x80..0x9F; the bytes it leaves undefined keep their value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t DecodeByte(uint8_t b, uint8_t charset) {
  if ((charset == kAnsiCharset || charset == kDefaultCharset) && b >= 0x80 && b < 0xA0) return kCp1252High[b - 0x80];
  return b;
}

}  // namespace

bool WmfRecordConverter::AllocateSlot(ObjectKind kind, uint32_t& slot) {
  if (!freeSlots_.empty()) {
    slot = *freeSlots_.begin();
    freeSlots_.erase(freeSlots_.begin());
  } else if (slots_.size() < objectLimit_) {
    slot = static_cast<uint32_t>(slots_.size());
    slots_.emplace_back();
  } else {
    return false;  // the table is full: GDI fails the creation
  }
  slots_[slot] = Slot{kind, 0};
  return true;
}

// CREATEPENINDIRECT: style, width (x, y), colour.
void WmfRecordConverter::CreatePen(const WmfParams& p) {
  if (p.Words() < 5) return CreatePlaceholder();
  uint32_t slot;
  if (!AllocateSlot(ObjectKind::kPen, slot)) return;
  out_.Record(emf::EMR_CREATEPEN, {static_cast<int32_t>(slot + 1), p.U16(0), p.I16(1), 0, static_cast<int32_t>(p.U32(3))});
}

// CREATEBRUSHINDIRECT: style, colour, hatch. Pattern styles need a bitmap
// this record cannot carry; they become solid brushes of the colour.
void WmfRecordConverter::CreateBrush(const WmfParams& p) {
  if (p.Words() < 4) return CreatePlaceholder();
  uint32_t slot;
  if (!AllocateSlot(ObjectKind::kBrush, slot)) return;
  uint32_t style = p.U16(0);
  if (style > kBrushHatched) style = kBrushSolid;
  out_.Record(emf::EMR_CREATEBRUSHINDIRECT,
              {static_cast<int32_t>(slot + 1), static_cast<int32_t>(style), static_cast<int32_t>(p.U32(1)), p.U16(3)});
}

// CREATEFONTINDIRECT: height, width, escapement, orientation, weight (16-bit
// each), eight byte fields, then a face name of up to 32 bytes.
void WmfRecordConverter::CreateFont(const WmfParams& p) {
  constexpr size_t kFixedWords = 9;
  if (p.Words() < kFixedWords) return CreatePlaceholder();
  uint32_t slot;
  if (!AllocateSlot(ObjectKind::kFont, slot)) return;
  const uint8_t* bytes = p.Bytes(5);  // italic, underline, strike-out, charset, ...
  const uint8_t charset = bytes[3];
  slots_[slot].charset = charset;

  out_.Begin(emf::EMR_EXTCREATEFONTINDIRECTW);
  out_.U32(slot + 1);
  for (size_t i = 0; i < 5; ++i) out_.I32(p.I16(i));
  out_.Bytes(bytes, 8);
  const uint8_t* name = p.Bytes(kFixedWords);
  const size_t available = std::min(kFaceNameChars - 1, 2 * (p.Words() - kFixedWords));
  size_t length = 0;
  while (length < available && name[length] != 0) ++length;
  for (size_t i = 0; i < length; ++i) out_.U16(DecodeByte(name[i], charset));
  out_.Zeros(2 * (kFaceNameChars - length));
  out_.End();
}

// A created object that has no EMF counterpart, or whose record is too short
// to use, still takes its slot so that the later indices keep their meaning.
void WmfRecordConverter::CreatePlaceholder() {
  uint32_t slot;
  AllocateSlot(ObjectKind::kOther, slot);
}

void WmfRecordConverter::SelectObject(const WmfParams& p) {
  if (p.Words() < 1) return;
  const uint32_t slot = p.U16(0);
  if (slot >= slots_.size()) return;
  const Slot& s = slots_[slot];
  if (s.kind == ObjectKind::kFree || s.kind == ObjectKind::kOther) return;
  if (s.kind == ObjectKind::kFont) state_.charset = s.charset;
  out_.Record(emf::EMR_SELECTOBJECT, {static_cast<int32_t>(slot + 1)});
}

void WmfRecordConverter::DeleteObject(const WmfParams& p) {
  if (p.Words() < 1) return;
  const uint32_t slot = p.U16(0);
  if (slot >= slots_.size() || slots_[slot].kind == ObjectKind::kFree) return;
  if (slots_[slot].kind != ObjectKind::kOther) out_.Record(emf::EMR_DELETEOBJECT, {static_cast<int32_t>(slot + 1)});
  slots_[slot] = Slot{};
  freeSlots_.insert(slot);
}

// TEXTOUT: byte count, the bytes (padded to a word), y, x.
void WmfRecordConverter::TextOut(const WmfParams& p) {
  if (p.Words() < 1) return;
  const size_t length = p.U16(0);
  const size_t textWords = (length + 1) / 2;
  if (1 + textWords + 2 > p.Words()) return;
  WriteText(p.I16(2 + textWords), p.I16(1 + textWords), 0, nullptr, p.Bytes(1), length, nullptr, 0);
}

// EXTTEXTOUT: y, x, byte count, options, the rectangle (left, top, right,
// bottom) when the options ask to clip or fill, the bytes (padded to a word),
// then optionally one 16-bit advance a byte.
void WmfRecordConverter::ExtTextOut(const WmfParams& p) {
  if (p.Words() < 4) return;
  const size_t length = p.U16(2);
  const uint16_t options = p.U16(3);
  const bool hasRect = (options & (kTextOpaque | kTextClipped)) != 0;
  const size_t textWord = hasRect ? 8 : 4;
  const size_t dxWord = textWord + (length + 1) / 2;
  if (dxWord > p.Words()) return;
  int16_t rect[4] = {};
  if (hasRect) {
    for (size_t i = 0; i < 4; ++i) rect[i] = p.I16(4 + i);
  }
  const bool hasDx = length > 0 && p.Words() - dxWord >= length;
  WriteText(p.I16(1), p.I16(0), options, hasRect ? rect : nullptr, p.Bytes(textWord), length, hasDx ? &p : nullptr,
            dxWord);
}

void WmfRecordConverter::WriteText(int32_t x, int32_t y, uint32_t options, const int16_t* rect, const uint8_t* text,
                                   size_t length, const WmfParams* dx, size_t dxWord) {
  constexpr uint32_t kDxOffsetField = 72, kStringOffset = 76;
  out_.Begin(emf::EMR_EXTTEXTOUTW);
  out_.Zeros(16);  // bounds: not known without the font
  out_.U32(kGraphicsModeCompatible);
  out_.U32(kFloatOne);  // x and y scale: unused in the compatible mode
  out_.U32(kFloatOne);
  out_.I32(x);
  out_.I32(y);
  out_.U32(static_cast<uint32_t>(length));
  out_.U32(kStringOffset);
  out_.U32(options);
  for (size_t i = 0; i < 4; ++i) out_.I32(rect ? rect[i] : 0);
  out_.U32(0);  // dx offset, set below when there are advances
  for (size_t i = 0; i < length; ++i) out_.U16(DecodeByte(text[i], state_.charset));
  out_.Align4();
  if (dx) {
    out_.PatchU32(kDxOffsetField, out_.Offset());
    for (size_t i = 0; i < length; ++i) out_.I32(dx->I16(dxWord + i));
  }
  out_.End();
}

}  // namespace orvane::vcl
