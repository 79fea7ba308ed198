#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GzipBytes.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/detail/WmfConverter.h>
#include <orvane/rtl/Exceptions.h>

using namespace orvane::vcl;

namespace {

// WMF function numbers used below.
enum : uint16_t {
  kSetBkColor = 0x0201, kSetMapMode = 0x0103, kSetTextAlign = 0x012E, kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C, kOffsetWindowOrg = 0x020F, kScaleWindowExt = 0x0410, kLineTo = 0x0213,
  kMoveTo = 0x0214, kRectangle = 0x041B, kRoundRect = 0x061C, kArc = 0x0817, kSetPixel = 0x041F,
  kPolygon = 0x0324, kPolyline = 0x0325, kPolyPolygon = 0x0538, kSaveDc = 0x001E, kRestoreDc = 0x0127,
  kSelectObject = 0x012D, kDeleteObject = 0x01F0, kCreatePen = 0x02FA, kCreateBrush = 0x02FC,
  kCreateFont = 0x02FB, kCreatePalette = 0x00F7, kTextOut = 0x0521, kExtTextOut = 0x0A32, kPatBlt = 0x061D,
  kStretchDib = 0x0F43, kDibBitBlt = 0x0940, kDibStretchBlt = 0x0B41, kDibPatternBrush = 0x0142,
  kEscape = 0x0626, kOffsetClipRgn = 0x0220, kSetDibToDev = 0x0D33, kOffsetViewportOrg = 0x0211,
};

// EMF record types checked below.
enum : uint32_t {
  kEmrHeader = 1, kEmrSetWindowExtEx = 9, kEmrSetWindowOrgEx = 10, kEmrSetViewportExtEx = 11,
  kEmrSetViewportOrgEx = 12, kEmrEof = 14, kEmrSetPixelV = 15, kEmrSetMapMode = 17, kEmrSetTextAlign = 22,
  kEmrSetBkColor = 25, kEmrMoveToEx = 27, kEmrScaleWindowExtEx = 32, kEmrSaveDc = 33, kEmrRestoreDc = 34,
  kEmrSelectObject = 37, kEmrCreatePen = 38, kEmrCreateBrush = 39, kEmrDeleteObject = 40, kEmrRectangle = 43,
  kEmrRoundRect = 44, kEmrArc = 45, kEmrLineTo = 54, kEmrBitBlt = 76, kEmrStretchBlt = 77,
  kEmrStretchDibits = 81, kEmrFont = 82, kEmrExtTextOutW = 84, kEmrPolygon16 = 86, kEmrPolyline16 = 87,
  kEmrPolyPolygon16 = 91, kEmrDibPatternBrush = 94, kEmrOffsetClipRgn = 26, kEmrSetDibitsToDevice = 80,
};

constexpr size_t kPreamble = 6;  // header, map mode, window org and ext, viewport org and ext

using Words = std::vector<uint16_t>;

uint16_t Lo(uint32_t v) { return static_cast<uint16_t>(v); }
uint16_t Hi(uint32_t v) { return static_cast<uint16_t>(v >> 16); }
uint16_t W(int v) { return static_cast<uint16_t>(v); }

// Text bytes packed into words (padded with a zero byte).
Words TextWords(const std::string& s) {
  Words w((s.size() + 1) / 2, 0);
  std::memcpy(w.data(), s.data(), s.size());
  return w;
}

Words Join(std::initializer_list<Words> parts) {
  Words all;
  for (const Words& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Builds a placeable WMF from records given as parameter words.
class WmfBuilder {
 public:
  explicit WmfBuilder(int16_t left = 0, int16_t top = 0, int16_t right = 1440, int16_t bottom = 720,
                      uint16_t inch = 1440, uint16_t objects = 8)
      : box_{left, top, right, bottom}, inch_(inch), objects_(objects) {}

  WmfBuilder& Add(uint16_t function, const Words& params) {
    return AddSized(function, static_cast<uint32_t>(3 + params.size()), params);
  }
  // A record whose size field says `words` whatever the parameters.
  WmfBuilder& AddSized(uint16_t function, uint32_t words, const Words& params) {
    records_.insert(records_.end(), {Lo(words), Hi(words), function});
    records_.insert(records_.end(), params.begin(), params.end());
    return *this;
  }

  std::vector<uint8_t> Bytes(bool eof = true) const {
    Words w = {0xCDD7, 0x9AC6, 0, W(box_[0]), W(box_[1]), W(box_[2]), W(box_[3]), inch_, 0, 0};
    uint16_t checksum = 0;
    for (uint16_t v : w) checksum ^= v;
    w.push_back(checksum);
    Words body = records_;
    if (eof) body.insert(body.end(), {3, 0, 0});
    const uint32_t total = static_cast<uint32_t>(9 + body.size());
    w.insert(w.end(), {1, 9, 0x0300, Lo(total), Hi(total), objects_, 0, 0, 0});
    w.insert(w.end(), body.begin(), body.end());
    std::vector<uint8_t> bytes(2 * w.size());
    for (size_t i = 0; i < w.size(); ++i) {
      bytes[2 * i] = static_cast<uint8_t>(w[i]);
      bytes[2 * i + 1] = static_cast<uint8_t>(w[i] >> 8);
    }
    return bytes;
  }
  // The same metafile without the placeable header: a standard WMF.
  std::vector<uint8_t> StandardBytes() const {
    const std::vector<uint8_t> placeable = Bytes();
    return std::vector<uint8_t>(placeable.begin() + 22, placeable.end());
  }

 private:
  int16_t box_[4];
  uint16_t inch_;
  uint16_t objects_;
  Words records_;
};

// The records of converted EMF bytes, after checking the record chain.
class EmfView {
 public:
  explicit EmfView(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    size_t pos = 0;
    while (pos + 8 <= bytes_.size()) {
      const uint32_t size = U32At(pos + 4);
      EXPECT_EQ(size % 4, 0u) << "record " << offsets_.size();
      if (size < 8 || pos + size > bytes_.size()) {
        ADD_FAILURE() << "bad record size " << size << " at " << pos;
        break;
      }
      offsets_.push_back(pos);
      pos += size;
    }
    EXPECT_EQ(pos, bytes_.size());
  }
  size_t Count() const { return offsets_.size(); }
  uint32_t Type(size_t r) const { return U32At(offsets_.at(r)); }
  uint32_t Size(size_t r) const { return U32At(offsets_.at(r) + 4); }
  int32_t I32(size_t r, size_t offset) const { return static_cast<int32_t>(U32(r, offset)); }
  uint32_t U32(size_t r, size_t offset) const {
    EXPECT_LE(offset + 4, Size(r));
    return U32At(offsets_.at(r) + offset);
  }
  uint16_t U16(size_t r, size_t offset) const {
    const size_t at = offsets_.at(r) + offset;
    return static_cast<uint16_t>(bytes_.at(at) | (bytes_.at(at + 1) << 8));
  }
  const uint8_t* Bytes(size_t r, size_t offset) const { return bytes_.data() + offsets_.at(r) + offset; }
  // The i32 fields from `offset` on.
  std::vector<int32_t> Fields(size_t r, size_t offset, size_t count) const {
    std::vector<int32_t> v;
    for (size_t i = 0; i < count; ++i) v.push_back(I32(r, offset + 4 * i));
    return v;
  }
  // The types of the converted records (between the preamble and EOF).
  std::vector<uint32_t> Converted() const {
    std::vector<uint32_t> types;
    for (size_t r = kPreamble; r + 1 < Count(); ++r) types.push_back(Type(r));
    return types;
  }
  const std::vector<uint8_t>& Raw() const { return bytes_; }

 private:
  uint32_t U32At(size_t at) const {
    uint32_t v;
    std::memcpy(&v, bytes_.data() + at, 4);
    return v;
  }
  std::vector<uint8_t> bytes_;
  std::vector<size_t> offsets_;
};

EmfView Convert(const std::vector<uint8_t>& wmf) {
  std::vector<uint8_t> emf;
  EXPECT_TRUE(ConvertPlaceableWmfToEmf(wmf.data(), wmf.size(), emf));
  return EmfView(std::move(emf));
}

EmfView Convert(const WmfBuilder& b) { return Convert(b.Bytes()); }

// A 2 x 2 24-bit DIB, bottom-up: 40-byte header, no table, rows of 8 bytes.
Words Dib24() {
  Words w = {40, 0, 2, 0, 2, 0, 1, 24, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int row = 0; row < 2; ++row) w.insert(w.end(), {0x2211, 0x4433, 0x6655, 0});
  return w;
}

}  // namespace

// ---------------------------------------------------------------- header

TEST(WmfConverterTest, HeaderFrameAndReferenceDeviceGiveTheBoxAt96Dpi) {
  EmfView emf = Convert(WmfBuilder(0, 0, 1440, 720, 1440, 3).Add(kSaveDc, {}));
  ASSERT_EQ(emf.Count(), kPreamble + 2);
  EXPECT_EQ(emf.Type(0), kEmrHeader);
  EXPECT_EQ(emf.Size(0), 108u);
  EXPECT_EQ(emf.Fields(0, 8, 4), (std::vector<int32_t>{0, 0, 95, 47}));     // bounds, device pixels
  EXPECT_EQ(emf.Fields(0, 24, 4), (std::vector<int32_t>{0, 0, 2540, 1270}));  // frame, 0.01 mm
  EXPECT_EQ(emf.U32(0, 40), 0x464D4520u);
  EXPECT_EQ(emf.U32(0, 44), 0x10000u);
  EXPECT_EQ(emf.U32(0, 48), emf.Raw().size());
  EXPECT_EQ(emf.U32(0, 52), emf.Count());
  EXPECT_EQ(emf.U16(0, 56), 1u);  // no object created: only handle 0
  // 96 dpi: 1920 px on 508 mm.
  EXPECT_EQ(emf.Fields(0, 72, 4), (std::vector<int32_t>{1920, 1440, 508, 381}));
  EXPECT_EQ(emf.Type(emf.Count() - 1), kEmrEof);
  EXPECT_EQ(emf.Size(emf.Count() - 1), 20u);
}

TEST(WmfConverterTest, PreambleMapsTheBoxOntoThePictureSize) {
  EmfView emf = Convert(WmfBuilder(-100, 200, 1340, 920));
  ASSERT_EQ(emf.Count(), kPreamble + 1);
  EXPECT_EQ(emf.Type(1), kEmrSetMapMode);
  EXPECT_EQ(emf.I32(1, 8), 8);  // MM_ANISOTROPIC
  EXPECT_EQ(emf.Type(2), kEmrSetWindowOrgEx);
  EXPECT_EQ(emf.Fields(2, 8, 2), (std::vector<int32_t>{-100, 200}));
  EXPECT_EQ(emf.Type(3), kEmrSetWindowExtEx);
  EXPECT_EQ(emf.Fields(3, 8, 2), (std::vector<int32_t>{1440, 720}));
  EXPECT_EQ(emf.Type(4), kEmrSetViewportOrgEx);
  EXPECT_EQ(emf.Fields(4, 8, 2), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(emf.Type(5), kEmrSetViewportExtEx);
  EXPECT_EQ(emf.Fields(5, 8, 2), (std::vector<int32_t>{96, 48}));
  // The frame sits at 0, 0 whatever the box's origin.
  EXPECT_EQ(emf.Fields(0, 24, 4), (std::vector<int32_t>{0, 0, 2540, 1270}));
}

TEST(WmfConverterTest, MetafileSizeIsTheBoxExtentAt96Dpi) {
  struct Case {
    int16_t left, top, right, bottom;
    uint16_t inch;
    int32_t width, height;
  } cases[] = {
      {0, 0, 1440, 720, 1440, 96, 48},
      {0, 0, 576, 288, 576, 96, 48},
      {0, 0, 1000, 1000, 1440, 67, 67},     // 66.67 px
      {10, 10, 1010, 510, 1000, 96, 48},    // 1000 x 500 units at 1000 an inch
      {500, 400, 0, 0, 100, 480, 384},      // a reversed box is read the right way round
      {0, 0, 15, 15, 1440, 1, 1},           // exactly 1 px
      {0, 0, 7, 7, 1440, 0, 0},             // 0.47 px
      {-32768, -32768, 32767, 32767, 1, 6291360, 6291360},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> wmf = WmfBuilder(c.left, c.top, c.right, c.bottom, c.inch).Bytes();
    TMetafile mf;
    mf.LoadFromBytes(wmf.data(), wmf.size());
    EXPECT_EQ(mf.Width(), c.width) << c.right - c.left << " at " << c.inch;
    EXPECT_EQ(mf.Height(), c.height) << c.bottom - c.top << " at " << c.inch;
  }
}

TEST(WmfConverterTest, RefusesWhatIsNotAUsablePlaceableWmf) {
  const std::vector<uint8_t> good = WmfBuilder().Add(kSaveDc, {}).Bytes();
  std::vector<uint8_t> emf;
  ASSERT_TRUE(ConvertPlaceableWmfToEmf(good.data(), good.size(), emf));

  auto refused = [](std::vector<uint8_t> bytes) {
    std::vector<uint8_t> out;
    return !ConvertPlaceableWmfToEmf(bytes.data(), bytes.size(), out) && out.empty();
  };
  std::vector<uint8_t> badKey = good;
  badKey[0] ^= 1;
  EXPECT_FALSE(IsPlaceableWmf(badKey.data(), badKey.size()));
  EXPECT_TRUE(refused(badKey));
  EXPECT_TRUE(refused(WmfBuilder(0, 0, 100, 100, 0).Bytes()));  // no units per inch
  std::vector<uint8_t> badType = good;
  badType[22] = 3;
  EXPECT_TRUE(refused(badType));
  std::vector<uint8_t> shortHeader = good;
  shortHeader[24] = 8;  // METAHEADER of 8 words
  EXPECT_TRUE(refused(shortHeader));
  std::vector<uint8_t> hugeHeader = good;
  hugeHeader[24] = 0xFF;  // header runs past the data
  EXPECT_TRUE(refused(hugeHeader));
  for (size_t size : {size_t{0}, size_t{3}, size_t{21}, size_t{39}}) {
    EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + size))) << size;
  }
  EXPECT_FALSE(IsPlaceableWmf(nullptr, 0));

  // A wrong checksum is tolerated.
  std::vector<uint8_t> badChecksum = good;
  badChecksum[20] ^= 0x55;
  EXPECT_TRUE(ConvertPlaceableWmfToEmf(badChecksum.data(), badChecksum.size(), emf));
}

TEST(WmfConverterTest, MetafileRaisesInvalidGraphicForARefusedWmf) {
  const std::vector<uint8_t> good = WmfBuilder().Add(kSaveDc, {}).Bytes();
  TMetafile mf;
  mf.LoadFromBytes(good.data(), good.size());
  ASSERT_EQ(mf.Width(), 96);
  const std::vector<uint8_t> noInch = WmfBuilder(0, 0, 100, 100, 0).Bytes();
  try {
    mf.LoadFromBytes(noInch.data(), noInch.size());
    FAIL() << "no exception";
  } catch (const orvane::rtl::EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Metadatei ist ungültig");
  }
  EXPECT_EQ(mf.Width(), 96);  // the old content stays
  ASSERT_NE(mf.Data(), nullptr);
  EXPECT_EQ(mf.Data()->size(), Convert(good).Raw().size());
}

// ---------------------------------------------------------------- state and shapes

TEST(WmfConverterTest, StateRecordsBecomeTheirEmfCounterparts) {
  EmfView emf = Convert(WmfBuilder()
                            .Add(kSetBkColor, {Lo(0x00336699), Hi(0x00336699)})
                            .Add(kSetMapMode, {8})
                            .Add(kSetTextAlign, {24, 0})  // with a reserved word
                            .Add(kSetWindowOrg, {W(-20), 10})
                            .Add(kSetWindowExt, {300, 400})
                            .Add(kScaleWindowExt, {3, 2, 5, 4})
                            .Add(kScaleWindowExt, {0, 2, 5, 4})  // zero denominator: skipped
                            .Add(kOffsetClipRgn, {W(-2), 7}));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrSetBkColor, kEmrSetMapMode, kEmrSetTextAlign,
                                                    kEmrSetWindowOrgEx, kEmrSetWindowExtEx, kEmrScaleWindowExtEx,
                                                    kEmrOffsetClipRgn}));
  EXPECT_EQ(emf.Size(6), 12u);
  EXPECT_EQ(emf.U32(6, 8), 0x00336699u);
  EXPECT_EQ(emf.I32(7, 8), 8);
  EXPECT_EQ(emf.I32(8, 8), 24);
  EXPECT_EQ(emf.Fields(9, 8, 2), (std::vector<int32_t>{10, -20}));  // WMF gives y first
  EXPECT_EQ(emf.Fields(10, 8, 2), (std::vector<int32_t>{400, 300}));
  // WMF: yDenom, yNum, xDenom, xNum; EMF: xNum, xDenom, yNum, yDenom.
  EXPECT_EQ(emf.Size(11), 24u);
  EXPECT_EQ(emf.Fields(11, 8, 4), (std::vector<int32_t>{4, 5, 2, 3}));
  EXPECT_EQ(emf.Fields(12, 8, 2), (std::vector<int32_t>{7, -2}));
}

TEST(WmfConverterTest, OriginOffsetsBecomeAbsoluteOriginsFollowingSaveAndRestore) {
  EmfView emf = Convert(WmfBuilder(100, 50, 500, 450)
                            .Add(kOffsetWindowOrg, {W(-3), 5})  // from the box origin 100, 50
                            .Add(kSaveDc, {})
                            .Add(kSetWindowOrg, {20, 10})
                            .Add(kOffsetWindowOrg, {1, 1})
                            .Add(kRestoreDc, {W(-1)})
                            .Add(kOffsetWindowOrg, {2, 2})
                            .Add(kSaveDc, {})
                            .Add(kSaveDc, {})
                            .Add(kRestoreDc, {1})    // absolute: back to the first of two saves
                            .Add(kRestoreDc, {W(-1)})  // nothing saved any more: skipped
                            .Add(kRestoreDc, {0}));
  ASSERT_EQ(emf.Converted(),
            (std::vector<uint32_t>{kEmrSetWindowOrgEx, kEmrSaveDc, kEmrSetWindowOrgEx, kEmrSetWindowOrgEx,
                                   kEmrRestoreDc, kEmrSetWindowOrgEx, kEmrSaveDc, kEmrSaveDc, kEmrRestoreDc}));
  EXPECT_EQ(emf.Fields(6, 8, 2), (std::vector<int32_t>{105, 47}));
  EXPECT_EQ(emf.Size(7), 8u);
  EXPECT_EQ(emf.Fields(9, 8, 2), (std::vector<int32_t>{11, 21}));
  EXPECT_EQ(emf.I32(10, 8), -1);
  EXPECT_EQ(emf.Fields(11, 8, 2), (std::vector<int32_t>{107, 49}));  // restored 105, 47 plus 2, 2
  EXPECT_EQ(emf.I32(14, 8), -2);
}

// 65 600 offsets of 32 767 (and -32 768) run past the 32-bit range: the origin stops at its ends.
TEST(WmfConverterTest, OriginOffsetsStopAtTheEndsOfThe32BitRange) {
  for (const uint16_t offset : {kOffsetWindowOrg, kOffsetViewportOrg}) {
    WmfBuilder wmf(100, 50, 500, 450);
    for (int i = 0; i < 65600; ++i) wmf.Add(offset, {W(-32768), 32767});
    const EmfView emf = Convert(wmf);
    const size_t last = emf.Count() - 2;  // before EOF
    EXPECT_EQ(emf.Fields(last, 8, 2), (std::vector<int32_t>{INT32_MAX, INT32_MIN})) << offset;
  }
}

TEST(WmfConverterTest, ShapeParametersAreReversedIntoEmfOrder) {
  EmfView emf = Convert(WmfBuilder()
                            .Add(kMoveTo, {W(-7), 3})
                            .Add(kLineTo, {40, 30})
                            .Add(kRectangle, {40, 30, 20, 10})          // bottom, right, top, left
                            .Add(kRoundRect, {6, 5, 40, 30, 20, 10})    // height, width, box
                            .Add(kArc, {8, 7, 6, 5, 40, 30, 20, 10})   // end, start, box
                            .Add(kSetPixel, {Lo(0x0000FF), Hi(0x0000FF), 9, 8})
                            .Add(kRectangle, {1, 2, 3}));               // too short: skipped
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrMoveToEx, kEmrLineTo, kEmrRectangle, kEmrRoundRect,
                                                    kEmrArc, kEmrSetPixelV}));
  EXPECT_EQ(emf.Fields(6, 8, 2), (std::vector<int32_t>{3, -7}));
  EXPECT_EQ(emf.Fields(7, 8, 2), (std::vector<int32_t>{30, 40}));
  EXPECT_EQ(emf.Size(8), 24u);
  EXPECT_EQ(emf.Fields(8, 8, 4), (std::vector<int32_t>{10, 20, 30, 40}));
  EXPECT_EQ(emf.Size(9), 32u);
  EXPECT_EQ(emf.Fields(9, 8, 6), (std::vector<int32_t>{10, 20, 30, 40, 5, 6}));
  EXPECT_EQ(emf.Size(10), 40u);
  EXPECT_EQ(emf.Fields(10, 8, 8), (std::vector<int32_t>{10, 20, 30, 40, 5, 6, 7, 8}));
  EXPECT_EQ(emf.Size(11), 20u);
  EXPECT_EQ(emf.Fields(11, 8, 3), (std::vector<int32_t>{8, 9, 0x0000FF}));
}

TEST(WmfConverterTest, PolygonsKeepTheirPointsAndGetBounds) {
  EmfView emf = Convert(WmfBuilder()
                            .Add(kPolygon, {3, 1, 1, 9, 1, 1, 9})
                            .Add(kPolyline, {2, W(-5), 4, 6, W(-2)})
                            .Add(kPolyPolygon, {2, 3, 3, 0, 0, 4, 0, 0, 4, 10, 10, 12, 10, 12, 12}));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrPolygon16, kEmrPolyline16, kEmrPolyPolygon16}));
  EXPECT_EQ(emf.Size(6), 28u + 3 * 4);
  EXPECT_EQ(emf.Fields(6, 8, 5), (std::vector<int32_t>{1, 1, 9, 9, 3}));
  EXPECT_EQ(std::memcmp(emf.Bytes(6, 28), "\x01\0\x01\0\x09\0\x01\0\x01\0\x09\0", 12), 0);
  EXPECT_EQ(emf.Fields(7, 8, 5), (std::vector<int32_t>{-5, -2, 6, 4, 2}));
  // bounds, polygon count, point count, counts, then the points.
  EXPECT_EQ(emf.Size(8), 32u + 2 * 4 + 6 * 4);
  EXPECT_EQ(emf.Fields(8, 8, 8), (std::vector<int32_t>{0, 0, 12, 12, 2, 6, 3, 3}));
  EXPECT_EQ(emf.U16(8, 40 + 12), 10u);  // the fourth point's x
}

TEST(WmfConverterTest, PolygonCountsThatDoNotFitAreSkipped) {
  EmfView emf = Convert(WmfBuilder()
                            .Add(kPolygon, {30000, 1, 1, 9, 1, 1, 9})
                            .Add(kPolygon, {4, 1, 1, 9, 1, 1, 9})       // one point short
                            .Add(kPolygon, {0})
                            .Add(kPolyline, {})
                            .Add(kPolyPolygon, {2, 3, 3, 0, 0, 4, 0, 0, 4})  // 6 points claimed, 3 given
                            .Add(kPolyPolygon, {65535, 3})                   // counts past the record
                            .Add(kPolyPolygon, {0})
                            .Add(kPolyPolygon, {2, 0, 0})
                            .Add(kPolygon, {3, 1, 1, 9, 1, 1, 9}));  // a good one still converts
  EXPECT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrPolygon16}));
}

// ---------------------------------------------------------------- objects

TEST(WmfConverterTest, ObjectsTakeTheLowestFreeSlotAsHandleSlotPlusOne) {
  EmfView emf = Convert(WmfBuilder(0, 0, 1440, 720, 1440, 3)
                            .Add(kCreatePen, {5, 3, 0, Lo(0x0000FF), Hi(0x0000FF)})  // slot 0
                            .Add(kCreateBrush, {2, Lo(0x00FF00), Hi(0x00FF00), 3})   // slot 1
                            .Add(kSelectObject, {1})
                            .Add(kDeleteObject, {0})
                            .Add(kCreateBrush, {0, 0, 0, 0})  // slot 0 again
                            .Add(kSelectObject, {0})
                            .Add(kCreatePen, {0, 1, 0, 0, 0})  // slot 2
                            .Add(kCreatePen, {0, 1, 0, 0, 0})  // table full: skipped
                            .Add(kDeleteObject, {0})
                            .Add(kDeleteObject, {0})   // already free: skipped
                            .Add(kSelectObject, {0})   // free: skipped
                            .Add(kSelectObject, {7})   // never created: skipped
                            .Add(kSelectObject, {3})); // past the table: skipped
  ASSERT_EQ(emf.Converted(),
            (std::vector<uint32_t>{kEmrCreatePen, kEmrCreateBrush, kEmrSelectObject, kEmrDeleteObject,
                                   kEmrCreateBrush, kEmrSelectObject, kEmrCreatePen, kEmrDeleteObject}));
  EXPECT_EQ(emf.Size(6), 28u);
  EXPECT_EQ(emf.Fields(6, 8, 5), (std::vector<int32_t>{1, 5, 3, 0, 0x0000FF}));  // handle, style, width, colour
  EXPECT_EQ(emf.Size(7), 24u);
  EXPECT_EQ(emf.Fields(7, 8, 4), (std::vector<int32_t>{2, 2, 0x00FF00, 3}));  // handle, style, colour, hatch
  EXPECT_EQ(emf.I32(8, 8), 2);
  EXPECT_EQ(emf.I32(9, 8), 1);
  EXPECT_EQ(emf.I32(10, 8), 1);  // the freed slot 0 is reused
  EXPECT_EQ(emf.I32(11, 8), 1);
  EXPECT_EQ(emf.I32(12, 8), 3);
  EXPECT_EQ(emf.I32(13, 8), 1);
  EXPECT_EQ(emf.U16(0, 56), 4u);  // handles 0..3
}

TEST(WmfConverterTest, ObjectsWithoutEmfCounterpartStillTakeTheirSlot) {
  EmfView emf = Convert(WmfBuilder()
                            .Add(kCreatePalette, {0x300, 1, 0, 0})  // slot 0, not converted
                            .Add(kCreatePen, {0, 1, 0})             // too short: slot 1 kept empty
                            .Add(kCreatePen, {0, 1, 0, 0, 0})       // slot 2
                            .Add(kSelectObject, {0})                // palette: skipped
                            .Add(kSelectObject, {1})                // skipped
                            .Add(kSelectObject, {2})
                            .Add(kDeleteObject, {0})  // frees slot 0 without an EMF record
                            .Add(kCreateBrush, {0, 0, 0, 0}));  // slot 0
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrCreatePen, kEmrSelectObject, kEmrCreateBrush}));
  EXPECT_EQ(emf.I32(6, 8), 3);
  EXPECT_EQ(emf.I32(7, 8), 3);
  EXPECT_EQ(emf.I32(8, 8), 1);
}

TEST(WmfConverterTest, HugeObjectCountInATinyFileAllocatesOnlyWhatIsUsed) {
  EmfView emf = Convert(WmfBuilder(0, 0, 100, 100, 1440, 65535)
                            .Add(kCreatePen, {0, 1, 0, 0, 0})
                            .Add(kSelectObject, {0})
                            .Add(kSelectObject, {60000}));
  EXPECT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrCreatePen, kEmrSelectObject}));
  EXPECT_EQ(emf.U16(0, 56), 2u);
}

TEST(WmfConverterTest, FontBecomesALogFontWithAWideFaceName) {
  Words font = {W(-16), 0, 900, 900, 700, 0x0001 /* italic */, 0x0000 /* charset 0 */, 0, 0x2200 /* pitch */};
  const std::string face = "Caf\xe9 Sans";
  Words all = Join({font, TextWords(face + std::string(1, '\0'))});
  EmfView emf = Convert(WmfBuilder().Add(kCreateFont, all).Add(kCreateFont, {1, 2, 3}));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrFont}));
  EXPECT_EQ(emf.Size(6), 104u);  // handle and a 92-byte LOGFONTW
  EXPECT_EQ(emf.Fields(6, 8, 6), (std::vector<int32_t>{1, -16, 0, 900, 900, 700}));
  EXPECT_EQ(emf.Bytes(6, 32)[0], 1);     // italic
  EXPECT_EQ(emf.Bytes(6, 32)[7], 0x22);  // pitch and family
  std::u16string name;
  for (size_t i = 0; i < 32 && emf.U16(6, 40 + 2 * i); ++i) name.push_back(emf.U16(6, 40 + 2 * i));
  EXPECT_EQ(name, u"Caf\u00e9 Sans");
  EXPECT_EQ(emf.U16(0, 56), 3u);  // the short record took slot 1
}

TEST(WmfConverterTest, FaceNameIsCutAt31CharactersAndAtTheRecordEnd) {
  Words font = {12, 0, 0, 0, 400, 0, 0, 0, 0};
  EmfView emf = Convert(WmfBuilder()
                            .Add(kCreateFont, Join({font, TextWords(std::string(40, 'x'))}))
                            .Add(kCreateFont, Join({font, TextWords("Abcd")})));  // no terminating zero
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrFont, kEmrFont}));
  EXPECT_EQ(emf.U16(6, 40 + 2 * 30), 'x');
  EXPECT_EQ(emf.U16(6, 40 + 2 * 31), 0u);
  EXPECT_EQ(emf.U16(7, 40 + 2 * 3), 'd');  // the record's end ends the name
  EXPECT_EQ(emf.U16(7, 40 + 2 * 4), 0u);
}

// ---------------------------------------------------------------- text

TEST(WmfConverterTest, TextOutBecomesExtTextOutW) {
  EmfView emf = Convert(WmfBuilder().Add(kTextOut, Join({{3}, TextWords("A\x80z"), {20, 10}})));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrExtTextOutW}));
  EXPECT_EQ(emf.Size(6), 76u + 8);
  EXPECT_EQ(emf.Fields(6, 36, 4), (std::vector<int32_t>{10, 20, 3, 76}));  // reference, chars, string offset
  EXPECT_EQ(emf.U32(6, 52), 0u);                                           // options
  EXPECT_EQ(emf.U32(6, 72), 0u);                                           // no advances
  EXPECT_EQ(emf.U16(6, 76), u'A');
  EXPECT_EQ(emf.U16(6, 78), 0x20ACu);  // 0x80 in code page 1252
  EXPECT_EQ(emf.U16(6, 80), u'z');
}

TEST(WmfConverterTest, ExtTextOutKeepsRectangleOptionsAndAdvances) {
  const uint16_t opaque = 2;
  EmfView emf = Convert(WmfBuilder()
                            .Add(kExtTextOut, Join({{20, 10, 3, opaque, 1, 2, 30, 40}, TextWords("abc"), {5, 6, 7}}))
                            .Add(kExtTextOut, Join({{20, 10, 2, 0}, TextWords("ab"), {5}}))  // advances too short
                            .Add(kExtTextOut, Join({{20, 10, 9, 0}, TextWords("ab")})));     // text too short
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrExtTextOutW, kEmrExtTextOutW}));
  EXPECT_EQ(emf.Fields(6, 36, 4), (std::vector<int32_t>{10, 20, 3, 76}));
  EXPECT_EQ(emf.U32(6, 52), opaque);
  EXPECT_EQ(emf.Fields(6, 56, 4), (std::vector<int32_t>{1, 2, 30, 40}));
  const uint32_t dx = emf.U32(6, 72);
  EXPECT_EQ(dx, 76u + 8);  // after the string padded to 4 bytes
  EXPECT_EQ(emf.Fields(6, dx, 3), (std::vector<int32_t>{5, 6, 7}));
  EXPECT_EQ(emf.Size(6), dx + 12);
  EXPECT_EQ(emf.U32(7, 72), 0u);
}

// ---------------------------------------------------------------- bitmaps

TEST(WmfConverterTest, StretchDibCopiesTheDib) {
  const uint32_t srccopy = 0x00CC0020;
  // rop, usage, source h, w, y, x, destination h, w, y, x, DIB.
  EmfView emf = Convert(WmfBuilder().Add(kStretchDib, Join({{Lo(srccopy), Hi(srccopy), 0, 2, 2, 0, 0, 20, 30, 4, 3},
                                                             Dib24()})));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrStretchDibits}));
  EXPECT_EQ(emf.Fields(6, 8, 4), (std::vector<int32_t>{3, 4, 32, 23}));          // bounds
  EXPECT_EQ(emf.Fields(6, 24, 6), (std::vector<int32_t>{3, 4, 0, 0, 2, 2}));     // dest, source
  EXPECT_EQ(emf.Fields(6, 48, 4), (std::vector<int32_t>{80, 40, 120, 16}));      // header and bits
  EXPECT_EQ(emf.Fields(6, 64, 4), (std::vector<int32_t>{0, srccopy, 30, 20}));   // usage, rop, dest size
  EXPECT_EQ(emf.Size(6), 136u);
  const Words dib = Dib24();
  EXPECT_EQ(std::memcmp(emf.Bytes(6, 80), dib.data(), 56), 0);
}

TEST(WmfConverterTest, SetDibToDevKeepsItsScanRange) {
  // usage, scan count, first scan, source y, x, height, width, destination y, x, DIB.
  EmfView emf = Convert(WmfBuilder().Add(kSetDibToDev, Join({{0, 2, 0, 0, 1, 2, 1, 4, 3}, Dib24()})));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrSetDibitsToDevice}));
  EXPECT_EQ(emf.Fields(6, 24, 6), (std::vector<int32_t>{3, 4, 1, 0, 1, 2}));    // dest, source, size
  EXPECT_EQ(emf.Fields(6, 48, 7), (std::vector<int32_t>{76, 40, 116, 16, 0, 0, 2}));
  EXPECT_EQ(emf.Size(6), 132u);
}

TEST(WmfConverterTest, DibBlitsBecomeBitBltAndStretchBlt) {
  const uint32_t srccopy = 0x00CC0020, patcopy = 0x00F00021;
  // A 1-bit core DIB, 8 x 1: 12-byte header, two RGB triples, one padded row.
  const Words core = {12, 0, 8, 1, 1, 1, 0x2211, 0xFF33, 0xFFFF, 0x00A5, 0};
  EmfView emf = Convert(
      WmfBuilder()
          .Add(kDibBitBlt, Join({{Lo(srccopy), Hi(srccopy), 0, 1, 1, 8, 6, 5}, core}))  // ySrc xSrc h w y x
          .Add(kDibStretchBlt, Join({{Lo(srccopy), Hi(srccopy), 2, 2, 0, 0, 20, 30, 4, 3}, Dib24()}))
          .Add(kDibBitBlt, {Lo(patcopy), Hi(patcopy), 0, 0, 0, 1, 8, 6, 5})  // no bitmap
          .Add(kPatBlt, {Lo(patcopy), Hi(patcopy), 10, 20, 2, 1}));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrBitBlt, kEmrStretchBlt, kEmrBitBlt, kEmrBitBlt}));
  // BitBlt: dest x, y, cx, cy, rop, source x, y; then usage and the DIB fields.
  EXPECT_EQ(emf.Fields(6, 24, 7), (std::vector<int32_t>{5, 6, 8, 1, srccopy, 1, 0}));
  EXPECT_EQ(emf.U32(6, 52), 0x3F800000u);  // identity source transform
  EXPECT_EQ(emf.Fields(6, 84, 4), (std::vector<int32_t>{100, 48, 148, 4}));
  EXPECT_EQ(emf.U32(6, 100), 40u);  // widened to an info header
  EXPECT_EQ(emf.Fields(6, 104, 2), (std::vector<int32_t>{8, 1}));
  EXPECT_EQ(emf.U16(6, 114), 1u);  // bit count
  EXPECT_EQ(std::vector<uint8_t>(emf.Bytes(6, 140), emf.Bytes(6, 148)),
            (std::vector<uint8_t>{0x11, 0x22, 0x33, 0, 0xFF, 0xFF, 0xFF, 0}));
  EXPECT_EQ(emf.Bytes(6, 148)[0], 0xA5);
  // StretchBlt adds the source size after the DIB fields.
  EXPECT_EQ(emf.Fields(7, 24, 7), (std::vector<int32_t>{3, 4, 30, 20, srccopy, 0, 0}));
  EXPECT_EQ(emf.Fields(7, 84, 6), (std::vector<int32_t>{108, 40, 148, 16, 2, 2}));
  // Without a bitmap: no DIB.
  EXPECT_EQ(emf.Size(8), 100u);
  EXPECT_EQ(emf.Fields(8, 24, 5), (std::vector<int32_t>{5, 6, 8, 1, patcopy}));
  EXPECT_EQ(emf.Fields(8, 84, 4), (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(emf.Fields(9, 24, 5), (std::vector<int32_t>{1, 2, 20, 10, patcopy}));
}

TEST(WmfConverterTest, DibPatternBrushTakesASlot) {
  // 8 x 8, 1 bit, two colours (black, white), rows of 4 bytes.
  Words pal1 = {40, 0, 8, 0, 8, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0,  // header, 2 colours used
                0, 0, 0xFFFF, 0x00FF};
  for (int row = 0; row < 8; ++row) pal1.insert(pal1.end(), {0x00AA, 0});
  EmfView emf = Convert(WmfBuilder()
                            .Add(kDibPatternBrush, Join({{5, 0}, pal1}))
                            .Add(kDibPatternBrush, {5, 0, 40, 0})  // header past the record: slot kept
                            .Add(kCreatePen, {0, 1, 0, 0, 0})
                            .Add(kSelectObject, {0}));
  ASSERT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrDibPatternBrush, kEmrCreatePen, kEmrSelectObject}));
  EXPECT_EQ(emf.Fields(6, 8, 6), (std::vector<int32_t>{1, 0, 32, 48, 80, 32}));
  EXPECT_EQ(emf.I32(7, 8), 3);
}

TEST(WmfConverterTest, DibsWhoseTablesDoNotFitAreSkipped) {
  const uint32_t srccopy = 0x00CC0020;
  Words bigTable = Dib24();
  bigTable[7] = 8;   // 8 bits a pixel: a 256-entry table that is not there
  Words badHeader = Dib24();
  badHeader[0] = 39;
  Words hugeUsed = Dib24();
  hugeUsed[16] = 0xFFFF;  // biClrUsed
  hugeUsed[17] = 0xFFFF;
  Words fixed = {Lo(srccopy), Hi(srccopy), 0, 2, 2, 0, 0, 20, 30, 4, 3};
  EmfView emf = Convert(WmfBuilder()
                            .Add(kStretchDib, Join({fixed, bigTable}))
                            .Add(kStretchDib, Join({fixed, badHeader}))
                            .Add(kStretchDib, Join({fixed, hugeUsed}))
                            .Add(kStretchDib, fixed)
                            .Add(kStretchDib, {1, 2, 3})
                            .Add(kDibBitBlt, {1, 2, 3}));
  EXPECT_TRUE(emf.Converted().empty());
}

// ---------------------------------------------------------------- record walking

TEST(WmfConverterTest, BadRecordSizesEndTheRecords) {
  for (uint32_t size : {0u, 1u, 2u, 1000u, 0x80000000u, 0xFFFFFFFFu}) {
    EmfView emf = Convert(WmfBuilder().Add(kSaveDc, {}).AddSized(kSaveDc, size, {}).Add(kSaveDc, {}));
    EXPECT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrSaveDc})) << size;
  }
  // Unknown and skipped records are stepped over by their size.
  EmfView emf = Convert(WmfBuilder().Add(0x1234, {1, 2, 3}).Add(kEscape, {15, 4, 1, 2}).Add(kSaveDc, {}));
  EXPECT_EQ(emf.Converted(), (std::vector<uint32_t>{kEmrSaveDc}));
  // Nothing after the EOF record is read.
  std::vector<uint8_t> wmf = WmfBuilder().Add(kSaveDc, {}).Bytes();
  const std::vector<uint8_t> extra = WmfBuilder().Add(kSaveDc, {}).Bytes();
  wmf.insert(wmf.end(), extra.begin() + 40, extra.end());
  EXPECT_EQ(Convert(wmf).Converted(), (std::vector<uint32_t>{kEmrSaveDc}));
}

TEST(WmfConverterTest, TruncationAnywhereKeepsTheRecordsBeforeIt) {
  const Words font = {W(-16), 0, 0, 0, 400, 0, 0, 0, 0, 'A', 0};
  const std::vector<uint8_t> wmf = WmfBuilder()
                                       .Add(kCreateFont, font)
                                       .Add(kSelectObject, {0})
                                       .Add(kPolygon, {3, 1, 1, 9, 1, 1, 9})
                                       .Add(kTextOut, Join({{2}, TextWords("Hi"), {1, 2}}))
                                       .Add(kStretchDib, Join({{0x20, 0xCC, 0, 2, 2, 0, 0, 2, 2, 0, 0}, Dib24()}))
                                       .Bytes(false);
  // Record ends in bytes: 40 bytes of headers, then records of 14, 4, 10, 7 and 42 words.
  const size_t ends[] = {68, 76, 96, 110, 194};
  ASSERT_EQ(wmf.size(), ends[4]);
  for (size_t size = 0; size <= wmf.size(); ++size) {
    std::vector<uint8_t> cut(wmf.begin(), wmf.begin() + size);
    std::vector<uint8_t> emf;
    const bool ok = ConvertPlaceableWmfToEmf(cut.data(), cut.size(), emf);
    EXPECT_EQ(ok, size >= 40) << size;
    if (!ok) continue;
    size_t whole = 0;
    while (whole < 5 && ends[whole] <= size) ++whole;
    EXPECT_EQ(EmfView(emf).Converted().size(), whole) << size;
    // As a metafile, a cut file is shorter than its header's size: a short read.
    TMetafile mf;
    if (size == wmf.size()) {
      EXPECT_NO_THROW(mf.LoadFromBytes(cut.data(), cut.size()));
    } else {
      EXPECT_THROW(mf.LoadFromBytes(cut.data(), cut.size()), orvane::rtl::EReadError) << size;
    }
  }
}

// ---------------------------------------------------------------- drawing through the player

namespace {

// Colours of a drawn bitmap, one string a row: '#' for `ink`, '.' for white, '?' otherwise.
std::vector<std::string> Picture(const std::vector<uint8_t>& wmf, int32_t width, int32_t height, TColor ink) {
  TMetafile mf;
  mf.LoadFromBytes(wmf.data(), wmf.size());
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  bitmap.Canvas().StretchDraw(Rect(0, 0, width, height), &mf);
  std::vector<std::string> rows;
  for (int32_t y = 0; y < height; ++y) {
    std::string row;
    for (int32_t x = 0; x < width; ++x) {
      const TColor c = bitmap.Canvas().Pixel(x, y);
      row += c == ink ? '#' : c == clWhite ? '.' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

// Rows of `width` where columns [left, right) of rows [top, bottom) are '#'.
std::vector<std::string> Block(int32_t width, int32_t height, int32_t left, int32_t top, int32_t right,
                               int32_t bottom) {
  std::vector<std::string> rows(height, std::string(width, '.'));
  for (int32_t y = top; y < bottom; ++y) rows[y].replace(left, right - left, right - left, '#');
  return rows;
}

constexpr TColor kRed = 0x0000FF;

// A red brush and a red cosmetic pen, selected.
WmfBuilder& RedPenAndBrush(WmfBuilder& b) {
  return b.Add(kCreateBrush, {0, Lo(kRed), Hi(kRed), 0})
      .Add(kCreatePen, {0, 0, 0, Lo(kRed), Hi(kRed)})
      .Add(kSelectObject, {0})
      .Add(kSelectObject, {1});
}

}  // namespace

TEST(WmfConverterTest, RectangleInTwipsLandsOnTheWorkedPixels) {
  // 1440 twips an inch on a 96-dpi picture: 15 twips a pixel. The rectangle
  // 150, 75 - 450, 300 is 10, 5 - 30, 20 in pixels; pen and brush of one
  // colour paint columns 10..29 and rows 5..19.
  WmfBuilder b(0, 0, 1440, 720, 1440, 2);
  const std::vector<uint8_t> wmf = RedPenAndBrush(b).Add(kRectangle, {300, 450, 75, 150}).Bytes();
  EXPECT_EQ(Picture(wmf, 96, 48, kRed), Block(96, 48, 10, 5, 30, 20));
  // Stretched twice: columns 20..59, rows 10..39, the cosmetic pen still one pixel wide.
  EXPECT_EQ(Picture(wmf, 192, 96, kRed), Block(192, 96, 20, 10, 60, 40));
}

TEST(WmfConverterTest, BoxOriginAndTheFilesOwnWindowApply) {
  // The box starts at 100, 100 (96 units an inch: one unit a pixel).
  WmfBuilder offset(100, 100, 196, 148, 96, 2);
  EXPECT_EQ(Picture(RedPenAndBrush(offset).Add(kRectangle, {120, 130, 105, 110}).Bytes(), 96, 48, kRed),
            Block(96, 48, 10, 5, 30, 20));
  // The file sets its own window: 960 x 480 units over the picture, origin -100, -50.
  WmfBuilder own(0, 0, 1440, 720, 1440, 2);
  own.Add(kSetWindowOrg, {W(-50), W(-100)}).Add(kSetWindowExt, {480, 960});
  EXPECT_EQ(Picture(RedPenAndBrush(own).Add(kRectangle, {150, 200, 0, 0}).Bytes(), 96, 48, kRed),
            Block(96, 48, 10, 5, 30, 20));
}

TEST(WmfConverterTest, PolygonFillFollowsTheFillRule) {
  // At one unit a pixel with a null pen, the triangle (1,1), (9,1), (1,9)
  // fills rows 1..8 with 8, 7, ..., 1 pixels from column 1.
  WmfBuilder b(0, 0, 12, 12, 96, 2);
  b.Add(kCreateBrush, {0, Lo(kRed), Hi(kRed), 0})
      .Add(kCreatePen, {5, 0, 0, 0, 0})  // PS_NULL
      .Add(kSelectObject, {0})
      .Add(kSelectObject, {1})
      .Add(kPolygon, {3, 1, 1, 9, 1, 1, 9});
  std::vector<std::string> expected(12, std::string(12, '.'));
  for (int y = 1; y <= 8; ++y) expected[y].replace(1, 9 - y, 9 - y, '#');
  EXPECT_EQ(Picture(b.Bytes(), 12, 12, kRed), expected);
}

TEST(WmfConverterTest, DeletedSlotReusedByANewBrushDrawsWithTheNewBrush) {
  constexpr TColor kBlue = 0xFF0000;
  WmfBuilder b(0, 0, 8, 4, 96, 2);
  b.Add(kCreateBrush, {0, Lo(kRed), Hi(kRed), 0})   // slot 0
      .Add(kCreatePen, {5, 0, 0, 0, 0})             // slot 1, PS_NULL
      .Add(kSelectObject, {1})
      .Add(kDeleteObject, {0})
      .Add(kCreateBrush, {0, Lo(kBlue), Hi(kBlue), 0})  // slot 0 again
      .Add(kSelectObject, {0})
      .Add(kRectangle, {4, 5, 0, 0});  // with a null pen: columns 0..3, rows 0..2
  EXPECT_EQ(Picture(b.Bytes(), 8, 4, kBlue), Block(8, 4, 0, 0, 4, 3));
}

// ---------------------------------------------------------------- standard WMF and gzip

TEST(WmfConverterTest, StandardWmfIsMeasuredFromItsWindowOrElseWhatItDraws) {
  // 96 logical units an inch: one unit a pixel.
  const struct {
    const char* name;
    WmfBuilder records;
    int32_t width, height;
  } cases[] = {
      {"window extent", WmfBuilder().Add(kSetWindowExt, {48, 96}).Add(kRectangle, {300, 300, 0, 0}), 96, 48},
      {"origin and extent, either order", WmfBuilder().Add(kSetWindowExt, {48, 96}).Add(kSetWindowOrg, {10, 20}), 96, 48},
      {"an extent turned upward", WmfBuilder().Add(kSetWindowExt, {W(-48), 96}), 96, 48},
      {"the first extent", WmfBuilder().Add(kSetWindowExt, {30, 40}).Add(kSetWindowExt, {48, 96}), 40, 30},
      {"an extent of a zero side, then a rectangle",
       WmfBuilder().Add(kSetWindowExt, {0, 96}).Add(kRectangle, {20, 30, 5, 10}), 20, 15},
      {"a rectangle", WmfBuilder().Add(kRectangle, {20, 30, 5, 10}), 20, 15},
      {"a line from the current position and a polyline",
       WmfBuilder().Add(kMoveTo, {2, 2}).Add(kLineTo, {2, 12}).Add(kPolyline, {2, 0, 0, 5, 3}), 12, 3},
      {"a vertical line: a side of 0 counts as 1", WmfBuilder().Add(kMoveTo, {0, 5}).Add(kLineTo, {10, 5}), 1, 10},
      {"a pixel", WmfBuilder().Add(kSetPixel, {0, 0, 4, 3}), 1, 1},
      {"a block transfer's destination", WmfBuilder().Add(kPatBlt, {0x0021, 0x00F0, 5, 10, 3, 2}), 10, 5},
      {"an arc's box, not its end points", WmfBuilder().Add(kArc, {0, 0, 0, 0, 40, 50, 10, 20}), 30, 30},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> wmf = c.records.StandardBytes();
    TMetafile mf;
    mf.LoadFromBytes(wmf.data(), wmf.size());
    EXPECT_EQ(mf.Width(), c.width) << c.name;
    EXPECT_EQ(mf.Height(), c.height) << c.name;
  }
}

TEST(WmfConverterTest, StandardWmfWithoutSizeOrCutShortIsRefused) {
  const std::vector<uint8_t> nothingDrawn = WmfBuilder().Add(kSetMapMode, {8}).Add(kSaveDc, {}).StandardBytes();
  const std::vector<uint8_t> drawn = WmfBuilder().Add(kRectangle, {20, 30, 5, 10}).StandardBytes();
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"neither a window nor anything drawn", nothingDrawn, "Metadatei ist ungültig"},
      {"records cut short", std::vector<uint8_t>(drawn.begin(), drawn.end() - 2), "Stream-Lesefehler"},
      {"a header cut before its size", std::vector<uint8_t>(drawn.begin(), drawn.begin() + 8), "Stream-Lesefehler"},
  };
  for (const auto& c : cases) {
    TMetafile mf;
    try {
      mf.LoadFromBytes(c.bytes.data(), c.bytes.size());
      ADD_FAILURE() << c.name << ": loaded";
    } catch (const orvane::rtl::Exception& e) {
      EXPECT_STREQ(e.what(), c.message) << c.name;
    }
  }
}

TEST(WmfConverterTest, StandardAndCompressedWmfDrawAsThePlaceableOne) {
  // One unit a pixel over a 24 x 16 box; the red rectangle 4, 2 - 20, 12
  // covers columns 4..19 and rows 2..11 (the compatible mode's right and
  // bottom edges left out).
  WmfBuilder framed(0, 0, 24, 16, 96, 2);
  RedPenAndBrush(framed.Add(kSetWindowExt, {16, 24})).Add(kRectangle, {12, 20, 2, 4});
  // Without a window: the box is the rectangle's, which it then fills.
  WmfBuilder bounded(4, 2, 20, 12, 96, 2);
  RedPenAndBrush(bounded).Add(kRectangle, {12, 20, 2, 4});
  const struct {
    const WmfBuilder& records;
    int32_t width, height;
    std::vector<std::string> expected;
  } cases[] = {
      {framed, 24, 16, Block(24, 16, 4, 2, 20, 12)},
      {bounded, 16, 10, Block(16, 10, 0, 0, 16, 10)},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> placeable = c.records.Bytes(), standard = c.records.StandardBytes();
    EXPECT_EQ(Picture(placeable, c.width, c.height, kRed), c.expected);
    for (const std::vector<uint8_t>& other : {standard, gziptest::Gzip(placeable), gziptest::Gzip(standard)}) {
      TMetafile mf;
      mf.LoadFromBytes(other.data(), other.size());
      EXPECT_EQ(mf.Width(), c.width);
      EXPECT_EQ(mf.Height(), c.height);
      EXPECT_EQ(Picture(other, c.width, c.height, kRed), c.expected);
    }
  }
}
