// EMF+ in enhanced metafiles: whether a picture holds only EMF+ drawing,
// which the player does not draw, and the EMF+ records a playback reports.

#include <gtest/gtest.h>

#include <functional>

#include "EmfTestSupport.h"

using namespace emftest;
using orvane::vcl::TEmfPlusContent;

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint16_t kHeader = 0x4001, kEndOfFile = 0x4002, kFillRects = 0x400A;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v);
  Put16(b, v >> 16);
}

// An EMF+ record of `dataWords` 32-bit words of data; `size` overrides its size field.
Bytes PlusRecord(uint16_t type, uint16_t flags, uint32_t dataWords, uint32_t size = 0) {
  Bytes b;
  Put16(b, type);
  Put16(b, flags);
  Put32(b, size ? size : 12 + 4 * dataWords);
  Put32(b, 4 * dataWords);
  for (uint32_t i = 0; i < dataWords; ++i) Put32(b, i);
  return b;
}
Bytes PlusHeader(bool dual) { return PlusRecord(kHeader, dual ? 1 : 0, 4); }

// An EMR_GDICOMMENT whose data is `identifier` and then `records`.
void Comment(orvane::emf::EmfWriter& w, const Bytes& records, uint32_t identifier = 0x2B464D45 /* "EMF+" */) {
  Bytes payload;
  Put32(payload, static_cast<uint32_t>(4 + records.size()));
  Put32(payload, identifier);
  payload.insert(payload.end(), records.begin(), records.end());
  w.Record(orvane::emf::EMR_GDICOMMENT, payload);
}

void RedRectangle(orvane::emf::EmfWriter& w) {
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(255, 0, 0)));
  w.Rectangle({2, 2, 6, 5});
}

Bytes Picture(const std::function<void(orvane::emf::EmfWriter&)>& records) {
  orvane::emf::EmfWriter w = Writer(8, 6);
  records(w);
  return w.Finish();
}

// The parts the pictures below are made of, in order.
enum Part { kPlusHeader, kDualPlusHeader, kPlusFill, kGdiRectangle, kGdiState, kPathThenFill, kOtherComment,
            kPlusWithoutHeader, kPlusHeaderTooShort };

Bytes PictureOf(std::initializer_list<Part> parts) {
  return Picture([&](orvane::emf::EmfWriter& w) {
    for (Part part : parts) {
      switch (part) {
        case kPlusHeader: Comment(w, PlusHeader(false)); break;
        case kDualPlusHeader: Comment(w, PlusHeader(true)); break;
        case kPlusFill: Comment(w, PlusRecord(kFillRects, 0, 5)); break;
        case kGdiRectangle: RedRectangle(w); break;
        case kGdiState:
          w.SetBkColor(0x123456);
          w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, 0));
          break;
        case kPathThenFill:
          w.BeginPath();
          w.Rectangle({1, 1, 4, 4});
          w.EndPath();
          Comment(w, PlusHeader(true));
          w.FillPath();
          break;
        case kOtherComment: Comment(w, PlusHeader(false), 0x43494447 /* "GDIC" */); break;
        case kPlusWithoutHeader: Comment(w, PlusRecord(kEndOfFile, 0, 0)); break;
        case kPlusHeaderTooShort: Comment(w, PlusRecord(kHeader, 0, 4, 10)); break;
      }
    }
  });
}

TEmfPlusContent ContentOf(const Bytes& emf) {
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromBytes(emf.data(), emf.size());
  return metafile.EmfPlusContent();
}

}  // namespace

TEST(EmfPlusTest, OnlyEmfPlusWhenTheHeaderSaysSoOrNoGdiDrawingFollows) {
  const struct {
    const char* name;
    std::initializer_list<Part> parts;
    TEmfPlusContent content;
  } cases[] = {
      {"plain", {kGdiRectangle}, TEmfPlusContent::None},
      {"header not dual", {kPlusHeader, kGdiRectangle}, TEmfPlusContent::OnlyEmfPlus},
      {"dual, GDI drawing after", {kDualPlusHeader, kPlusFill, kGdiRectangle}, TEmfPlusContent::Dual},
      {"dual, only GDI state after", {kDualPlusHeader, kGdiState}, TEmfPlusContent::OnlyEmfPlus},
      {"dual, GDI drawing only before", {kGdiRectangle, kDualPlusHeader}, TEmfPlusContent::OnlyEmfPlus},
      {"dual, a path painted after", {kPathThenFill}, TEmfPlusContent::Dual},
      {"another kind of comment", {kOtherComment, kGdiRectangle}, TEmfPlusContent::None},
      {"EMF+ records without the header first", {kPlusWithoutHeader, kGdiRectangle}, TEmfPlusContent::None},
      {"a header whose size does not fit", {kPlusHeaderTooShort, kGdiRectangle}, TEmfPlusContent::None},
  };
  for (const auto& c : cases) EXPECT_EQ(ContentOf(PictureOf(c.parts)), c.content) << c.name;
  EXPECT_EQ(orvane::vcl::TMetafile().EmfPlusContent(), TEmfPlusContent::None);
}

TEST(EmfPlusTest, PlaybackCountsTheEmfPlusRecordsAndDrawsTheGdiOnes) {
  Bytes trailing = PlusRecord(kFillRects, 0, 2);
  for (const Bytes& more : {PlusRecord(kFillRects, 0, 0), PlusRecord(kFillRects, 0, 1, 1000)})
    trailing.insert(trailing.end(), more.begin(), more.end());
  const Bytes emf = Picture([&](orvane::emf::EmfWriter& w) {
    Comment(w, PlusHeader(true));
    Comment(w, trailing);                   // two records, then one whose size runs past the comment
    Comment(w, PlusHeader(false), 0x12345678);  // not EMF+
    RedRectangle(w);
  });
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromBytes(emf.data(), emf.size());
  Canvas canvas(8, 6);
  orvane::vcl::TPlaybackReport report;
  metafile.DrawReporting(canvas.bitmap.Canvas(), orvane::vcl::Rect(0, 0, 8, 6), report);
  EXPECT_EQ(report.emfPlusRecords, 3u);
  EXPECT_TRUE(report.skipped.empty());
  // The dual picture's GDI rectangle, null pen, advanced mode: columns 2..5, rows 2..4.
  EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{"........", "........", "..####..", "..####..",
                                                          "..####..", "........"}));
}
