// Reads any bytes as a picture record (as form definitions store pictures),
// draws what loads, and reads its written record back.

#include "FuzzHelpers.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzzhelp::RecordClaimsHugeImage(data, size)) return 0;
  orvane::vcl::TBitmap target;
  target.SetSize(16, 16);
  try {
    orvane::vcl::TPicture picture;
    picture.ReadData(data, size);
    target.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, 16, 16), picture.Graphic());
    target.Canvas().StretchDraw(orvane::vcl::Rect(20, -4, -3, 9), picture.Graphic());
    const std::vector<uint8_t> record = picture.WriteData();
    orvane::vcl::TPicture again;
    again.ReadData(record.data(), record.size());
    if (again.Width() != picture.Width() || again.Height() != picture.Height()) __builtin_trap();
  } catch (const orvane::rtl::Exception&) {
  }
  return 0;
}
