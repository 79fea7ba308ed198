#pragma once
// Small helpers for GDI tests: surfaces selected into their own context.

#include <memory>

#include "gdi/DeviceContext.h"

namespace gditest {

struct SurfaceDC {
  gdi::HBITMAP bitmap;
  gdi::HDC dc;
  SurfaceDC(int32_t w, int32_t h, int bits) {
    gdi::BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<uint16_t>(bits);
    void* pixels = nullptr;
    bitmap = gdi::CreateDIBSection(nullptr, &info, gdi::DIB_RGB_COLORS, &pixels, nullptr, 0);
    dc = gdi::CreateCompatibleDC(nullptr);
    gdi::SelectObject(dc, bitmap);
  }
  ~SurfaceDC() {
    gdi::DeleteDC(dc);
    gdi::DeleteObject(bitmap);
  }
  gdi::COLORREF At(int32_t x, int32_t y) const {
    const uint8_t* p = bitmap->Row(y) + x * bitmap->BytesPerPixel();
    return gdi::RGB(p[2], p[1], p[0]);
  }
  void Fill(gdi::COLORREF c) {
    for (int32_t y = 0; y < bitmap->Height(); ++y)
      for (int32_t x = 0; x < bitmap->Width(); ++x) Set(x, y, c);
  }
  void Set(int32_t x, int32_t y, gdi::COLORREF c) {
    uint8_t* p = bitmap->Row(y) + x * bitmap->BytesPerPixel();
    p[0] = gdi::GetBValue(c);
    p[1] = gdi::GetGValue(c);
    p[2] = gdi::GetRValue(c);
  }
};

}  // namespace gditest
