// Path data to metafile: the header's size round trip, the record sequence
// of a small picture worked by hand, and the four authored pictures loaded
// and played by the package's own metafile reader.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include "pictures/PathData.h"
#include "pictures/PictureEmf.h"
#include <orvane/rtl/FileStream.h>

using namespace orvanetools;

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, 4);  // the tests run on little-endian machines
  return v;
}
int32_t I32At(const std::vector<uint8_t>& b, size_t at) { return static_cast<int32_t>(U32At(b, at)); }
int16_t I16At(const std::vector<uint8_t>& b, size_t at) {
  int16_t v;
  std::memcpy(&v, b.data() + at, 2);
  return v;
}

struct Record {
  uint32_t type;
  size_t offset;  // of the record in the file
};

// The records, each size checked against the file.
std::vector<Record> Records(const std::vector<uint8_t>& bytes) {
  std::vector<Record> records;
  size_t at = 0;
  while (at + 8 <= bytes.size()) {
    const uint32_t size = U32At(bytes, at + 4);
    EXPECT_GE(size, 8u);
    EXPECT_EQ(size % 4, 0u);
    EXPECT_LE(at + size, bytes.size());
    if (size < 8 || at + size > bytes.size()) break;
    records.push_back({U32At(bytes, at), at});
    at += size;
  }
  EXPECT_EQ(at, bytes.size());
  return records;
}

orvane::vcl::TMetafile Load(const std::vector<uint8_t>& bytes) {
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromBytes(bytes.data(), bytes.size());
  return metafile;
}

PathPicture Picture(int width, int height) {
  PathPicture picture;
  picture.width = width;
  picture.height = height;
  PathShape shape;
  shape.commands.push_back({PathOp::Move, {}});
  shape.commands.push_back({PathOp::Line, {PathPoint{1, 0}}});
  shape.commands.push_back({PathOp::Line, {PathPoint{0, 1}}});
  picture.shapes.push_back(shape);
  return picture;
}

TEST(PictureEmfTest, EmbeddedSizeHasTheAgreedFrameAndDevice) {
  const std::vector<uint8_t> bytes = EncodePictureEmf(Picture(224, 287));
  EXPECT_EQ(I32At(bytes, 24), 0);
  EXPECT_EQ(I32At(bytes, 28), 0);
  EXPECT_EQ(I32At(bytes, 32), 5915);
  EXPECT_EQ(I32At(bytes, 36), 7593);
  EXPECT_EQ(I32At(bytes, 72), 640);
  EXPECT_EQ(I32At(bytes, 76), 480);
  EXPECT_EQ(I32At(bytes, 80), 169);
  EXPECT_EQ(I32At(bytes, 84), 127);
  const orvane::vcl::TMetafile metafile = Load(bytes);
  EXPECT_EQ(metafile.Width(), 224);
  EXPECT_EQ(metafile.Height(), 287);
}

TEST(PictureEmfTest, EveryNaturalSizeComesBackFromTheFrame) {
  // Truncating the frame must never lose a pixel, nor rounding gain one.
  for (int n = 1; n <= 1500; ++n) {
    const int h = (n * 7) % 1500 + 1;
    const orvane::vcl::TMetafile metafile = Load(EncodePictureEmf(Picture(n, h)));
    ASSERT_EQ(metafile.Width(), n) << n << " x " << h;
    ASSERT_EQ(metafile.Height(), h) << n << " x " << h;
  }
  const orvane::vcl::TMetafile largest = Load(EncodePictureEmf(Picture(32767, 32767)));
  EXPECT_EQ(largest.Width(), 32767);
  EXPECT_EQ(largest.Height(), 32767);
}

TEST(PictureEmfTest, RecordsOfASmallPicture) {
  const PathPicture picture = ParsePathData(
      "picture 10 12\n"
      "shape #102030\n"
      "M 1 2\nC 3 4 5 6 7 8\nC 9 1 2.5 -2.5 0.4 -0.6\nL 8 8\nZ\nM 0 0\nL 1 0\nL 1 1\n"
      "shape #FFFFFF alternate\nM 0 0\nL 2 2\nL 0 2\n"
      "shape #000001 alternate\nM 0 0\nL 3 3\nL 0 3\n");
  const std::vector<uint8_t> bytes = EncodePictureEmf(picture);
  const std::vector<Record> records = Records(bytes);
  const std::vector<uint32_t> expected = {
      orvane::emf::EMR_HEADER, orvane::emf::EMR_SETMAPMODE, orvane::emf::EMR_SETWINDOWORGEX, orvane::emf::EMR_SETWINDOWEXTEX,
      orvane::emf::EMR_SETVIEWPORTORGEX, orvane::emf::EMR_SETVIEWPORTEXTEX, orvane::emf::EMR_SELECTOBJECT,
      // first shape, winding
      orvane::emf::EMR_SETPOLYFILLMODE, orvane::emf::EMR_CREATEBRUSHINDIRECT, orvane::emf::EMR_SELECTOBJECT, orvane::emf::EMR_BEGINPATH,
      orvane::emf::EMR_MOVETOEX, orvane::emf::EMR_POLYBEZIERTO16, orvane::emf::EMR_LINETO, orvane::emf::EMR_CLOSEFIGURE, orvane::emf::EMR_MOVETOEX,
      orvane::emf::EMR_LINETO, orvane::emf::EMR_LINETO, orvane::emf::EMR_ENDPATH, orvane::emf::EMR_FILLPATH, orvane::emf::EMR_SELECTOBJECT,
      orvane::emf::EMR_DELETEOBJECT,
      // second shape: the rule changes
      orvane::emf::EMR_SETPOLYFILLMODE, orvane::emf::EMR_CREATEBRUSHINDIRECT, orvane::emf::EMR_SELECTOBJECT, orvane::emf::EMR_BEGINPATH,
      orvane::emf::EMR_MOVETOEX, orvane::emf::EMR_LINETO, orvane::emf::EMR_LINETO, orvane::emf::EMR_ENDPATH, orvane::emf::EMR_FILLPATH,
      orvane::emf::EMR_SELECTOBJECT, orvane::emf::EMR_DELETEOBJECT,
      // third shape: same rule, no mode record
      orvane::emf::EMR_CREATEBRUSHINDIRECT, orvane::emf::EMR_SELECTOBJECT, orvane::emf::EMR_BEGINPATH, orvane::emf::EMR_MOVETOEX,
      orvane::emf::EMR_LINETO, orvane::emf::EMR_LINETO, orvane::emf::EMR_ENDPATH, orvane::emf::EMR_FILLPATH, orvane::emf::EMR_SELECTOBJECT,
      orvane::emf::EMR_DELETEOBJECT, orvane::emf::EMR_EOF};
  ASSERT_EQ(records.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(records[i].type, expected[i]) << "record " << i;

  const auto at = [&](size_t index, size_t field) { return records[index].offset + field; };
  EXPECT_EQ(U32At(bytes, at(1, 8)), uint32_t{orvane::emf::MM_ANISOTROPIC});
  for (size_t r : {2u, 4u}) EXPECT_EQ(I32At(bytes, at(r, 8)) | I32At(bytes, at(r, 12)), 0);  // origins
  for (size_t r : {3u, 5u}) {  // extents 1:1
    EXPECT_EQ(I32At(bytes, at(r, 8)), 10);
    EXPECT_EQ(I32At(bytes, at(r, 12)), 12);
  }
  EXPECT_EQ(U32At(bytes, at(6, 8)), orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  EXPECT_EQ(U32At(bytes, at(7, 8)), uint32_t{orvane::emf::WINDING});
  // Brush: handle, style, colour (red in the low byte), hatch.
  const uint32_t brush = U32At(bytes, at(8, 8));
  EXPECT_EQ(U32At(bytes, at(8, 12)), uint32_t{orvane::emf::BS_SOLID});
  EXPECT_EQ(U32At(bytes, at(8, 16)), 0x302010u);
  EXPECT_EQ(U32At(bytes, at(9, 8)), brush);
  EXPECT_EQ(I32At(bytes, at(11, 8)), 1);
  EXPECT_EQ(I32At(bytes, at(11, 12)), 2);
  // One PolyBezierTo16 for both curves: bounds, count 6, then the points,
  // rounded half away from zero.
  EXPECT_EQ(U32At(bytes, at(12, 24)), 6u);
  const int16_t points[12] = {3, 4, 5, 6, 7, 8, 9, 1, 3, -3, 0, -1};
  for (size_t i = 0; i < 12; ++i) EXPECT_EQ(I16At(bytes, at(12, 28 + 2 * i)), points[i]) << "coordinate " << i;
  EXPECT_EQ(U32At(bytes, at(20, 8)), orvane::emf::kStockObjectFlag | orvane::emf::WHITE_BRUSH);
  EXPECT_EQ(U32At(bytes, at(21, 8)), brush);
  EXPECT_EQ(U32At(bytes, at(22, 8)), uint32_t{orvane::emf::ALTERNATE});
  EXPECT_EQ(U32At(bytes, at(23, 16)), 0xFFFFFFu);
  EXPECT_EQ(U32At(bytes, at(33, 16)), 0x010000u);
}

struct Authored {
  const char* name;
  int width;
  int height;
  size_t minShapes;
};

std::vector<uint8_t> ReadPicture(const char* name, PathPicture& picture) {
  const std::vector<uint8_t> text = orvane::rtl::ReadWholeFile(std::string(ORVANE_PICTURES_DIR) + "/" + name + ".paths");
  picture = ParsePathData(std::string(text.begin(), text.end()));
  return EncodePictureEmf(picture);
}

TEST(PictureEmfTest, AuthoredPicturesLoadWithTheirSizesAndShapes) {
  const Authored pictures[] = {
      {"embedded", 224, 287, 131}, {"Socer", 210, 238, 40}, {"Bicycl", 300, 360, 40}, {"Hockey2", 200, 200, 40}};
  for (const Authored& a : pictures) {
    SCOPED_TRACE(a.name);
    PathPicture picture;
    const std::vector<uint8_t> bytes = ReadPicture(a.name, picture);
    EXPECT_EQ(picture.width, a.width);
    EXPECT_EQ(picture.height, a.height);
    EXPECT_GE(picture.shapes.size(), a.minShapes);
    size_t fills = 0;
    for (const Record& r : Records(bytes)) fills += r.type == orvane::emf::EMR_FILLPATH;
    EXPECT_EQ(fills, picture.shapes.size());

    const orvane::vcl::TMetafile metafile = Load(bytes);
    EXPECT_EQ(metafile.Width(), a.width);
    EXPECT_EQ(metafile.Height(), a.height);

    // Played at its natural size over a colour the pictures do not use:
    // the shapes cover a good part, and with no background the backdrop
    // still shows around them.
    constexpr orvane::vcl::TColor kBackdrop = 0x00FF01;
    orvane::vcl::TBitmap bitmap;
    bitmap.SetSize(a.width, a.height);
    orvane::vcl::TCanvas& canvas = bitmap.Canvas();
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) canvas.SetPixel(x, y, kBackdrop);
    canvas.StretchDraw(orvane::vcl::Rect(0, 0, a.width, a.height), &metafile);
    int backdrop = 0;
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) backdrop += canvas.Pixel(x, y) == kBackdrop;
    const int total = a.width * a.height;
    EXPECT_GT(backdrop, total / 20);
    EXPECT_LT(backdrop, total * 9 / 10);
    EXPECT_EQ(canvas.Pixel(0, 0), kBackdrop);
  }
}

}  // namespace
