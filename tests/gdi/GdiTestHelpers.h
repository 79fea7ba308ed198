#pragma once
// Small helpers for GDI tests: surfaces selected into their own context.

#include <memory>

#include <orvane/gdi/DeviceContext.h>

namespace gditest {

struct SurfaceDC {
  orvane::gdi::HBITMAP bitmap;
  orvane::gdi::HDC dc;
  SurfaceDC(int32_t w, int32_t h, int bits) {
    orvane::gdi::BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<uint16_t>(bits);
    void* pixels = nullptr;
    bitmap = orvane::gdi::CreateDIBSection(nullptr, &info, orvane::gdi::DIB_RGB_COLORS, &pixels, nullptr, 0);
    dc = orvane::gdi::CreateCompatibleDC(nullptr);
    orvane::gdi::SelectObject(dc, bitmap);
  }
  ~SurfaceDC() {
    orvane::gdi::DeleteDC(dc);
    orvane::gdi::DeleteObject(bitmap);
  }
  orvane::gdi::COLORREF At(int32_t x, int32_t y) const {
    const uint8_t* p = bitmap->Row(y) + x * bitmap->BytesPerPixel();
    return orvane::gdi::RGB(p[2], p[1], p[0]);
  }
  void Fill(orvane::gdi::COLORREF c) {
    for (int32_t y = 0; y < bitmap->Height(); ++y)
      for (int32_t x = 0; x < bitmap->Width(); ++x) Set(x, y, c);
  }
  void Set(int32_t x, int32_t y, orvane::gdi::COLORREF c) {
    uint8_t* p = bitmap->Row(y) + x * bitmap->BytesPerPixel();
    p[0] = orvane::gdi::GetBValue(c);
    p[1] = orvane::gdi::GetGValue(c);
    p[2] = orvane::gdi::GetRValue(c);
  }
};

}  // namespace gditest
