#pragma once
// Basic value types of the software GDI: colour values, points and rectangles.
// A colour value holds red in bits 0-7, green in 8-15 and blue in 16-23.
// Rectangles are left/top inclusive and right/bottom exclusive everywhere.

#include <algorithm>
#include <cstdint>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

using COLORREF = uint32_t;

// A 64-bit result held within the 32-bit range: sums of sizes and offsets
// from files stop at its ends instead of overflowing.
constexpr int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) { return static_cast<uint8_t>(c); }
constexpr uint8_t GetGValue(COLORREF c) { return static_cast<uint8_t>(c >> 8); }
constexpr uint8_t GetBValue(COLORREF c) { return static_cast<uint8_t>(c >> 16); }

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend constexpr bool operator==(Point, Point) = default;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr int32_t Width() const { return right - left; }
  constexpr int32_t Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(int32_t x, int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  constexpr Rect Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (r.IsEmpty()) return Rect{};
    return r;
  }
  constexpr Rect Offset(int32_t dx, int32_t dy) const {
    return Rect{left + dx, top + dy, right + dx, bottom + dy};
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Binary raster operations (SetROP2): how a pen or brush colour combines
// with the destination.
enum class Rop2 : uint8_t {
  Black = 1, NotMergePen, MaskNotPen, NotCopyPen, MaskPenNot, Not, XorPen, NotMaskPen,
  MaskPen, NotXorPen, Nop, MergeNotPen, CopyPen, MergePenNot, MergePen, White
};

// Whether a pixel painted with `rop` takes a colour that depends on the
// colour it had. R2_NOP leaves the pixel as it is: nothing to read.
constexpr bool Rop2ReadsDestination(Rop2 rop) {
  return rop != Rop2::CopyPen && rop != Rop2::NotCopyPen && rop != Rop2::Black && rop != Rop2::White &&
         rop != Rop2::Nop;
}

constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr unsigned DIB_RGB_COLORS = 0;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

enum class FillMode : uint8_t { Alternate = 1, Winding = 2 };

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
