// The metafile's size rules, StretchDraw's limits, and malformed files:
// each is rejected at load with the right class and text, or plays without
// harm, drawing what its good records describe.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

#include "EmfTestSupport.h"
#include <orvane/rtl/Exceptions.h>

using namespace emftest;
using orvane::emf::PointL;

namespace {

void Patch32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

std::vector<uint8_t> U32s(std::initializer_list<uint32_t> values) {
  std::vector<uint8_t> out;
  for (uint32_t v : values)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return out;
}

// A 4 x 4 picture: a red square over the left half, then a blue one over the right half.
std::vector<uint8_t> TwoSquares(const std::function<void(orvane::emf::EmfWriter&)>& between = {}) {
  auto w = Writer(4, 4);
  SolidFill(w, C(kRed));
  w.Polygon({{0, 0}, {2, 0}, {2, 4}, {0, 4}});
  if (between) between(w);
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, C(kBlue)));
  w.Polygon({{2, 0}, {4, 0}, {4, 4}, {2, 4}});
  return w.Finish();
}

TEST(EmfMetafileSizeTest, SizeFromTheHeader) {
  orvane::emf::HeaderInfo h;
  h.frame = orvane::emf::RectL{0, 0, 5915, 7593};
  h.devicePixels = {640, 480};
  h.deviceMillimeters = {169, 127};
  orvane::emf::EmfWriter w(h);
  const auto bytes = w.Finish();
  ASSERT_EQ(bytes[4], 108);  // the header record with its description
  orvane::vcl::TMetafile m;
  m.LoadFromBytes(bytes.data(), bytes.size());
  EXPECT_EQ(m.Width(), 224);
  EXPECT_EQ(m.Height(), 287);  // 286.98 rounded
  const std::unique_ptr<orvane::vcl::TGraphic> copy = m.Clone();
  EXPECT_EQ(static_cast<orvane::vcl::TMetafile&>(*copy).Data(), m.Data());  // shared, not copied
  EXPECT_EQ(copy->Width(), 224);

  orvane::vcl::TMetafile empty;
  EXPECT_EQ(empty.Width(), 0);
  EXPECT_EQ(empty.Height(), 0);
  Canvas canvas(4, 4);
  canvas.bitmap.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, 4, 4), &empty);
  EXPECT_EQ(canvas.Count(kBackground), 16);
}

TEST(EmfMetafileSizeTest, StretchDrawStaysInsideTheRectangleAndPaintsOnlyThePicture) {
  // Records that reach beyond the frame, and a hole that must keep the canvas.
  auto w = Writer(50, 25);
  SolidFill(w, C(kRed));
  w.SetPolyFillMode(orvane::emf::ALTERNATE);
  w.PolyPolygon({{{-10, -10}, {80, -10}, {80, 60}, {-10, 60}}, {{10, 5}, {20, 5}, {20, 15}, {10, 15}}});
  Canvas canvas(120, 70);
  canvas.Play(w.Finish(), orvane::vcl::Rect(0, 0, 100, 50));
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool hole = x >= 20 && x < 40 && y >= 10 && y < 30;
      const bool inside = x < 100 && y < 50 && !hole;
      ASSERT_EQ(canvas.At(x, y), inside ? kRed : kBackground) << x << "," << y;
    }
}

TEST(EmfMalformedTest, LoadRejectsWhatIsNoMetafile) {
  const auto good = TwoSquares();
  const auto expectInvalid = [](const std::vector<uint8_t>& bytes) {
    orvane::vcl::TMetafile m;
    try {
      m.LoadFromBytes(bytes.data(), bytes.size());
      ADD_FAILURE() << "loaded";
    } catch (const orvane::rtl::EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Metadatei ist ungültig");
    }
  };
  expectInvalid({});
  expectInvalid(std::vector<uint8_t>(good.begin(), good.begin() + 100));  // not more than 100 bytes
  auto badSignature = good;
  badSignature[40] = 'X';
  expectInvalid(badSignature);
  auto badType = good;
  badType[0] = 2;
  expectInvalid(badType);
}

TEST(EmfMalformedTest, TruncatedAtEveryRecordBoundary) {
  const auto good = TwoSquares();
  std::vector<size_t> boundaries;
  for (size_t pos = 0; pos < good.size();) {
    uint32_t size;
    std::memcpy(&size, good.data() + pos + 4, 4);
    pos += size;
    boundaries.push_back(pos);
  }
  for (size_t end : boundaries) {
    if (end <= 100 || end >= good.size()) continue;
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(end));
    // The header still claims the whole file: a short read.
    orvane::vcl::TMetafile m;
    try {
      m.LoadFromBytes(cut.data(), cut.size());
      ADD_FAILURE() << "loaded at " << end;
    } catch (const orvane::rtl::EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream-Lesefehler");
    }
    // With the byte count made to match, the records present play.
    Patch32(cut, orvane::emf::header::kBytes, static_cast<uint32_t>(cut.size()));
    Canvas canvas(4, 4);
    canvas.Play(cut);
    EXPECT_EQ(canvas.Count(kRed), end > boundaries[3] ? 8 : 0) << end;  // header, brush, select x2, polygon
    EXPECT_EQ(canvas.Count(kBlue), end == good.size() - 20 ? 8 : 0) << end;  // only EOF missing
  }
}

TEST(EmfMalformedTest, BadRecordSizesEndPlayback) {
  for (uint32_t badSize : {0u, 6u, 13u, 0x7FFFFFF0u, 0xFFFFFFFFu}) {
    const auto bytes = TwoSquares([&](orvane::emf::EmfWriter& w) { w.Raw(U32s({orvane::emf::EMR_SAVEDC, badSize})); });
    Canvas canvas(4, 4);
    canvas.Play(bytes);
    EXPECT_EQ(canvas.Count(kRed), 8) << badSize;
    EXPECT_EQ(canvas.Count(kBlue), 0) << badSize;
  }
}

TEST(EmfMalformedTest, RecordsThatFailTheirChecksAreSkipped) {
  struct Case {
    const char* name;
    std::function<void(orvane::emf::EmfWriter&)> insert;
  };
  const std::vector<Case> cases = {
      {"a million points claimed", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYGON, U32s({0, 0, 0, 0, 1000000, 1, 1})); }},
      {"point count wraps", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYLINE16, U32s({0, 0, 0, 0, 0x40000001, 0})); }},
      {"polygon counts not adding up",
       [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYPOLYGON16, U32s({0, 0, 0, 0, 2, 3, 2, 2, 0, 0, 0})); }},
      {"polygon counts wrapping to the total",
       [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYPOLYGON, U32s({0, 0, 0, 0, 2, 2, 0xFFFFFFFF, 3, 0, 0, 0, 0})); }},
      {"many polygons claimed", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYPOLYGON, U32s({0, 0, 0, 0, 0xFFFFFFFF, 0})); }},
      {"poly-draw types cut off", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYDRAW, U32s({0, 0, 0, 0, 8, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 0x02020206})); }},
      {"region rectangles claimed", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_PAINTRGN, U32s({0, 0, 0, 0, 48, 32, 1, 0x10000000, 16, 0, 0, 9, 9, 0, 0, 9, 9})); }},
      {"region data larger than the record", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_INVERTRGN, U32s({0, 0, 0, 0, 0xFFFFFFF0, 32, 1, 1, 16, 0, 0, 9, 9, 0, 0, 9, 9})); }},
      {"transparent blit bitmap beyond the record", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_TRANSPARENTBLT, U32s({0, 0, 0, 0, 0, 0, 4, 4, 0xFF, 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0, 0, 0, 0, 108, 40, 0xFFFF0000, 64, 2, 2})); }},
      {"alpha blend bitmap beyond the record", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_ALPHABLEND, U32s({0, 0, 0, 0, 0, 0, 4, 4, 0x00FF0000, 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0, 0, 0, 0, 108, 40, 0xFFFF0000, 64, 2, 2})); }},
      // A red 1 x 1 source whose mask's bits lie beyond the record: nothing is drawn.
      {"mask blit mask beyond the record", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_MASKBLT, U32s({0, 0, 0, 0, 0, 0, 4, 4, 0xAACC0020, 0, 0, 0x3F800000, 0, 0, 0x3F800000, 0, 0, 0xFFFFFF, 0, 128, 40, 168, 4, 0, 0, 0, 128, 40, 0xFFFF0000, 64, 40, 1, 1, 0x00180001, 0, 4, 0, 0, 0, 0, 0x00FF0000})); }},
      {"parallelogram blit source beyond the record", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_PLGBLT, U32s({0, 0, 0, 0, 4, 0, 4, 4, 0, 0, 0, 0, 1, 1, 0x3F800000, 0, 0, 0x3F800000, 0, 0, 0xFFFFFF, 0, 140, 40, 180, 4, 0, 0, 0, 0, 0, 0, 0})); }},
      {"gradient vertices claimed", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_GRADIENTFILL, U32s({0, 0, 0, 0, 0x10000000, 1, 0, 0, 0})); }},
      {"gradient index past the vertices", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_GRADIENTFILL, U32s({0, 0, 0, 0, 1, 1, 2, 0, 0, 0xFF00, 0xFF00, 0, 5, 9})); }},
      {"gradient mode unknown", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_GRADIENTFILL, U32s({0, 0, 0, 0, 2, 1, 7, 0, 0, 0xFF00, 0, 4, 4, 0xFF00, 0, 0, 1})); }},
      {"palette entries claimed", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_CREATEPALETTE, U32s({1, 0xFFFF0300, 0xFF})); }},
      {"palette changes on a brush", [](orvane::emf::EmfWriter& w) {
         w.Record(orvane::emf::EMR_CREATEBRUSHINDIRECT, U32s({1, 0, 0xFF00, 0}));
         w.Record(orvane::emf::EMR_SETPALETTEENTRIES, U32s({1, 0, 1, 0xFF}));
         w.Record(orvane::emf::EMR_RESIZEPALETTE, U32s({1, 0x7FFFFFFF}));
         w.Record(orvane::emf::EMR_SELECTPALETTE, U32s({1}));
       }},
      {"palette indices cut off", [](orvane::emf::EmfWriter& w) {
         orvane::emf::Dib dib = orvane::emf::MakeDibPaletteIndexed(2, 1, 8, {13, 13}, {0, 1});
         dib.info.resize(41);  // two indices claimed, half of one present
         w.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 1, dib, orvane::emf::SRCCOPY, orvane::emf::DIB_PAL_COLORS);
       }},
      // Two characters far off the canvas whose x and y advances would need 16 bytes; 8 are there.
      {"text y advances cut off", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_EXTTEXTOUTW, U32s({0, 0, 0, 0, 1, 0x3F800000, 0x3F800000, 1000, 1000, 2, 76, 0x2000, 0, 0, 0, 0, 80, 0x00420041, 5, 5})); }},
      {"glyph indices past the face's glyphs", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_EXTTEXTOUTW, U32s({0, 0, 0, 0, 1, 0x3F800000, 0x3F800000, 1000, 1000, 2, 76, 0x0010, 0, 0, 0, 0, 0, 0xFFFFFFFF})); }},
      {"poly-draw points claimed", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYDRAW16, U32s({0, 0, 0, 0, 0x7FFFFFFF, 0x00010001, 0x0206})); }},
      {"select beyond the handle table", [](orvane::emf::EmfWriter& w) { w.SelectObject(5000); }},
      {"create beyond the handle table", [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_CREATEBRUSHINDIRECT, U32s({5000, 0, 0xFF, 0})); }},
      {"create at the reserved index", [](orvane::emf::EmfWriter& w) {
         w.Record(orvane::emf::EMR_CREATEBRUSHINDIRECT, U32s({0, 0, 0xFF00, 0}));
         w.SelectObject(0);
       }},
      {"stock object where an index is expected", [](orvane::emf::EmfWriter& w) {
         w.Record(orvane::emf::EMR_CREATEBRUSHINDIRECT, U32s({orvane::emf::kStockObjectFlag | 4, 0, 0xFF00, 0}));
         w.DeleteObject(orvane::emf::kStockObjectFlag | orvane::emf::BLACK_BRUSH);
       }},
      {"DIB parts outside the record", [](orvane::emf::EmfWriter& w) {
         w.Record(orvane::emf::EMR_STRETCHDIBITS, U32s({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 80, 40, 0xFFFFFFF0, 64, 0,
                                               orvane::emf::SRCCOPY, 4, 4}));
       }},
      {"region rectangles past the record", [](orvane::emf::EmfWriter& w) {
         w.Record(orvane::emf::EMR_EXTSELECTCLIPRGN, U32s({48, orvane::emf::RGN_COPY, 32, 1, 100000, 16, 0, 0, 1, 1}));
       }},
      {"text past the record", [](orvane::emf::EmfWriter& w) {
         w.Record(orvane::emf::EMR_EXTTEXTOUTW, U32s({0, 0, 0, 0, 1, 0, 0, 0, 0, 1000, 76, 0, 0, 0, 0, 0, 0}));
       }},
      {"short records", [](orvane::emf::EmfWriter& w) {
         for (uint32_t type = 2; type < 123; ++type)
           if (type != orvane::emf::EMR_EOF && type != orvane::emf::EMR_SAVEDC && type != orvane::emf::EMR_BEGINPATH) w.Record(type, {});
         w.Record(orvane::emf::EMR_RESTOREDC, U32s({1}));
         w.Record(orvane::emf::EMR_ABORTPATH, {});
       }},
  };
  for (const Case& c : cases) {
    const auto bytes = TwoSquares(c.insert);
    Canvas canvas(4, 4);
    canvas.Play(bytes);
    EXPECT_EQ(canvas.Count(kRed), 8) << c.name;
    EXPECT_EQ(canvas.Count(kBlue), 8) << c.name;
  }
}

TEST(EmfMalformedTest, HugeCoordinatesCostNoMoreThanTheDestination) {
  auto w = Writer(8, 8);
  SolidFill(w, C(kGreen));
  w.Polygon({{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}});
  w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, INT32_MAX, C(kRed)));
  w.MoveToEx(INT32_MIN, 4);
  w.LineTo(INT32_MAX, 4);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::BLACK_PEN);
  w.PolyBezier({{INT32_MIN, 0}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}, {INT32_MAX, 0}});
  w.SetMapMode(orvane::emf::MM_ANISOTROPIC);
  w.SetWindowExtEx(1, 1);
  w.SetViewportExtEx(INT32_MAX, INT32_MAX);
  w.Ellipse({-5, -5, 5, 5});
  w.SetWorldTransform({1e30f, 0, 0, 1e30f, 0, 0});
  w.Rectangle({0, 0, 1, 1});
  Canvas canvas(8, 8);
  canvas.Play(w.Finish(), orvane::vcl::Rect(0, 0, 8, 8));
  EXPECT_EQ(canvas.Count(kBackground), 0);  // every pixel painted by something, none outside touched
}

TEST(EmfMalformedTest, HeaderNumbersAreHintsOnly) {
  auto w = Writer(4, 4);
  SolidFill(w, C(kRed));
  w.Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  w.OverrideHeaderCounts(-1, 0xFFFFFFFF, 0);  // record count absurd, no handle table
  const auto bytes = w.Finish();
  Canvas canvas(4, 4);
  canvas.Play(bytes);
  // The brush cannot be stored without a table entry: the default white brush fills.
  EXPECT_EQ(canvas.Count(kWhite), 16);
}

// The handle table is as long as the header says (16 bits): its last entry
// holds an object, deleted and created again, and an index past it holds none.
TEST(EmfMalformedTest, TheHandleTableEndsWhereTheHeaderSays) {
  auto w = Writer(3, 1);
  const auto brush = [&](uint32_t index, uint32_t color) {
    w.Record(orvane::emf::EMR_CREATEBRUSHINDIRECT, U32s({index, orvane::emf::BS_SOLID, color, 0}));
    w.Record(orvane::emf::EMR_SELECTOBJECT, U32s({index}));
  };
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  brush(65534, C(kRed));
  w.Polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  w.Record(orvane::emf::EMR_DELETEOBJECT, U32s({65534}));
  brush(65534, C(kBlue));
  w.Polygon({{1, 0}, {2, 0}, {2, 1}, {1, 1}});
  brush(65535, C(kRed));  // past the table: the blue brush stays
  w.Polygon({{2, 0}, {3, 0}, {3, 1}, {2, 1}});
  w.OverrideHeaderCounts(-1, -1, 65535);
  Canvas canvas(3, 1);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{"#??"}));  // '?': another colour
  EXPECT_EQ(canvas.Rows(kBlue), (std::vector<std::string>{"?##"}));
}

}  // namespace
