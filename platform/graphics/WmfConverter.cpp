// WMF to EMF. Layout of the input:
//   placeable header (22 bytes, placeable files only): key, hmf, box (left,
//     top, right, bottom: int16 logical units), units per inch, reserved,
//     checksum (not checked);
//   METAHEADER (header size in words, at least 9): type 1 or 2, header size,
//     version, file size, object count, largest record, 0;
//   records: size in words (32-bit, at least 3), function, parameters; the
//     list ends with function 0 or with the data.
// The EMF gets a 108-byte header whose frame is the box extent in 0.01 mm
// (box x 2540 / inch, placed at 0, 0) on a 96-dpi reference device
// (1920 x 1440 pixels on 508 x 381 mm), so its size in pixels is the box
// extent x 96 / inch. A preamble maps the box onto that size in
// MM_ANISOTROPIC; the file's own window records then override it, as they
// would when GDI plays the WMF into a prepared DC.

#include <orvane/graphics/detail/WmfConverter.h>

#include <algorithm>
#include <limits>
#include <utility>

#include <orvane/graphics/detail/EmfRecordWriter.h>
#include <orvane/graphics/detail/WmfRecordConverter.h>
#include <orvane/graphics/detail/EmfRecords.h>
#include <orvane/graphics/detail/WmfRecordTypes.h>
#include <orvane/rtl/FloatMath.h>

namespace orvane::vcl {

using namespace wmf;

namespace {

constexpr size_t kPlaceableSize = 22;
constexpr size_t kMetaHeaderWords = 9;
constexpr size_t kRecordHeaderWords = 3;
// The reference device: 96 pixels an inch on both axes.
constexpr int32_t kDevicePixelsX = 1920, kDevicePixelsY = 1440;
constexpr int32_t kDeviceMillimetresX = 508, kDeviceMillimetresY = 381;
constexpr int64_t kHundredthsMmPerInch = 2540;

uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int16_t LoadI16(const uint8_t* p) { return static_cast<int16_t>(LoadU16(p)); }
uint32_t LoadU32(const uint8_t* p) { return LoadU16(p) | (uint32_t{LoadU16(p + 2)} << 16); }

struct Picture {
  int32_t left, top, width, height;  // the box, logical units
  int32_t frameWidth, frameHeight;   // 0.01 mm
  int32_t pixelWidth, pixelHeight;   // reference-device pixels
};

Picture MeasureBox(const WmfBox& box) {
  int32_t left = box.left, top = box.top, right = box.right, bottom = box.bottom;
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const int64_t inch = box.unitsPerInch;
  Picture pic{left, top, right - left, bottom - top, 0, 0, 0, 0};
  pic.frameWidth = static_cast<int32_t>(rtl::DivRoundHalfAway(pic.width * kHundredthsMmPerInch, inch));
  pic.frameHeight = static_cast<int32_t>(rtl::DivRoundHalfAway(pic.height * kHundredthsMmPerInch, inch));
  // As the metafile's size is computed from the header.
  pic.pixelWidth = static_cast<int32_t>(
      rtl::DivRoundHalfAway(int64_t{pic.frameWidth} * kDevicePixelsX, int64_t{kDeviceMillimetresX} * 100));
  pic.pixelHeight = static_cast<int32_t>(
      rtl::DivRoundHalfAway(int64_t{pic.frameHeight} * kDevicePixelsY, int64_t{kDeviceMillimetresY} * 100));
  return pic;
}

// ENHMETAHEADER; the byte count, record count and handle count are patched
// once the records are written.
void WriteHeader(EmfRecordWriter& out, const Picture& pic) {
  out.Begin(emf::EMR_HEADER);
  for (int32_t v : {0, 0, std::max(pic.pixelWidth - 1, 0), std::max(pic.pixelHeight - 1, 0)}) out.I32(v);
  for (int32_t v : {0, 0, pic.frameWidth, pic.frameHeight}) out.I32(v);
  out.U32(emf::header::kSignatureValue);
  out.U32(emf::header::kVersionValue);
  out.U32(0);  // bytes
  out.U32(0);  // records
  out.U32(0);  // handles (16 bits) and reserved
  out.U32(0);  // description length
  out.U32(0);  // description offset
  out.U32(0);  // palette entries
  for (int32_t v : {kDevicePixelsX, kDevicePixelsY, kDeviceMillimetresX, kDeviceMillimetresY}) out.I32(v);
  out.U32(0);  // pixel format size
  out.U32(0);  // pixel format offset
  out.U32(0);  // OpenGL
  out.I32(kDeviceMillimetresX * 1000);
  out.I32(kDeviceMillimetresY * 1000);
  out.End();
}

// The metafile `meta` (METAHEADER and records, `size` bytes) drawn in `box`.
bool ConvertMetafile(const uint8_t* meta, size_t size, const WmfBox& box, std::vector<uint8_t>& result) {
  result.clear();
  if (size < 2 * kMetaHeaderWords || box.unitsPerInch == 0) return false;
  const uint16_t type = LoadU16(meta), headerWords = LoadU16(meta + 2);
  if ((type != 1 && type != 2) || headerWords < kMetaHeaderWords) return false;
  size_t pos = 2 * size_t{headerWords};
  if (pos > size) return false;
  // Each created object needs a record of at least three words; EMF handle
  // numbers (slot + 1) stay below 65535.
  const uint32_t objectLimit = static_cast<uint32_t>(
      std::min<size_t>({LoadU16(meta + 10), (size - pos) / (2 * kRecordHeaderWords), 0xFFFE}));

  const Picture pic = MeasureBox(box);
  EmfRecordWriter out(result);
  WriteHeader(out, pic);
  out.Record(emf::EMR_SETMAPMODE, {emf::MM_ANISOTROPIC});
  out.Record(emf::EMR_SETWINDOWORGEX, {pic.left, pic.top});
  out.Record(emf::EMR_SETWINDOWEXTEX, {pic.width, pic.height});
  out.Record(emf::EMR_SETVIEWPORTORGEX, {0, 0});
  out.Record(emf::EMR_SETVIEWPORTEXTEX, {pic.pixelWidth, pic.pixelHeight});

  WmfRecordConverter converter(out, objectLimit, WmfPoint{pic.left, pic.top});
  while (size - pos >= 2 * kRecordHeaderWords) {
    const uint64_t words = LoadU32(meta + pos);
    const uint16_t function = LoadU16(meta + pos + 4);
    if (words < kRecordHeaderWords || 2 * words > size - pos || function == kEof) break;
    converter.Convert(function, WmfParams(meta + pos + 2 * kRecordHeaderWords, words - kRecordHeaderWords));
    pos += 2 * words;
  }

  out.Begin(emf::EMR_EOF);
  out.U32(0);   // palette entries
  out.U32(16);  // palette offset
  out.U32(20);  // this record's size
  out.End();

  if (result.size() > std::numeric_limits<uint32_t>::max()) return false;
  StoreU32(result.data() + emf::header::kBytes, static_cast<uint32_t>(result.size()));
  StoreU32(result.data() + emf::header::kRecords, out.Records());
  const uint32_t handles = converter.HandleCount();
  result[emf::header::kHandles] = static_cast<uint8_t>(handles);
  result[emf::header::kHandles + 1] = static_cast<uint8_t>(handles >> 8);
  return true;
}

}  // namespace

bool IsPlaceableWmf(const uint8_t* data, size_t size) {
  return data && size >= 4 && LoadU32(data) == kPlaceableWmfKey;
}

bool IsStandardWmf(const uint8_t* data, size_t size) {
  if (!data || size < 4) return false;
  const uint16_t type = LoadU16(data);
  return (type == 1 || type == 2) && LoadU16(data + 2) == kMetaHeaderWords;
}

bool ConvertPlaceableWmfToEmf(const uint8_t* data, size_t size, std::vector<uint8_t>& emf) {
  emf.clear();
  if (!IsPlaceableWmf(data, size) || size < kPlaceableSize) return false;
  const WmfBox box{LoadI16(data + 6), LoadI16(data + 8), LoadI16(data + 10), LoadI16(data + 12), LoadU16(data + 14)};
  return ConvertMetafile(data + kPlaceableSize, size - kPlaceableSize, box, emf);
}

bool ConvertStandardWmfToEmf(const uint8_t* data, size_t size, std::vector<uint8_t>& emf) {
  emf.clear();
  WmfBox box;
  return IsStandardWmf(data, size) && MeasureStandardWmf(data, size, box) && ConvertMetafile(data, size, box, emf);
}

}  // namespace orvane::vcl
